// SPDX-License-Identifier: GPL-3.0-or-later
// The route panel through the window: files opened, edited and saved, rows
// pasted, bad files refused, the kept copy brought back (after a kill too),
// two windows on one file, and a JD carried into the boxes.
#include "app/main_window.h"
#include "app/route_panel.h"
#include "app/route_tables.h"
#include "files/save_file.h"
#include "numeric/number_text.h"
#include "route/route_file.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstdio>

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

private slots:
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

  // The cross section's tables edit the route: a station row typed at
  // K0+100, on the straight before JD1, shows the left edge's design
  // elevation; its left fall typed steeper moves that edge. By hand: the
  // profile at 100 is 132.5 + 100 × 15.7 / 1350 = 133.66296; on the normal
  // crown the lanes and hard shoulder fall 4.50 × 2 % and the soil shoulder
  // 0.75 × 3 %: 133.66296 − 0.1125 = 133.550. At −4 the soil shoulder takes
  // the lanes' steeper fall: 133.66296 − 5.25 × 4 % = 133.453.
  void sectionTablesEditTheEdges() {
    openExample();
    auto* stations = window->findChild<QTableView*>(QStringLiteral("stationTable"))->model();
    auto* columns = static_cast<quenlor::RouteTableModel*>(stations);
    window->findChild<QPushButton*>(QStringLiteral("addStation"))->click();
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
  RoutePanelTest test;
  return QTest::qExec(&test, argc, argv);
}
#include "route_panel_test.moc"
