// SPDX-License-Identifier: GPL-3.0-or-later
// The window's own figures, on Qt's offscreen platform unless another is set:
//   - a key press in the chainage box until every dependent box holds its new
//     text, the field tools have caught up and the window is repainted;
//   - process start until the first painted frame (a child process each time);
//   - the peak resident memory of the window after the keystrokes, with a
//     stake table of 10,000 rows shown;
//   - a radius typed into the JD table of a route of 10,000 JDs with as many
//     grade points, the route panel shown at that JD, until the event loop is
//     idle (the route and its profile computed, the table, its notice and
//     the field tools shown anew); then with the plan's scene made too (the
//     whole route in the plan's view, as its next paint draws it), and with
//     the plan painted; the processor time of the window's thread, which is
//     what the window waits for; and what the kept copy of that route costs
//     the window's thread and how long it takes to be on the disk.
// It reports; it never fails on timing. With --instructions, under
// valgrind --tool=callgrind --collect-atstart=no, it counts instead the
// instructions of the keystrokes and the cell edits alone and dumps them per
// case, as "NAME runs=R characters=0" (scripts/bench reads them).
#include "app/field_tools.h"
#include "app/main_window.h"
#include "app/plan_view.h"
#include "app/route_panel.h"
#include "app/route_tables.h"
#include "route/route.h"
#include "route/route_file.h"
#include "session/script.h"
#include "support/random_route.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPixmap>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

#include <valgrind/callgrind.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kWorkedCurve =
    "set Text8 639.363\nset Text6 40\nset Text9 300\nset Text10 60\nset Text42 60\n"
    "set Text13 1000\nset Text14 2000\nset Text17 30\nset Text15 1342.02\nset Text16 2939.693\n"
    "set Text35 900\nset Text36 1900\nset Text37 152.36\nset Text38 1.52\nset Text41 1.6\n"
    "set Text40 -0.43\nset Text39 850\nset Text1 2100\nset Text31 0.25\nset Text26 60\n";

double milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

struct Spread {
  double median, low, high; // 10th and 90th percentiles
};

Spread spreadOf(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  const auto at = [&](double q) { return samples[std::size_t(q * double(samples.size() - 1))]; };
  return {at(0.5), at(0.1), at(0.9)};
}

double threadMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) * 1e3 + double(t.tv_nsec) * 1e-6;
}

void report(const char* what, const Spread& s, const char* unit, const char* target) {
  std::printf("| %-46s | %10.3f | %10.3f | %10.3f | %-4s | %-12s |\n", what, s.median, s.low,
              s.high, unit, target);
}

void press(QWidget* widget, Qt::Key key, const QString& text) {
  QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
  QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(widget, &down);
  QApplication::sendEvent(widget, &up);
}

// Alternately types a 0 at the end of the box and takes it back (in the
// chainage box "60" becomes 600, on the arc, and 60 again, on the incoming
// straight), each keystroke timed until the event
// loop has nothing left to do: the form has computed, the field tools have
// caught up and every widget whose text or picture changed is repainted.
// Counts paint events, so that the report can say what a keystroke repaints.
struct PaintCounter : QObject {
  bool eventFilter(QObject*, QEvent* event) override {
    paints += event->type() == QEvent::Paint;
    return false;
  }
  long paints = 0;
};

Spread keystrokes(quenlor::MainWindow& window, quenlor::Box box, int count) {
  QLineEdit* chainage = window.box(box);
  chainage->setFocus();
  chainage->end(false);
  std::vector<double> samples;
  for (int i = 0; i < count; ++i) {
    const auto start = Clock::now();
    CALLGRIND_TOGGLE_COLLECT;
    if (i % 2 == 0)
      press(chainage, Qt::Key_0, QStringLiteral("0"));
    else
      press(chainage, Qt::Key_Backspace, QString());
    QCoreApplication::processEvents(); // the tools' recompute, then the repaint
    QCoreApplication::processEvents();
    CALLGRIND_TOGGLE_COLLECT;
    samples.push_back(milliseconds(Clock::now() - start));
  }
  return spreadOf(samples);
}

double peakResidentMiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0)
      return std::stod(line.substr(6)) / 1024.0;
  return 0;
}

// Child: show the window as the program does, say "painted" once the first
// frame is painted, and leave.
int firstFrame(int argc, char** argv) {
  QApplication app(argc, argv);
  quenlor::MainWindow window;
  struct Watcher : QObject {
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Paint && !seen) {
        seen = true;
        QTimer::singleShot(0, [] {
          std::puts("painted");
          std::fflush(stdout);
          std::_Exit(0);
        });
      }
      return false;
    }
    bool seen = false;
  } watcher;
  window.installEventFilter(&watcher);
  window.showMaximized();
  return app.exec();
}

// Parent: the time from starting a child to reading its "painted".
double timeToFirstFrame(const char* self) {
  int out[2];
  if (pipe(out) != 0)
    return -1;
  const auto start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    execl(self, self, "--first-frame", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  char buffer[16] = {};
  const ssize_t n = read(out[0], buffer, sizeof buffer - 1);
  const double elapsed = milliseconds(Clock::now() - start);
  close(out[0]);
  waitpid(child, nullptr, 0);
  return n > 0 && std::string(buffer).rfind("painted", 0) == 0 ? elapsed : -1;
}

// The keystrokes of one case, counted: the first ones warm up caches and
// glyphs, the rest are collected and dumped under the case's name.
void countKeystrokes(quenlor::MainWindow& window, quenlor::Box box, int count, const char* name) {
  keystrokes(window, box, 10);
  CALLGRIND_ZERO_STATS;
  keystrokes(window, box, count);
  const std::string dump = std::string(name) + " runs=" + std::to_string(count) + " characters=0";
  CALLGRIND_DUMP_STATS_AT(dump.c_str());
}

// A stake table of 100,001 rows, a stake every decimetre over ten kilometres.
void showStakeTable(quenlor::MainWindow& window) {
  auto* tools = window.fieldTools();
  const std::pair<const char*, const char*> table[] = {
      {"tableStart", "0"}, {"tableEnd", "10000"}, {"tableInterval", "0.1"}, {"tableOffset", "7.5"}};
  for (const auto& [name, text] : table)
    tools->fill(name, text);
  tools->recompute();
  QCoreApplication::processEvents();
}

// The stake table emptied: its interval cleared.
void hideStakeTable(quenlor::MainWindow& window) {
  window.fieldTools()->fill("tableInterval", "");
  window.fieldTools()->recompute();
  QCoreApplication::processEvents();
}

// The route of the cell edits: 10,000 random JDs, 20 chain breaks, and a
// grade point at every JD's chainage with a vertical curve on each that keeps
// clear of its neighbours.
constexpr int kRouteJds = 10000;
quenlor::route::RouteDefinition bigRoute() {
  using namespace quenlor;
  route::RouteDefinition d = test::randomRoute(kRouteJds, 5);
  const route::Route plain(d);
  const double length = plain.length(), start = d.start.chainage;
  for (int j = 1; j <= 20; ++j)
    d.breaks.push_back({"DL" + std::to_string(j), start + j * length / 21,
                        start + j * length / 21 + (j % 2 ? -15.5 : 12.25)});
  test::RandomRoute draw(11);
  const double spacing = length / (kRouteJds + 1);
  double elevation = 500;
  for (int i = 0; i < kRouteJds; ++i) {
    elevation += spacing * draw.uniform(-0.03, 0.03);
    d.gradePoints.push_back({"SJD" + std::to_string(i + 1),
                             plain.stationAt(spacing * (i + 0.5)).chainage, elevation,
                             std::round(10 * spacing)});
  }
  return d;
}

// The route opened in the panel from a file, as a user opens it, the panel
// shown.
quenlor::RouteTableModel* openBigRoute(quenlor::MainWindow& window, const QString& path) {
  quenlor::route::saveRouteFile(path.toStdString(), bigRoute());
  window.routePanel()->open(path);
  window.views()->setCurrentWidget(window.routePanel());
  auto* table = window.findChild<QTableView*>(QStringLiteral("jdTable"));
  auto* model = static_cast<quenlor::RouteTableModel*>(table->model());
  table->setFocus();
  table->scrollTo(model->index(kRouteJds / 2 + 1, 0), QAbstractItemView::PositionAtCenter);
  QCoreApplication::processEvents();
  return model;
}

// The middle JD's radius typed, one of two values in turn, each edit until
// the event loop is idle; then, as asked, the plan's scene made, or the plan
// painted.
enum class Plan { Hidden, Scene, Painted };
struct EditTimes {
  Spread wall, thread;
};
EditTimes cellEdits(quenlor::MainWindow& window, quenlor::RouteTableModel& table, int count,
                    Plan plan) {
  const QModelIndex radius = table.index(kRouteJds / 2 + 1, table.column("R"));
  static const QString radii[] = {table.data(radius, Qt::EditRole).toString(),
                                  QStringLiteral("2468")};
  static int edits = 0; // across calls, so that each edit changes the radius
  QPixmap picture(window.planView()->size());
  std::vector<double> wall, thread;
  for (int i = 0; i < count; ++i) {
    const auto start = Clock::now();
    const double cpu = threadMs();
    CALLGRIND_TOGGLE_COLLECT;
    table.setData(radius, radii[++edits % 2], Qt::EditRole);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    if (plan == Plan::Scene)
      window.planView()->scene();
    else if (plan == Plan::Painted)
      window.planView()->render(&picture);
    CALLGRIND_TOGGLE_COLLECT;
    thread.push_back(threadMs() - cpu);
    wall.push_back(milliseconds(Clock::now() - start));
  }
  return {spreadOf(wall), spreadOf(thread)};
}

void countCellEdits(quenlor::MainWindow& window, quenlor::RouteTableModel& table, int count,
                    Plan plan, const char* name) {
  cellEdits(window, table, 4, plan);
  CALLGRIND_ZERO_STATS;
  cellEdits(window, table, count, plan);
  const std::string dump = std::string(name) + " runs=" + std::to_string(count) + " characters=0";
  CALLGRIND_DUMP_STATS_AT(dump.c_str());
}

// What a write of the kept copy costs the window's thread (a change made,
// then the copy written as its timer would) and how long until it is on the
// disk, over `count` writes.
struct KeptTimes {
  Spread thread, wall;
};
KeptTimes keptCopies(quenlor::MainWindow& window, quenlor::RouteTableModel& table, int count) {
  quenlor::RouteDocument& document = window.routePanel()->document();
  std::vector<double> thread, wall;
  for (int i = 0; i < count; ++i) {
    cellEdits(window, table, 1, Plan::Hidden);
    const auto start = Clock::now();
    const double cpu = threadMs();
    document.flushAutosave();
    thread.push_back(threadMs() - cpu);
    wall.push_back(milliseconds(Clock::now() - start));
  }
  return {spreadOf(thread), spreadOf(wall)};
}

} // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  if (argc > 1 && std::string(argv[1]) == "--first-frame")
    return firstFrame(argc, argv);
  const bool instructions = argc > 1 && std::string(argv[1]) == "--instructions";

  std::vector<double> starts;
  for (int i = 0; i < 15 && !instructions; ++i)
    if (const double t = timeToFirstFrame(argv[0]); t >= 0)
      starts.push_back(t);

  QApplication app(argc, argv);
  quenlor::MainWindow window;
  window.resize(1280, 800);
  window.show();
  std::istringstream session(kWorkedCurve);
  std::ostringstream ignored;
  quenlor::runScript(window.form(), session, ignored, ignored);
  QCoreApplication::processEvents();
  window.repaint();

  // Kept copies go to a folder of the benchmark's own, removed at the end.
  QStandardPaths::setTestModeEnabled(true);
  QDir(quenlor::RouteDocument::dataFolder()).removeRecursively();
  const QString routePath =
      QDir::temp().filePath(QStringLiteral("quenlor-window-bench-%1.csv").arg(::getpid()));
  const auto cleanUp = [&] {
    QFile::remove(routePath);
    QDir(quenlor::RouteDocument::dataFolder()).removeRecursively();
  };

  if (instructions) {
    countKeystrokes(window, quenlor::Box::Text26, 100, "KeyPressText26");
    showStakeTable(window);
    countKeystrokes(window, quenlor::Box::Text26, 100, "KeyPressText26WithTable");
    countKeystrokes(window, quenlor::Box::Text9, 20, "KeyPressText9WithTable");
    quenlor::RouteTableModel* table = openBigRoute(window, routePath);
    countCellEdits(window, *table, 20, Plan::Hidden, "RouteCellEdit10000JdsAndTable");
    hideStakeTable(window);
    countCellEdits(window, *table, 20, Plan::Hidden, "RouteCellEdit10000Jds");
    countCellEdits(window, *table, 20, Plan::Scene, "RouteCellEditAndPlanScene10000Jds");
    countCellEdits(window, *table, 20, Plan::Painted, "RouteCellEditAndPlanPainted10000Jds");
    cleanUp();
    return 0;
  }

  std::printf("| %-46s | %10s | %10s | %10s | %-4s | %-12s |\n", "window", "median", "p10", "p90",
              "unit", "target");
  std::printf("|%s|%s|%s|%s|%s|%s|\n", std::string(48, '-').c_str(), std::string(12, '-').c_str(),
              std::string(12, '-').c_str(), std::string(12, '-').c_str(),
              std::string(6, '-').c_str(), std::string(14, '-').c_str());
  PaintCounter counter;
  app.installEventFilter(&counter);
  report("key press in Text26 to repainted window", keystrokes(window, quenlor::Box::Text26, 400),
         "ms", "< 2");
  std::printf("| %-46s | %10.1f | %10s | %10s | %-4s | %-12s |\n",
              "  widgets repainted per keystroke", double(counter.paints) / 400, "", "", "", "");

  // The same with a stake table of 100,000 rows on show: a keystroke that
  // changes the curve makes the table again, whose rows are made as shown.
  showStakeTable(window);
  report("  the same, with a 100,000-row stake table",
         keystrokes(window, quenlor::Box::Text26, 400), "ms", "< 2");
  report("  key press in Text9: curve, plan, 100,000 rows",
         keystrokes(window, quenlor::Box::Text9, 100), "ms", "<= 16");

  if (!starts.empty())
    report("process start to first painted frame", spreadOf(starts), "ms", "< 250");
  const double peak = peakResidentMiB();
  report("peak resident memory of the window", {peak, peak, peak}, "MiB", "< 60");

  // The route panel on a route of 10,000 JDs and as many grade points.
  quenlor::RouteTableModel* table = openBigRoute(window, routePath);
  cellEdits(window, *table, 4, Plan::Painted); // the first edits warm up caches and glyphs
  const EditTimes withTable = cellEdits(window, *table, 100, Plan::Hidden);
  hideStakeTable(window);
  cellEdits(window, *table, 4, Plan::Hidden);
  const EditTimes edit = cellEdits(window, *table, 100, Plan::Hidden);
  const EditTimes withScene = cellEdits(window, *table, 100, Plan::Scene);
  const EditTimes painted = cellEdits(window, *table, 100, Plan::Painted);
  const KeptTimes kept = keptCopies(window, *table, 10);
  // The plan shares its place with the route panel: while the table is
  // edited the plan is not shown, and its scene is made when it is.
  report("route cell edit, 10,000 JDs: wall", edit.wall, "ms", "");
  report("  processor time, the window's thread", edit.thread, "ms", "<= 5");
  report("  with a 100,001-row stake table: wall", withTable.wall, "ms", "");
  report("  processor time, the window's thread", withTable.thread, "ms", "");
  report("  and the plan's scene made: wall", withScene.wall, "ms", "");
  report("  processor time, the window's thread", withScene.thread, "ms", "");
  report("  and the plan painted: wall", painted.wall, "ms", "");
  report("  processor time, the window's thread", painted.thread, "ms", "");
  report("kept copy of it: the window's thread", kept.thread, "ms", "");
  report("  until it is on the disk", kept.wall, "ms", "");
  cleanUp();
  return 0;
}
