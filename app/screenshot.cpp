// SPDX-License-Identifier: GPL-3.0-or-later
// quenlor-screenshot [--widget NAME] PNG SESSION...: fills the window by
// scripted sessions, run in order as one, and saves a picture of it at
// 1600x900, for the README and the guides; with --widget, only the widget of
// that object name (the field tools, the plan). Runs on any Qt platform,
// offscreen included. Besides the session language (a route it loads is
// shown in the plan, the field tools and the route panel, its JD picked out
// after "jd NAME"), five lines of its own:
//   tool NAME TEXT     types TEXT into the field-tools box of that object name
//   mark N NAME...     frames the widgets of those object names together and
//                      puts the number N at the frame's corner
//   tab NAME           shows the tab of that object name beside the boxes
//   size W H           resizes the window to W x H pixels
//   fold               folds the boxes away, or shows them again
//                      (planView, profileView, sectionView, routePanel)
#include "app/field_tools.h"
#include "app/main_window.h"
#include "app/plan_view.h"
#include "app/route_panel.h"
#include "app/translations.h"
#include "session/jd_boxes.h"
#include "session/route_model.h"
#include "session/script.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QTabWidget>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Mark {
  QString number;
  std::vector<QWidget*> widgets;
};

// The widgets a "mark" line names, or the name that is not there.
std::optional<std::string> readMark(const QWidget& window, const std::string& rest,
                                    std::vector<Mark>& marks) {
  std::istringstream words(rest);
  std::string number;
  words >> number;
  Mark mark{QString::fromStdString(number), {}};
  for (std::string name; words >> name;) {
    auto* widget = window.findChild<QWidget*>(QString::fromStdString(name));
    if (!widget)
      return "no widget '" + name + "'";
    mark.widgets.push_back(widget);
  }
  if (number.empty() || mark.widgets.empty())
    return "'mark' takes a number and widget names";
  marks.push_back(std::move(mark));
  return std::nullopt;
}

// A frame round each mark's widgets and its number in a disc at the frame's
// top left corner, in the picture of `shown` (the window or one widget).
void drawMarks(QPixmap& picture, const QWidget& shown, const std::vector<Mark>& marks) {
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor colour(200, 30, 30);
  QFont font = painter.font();
  font.setBold(true);
  font.setPixelSize(11);
  painter.setFont(font);
  constexpr int radius = 8;
  for (const Mark& mark : marks) {
    QRect frame;
    // Only what shows of each widget: the field tools scroll in their area.
    for (const QWidget* w : mark.widgets) {
      const QRect visible = w->visibleRegion().boundingRect();
      frame |= QRect(w->mapTo(&shown, visible.topLeft()), visible.size());
    }
    frame.adjust(-4, -4, 4, 4);
    painter.setPen(QPen(colour, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame);
    // The disc on the frame's corner, clear of the box's text.
    const QPoint centre(std::max(frame.left(), radius), std::max(frame.top(), radius));
    painter.setBrush(colour);
    painter.drawEllipse(centre, radius, radius);
    painter.setPen(Qt::white);
    painter.drawText(QRect(centre - QPoint(radius, radius), QSize(2 * radius, 2 * radius)),
                     Qt::AlignCenter, mark.number);
  }
}

} // namespace

// Runs one session file in the window; the reason it stops, if it does.
std::optional<std::string> runSession(quenlor::MainWindow& window, quenlor::ScriptSession& session,
                                      const char* path, std::vector<Mark>& marks) {
  std::ifstream file(path, std::ios::binary);
  if (!file)
    return std::string("cannot read ") + path;
  std::string line;
  for (int number = 1; std::getline(file, line); ++number) {
    std::optional<std::string> problem;
    if (line.rfind("tool ", 0) == 0) {
      const std::size_t space = line.find(' ', 5);
      const std::string name = line.substr(5, space - 5);
      const std::string text = space == std::string::npos ? "" : line.substr(space + 1);
      if (!window.fieldTools()->fill(QString::fromStdString(name), QString::fromStdString(text)))
        problem = "no field-tools box '" + name + "'";
    } else if (line.rfind("mark ", 0) == 0) {
      problem = readMark(window, line.substr(5), marks);
    } else if (line.rfind("size ", 0) == 0) {
      int width = 0, height = 0;
      std::istringstream(line.substr(5)) >> width >> height;
      if (width > 0 && height > 0)
        window.resize(width, height);
      else
        problem = "'size' takes a width and a height in pixels";
    } else if (line == "fold") {
      window.setFormFolded(!window.formFolded());
    } else if (line.rfind("tab ", 0) == 0) {
      auto* tab = window.views()->findChild<QWidget*>(QString::fromStdString(line.substr(4)));
      if (tab && window.views()->indexOf(tab) >= 0)
        window.views()->setCurrentWidget(tab);
      else
        problem = "no tab '" + line.substr(4) + "'";
    } else {
      problem = quenlor::runScriptLine(session, line, std::cout, std::cerr);
      if (!problem && line.rfind("route ", 0) == 0 && line != "route check")
        window.routePanel()->open(QString::fromStdString(line.substr(6)));
      if (!problem && line.rfind("jd ", 0) == 0 && session.route) {
        const auto jd = quenlor::jdNamed(session.route->route(), line.substr(3));
        window.planView()->setSelectedJd(jd);
        if (jd)
          window.routePanel()->selectJd(*jd);
      }
    }
    if (problem)
      return std::string(path) + " line " + std::to_string(number) + ": " + *problem;
  }
  return std::nullopt;
}

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  quenlor::speakChinese(app);
  int first = 1;
  const char* widget = nullptr;
  if (argc > 2 && std::string_view(argv[1]) == "--widget") {
    widget = argv[2];
    first = 3;
  }
  if (argc - first < 2) {
    std::cerr << "usage: quenlor-screenshot [--widget NAME] PNG SESSION...\n";
    return 2;
  }
  quenlor::MainWindow window;
  window.resize(1600, 900);
  window.show();
  quenlor::ScriptSession session{window.form()};
  std::vector<Mark> marks;
  for (int i = first + 1; i < argc; ++i)
    if (const auto problem = runSession(window, session, argv[i], marks)) {
      std::cerr << "quenlor-screenshot: " << *problem << '\n';
      return 2;
    }
  if (session.route) {
    window.planView()->setRoute(session.route);
    window.fieldTools()->setRoute(session.route);
  }
  window.fieldTools()->recompute();
  QApplication::processEvents();
  QWidget* shown = &window;
  if (widget && !(shown = window.findChild<QWidget*>(QString::fromLocal8Bit(widget)))) {
    std::cerr << "quenlor-screenshot: no widget " << widget << '\n';
    return 2;
  }
  QPixmap picture = shown->grab();
  drawMarks(picture, *shown, marks);
  if (!picture.save(QString::fromLocal8Bit(argv[first]))) {
    std::cerr << "quenlor-screenshot: cannot write " << argv[first] << '\n';
    return 1;
  }
  return 0;
}
