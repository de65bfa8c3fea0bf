// SPDX-License-Identifier: GPL-3.0-or-later
// Quenlor: the window.
#include "app/main_window.h"

#include <QApplication>
#include <QFileInfo>
#include <QScreen>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

// Why no window can be opened here, or nothing when one can. Qt itself would
// abort with a page about platform plugins.
std::optional<std::string> displayProblem() {
  if (std::getenv("QT_QPA_PLATFORM") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr)
    return std::nullopt;
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0')
    return "no display to open the window on (DISPLAY is not set)";
  // A local display ":N" or ":N.S" listens on a socket of the X server.
  const std::string name = display;
  if (name.front() == ':') {
    const std::string number = name.substr(1, name.find('.') - 1);
    if (!QFileInfo::exists(QString::fromStdString("/tmp/.X11-unix/X" + number)))
      return "no display to open the window on (no X server at DISPLAY=" + name + ")";
  }
  return std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
  if (const auto problem = displayProblem()) {
    std::fprintf(stderr, "quenlor: %s\n", problem->c_str());
    return 1;
  }
  QApplication app(argc, argv);
  quenlor::MainWindow window;
  // Without a window manager, or until it maximizes the window, the window
  // already has the screen's room: the plan and the tools show at once.
  window.resize(window.screen()->availableGeometry().size());
  window.showMaximized();
  return app.exec();
}
