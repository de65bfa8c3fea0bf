// SPDX-License-Identifier: GPL-3.0-or-later
// The route panel through the window: files opened, edited and saved, rows
// pasted, bad files refused, the kept copy brought back (after a kill too),
// two windows on one file, a JD carried into the boxes, what the tools and
// the notice line say at the route's edges, the route's name and stations,
// the exports from the panel, and whole-route labels near their points.
#include "app/drawing/notice_label.h"
#include "app/field_tools.h"
#include "app/kept_copy.h"
#include "app/main_window.h"
#include "app/plan_view.h"
#include "app/route_panel.h"
#include "app/route_tables.h"
#include "files/save_file.h"
#include "geometry/angle_text.h"
#include "numeric/chainage_text.h"
#include "numeric/number_text.h"
#include "route/route.h"
#include "route/route_file.h"
#include "support/field_tool_keys.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <future>
#include <mutex>
#include <numbers>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

using quenlor::Box;
using quenlor::MainWindow;
using quenlor::RouteDocument;
using Answer = quenlor::RoutePanel::SaveAnswer;

namespace {

QByteArray bytesOf(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void setRadius(MainWindow& window, const char* radius) {
  QAbstractItemModel* table = window.findChild<QTableView*>(QStringLiteral("jdTable"))->model();
  table->setData(table->index(1, static_cast<quenlor::RouteTableModel*>(table)->column("R")),
                 QString::fromUtf8(radius));
}

// The child of the kill test: it opens the route, makes an edit that its
// kept copy takes, makes another, saves, says so and waits to be killed.
int saveAndWait(const QString& path) {
  QStandardPaths::setTestModeEnabled(true);
  MainWindow window;
  quenlor::RoutePanel& panel = *window.routePanel();
  if (!panel.open(path))
    return 1;
  setRadius(window, "1111");
  panel.document().flushAutosave();
  setRadius(window, "2222");
  if (!panel.save())
    return 1;
  std::puts("saved");
  std::fflush(stdout);
  for (;;)
    ::pause();
}

// The child of the crash test: it opens the route, types three radii in a
// burst, says so and runs its event loop until it is killed: its kept copy is
// left to the timer and the writer, as in use.
int editAndWait(const QString& path) {
  QStandardPaths::setTestModeEnabled(true);
  MainWindow window;
  if (!window.routePanel()->open(path))
    return 1;
  for (const char* radius : {"1111", "2222", "3333"})
    setRadius(window, radius);
  std::puts("edited");
  std::fflush(stdout);
  return QApplication::exec();
}

} // namespace

class RoutePanelTest : public QObject {
  Q_OBJECT

private:
  std::unique_ptr<MainWindow> window;
  std::unique_ptr<QTemporaryDir> dir;

  quenlor::RoutePanel* panel() const { return window->routePanel(); }
  const quenlor::route::RouteDefinition& shown() const {
    return panel()->document().route().definition();
  }
  QAbstractItemModel* jdTable() const {
    return window->findChild<QTableView*>(QStringLiteral("jdTable"))->model();
  }
  // The JD table's cell of a row under a heading.
  QModelIndex at(int row, const char* heading) const {
    return jdTable()->index(row,
                            static_cast<quenlor::RouteTableModel*>(jdTable())->column(heading));
  }
  QString cell(int row, const char* heading) const {
    return jdTable()->data(at(row, heading)).toString();
  }
  QAbstractItemModel* elementTable() const {
    return window->findChild<QTableView*>(QStringLiteral("elementTable"))->model();
  }
  QModelIndex elementAt(int row, const char* heading) const {
    auto* model = static_cast<quenlor::RouteTableModel*>(elementTable());
    return model->index(row, model->column(heading));
  }
  QString elementCell(int row, const char* heading) const {
    return elementTable()->data(elementAt(row, heading)).toString();
  }
  QString checkCell(int row) const {
    auto* model = static_cast<quenlor::RouteTableModel*>(elementTable());
    return model->data(model->index(row, model->checkColumn()), Qt::DisplayRole).toString();
  }
  // Which of the JD and element tables the panel shows.
  bool showsTab(const char* title) const {
    auto* tabs = window->findChild<QTabWidget*>(QStringLiteral("routeTables"));
    for (int i = 0; i < tabs->count(); ++i)
      if (tabs->tabText(i) == QString::fromUtf8(title))
        return tabs->isTabVisible(i);
    return false;
  }
  // A copy of the example route in the test's folder, opened.
  QString openExample() {
    const QString path = dir->filePath(QStringLiteral("route.csv"));
    QFile::remove(path);
    QFile::copy(QStringLiteral(QUENLOR_EXAMPLE_ROUTE), path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    [&] { QVERIFY(panel()->open(path)); }();
    return path;
  }
  QString write(const char* name, const QByteArray& bytes) {
    QFile file(dir->filePath(QString::fromUtf8(name)));
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return file.fileName();
  }

  // The save question, answered for the user and counted.
  void answerFor(MainWindow& w) {
    w.routePanel()->setSaveQuestion([this] {
      ++asked;
      return answer;
    });
  }
  int asked = 0;
  Answer answer = Answer::Cancel;

  // The next file dialog answered as a user would: the type chosen, the
  // name typed, 保存 pressed.
  static void answerFileDialog(const QString& file, const QString& type = {}) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [=] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!dialog)
        return;
      if (!type.isEmpty())
        dialog->selectNameFilter(type);
      dialog->selectFile(file);
      QMetaObject::invokeMethod(dialog, "accept");
      poll->deleteLater();
    });
    poll->start(10);
  }

private slots:
  // The route's name and its station in use, set in the panel, are kept in
  // the route file; the stake table sets out from that station, the DXF from
  // the panel holds the table's stakes, and the point list button writes
  // them, east first when that type is chosen.
  void nameStationAndExportsFromThePanel() {
    const QString path = openExample();
    window->findChild<QTabWidget*>(QStringLiteral("views"))->setCurrentWidget(panel());
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    auto* name = window->findChild<QLineEdit*>(QStringLiteral("routeName"));
    name->setFocus();
    name->selectAll();
    name->insert(QStringLiteral("一号线")); // as an input method gives it: keys are Latin only
    QTest::keyClick(name, Qt::Key_Return);
    QCOMPARE(shown().name, std::string("一号线"));

    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("addStation")),
                      Qt::LeftButton);
    auto* stations = window->findChild<QTableView*>(QStringLiteral("stationTable"));
    auto* model = static_cast<quenlor::RouteTableModel*>(stations->model());
    QCOMPARE(model->rowCount(), 1);
    QAbstractItemModel* typed = model;
    QVERIFY(typed->setData(model->index(0, model->column("X")), QStringLiteral("3456700")));
    QVERIFY(typed->setData(model->index(0, model->column("Y")), QStringLiteral("512400")));
    stations->setCurrentIndex(model->index(0, 0));
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("useStation")),
                      Qt::LeftButton);
    QVERIFY(panel()->save());
    const auto saved = quenlor::route::openRouteFile(path.toStdString());
    QVERIFY(saved);
    QCOMPARE(saved->name, std::string("一号线"));
    QCOMPARE(saved->stations.size(), std::size_t(1));
    QVERIFY(saved->stations[0].inUse);

    quenlor::FieldToolsPanel* tools = window->fieldTools();
    tools->fill(QStringLiteral("tableStart"), QStringLiteral("0"));
    tools->fill(QStringLiteral("tableEnd"), QStringLiteral("100"));
    tools->fill(QStringLiteral("tableInterval"), QStringLiteral("20"));
    QCoreApplication::processEvents();
    const quenlor::TableAnswer& table = tools->answers().table;
    QVERIFY(table.size() >= 6);
    const quenlor::StakeRow first = table.row(0);
    QVERIFY(first.centre && first.setOut);
    QCOMPARE(first.setOut->distance,
             std::hypot(first.centre->point.x - 3456700, first.centre->point.y - 512400));

    const QString dxf = dir->filePath(QStringLiteral("plan.dxf"));
    answerFileDialog(dxf);
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("exportDxf")), Qt::LeftButton);
    // Group codes: a code line, a value line; an entity starts at code 0,
    // its layer is code 8.
    const QList<QByteArray> codes = bytesOf(dxf).split('\n');
    int stakePoints = 0;
    QByteArray entity;
    for (qsizetype i = 0; i + 1 < codes.size(); i += 2) {
      const int code = codes[i].trimmed().toInt();
      if (code == 0)
        entity = codes[i + 1].trimmed();
      if (code == 8 && entity == "POINT" && codes[i + 1].trimmed() == "STAKE")
        ++stakePoints;
    }
    // No offset: the side stakes stand at the template's edges.
    QCOMPARE(stakePoints, 3 * int(table.size()));

    const QString points = dir->filePath(QStringLiteral("points.csv"));
    answerFileDialog(points, QStringLiteral("全站仪坐标 点名,Y,X,Z (*.csv)"));
    QTest::mouseClick(tools->findChild<QPushButton*>(QStringLiteral("exportPoints")),
                      Qt::LeftButton);
    const QList<QByteArray> lines = bytesOf(points).split('\n');
    // Each row's centre and its two edge stakes, and the empty line after the last.
    QCOMPARE(lines.size(), 3 * qsizetype(table.size()) + 1);
    const QList<QByteArray> cells = lines[0].trimmed().split(',');
    QCOMPARE(cells.size(), 4);
    QCOMPARE(cells[0], QByteArray("K0+000.000"));
    QCOMPARE(cells[1].toDouble(), std::round(first.centre->point.y * 1000) / 1000);
    QCOMPARE(cells[2].toDouble(), std::round(first.centre->point.x * 1000) / 1000);
  }

  // The whole route at its smallest scale, on a 1024x600 window and a wide
  // one: every label within 30 px of its point, or tied to it by a leader
  // line from the point to the label's nearest edge.
  void wholeRouteLabelsStayNearTheirPoints() {
    openExample();
    for (const QSize size : {QSize(1024, 600), QSize(1600, 900)}) {
      window->resize(size);
      quenlor::PlanView* plan = window->planView();
      window->views()->setCurrentWidget(plan);
      plan->grab();
      const auto& labels = plan->labelPlaces();
      const auto& anchors = plan->labelAnchors();
      QCOMPARE(anchors.size(), labels.size());
      QVERIFY(labels.size() >= 8); // JDs, BP, EP and main points
      for (std::size_t i = 0; i < labels.size(); ++i) {
        const QRectF r = labels[i];
        const QPointF p = anchors[i];
        const QPointF nearest(std::clamp(p.x(), r.left(), r.right()),
                              std::clamp(p.y(), r.top(), r.bottom()));
        if (QLineF(p, nearest).length() <= quenlor::PlanView::kLeaderBeyond)
          continue;
        const auto& leaders = plan->labelLeaders();
        QVERIFY2(std::find(leaders.begin(), leaders.end(), QLineF(p, nearest)) != leaders.end(),
                 qPrintable(QStringLiteral("label %1 stands %2 px off without a leader")
                                .arg(i)
                                .arg(QLineF(p, nearest).length())));
      }
    }
  }

  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
  void init() {
    QDir(RouteDocument::dataFolder()).removeRecursively();
    dir = std::make_unique<QTemporaryDir>();
    window = std::make_unique<MainWindow>();
    window->resize(1600, 900);
    window->show();
    asked = 0;
    answer = Answer::Cancel;
    answerFor(*window);
    ::alarm(60); // a read that blocks ends the run instead of hanging it
  }
  void cleanup() {
    ::alarm(0);
    quenlor::setWriteFault(std::nullopt);
    window.reset();
    QDir(RouteDocument::dataFolder()).removeRecursively();
  }

  // A cell typed into the table edits the route, which saves to its file
  // and reads back the same.
  void editedRouteSavesAndReadsBack() {
    const QString path = openExample();
    const auto model = panel()->document().model();
    const auto version = model->version();
    QVERIFY(jdTable()->setData(at(1, "R"), QStringLiteral("1250.5")));
    QCOMPARE(shown().jds[0].radius, 1250.5);
    QCOMPARE(panel()->document().model(), model); // the one model, edited in place
    QVERIFY(model->version() > version);
    QVERIFY(panel()->document().modified());
    QVERIFY(panel()->save());
    QVERIFY(!panel()->document().modified());
    const auto onDisk = quenlor::route::openRouteFile(path.toStdString());
    QVERIFY(onDisk && *onDisk == shown());
    // A refused cell keeps its value and says why.
    QVERIFY(!jdTable()->setData(at(1, "X"), QStringLiteral("12,5")));
    QCOMPARE(shown(), *onDisk);
    QVERIFY(panel()->notice().contains(QStringLiteral("不是数字")));
  }

  // A cell edit repaints the table it changed, not the panel around it: a
  // whole panel laid out again on every edit costs a 10,000-JD route more
  // than the edit itself.
  void aCellEditRepaintsTheTableNotThePanel() {
    openExample();
    window->views()->setCurrentWidget(panel());
    QVERIFY(jdTable()->setData(at(1, "R"), QStringLiteral("1250.5")));
    QCoreApplication::processEvents();
    struct Paints : QObject {
      bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Paint)
          (qobject_cast<QPushButton*>(object) ? buttons : others) += 1;
        return false;
      }
      int buttons = 0, others = 0;
    } paints;
    qApp->installEventFilter(&paints);
    QVERIFY(jdTable()->setData(at(1, "R"), QStringLiteral("1260")));
    QCoreApplication::processEvents();
    qApp->removeEventFilter(&paints);
    QVERIFY(paints.others > 0); // the table's cells
    QCOMPARE(paints.buttons, 0);
    auto* tables = window->findChild<QTabWidget*>(QStringLiteral("routeTables"));
    QStringList shown;
    for (int i = 0; i < tables->count(); ++i)
      if (tables->isTabVisible(i))
        shown << tables->tabText(i);
    QVERIFY(shown.contains(QStringLiteral("交点")) && !shown.contains(QStringLiteral("线元")));
  }

  // The cross section's tables edit the route: a station row typed at
  // K0+100, on the straight before JD1, shows the left edge's design
  // elevation; its left fall typed steeper moves that edge. By hand: the
  // profile at 100 is 132.5 + 100 × 15.7 / 1350 = 133.66296; on the normal
  // crown the lanes and hard shoulder fall 4.50 × 2 % and the soil shoulder
  // 0.75 × 3 %: 133.66296 − 0.1125 = 133.550. At −4 the soil shoulder takes
  // the lanes' steeper fall: 133.66296 − 5.25 × 4 % = 133.453.
  void sectionTablesEditTheEdges() {
    openExample();
    auto* stations = window->findChild<QTableView*>(QStringLiteral("wideningTable"))->model();
    auto* columns = static_cast<quenlor::RouteTableModel*>(stations);
    window->findChild<QPushButton*>(QStringLiteral("addWideningRow"))->click();
    QCOMPARE(stations->rowCount(), 1);
    const auto cellOf = [&](const char* heading) {
      return stations->index(0, columns->column(heading));
    };
    QVERIFY(stations->setData(cellOf("桩号"), QStringLiteral("K0+100")));
    QCOMPARE(stations->data(cellOf("左边缘高程")).toString(), QStringLiteral("133.550"));
    QVERIFY(stations->setData(cellOf("左横坡%"), QStringLiteral("-4")));
    QCOMPARE(shown().section.stations[0].leftFall, -4.0);
    QCOMPARE(stations->data(cellOf("左边缘高程")).toString(), QStringLiteral("133.453"));
    // The template's fall typed as a design table prints it falls outwards.
    auto* parts = window->findChild<QTableView*>(QStringLiteral("templateTable"))->model();
    const int fall = static_cast<quenlor::RouteTableModel*>(parts)->column("横坡%");
    QVERIFY(parts->setData(parts->index(2, fall), QStringLiteral("4%")));
    QCOMPARE(shown().section.road.left[2].fall, -4.0);
    // A curve's choice refused says why.
    auto* curves = window->findChild<QTableView*>(QStringLiteral("curveSectionTable"))->model();
    const int axis = static_cast<quenlor::RouteTableModel*>(curves)->column("旋转轴");
    QVERIFY(!curves->setData(curves->index(0, axis), QStringLiteral("绕桥")));
    QVERIFY(panel()->notice().contains(QStringLiteral("不是此列可选的值")));
    QVERIFY(curves->setData(curves->index(0, axis), QStringLiteral("绕内边线")));
    QCOMPARE(shown().jds[0].section.axis, quenlor::section::Axis::InnerEdge);
  }

  // Fault: a chainage cell's editor started from its K-notation, rounded to
  // the millimetre, so Enter on the cell unchanged cut BP's 1000.0004 to
  // 1000 and marked the route modified.
  void enterOnAnUnchangedCellChangesNothing() {
    openExample();
    const QModelIndex bp = at(0, "桩号");
    QVERIFY(jdTable()->setData(bp, QStringLiteral("1000.0004")));
    QVERIFY(panel()->save());
    auto* view = window->findChild<QTableView*>(QStringLiteral("jdTable"));
    view->setCurrentIndex(bp);
    view->edit(bp);
    auto* editor = view->viewport()->findChild<QLineEdit*>();
    QVERIFY(editor);
    QCOMPARE(editor->text(), QStringLiteral("1000.0004"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the delegate commits in a queued call
    QCOMPARE(shown().start.chainage, 1000.0004);
    QVERIFY(!panel()->document().modified());
  }

  // A route read from LandXML is a new route to be saved; the edits it
  // replaces are kept in the data folder. Without a route nothing exports.
  void importedRouteIsNewAndUnsaved() {
    window->findChild<QPushButton*>(QStringLiteral("exportLandXml"))->click();
    QVERIFY(panel()->notice().startsWith(QStringLiteral("没有可导出的路线")));
    openExample();
    QVERIFY(jdTable()->setData(at(1, "R"), QStringLiteral("999")));
    auto read = shown();
    read.jds.pop_back();
    const auto kept = panel()->document().keepUnsaved();
    QVERIFY(kept && kept->contains(RouteDocument::dataFolder()));
    panel()->document().adopt(read);
    QCOMPARE(shown(), read);
    QVERIFY(panel()->document().path().isEmpty());
    QVERIFY(panel()->document().modified());
  }

  // A LandXML file of several alignments: the first is read, and the list
  // beside the button takes another by its name; a route file opened after
  // it puts the list away.
  void anotherAlignmentOfTheFileIsTakenFromTheList() {
    panel()->importLandXmlFile(QStringLiteral(QUENLOR_EXCHANGE_DATA "/two-alignments.xml"));
    auto* list = window->findChild<QComboBox*>(QStringLiteral("landXmlAlignments"));
    QVERIFY(list && !list->isHidden());
    QCOMPARE(list->count(), 2);
    QCOMPARE(shown().name, std::string("K线"));
    emit list->activated(1);
    QCOMPARE(shown().name, std::string("A匝道"));
    QCOMPARE(list->currentIndex(), 1);
    openExample();
    QVERIFY(list->isHidden());
  }

  // Rows from a spreadsheet go in before the chosen JD; a bad row adds none
  // and names its line and column.
  void pastedRowsGoBeforeTheChosenJd() {
    openExample();
    panel()->selectJd(1);
    QApplication::clipboard()->setText(QStringLiteral("名称\tX\tY\tR\tLs\tls2\n"
                                                      "A1\t3457300\t513500\t500\t60\n"
                                                      "A2\t3457400\t513800\t400\t50\t40\r\n"));
    panel()->pasteJds();
    QCOMPARE(shown().jds.size(), std::size_t(8));
    QCOMPARE(shown().jds[1].name, std::string("A1"));
    QCOMPARE(shown().jds[1].ls2, std::nullopt);
    QCOMPARE(shown().jds[2].ls2, std::optional<double>(40));
    QCOMPARE(shown().jds[3].name, std::string("JD2"));
    const auto before = shown();
    QApplication::clipboard()->setText(QStringLiteral("B1\t1\t2\t300\nB2\t1\tx\t300\n"));
    panel()->pasteJds();
    QCOMPARE(shown(), before);
    QVERIFY2(panel()->notice().contains(QStringLiteral("第2行第3列")),
             qPrintable(panel()->notice()));
    // Copying rows gives the text pasting reads.
    panel()->selectJd(2);
    QTest::keyClick(window->findChild<QTableView*>(QStringLiteral("jdTable")), Qt::Key_C,
                    Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(),
             QStringLiteral("A2\t3457400\t513800\t400\t50\t40\n"));
  }

  // The check column's text on a row of the JD table.
  QString problemOf(int row) const {
    return jdTable()->data(jdTable()->index(row, jdTable()->columnCount() - 1)).toString();
  }
  // The checks of the route on show of one kind.
  std::vector<quenlor::route::Check> checksOf(quenlor::route::CheckKind kind) const {
    std::vector<quenlor::route::Check> found;
    for (const auto& c : panel()->document().route().checks())
      if (c.kind == kind)
        found.push_back(c);
    return found;
  }

  // An institute's 直线、曲线及转角表 as it copies from its sheet: a title,
  // two heading lines of merged cells in the institutes' order, the column
  // numbers, BP, the JDs and EP. Its figures are the example route's, printed
  // to the millimetre and the tenth of a second, except JD3's chainage (5 mm
  // off) and JD5's 转角 (3″ off): the route is the example's, the check column
  // says so on those two rows and nowhere else, and the notice names what
  // was not read. Ctrl+Z takes the paste back, Ctrl+Shift+Z does it again.
  void anInstitutesTablePastesByItsHeadingsAndIsUndone() {
    openExample();
    const auto example = shown();
    const quenlor::route::Route route(example);
    const auto metres = [](double v) { return QString::number(v, 'f', 3); };
    const auto chainage = [&](double measure) {
      return QString::fromStdString(quenlor::chainageText(route.stationAt(measure).chainage));
    };
    QString text = QStringLiteral(
        "直线、曲线及转角表\n"
        "交点号\t交点坐标(m)\t\t交点桩号\t转角值\t\t曲线要素值(m)\t\t\t\t\t\t"
        "曲线主点桩号\t\t\t直线长度及方向\t\t备注\n"
        "\tX(N)\tY(E)\t\t左转\t右转\t半径\t第一缓和曲线长度\t第二缓和曲线长度\t切线长度\t"
        "曲线长度\t外距\t第一缓和曲线起点\t曲线中点\t第二缓和曲线终点\t交点间距\t计算方位角\t\n"
        "1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\t13\t14\t15\t16\t17\t18\n");
    text += QStringLiteral("BP\t%1\t%2\tK0+000.000\t\t\t\t\t\t\t\t\t\t\t\t\t\t路线起点\n")
                .arg(metres(example.start.x), metres(example.start.y));
    for (std::size_t i = 0; i < example.jds.size(); ++i) {
      const auto& jd = example.jds[i];
      const auto r = route.jd(i);
      const double given = r.measure + (i == 2 ? 0.005 : 0);
      const double turn = r.curve.deflection + (i == 4 ? std::numbers::pi / 648000 * 3 : 0);
      const QString angle = QString::fromStdString(quenlor::dmsText(std::fabs(turn), 1));
      text += QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\t%7\t%8\t%9\t")
                  .arg(QString::fromStdString(jd.name), metres(jd.x), metres(jd.y), chainage(given),
                       turn < 0 ? angle : QString(), turn < 0 ? QString() : angle,
                       metres(jd.radius), metres(jd.ls1), metres(jd.secondTransition()));
      text +=
          QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\t\t\t\n")
              .arg(metres(r.curve.tangent1), metres(r.curve.length), metres(r.curve.external),
                   chainage(r.mainPoints.zh), chainage(r.mainPoints.qz), chainage(r.mainPoints.hz));
    }
    text += QStringLiteral("EP\t%1\t%2\t%3\t\t\t\t\t\t\t\t\t\t\t\t\t\t路线终点\n")
                .arg(metres(example.end.x), metres(example.end.y), chainage(route.length()));
    QApplication::clipboard()->setText(text);
    panel()->pasteJds();

    // The example's route, with what the table gives to be checked.
    auto typed = shown();
    QCOMPARE(typed.jds.size(), example.jds.size());
    for (std::size_t i = 0; i < typed.jds.size(); ++i) {
      QVERIFY(typed.jds[i].chainage && typed.jds[i].deflection);
      typed.jds[i].chainage.reset();
      typed.jds[i].deflection.reset();
      // The table prints ls2 where the example leaves it equal to Ls.
      QCOMPARE(typed.jds[i].secondTransition(), example.jds[i].secondTransition());
      typed.jds[i].ls2 = example.jds[i].ls2;
      typed.jds[i].section = example.jds[i].section; // a design table has no superelevation
    }
    QVERIFY(typed.end.chainage);
    typed.end.chainage.reset();
    QCOMPARE(typed, example);
    const QString notice = panel()->notice();
    QVERIFY2(notice.contains(QStringLiteral("已粘贴 6 个交点")) &&
                 notice.contains(QStringLiteral("切线长度")) &&
                 notice.contains(QStringLiteral("未识别而未读入的列：备注")),
             qPrintable(notice));
    const auto chainages = checksOf(quenlor::route::CheckKind::ChainageDiffers);
    const auto turns = checksOf(quenlor::route::CheckKind::DeflectionDiffers);
    QCOMPARE(chainages.size(), std::size_t(1));
    QCOMPARE(chainages[0].jd, 2);
    QVERIFY(std::fabs(chainages[0].amount + 0.005) < 0.0006);
    QCOMPARE(turns.size(), std::size_t(1));
    QCOMPARE(turns[0].jd, 4);
    QVERIFY(std::fabs(turns[0].amount + std::numbers::pi / 648000 * 3) <
            std::numbers::pi / 648000 * 0.06);
    for (int row = 0; row < jdTable()->rowCount(); ++row)
      QVERIFY2(problemOf(row).isEmpty() == (row != 3 && row != 5), qPrintable(problemOf(row)));
    QVERIFY2(problemOf(3).contains(QStringLiteral("设计表的桩号 K2+870.478")),
             qPrintable(problemOf(3)));
    QVERIFY2(problemOf(5).contains(QStringLiteral("输入的转角")), qPrintable(problemOf(5)));

    // Undone by the keys, the route is the one opened, and unmodified.
    const auto pasted = shown();
    auto* view = window->findChild<QTableView*>(QStringLiteral("jdTable"));
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(shown(), example);
    QVERIFY(!panel()->document().modified());
    QVERIFY2(panel()->notice().startsWith(QStringLiteral("已撤销：粘贴 6 个交点")),
             qPrintable(panel()->notice()));
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(shown(), pasted);
    QVERIFY(panel()->document().modified());
  }

  // A grade table pasted by its headings goes in before the chosen grade
  // point; the computed columns are named, and Ctrl+Z takes it back.
  void gradePointsPasteByTheirHeadings() {
    openExample();
    const auto example = shown();
    auto* view = window->findChild<QTableView*>(QStringLiteral("gradeTable"));
    view->selectionModel()->select(view->model()->index(1, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QApplication::clipboard()->setText(
        QStringLiteral("变坡点号\t桩号\t高程(m)\t竖曲线半径R(m)\t坡度(%)\n"
                       "SJD1a\tK0+700\t140.000\t8000\t0.5\n"));
    view->setFocus();
    QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(shown().gradePoints.size(), example.gradePoints.size() + 1);
    QCOMPARE(shown().gradePoints[1], (quenlor::route::GradePointRow{"SJD1a", 700, 140, 8000}));
    QVERIFY2(panel()->notice() == QStringLiteral("已粘贴 1 个变坡点；未读入 坡度(%)（由程序计算）"),
             qPrintable(panel()->notice()));
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(shown(), example);
  }

  // A JD's 转角 typed where the point after it is not known: JD6's as the
  // design gives it, and EP's distance from JD6, place EP where the example
  // has it; saved, the file holds both and reads back. A 转角 typed where
  // the coordinates give another is a check on its row.
  void aTypedDeflectionPlacesThePointAfterIt() {
    const QString path = openExample();
    const auto example = shown();
    const quenlor::route::Route route(example);
    const auto jd6 = route.jd(5);
    const QString turn =
        QString::fromStdString(quenlor::dmsText(std::fabs(jd6.curve.deflection), 3)) +
        (jd6.curve.deflection < 0 ? QStringLiteral(" 左") : QStringLiteral(" 右"));
    QVERIFY(jdTable()->setData(at(6, "转角"), turn));
    const double distance =
        std::hypot(example.end.x - example.jds[5].x, example.end.y - example.jds[5].y);
    QVERIFY(jdTable()->setData(at(7, "交点间距"), QString::number(distance, 'f', 4)));
    QVERIFY(shown().end.distance);
    QVERIFY(panel()->document().route().checks().empty());
    QVERIFY(std::fabs(cell(7, "X").toDouble() - example.end.x) < 0.0015);
    QVERIFY(std::fabs(cell(7, "Y").toDouble() - example.end.y) < 0.0015);
    QVERIFY(std::fabs(panel()->document().route().length() - route.length()) < 0.001);
    QVERIFY(panel()->save());
    const QByteArray bytes = bytesOf(path);
    QVERIFY2(bytes.contains("ahead,elevation,Rv,deflection,distance\r\n") &&
                 bytes.contains("\r\nEP,EP,,,,,,,,,,,"),
             bytes.constData());
    QCOMPARE(*quenlor::route::openRouteFile(path.toStdString()), shown());
    // JD2's 转角 typed 5″ from what its coordinates give.
    QVERIFY(jdTable()->setData(at(2, "转角"), QStringLiteral("41-30-05 左")));
    QVERIFY2(problemOf(2).contains(QStringLiteral("输入的转角 41°30′05.0″ 左")),
             qPrintable(problemOf(2)));
  }

  // The example's element table, exported by the panel, is a file of
  // element rows; opened, the element table takes the JD table's place, its
  // start chainages those of the JD table's main points, EP where the JD
  // table's is.
  void exportedElementTableOpensAsARouteByElements() {
    openExample();
    const QString zh = cell(1, "ZH"), hy = cell(1, "HY"), end = cell(7, "桩号");
    const QString path = dir->filePath(QStringLiteral("线元表.csv"));
    QVERIFY(panel()->exportElements(path));
    QCOMPARE(panel()->notice(), QStringLiteral("已保存 %1").arg(path));
    const QList<QByteArray> lines = bytesOf(path).split('\n');
    QVERIFY(lines.contains(QByteArray("序号,类型,起点桩号,起点X,起点Y,起点方位角,起点半径,终点半径,"
                                      "长度,转向,名称\r")));
    QVERIFY(panel()->open(path));
    QVERIFY(showsTab("线元"));
    QVERIFY(!showsTab("交点"));
    QCOMPARE(elementCell(2, "名称"), QStringLiteral("JD1 ZH"));
    QCOMPARE(elementCell(2, "类型"), QStringLiteral("缓和曲线"));
    QCOMPARE(elementCell(2, "起点桩号"), zh);
    QCOMPARE(elementCell(3, "起点桩号"), hy);
    QCOMPARE(elementCell(3, "差距"), QStringLiteral("0.000"));
    const int last = elementTable()->rowCount() - 1;
    QCOMPARE(elementCell(last, "名称"), QStringLiteral("EP"));
    QCOMPARE(elementCell(last, "起点桩号"), end);
    QVERIFY(panel()->notice().startsWith(QStringLiteral("已打开")));
    // A radius of zero is said on its row; a length typed moves the rows after it.
    QVERIFY(elementTable()->setData(elementAt(3, "起点半径"), QStringLiteral("0")));
    QCOMPARE(checkCell(3), QStringLiteral("JD1 HY：半径不大于 0，按直线计"));
    QVERIFY(elementTable()->setData(elementAt(1, "长度"), QStringLiteral("445")));
    QCOMPARE(elementCell(2, "起点桩号"), QStringLiteral("K0+445.000"));
    QVERIFY(elementTable()->setData(elementAt(2, "起点半径"), QStringLiteral("∞")));
    QVERIFY(!elementTable()->setData(elementAt(2, "转向"), QStringLiteral("R")));
    QVERIFY(panel()->notice().contains(QStringLiteral("不是转向")));
    // Saved and opened again: the same route.
    QVERIFY(panel()->save());
    const auto definition = shown();
    QVERIFY(panel()->open(path));
    QCOMPARE(shown(), definition);
  }

  // A new route is started by elements: BP typed on its row, elements pasted
  // from a spreadsheet, a start given off the chain shown with its gap; the
  // way back only while it has no element.
  void aNewRouteStartsByElements() {
    window->findChild<QPushButton*>(QStringLiteral("exportElements"))->click();
    QVERIFY(panel()->notice().startsWith(QStringLiteral("没有可导出的路线")));
    auto* byElements = window->findChild<QPushButton*>(QStringLiteral("startByElements"));
    QVERIFY(byElements->isEnabled());
    byElements->click();
    QVERIFY(showsTab("线元"));
    QVERIFY(elementTable()->setData(elementAt(0, "起点X"), QStringLiteral("1000")));
    QVERIFY(elementTable()->setData(elementAt(0, "起点Y"), QStringLiteral("2000")));
    QVERIFY(elementTable()->setData(elementAt(0, "起点方位角"), QStringLiteral("90")));
    QApplication::clipboard()->setText(
        QStringLiteral("类型\t长度\t起点半径\t终点半径\t转向\t已知X\t已知Y\n"
                       "直线\t100\t\t\t\t1000\t2000\n"
                       "圆曲线\t50\t100\t100\t右\t1000.3\t2100.4\n"));
    panel()->pasteElements();
    QCOMPARE(panel()->notice(),
             QStringLiteral("已粘贴 2 个线元；第2个线元：所给起点坐标与前面线元推算的起点不符"));
    QCOMPARE(elementCell(2, "起点X"), QStringLiteral("1000.000"));
    QCOMPARE(elementCell(2, "起点Y"), QStringLiteral("2100.000"));
    QCOMPARE(elementCell(2, "起点方位角"), QStringLiteral("90°00′00.0″"));
    QCOMPARE(elementCell(2, "差距"), QStringLiteral("0.500"));
    QVERIFY(checkCell(2).contains(QStringLiteral("推算的起点不符")));
    QCOMPARE(elementCell(1, "差距"), QStringLiteral("0.000"));
    // EP: the arc of R 100 turns 0.5 rad right from east, 50 m on.
    QCOMPARE(elementCell(3, "起点方位角"), QStringLiteral("118°38′52.4″"));
    QVERIFY(!window->findChild<QPushButton*>(QStringLiteral("startByJds"))->isEnabled());
    // The field tools stake on the typed route: K0+120 is 20 m into the arc,
    // whose chord 200·sin 0.1 = 19.96668 runs along 90° + 0.1 rad, from
    // X 1000 Y 2100: X 1000 - 19.96668·sin 0.1, Y 2100 + 19.96668·cos 0.1.
    // The straight typed 10 m longer puts it 10 m into the arc: chord
    // 200·sin 0.05 along 90° + 0.05 rad from X 1000 Y 2110.
    quenlor::FieldToolsPanel* tools = window->fieldTools();
    tools->fill(QStringLiteral("stakeChainage"), QStringLiteral("120"));
    tools->fill(QStringLiteral("stakeOffset"), QStringLiteral("0"));
    const auto stake = [&](const char* axis) {
      tools->recompute();
      return tools->findChild<QLineEdit*>(QString::fromUtf8(axis))->text();
    };
    QCOMPARE(stake("stakeX"), QStringLiteral("998.007"));
    QCOMPARE(stake("stakeY"), QStringLiteral("2119.867"));
    QVERIFY(elementTable()->setData(elementAt(1, "长度"), QStringLiteral("110")));
    QCOMPARE(stake("stakeX"), QStringLiteral("999.500"));
    QCOMPARE(stake("stakeY"), QStringLiteral("2119.983"));
    QApplication::clipboard()->setText(QStringLiteral("类型\t长度\n弧线\t50\n"));
    panel()->pasteElements();
    QCOMPARE(
        panel()->notice(),
        QStringLiteral("粘贴的第2行第1列（类型）：“弧线” 不是线元类型（直线、圆曲线或缓和曲线）"
                       "；第2个线元：所给起点坐标与前面线元推算的起点不符"));
    panel()->selectElement(1);
    QTest::keyClick(window->findChild<QTableView*>(QStringLiteral("elementTable")), Qt::Key_C,
                    Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(),
             QStringLiteral("名称\t类型\t起点半径\t终点半径\t长度\t转向\t已知X\t已知Y\n"
                            "\t圆曲线\t100\t100\t50\t右\t1000.3\t2100.4\n"));
  }

  // A route file dropped on a box opens in the panel instead of landing in
  // the box. (Qt delivers a drop only inside a drag, so the test hands the
  // event to the window's filter, as Qt does with a drop on a box.)
  void droppedFileOpensAsARoute() {
    const QString path = openExample();
    panel()->closeRoute();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    data.setText(path);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QObject* filter = window.get();
    QVERIFY(filter->eventFilter(window->box(Box::Text7), &drop));
    QCOMPARE(shown().jds.size(), std::size_t(6));
    QVERIFY(window->box(Box::Text7)->text().isEmpty());
  }

  // Each kind of unreadable file leaves the route on show as it was and
  // says why.
  void badFileChangesNothing_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("not a route") << QByteArray("a,b,c\n1,2,3\n");
    QTest::newRow("bad number") << QByteArray("quenlor-route,1,x\nkind,name,X,Y,chainage,R,Ls,ls2,"
                                              "ahead,elevation,Rv\nBP,BP,1x,2,0,,,,,,\n");
    QTest::newRow("binary") << QByteArray("\x7f"
                                          "ELF\0\0\x01\x02",
                                          8);
    QTest::newRow("missing") << QByteArray();
  }
  void badFileChangesNothing() {
    QFETCH(QByteArray, bytes);
    openExample();
    const auto before = shown();
    const QString path =
        bytes.isEmpty() ? dir->filePath(QStringLiteral("none.csv")) : write("bad.csv", bytes);
    QVERIFY(!panel()->open(path));
    QCOMPARE(shown(), before);
    QVERIFY(!panel()->document().modified());
    QVERIFY2(panel()->notice().startsWith(QStringLiteral("无法打开：")),
             qPrintable(panel()->notice()));
  }

  // Unsaved edits come back in the next window, still unsaved, and it says
  // so; its boxes start empty.
  void keptCopyComesBack() {
    const QString path = openExample();
    QVERIFY(jdTable()->setData(at(2, "名称"), QStringLiteral("交点二")));
    const auto edited = shown();
    window.reset(); // the pending copy is written as the window goes
    window = std::make_unique<MainWindow>();
    panel()->restoreAutosave();
    QCOMPARE(shown(), edited);
    QCOMPARE(panel()->document().path(), path);
    QVERIFY(panel()->document().modified());
    QVERIFY(panel()->notice().startsWith(QStringLiteral("已恢复上次的路线")));
    QVERIFY(window->box(Box::Text7)->text().isEmpty());
    // Closing the route drops the copy: nothing comes back.
    panel()->closeRoute();
    window = std::make_unique<MainWindow>();
    panel()->restoreAutosave();
    QVERIFY(panel()->document().isEmpty());
  }

  // A FIFO with no writer is refused at once, naming what it is.
  void fifoIsRefusedAtOnce() {
    const QString fifo = dir->filePath(QStringLiteral("pipe.csv"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QVERIFY(!panel()->open(fifo));
    QVERIFY2(panel()->notice().startsWith(QStringLiteral("无法打开：这是命名管道（FIFO）")),
             qPrintable(panel()->notice()));
  }

  // While the kept copy cannot be written the notice says so, and stays
  // through other news; a save that fails leaves the file; dropping the edits
  // that nothing holds asks, and only then.
  void aRouteThatCannotBeKeptSaysSoAndAsks() {
    const QString path = openExample();
    const QByteArray saved = bytesOf(path);
    quenlor::setWriteFault(quenlor::WriteFault{0, ENOSPC});
    QVERIFY(jdTable()->setData(at(1, "R"), QStringLiteral("999")));
    panel()->document().flushAutosave();
    const QString cannotKeep = QStringLiteral("路线未能保存到恢复副本：磁盘空间不足");
    QVERIFY2(panel()->notice().contains(cannotKeep), qPrintable(panel()->notice()));
    QVERIFY(!jdTable()->setData(at(1, "X"), QStringLiteral("x")));
    QVERIFY(panel()->notice().contains(cannotKeep));
    QVERIFY(!panel()->save());
    QVERIFY2(panel()->notice().startsWith(QStringLiteral("未能保存：磁盘空间不足（") + path),
             qPrintable(panel()->notice()));
    QCOMPARE(bytesOf(path), saved);
    QVERIFY(!panel()->mayCloseWindow());
    panel()->closeRoute();
    QCOMPARE(asked, 2);
    QCOMPARE(shown().jds[0].radius, 999.0); // cancelled: still open
    answer = Answer::Discard;
    panel()->closeRoute();
    QVERIFY(panel()->document().isEmpty());
    // Once the copy can be written again, nothing is asked and nothing said.
    quenlor::setWriteFault(std::nullopt);
    openExample();
    QVERIFY(jdTable()->setData(at(1, "R"), QStringLiteral("998")));
    QVERIFY(panel()->mayCloseWindow());
    QVERIFY(!panel()->notice().contains(cannotKeep));
    QCOMPARE(asked, 3);
  }

  // A kill at once after a save brings back what was saved, as saved; the
  // kept copy is the saved file byte for byte.
  void aKillRightAfterASaveBringsBackWhatWasSaved() {
    const QString path = dir->filePath(QStringLiteral("route.csv"));
    QFile::copy(QStringLiteral(QUENLOR_EXAMPLE_ROUTE), path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--save-and-wait"), path});
    QVERIFY(child.waitForReadyRead(20000));
    QCOMPARE(child.readAllStandardOutput(), QByteArray("saved\n"));
    child.kill();
    QVERIFY(child.waitForFinished());
    QVERIFY(panel()->restoreAutosave());
    QCOMPARE(shown().jds[0].radius, 2222.0);
    QVERIFY(!panel()->document().modified());
    QCOMPARE(bytesOf(panel()->document().keptCopyPath()), bytesOf(path));
  }

  // A burst of edits is kept by the timer and the writer alone: once the
  // copy holds the last edit, a kill brings it back, unsaved.
  void aKillAfterABurstOfEditsBringsBackTheLast() {
    const QString path = dir->filePath(QStringLiteral("route.csv"));
    QFile::copy(QStringLiteral(QUENLOR_EXAMPLE_ROUTE), path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--edit-and-wait"), path});
    QVERIFY(child.waitForReadyRead(20000));
    QCOMPARE(child.readAllStandardOutput(), QByteArray("edited\n"));
    const auto copyHoldsTheLast = [] {
      const QDir folder(RouteDocument::dataFolder());
      for (const QString& name : folder.entryList({QStringLiteral("*.csv")}, QDir::Files))
        if (bytesOf(folder.filePath(name)).contains(",JD1,3457291.707,512993.605,,3333,"))
          return true;
      return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(copyHoldsTheLast(), 20000);
    child.kill();
    QVERIFY(child.waitForFinished());
    QVERIFY(panel()->restoreAutosave());
    QCOMPARE(shown().jds[0].radius, 3333.0);
    QVERIFY(panel()->document().modified());
    QCOMPARE(panel()->document().path(), path);
  }

  // A copy is never on the disk without the path it came from: where the
  // path cannot be written, neither is the copy.
  void aKeptCopyIsWrittenAfterItsSource() {
    const QString folder = dir->filePath(QStringLiteral("kept"));
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/kept-1.source")));
    quenlor::KeptCopy copy(folder.toStdString());
    QVERIFY(!copy.write("route", "/home/a/route.csv"));
    QVERIFY(!QFile::exists(folder + QStringLiteral("/kept-1.csv")));
  }

  // Copies handed to the writer while it writes wait, the newest in the
  // place of the older: four handed over during one write make one write
  // more, of the last, which the copy holds; the window hears of both.
  void theWriterWritesTheNewestOfABurst() {
    quenlor::KeptCopy copy(dir->filePath(QStringLiteral("kept")).toStdString());
    std::promise<void> started, release;
    const std::shared_future<void> released = release.get_future().share();
    std::atomic<int> made = 0;
    std::mutex heard;
    std::vector<unsigned long> serials;
    {
      quenlor::CopyWriter writer(copy, [&](const quenlor::CopyWriter::Outcome& outcome) {
        const std::lock_guard lock(heard);
        serials.push_back(outcome.serial);
      });
      const auto text = [&](int n) {
        return [&made, n] {
          ++made;
          return quenlor::Expected<std::string>("copy " + std::to_string(n) + "\n");
        };
      };
      writer.post(
          [&] {
            started.set_value();
            released.wait();
            return text(1)();
          },
          "");
      started.get_future().wait();
      for (int n = 2; n <= 5; ++n)
        writer.post(text(n), "");
      release.set_value();
      const auto last = writer.wait();
      QVERIFY(last && last->kept);
      QCOMPARE(last->serial, 5ul);
    }
    QCOMPARE(made.load(), 2);
    QCOMPARE(serials, (std::vector<unsigned long>{1, 5}));
    QCOMPARE(bytesOf(QString::fromStdString(copy.copyPath())), QByteArray("copy 5\n"));
  }

  // Two windows on one file: the second is told, each keeps its own copy,
  // and a save over the other's is not done without a second press.
  void twoWindowsOnOneFile() {
    const QString path = openExample();
    MainWindow second;
    answerFor(second);
    QVERIFY(second.routePanel()->open(path));
    QVERIFY2(second.routePanel()->notice().contains(QStringLiteral("另一个窗口")),
             qPrintable(second.routePanel()->notice()));
    QVERIFY(!panel()->notice().contains(QStringLiteral("另一个窗口")));
    setRadius(*window, "1001");
    setRadius(second, "1002");
    panel()->document().flushAutosave();
    second.routePanel()->document().flushAutosave();
    const QString mine = panel()->document().keptCopyPath();
    const QString theirs = second.routePanel()->document().keptCopyPath();
    QVERIFY(mine != theirs);
    QCOMPARE(quenlor::route::openRouteFile(mine.toStdString())->jds[0].radius, 1001.0);
    QCOMPARE(quenlor::route::openRouteFile(theirs.toStdString())->jds[0].radius, 1002.0);
    QVERIFY(panel()->save());
    QVERIFY(!second.routePanel()->save());
    QVERIFY2(second.routePanel()->notice().contains(QStringLiteral("已被其他窗口或程序修改")),
             qPrintable(second.routePanel()->notice()));
    QCOMPARE(quenlor::route::openRouteFile(path.toStdString())->jds[0].radius, 1001.0);
    QVERIFY(second.routePanel()->save());
    QCOMPARE(quenlor::route::openRouteFile(path.toStdString())->jds[0].radius, 1002.0);
    QCOMPARE(asked, 0);
  }

  // Fault: the panels said nothing at the route's edges. The example
  // without SJD4, its profile ending at K4+600: a stake beyond it has no
  // design elevation and says why, so does a table across it; a table past
  // EP stops at EP; a point 30 m beyond EP on the last straight extended says
  // so; a chainage typed into the empty boxes fills JD2, whose stretch holds
  // K1+800; 填入窗口 with JD5 says the short break DL2 lies in its curve.
  void theToolsAndTheNoticeLineSayTheRoutesEdges() {
    QByteArray bytes = bytesOf(QStringLiteral(QUENLOR_EXAMPLE_ROUTE));
    bytes.replace("PVI,SJD4,,,6799.608,,,,,141.06,0\r\n", "");
    const qsizetype end = bytes.lastIndexOf("end,");
    const int records = bytes.mid(end + 4).trimmed().toInt();
    bytes.replace(end, bytes.size() - end, "end," + QByteArray::number(records - 1) + "\r\n");
    QVERIFY(panel()->open(write("short.csv", bytes)));
    quenlor::FieldToolsPanel* tools = window->fieldTools();
    const auto tool = [&](const char* name) { return quenlor::test::fieldTool(tools, name); };
    const auto typeTool = [&](const char* name, const QString& keys) {
      quenlor::test::typeIntoTool(tools, name, keys);
    };
    const auto note = [&](const char* name) { return tools->findChild<QLabel*>(name)->text(); };
    const auto notice = [&] { return tools->findChild<quenlor::NoticeLabel*>("notice")->notice(); };

    typeTool("stakeChainage", "K4+700");
    typeTool("stakeOffset", "0");
    QCOMPARE(tool("stakeDesign")->text(), QStringLiteral("纵断面止于 K4+600.000，此处无设计高程"));
    typeTool("tableStart", "K4+580");
    typeTool("tableEnd", "K4+620");
    typeTool("tableInterval", "20");
    typeTool("tableOffset", "0");
    QCOMPARE(note("tableNote"), QStringLiteral("3 行；K4+600.000 之后无设计高程（纵断面止于此）"));
    typeTool("tableStart", "K6+700");
    typeTool("tableEnd", "K7+000");
    // K6+700 to K6+780 and EP; the profile ends before them.
    QCOMPARE(note("tableNote"),
             QStringLiteral("6 行；K7+000.000 超出终点 EP（K6+799.608），表止于终点；"
                            "K4+600.000 之后无设计高程（纵断面止于此）"));

    const quenlor::route::Route& route = panel()->document().route();
    const auto ep = route.pointAt(route.length());
    QVERIFY(ep);
    typeTool("pointX", QString::number(ep->point.x + 30 * std::cos(ep->azimuth), 'f', 6));
    typeTool("pointY", QString::number(ep->point.y + 30 * std::sin(ep->azimuth), 'f', 6));
    QCOMPARE(note("foundNote"), QStringLiteral("超出终点 30.000 m"));

    QLineEdit* chainage = window->box(Box::Text26);
    chainage->setFocus();
    QTest::keyClicks(chainage, QStringLiteral("1800"));
    QCoreApplication::processEvents();
    QCOMPARE(window->box(Box::Text7)->text(), QStringLiteral("JD2"));
    QVERIFY2(notice().contains(QStringLiteral("已按计算桩号将路线的 JD2 填入输入框")),
             qPrintable(notice()));

    panel()->selectJd(4);
    panel()->fillWindow();
    QCoreApplication::processEvents();
    QVERIFY2(notice().contains(QStringLiteral(
                 "JD5 曲线内有断链 DL2 K5+200.000 = K5+215.300：输入框的主点桩号未计入断链")),
             qPrintable(notice()));
  }

  // 填入窗口 types the chosen JD into the boxes, whose own T and L agree
  // with the table's; 写回交点 carries a box back into the JD.
  void chosenJdFillsTheBoxesAndComesBack() {
    openExample();
    panel()->selectJd(0);
    panel()->fillWindow();
    QCOMPARE(window->box(Box::Text7)->text(), QStringLiteral("JD1"));
    QCOMPARE(window->box(Box::Text9)->text(), QStringLiteral("1200"));
    QCOMPARE(window->box(Box::Text13)->text(), QStringLiteral("3457291.707"));
    QCOMPARE(window->box(Box::Text15)->text(), QStringLiteral("3457487.448"));
    const auto boxNumber = [&](Box b) {
      return quenlor::parseNumber(window->box(b)->text().toStdString());
    };
    QVERIFY(std::fabs(boxNumber(Box::Text11) - cell(1, "T1").toDouble()) < 0.0015);
    QVERIFY(std::fabs(boxNumber(Box::Text34) - cell(1, "L").toDouble()) < 0.0015);
    QLineEdit* radius = window->box(Box::Text9);
    radius->setFocus();
    radius->selectAll();
    QTest::keyClicks(radius, QStringLiteral("12000"));
    panel()->writeBack();
    QCOMPARE(shown().jds[0].radius, 12000.0);
    QVERIFY(panel()->notice().contains(QStringLiteral("写回")));
  }
};

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc == 3 && std::string_view(argv[1]) == "--save-and-wait")
    return saveAndWait(QString::fromLocal8Bit(argv[2]));
  if (argc == 3 && std::string_view(argv[1]) == "--edit-and-wait")
    return editAndWait(QString::fromLocal8Bit(argv[2]));
  RoutePanelTest test;
  return QTest::qExec(&test, argc, argv);
}
#include "route_panel_test.moc"
