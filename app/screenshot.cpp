// SPDX-License-Identifier: GPL-3.0-or-later
// quenlor-screenshot SESSION PNG: fills the window by a scripted session and
// saves a picture of it, for the README. Runs on any Qt platform, offscreen
// included. Besides the session language, a line "tool NAME TEXT" types TEXT
// into the field-tools box of that object name.
#include "app/field_tools.h"
#include "app/main_window.h"
#include "session/script.h"

#include <QApplication>
#include <QPixmap>

#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 3) {
    std::cerr << "usage: quenlor-screenshot SESSION PNG\n";
    return 2;
  }
  quenlor::MainWindow window;
  // A small maximised window: the controls, the field tools below them and
  // the plan beside.
  window.resize(1280, 800);
  window.show();
  std::ifstream session(argv[1], std::ios::binary);
  if (!session) {
    std::cerr << "quenlor-screenshot: cannot read " << argv[1] << '\n';
    return 2;
  }
  std::string line;
  for (int number = 1; std::getline(session, line); ++number) {
    if (line.rfind("tool ", 0) == 0) {
      const std::size_t space = line.find(' ', 5);
      const std::string name = line.substr(5, space - 5);
      const std::string text = space == std::string::npos ? "" : line.substr(space + 1);
      if (!window.fieldTools()->fill(QString::fromStdString(name), QString::fromStdString(text))) {
        std::cerr << "line " << number << ": no field-tools box '" << name << "'\n";
        return 2;
      }
      continue;
    }
    if (const auto reason = quenlor::runScriptLine(window.form(), line, std::cout, std::cerr)) {
      std::cerr << "line " << number << ": " << *reason << '\n';
      return 2;
    }
  }
  window.fieldTools()->recompute();
  QApplication::processEvents();
  if (!window.grab().save(QString::fromLocal8Bit(argv[2]))) {
    std::cerr << "quenlor-screenshot: cannot write " << argv[2] << '\n';
    return 1;
  }
  return 0;
}
