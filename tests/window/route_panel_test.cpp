// SPDX-License-Identifier: GPL-3.0-or-later
// The route panel through the window: files opened, edited and saved, rows
// pasted, bad files refused, the kept copy brought back, and a JD carried
// into the boxes.
#include "app/main_window.h"
#include "app/route_panel.h"
#include "app/route_tables.h"
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

using quenlor::Box;
using quenlor::MainWindow;
using quenlor::RouteDocument;

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

private slots:
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
  void init() {
    QDir(RouteDocument::dataFolder()).removeRecursively();
    dir = std::make_unique<QTemporaryDir>();
    window = std::make_unique<MainWindow>();
    window->resize(1600, 900);
    window->show();
  }
  void cleanup() {
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

  // A route read from LandXML is a new route to be saved; the edits it
  // replaces are kept in the data folder. Without a route nothing exports.
  void importedRouteIsNewAndUnsaved() {
    window->findChild<QPushButton*>(QStringLiteral("exportLandXml"))->click();
    QVERIFY(panel()->notice().startsWith(QStringLiteral("没有可导出的路线")));
    openExample();
    QVERIFY(jdTable()->setData(at(1, "R"), QStringLiteral("999")));
    auto read = shown();
    read.jds.pop_back();
    const QString kept = panel()->document().adopt(read);
    QCOMPARE(shown(), read);
    QVERIFY(panel()->document().path().isEmpty());
    QVERIFY(panel()->document().modified());
    QVERIFY2(kept.contains(RouteDocument::dataFolder()), qPrintable(kept));
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

QTEST_MAIN(RoutePanelTest)
#include "route_panel_test.moc"
