// SPDX-License-Identifier: GPL-3.0-or-later
// The profile view's figures, on Qt's offscreen platform unless another is
// set, in a window of 1600 × 900 with the profile on show:
//   - the first paint of a route's profile, from the route handed over to
//     the profile painted, at 501 to 5,001 grade points;
//   - a key press in the chainage box (Text26) until the event loop is idle,
//     the boxes' point moving along a profile of 2,001 grade points;
//   - the paints the profile gets, and the processor time the program
//     takes, in a second of idle after an edit of a JD in the route table
//     (the profile's tab shown after it) and after a key press (0: nothing
//     repaints itself; the boxes' blinking text cursor costs next to
//     nothing).
// It reports; it never fails on timing.
#include "app/main_window.h"
#include "app/profile_view.h"
#include "app/route_panel.h"
#include "app/route_tables.h"
#include "session/route_model.h"
#include "session/script.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <time.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace quenlor;

double milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double processorMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) * 1e3 + double(t.tv_nsec) * 1e-6;
}

// Wall clock: the median and the 10th and 90th percentiles; processor time:
// the median, the steadier figure on a shared host.
struct Spread {
  double median, low, high, processor;
};

struct Samples {
  std::vector<double> wall, processor;
  template <class F> void time(F f) {
    const auto start = Clock::now();
    const double cpu = processorMs();
    f();
    processor.push_back(processorMs() - cpu);
    wall.push_back(milliseconds(Clock::now() - start));
  }
  Spread spread() {
    const auto at = [](std::vector<double>& v, double q) {
      std::sort(v.begin(), v.end());
      return v[std::size_t(q * double(v.size() - 1))];
    };
    return {at(wall, 0.5), at(wall, 0.1), at(wall, 0.9), at(processor, 0.5)};
  }
};

void report(const std::string& what, const Spread& s, const char* target) {
  std::printf("| %-42s | %8.3f | %8.3f | %8.3f | %8.3f | %-6s |\n", what.c_str(), s.median, s.low,
              s.high, s.processor, target);
}

// A route 100 m a grade point long, one wide curve in the plan, the grades
// rising and falling by a few per cent with a vertical curve at every inner
// point: every grade point and curve has its label to place.
route::RouteDefinition routeOf(int gradePoints, double rise = 0) {
  route::RouteDefinition d;
  const double length = 100.0 * gradePoints;
  d.start = {"BP", 3456789.123, 512345.678, 0};
  d.jds = {{"JD1", d.start.x + length / 2, d.start.y + 200, 20000, 200, std::nullopt}};
  d.end = {"EP", d.start.x + length + 10, d.start.y};
  double elevation = 100 + rise;
  for (int i = 0; i < gradePoints; ++i) {
    const bool end = i == 0 || i == gradePoints - 1;
    d.gradePoints.push_back({"SJD" + std::to_string(i), 100.0 * i, elevation, end ? 0.0 : 3000.0});
    elevation += i % 2 ? 1.5 : -1.2;
  }
  return d;
}

void settle(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// The paints of a widget and of the widgets in it.
struct PaintCounter : QObject {
  explicit PaintCounter(QWidget* counted) : counted_(counted) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && watched->isWidgetType() &&
        counted_->isAncestorOf(static_cast<QWidget*>(watched)))
      ++paints;
    else if (event->type() == QEvent::Paint && watched == counted_)
      ++paints;
    return false;
  }
  QWidget* counted_;
  long paints = 0;
};

struct Idle {
  long paints;
  double processorMs;
};

// From a new route handed over to the profile painted.
Spread firstPaints(ProfileView& profile, int gradePoints, int runs) {
  Samples samples;
  for (int i = 0; i < runs; ++i) {
    // Another route each time: no label has been measured before.
    auto model = std::make_shared<RouteModel>(routeOf(gradePoints, 0.001 * (i + 1)));
    samples.time([&] {
      profile.setRoute(std::move(model));
      profile.repaint();
    });
  }
  return samples.spread();
}

void press(QWidget* widget, Qt::Key key, const QString& text) {
  QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
  QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(widget, &down);
  QApplication::sendEvent(widget, &up);
}

// "1500" and "15000" in turn: the boxes' point moves along the profile.
Spread keystrokes(MainWindow& window, int count) {
  QLineEdit* chainage = window.box(Box::Text26);
  chainage->setFocus();
  chainage->end(false);
  Samples samples;
  for (int i = 0; i < count; ++i)
    samples.time([&] {
      if (i % 2 == 0)
        press(chainage, Qt::Key_0, QStringLiteral("0"));
      else
        press(chainage, Qt::Key_Backspace, QString());
      QCoreApplication::processEvents();
      QCoreApplication::processEvents();
    });
  return samples.spread();
}

// The profile's paints and the processor time in a second of idle, once
// what `act` caused has settled.
template <class Act> Idle idleAfter(QApplication& app, QWidget* profile, Act act) {
  act();
  settle(200);
  PaintCounter counter(profile);
  app.installEventFilter(&counter);
  const double before = processorMs();
  settle(1000);
  const double used = processorMs() - before;
  app.removeEventFilter(&counter);
  return {counter.paints, used};
}

} // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  MainWindow window;
  window.resize(1600, 900);
  window.show();
  std::istringstream session("set Text26 1500\n");
  std::ostringstream ignored;
  runScript(window.form(), session, ignored, ignored);
  ProfileView& profile = *window.profileView();
  window.views()->setCurrentWidget(&profile);
  settle(100);

  std::printf("| %-42s | %8s | %8s | %8s | %8s | %-6s |\n", "profile view, ms", "median", "p10",
              "p90", "cpu", "target");
  std::printf("|%s|%s|%s|%s|%s|%s|\n", std::string(44, '-').c_str(), std::string(10, '-').c_str(),
              std::string(10, '-').c_str(), std::string(10, '-').c_str(),
              std::string(10, '-').c_str(), std::string(8, '-').c_str());
  for (const int points : {501, 2001, 5001})
    report("first paint, " + std::to_string(points) + " grade points",
           firstPaints(profile, points, 10), points == 5001 ? "<= 50" : "");

  window.routePanel()->document().adopt(routeOf(2001));
  settle(100);
  report("key press in Text26, 2001 grade points", keystrokes(window, 400), "<= 2");

  // A radius typed into the JD table, then the profile's tab.
  const Idle afterEdit = idleAfter(app, &profile, [&] {
    window.views()->setCurrentWidget(window.routePanel());
    auto* table = window.findChild<QTableView*>(QStringLiteral("jdTable"));
    auto* model = static_cast<RouteTableModel*>(table->model());
    table->setFocus();
    model->setData(model->index(1, model->column("R")), QStringLiteral("20001"), Qt::EditRole);
    QCoreApplication::processEvents();
    window.views()->setCurrentWidget(&profile);
  });
  const Idle afterKey = idleAfter(app, &profile, [&] { keystrokes(window, 1); });
  // Paints counted, and the processor time of the whole program in it.
  const auto idleRow = [](const char* what, const Idle& idle) {
    std::printf("| %-42s | %8ld | %8s | %8s | %8.1f | %-6s |\n", what, idle.paints, "", "",
                idle.processorMs, "0");
  };
  idleRow("paints in 1 s idle after a JD edit", afterEdit);
  idleRow("  and after a key press", afterKey);
  return 0;
}
