// quenlor-screenshot SESSION PNG: fills the window by a scripted session and
// saves a picture of it, for the README. Runs on any Qt platform, offscreen
// included.
#include "app/main_window.h"
#include "main/script.h"

#include <QApplication>
#include <QPixmap>

#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 3) {
    std::cerr << "usage: quenlor-screenshot SESSION PNG\n";
    return 2;
  }
  quenlor::MainWindow window;
  // A small maximised window: the controls and, beside them, the plan.
  window.resize(1280, 600);
  window.show();
  std::ifstream session(argv[1], std::ios::binary);
  if (!session || !quenlor::runScript(window.form(), session, std::cout, std::cerr, argv[1]))
    return 2;
  QApplication::processEvents();
  if (!window.grab().save(QString::fromLocal8Bit(argv[2]))) {
    std::cerr << "quenlor-screenshot: cannot write " << argv[2] << '\n';
    return 1;
  }
  return 0;
}
