// SPDX-License-Identifier: GPL-3.0-or-later
// Quenlor: the window. `quenlor [ROUTE.csv]`: the route kept from the last
// session comes back into the route panel, or the file given opens there.
#include "app/main_window.h"
#include "app/route_panel.h"
#include "app/translations.h"

#include <QApplication>
#include <QFileInfo>
#include <QScreen>
#include <QStringList>
#include <QTabWidget>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace {

// The short usage; quenlor(1) says the same at length.
constexpr const char* kUsage =
    "Usage: quenlor [ROUTE.csv]\n"
    "       quenlor --help | --version\n"
    "Opens Quenlor's window: the curve elements, chainage coordinates and\n"
    "setting-out values of a highway route, recomputed as they are typed.\n"
    "With ROUTE.csv, the window opens that route file in its route panel.\n"
    "\n"
    "  -h, --help     print this usage and exit\n"
    "      --version  print the version and exit\n"
    "\n"
    "Exit status: 0 when the window is closed; 1 when there is no display.\n"
    "Scripted sessions without a window: quenlor-script(1). In full: man quenlor\n";

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

// Qt's messages while it opens the display, held back until it has: a
// display that is named but does not answer (the X server refuses, or has
// gone between the check above and the connection) ends in Qt's fatal
// message and an abort. Here it ends as no display does: one line, exit 1.
QStringList startupMessages;

void holdStartupMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type != QtFatalMsg) {
    startupMessages.append(qFormatLogMessage(type, context, text));
    return;
  }
  const char* display = std::getenv("DISPLAY");
  std::fprintf(stderr, "quenlor: no display to open the window on (none answers at DISPLAY=%s)\n",
               display != nullptr ? display : "");
  std::_Exit(1);
}

// The messages held back, said now that the display is open.
void releaseStartupMessages() {
  qInstallMessageHandler(nullptr);
  for (const QString& message : std::as_const(startupMessages))
    std::fprintf(stderr, "%s\n", qPrintable(message));
  startupMessages.clear();
}

} // namespace

int main(int argc, char** argv) {
  // Answered before anything needs a display.
  if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc == 2 && std::string_view(argv[1]) == "--version") {
    std::printf("quenlor %s\n", QUENLOR_VERSION);
    return 0;
  }
  if (const auto problem = displayProblem()) {
    std::fprintf(stderr, "quenlor: %s\n", problem->c_str());
    return 1;
  }
  qInstallMessageHandler(holdStartupMessage);
  QApplication app(argc, argv);
  releaseStartupMessages();
  // The user's data folder, where the route being edited is kept, is named
  // after the program, however it was started.
  QApplication::setApplicationName(QStringLiteral("quenlor"));
  quenlor::speakChinese(app);
  quenlor::MainWindow window;
  // A route brought back, or a file that would not open, is news: the
  // route panel's notice line says it, on show.
  bool news = window.routePanel()->restoreAutosave();
  if (argc > 1 && !window.routePanel()->open(QString::fromLocal8Bit(argv[1])))
    news = true;
  if (news)
    window.views()->setCurrentWidget(window.routePanel());
  // Without a window manager, or until it maximizes the window, the window
  // already has the screen's room: the plan and the tools show at once.
  window.resize(window.screen()->availableGeometry().size());
  window.showMaximized();
  return app.exec();
}
