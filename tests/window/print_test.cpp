// SPDX-License-Identifier: GPL-3.0-or-later
// The stake sheet on paper, written to PDF and read back by poppler: a page
// renders (pdftoppm), the headings, the header and a known row are in its
// text (pdftotext).
#include "app/route_sheets_print.h"
#include "app/stake_sheet_print.h"
#include "form/form.h"
#include "route/route_file.h"
#include "session/field_tools.h"
#include "session/route_model.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace quenlor;

class PrintTest : public QObject {
  Q_OBJECT

private slots:
  void aPdfSheetRendersWithItsHeadingsAndRows() {
    auto definition = route::openRouteFile(QUENLOR_EXAMPLE_ROUTE);
    QVERIFY(definition);
    const auto route = std::make_shared<const RouteModel>(*definition);
    const Form form;
    FieldQueries q;
    // Enough rows for a second page.
    q.table = TableQuery{*route::parseStation("0"), *route::parseStation("2000"), 20, 7.5};
    const TableAnswer table = answerFieldTools(form, route, q).table;
    StationSetUp setUp;
    setUp.name = "T1";
    setUp.station = PlanePoint{3456700, 512400};
    setUp.backsight = PlanePoint{3456900, 512200};
    setUp.elevation = 152.36;
    setUp.instrumentHeight = 1.52;
    const exchange::SheetHeader header{"示例路线", setUp, "2024-05-01", Precision::Field};
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("sheet.pdf"));
    QVERIFY2(saveStakeSheetPdf(pdf, table, header).startsWith(QStringLiteral("已打印")),
             "not written");

    QProcess::execute(QStringLiteral("pdftoppm"),
                      {QStringLiteral("-r"), QStringLiteral("30"), QStringLiteral("-png"),
                       QStringLiteral("-f"), QStringLiteral("2"), QStringLiteral("-l"),
                       QStringLiteral("2"), pdf, folder.filePath(QStringLiteral("page"))});
    QVERIFY(QFileInfo(folder.filePath(QStringLiteral("page-2.png"))).size() > 0);

    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished());
    const QString all = QString::fromUtf8(text.readAllStandardOutput());
    const QStringList pages = all.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    QVERIFY(pages.size() >= 2);
    for (const QString& page : pages) // headings and header repeated on every page
      for (const char* word : {"放样表", "示例路线", "桩号", "放线方位角", "2024-05-01",
                               "毫米，整秒", "T1", "152.360", "1.520", "314°59′59″", "282.843"})
        QVERIFY2(page.contains(QString::fromUtf8(word)), word);
    // pdftotext drops the spaces between Chinese and digits.
    QVERIFY(QString(pages[1]).remove(QLatin1Char(' ')).contains(QStringLiteral("第2页/共")));
    // A known row: K0+100, its X as the table gives it.
    const QString x =
        QString::fromStdString(stakeColumns(true, true)[2].cell(table.row(5), Precision::Field));
    QVERIFY(all.contains(QRegularExpression(QStringLiteral("K0\\+100\\.000 +中 +") +
                                            QRegularExpression::escape(x))));
  }

  // With no offset typed the side stakes stand at the template's edges: each
  // side's line on the sheet gives how far out it stands, the side's fall
  // and its design elevation. At K0+100, on the straight, the left edge is
  // 5.25 m out at the normal crown, 133.66296 − 0.1125 = 133.550.
  void aPdfSheetGivesTheEdgeStakes() {
    const auto route =
        std::make_shared<const RouteModel>(*route::openRouteFile(QUENLOR_EXAMPLE_ROUTE));
    FieldQueries q;
    q.table = TableQuery{{100, 0}, {100, 0}, 20};
    const TableAnswer table = answerFieldTools(Form{}, route, q).table;
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("edges.pdf"));
    QVERIFY(saveStakeSheetPdf(pdf, table, {"示例路线", {}, "2024-05-01", Precision::Field})
                .startsWith(QStringLiteral("已打印")));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished());
    const QString all = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY2(all.contains(QRegularExpression(
                 QStringLiteral("5\\.250 +-2\\.00% +左 +\\S+ +\\S+ +133\\.550"))),
             qPrintable(all));
  }

  // The JD table on A4 across, one page: its groups of headings, and JD3 of
  // the example route (worked by hand in tests/exchange/files_test.cpp: 18°
  // right, R 1500 without transitions, T 237.577, L 471.239, E 18.698,
  // J 3.914) on its row, its ZY, QZ and YZ after J.
  void aPdfJdTableRendersWithItsHeadingsAndAWorkedJd() {
    const RouteModel route(*route::openRouteFile(QUENLOR_EXAMPLE_ROUTE));
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("jd.pdf"));
    QVERIFY(saveJdSheetPdf(pdf, route.route(), {"示例路线", {}, "2024-05-01", Precision::Field})
                .startsWith(QStringLiteral("已打印")));
    QProcess::execute(QStringLiteral("pdftoppm"),
                      {QStringLiteral("-r"), QStringLiteral("30"), QStringLiteral("-png"), pdf,
                       folder.filePath(QStringLiteral("page"))});
    QVERIFY(QFileInfo(folder.filePath(QStringLiteral("page-1.png"))).size() > 0);
    const QString all = pdfText(pdf);
    for (const char* word : {"直线、曲线及转角表", "示例路线", "交点坐标", "转角值", "曲线要素值",
                             "曲线主点桩号", "直线长度及方向", "计算方位角", "HY(ZY)"})
      QVERIFY2(all.contains(QString::fromUtf8(word)), word);
    QVERIFY2(all.contains(QRegularExpression(QStringLiteral(
                 "JD3 +3458236\\.661 +514727\\.057 +K\\d\\+\\d{3}\\.\\d{3} +18°00′00″ +1500\\.000 "
                 "+237\\.577 +237\\.577 +471\\.239 +18\\.698 +3\\.914( "
                 "+K\\d\\+\\d{3}\\.\\d{3}){3}\\n"))),
             qPrintable(all));
  }

  // The coordinate table of a 20 m table over 2 km on A4 down, in bands side
  // by side (two at a readable size): its headings twice across, a known
  // stake's X.
  void aPdfCoordinateTableStandsInBands() {
    const auto route =
        std::make_shared<const RouteModel>(*route::openRouteFile(QUENLOR_EXAMPLE_ROUTE));
    FieldQueries q;
    q.table = TableQuery{{0, 0}, {2000, 0}, 20};
    const TableAnswer table = answerFieldTools(Form{}, route, q).table;
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("zb.pdf"));
    QVERIFY(saveCoordinateSheetPdf(pdf, table, {"示例路线", {}, "2024-05-01", Precision::Field})
                .startsWith(QStringLiteral("已打印")));
    const QStringList pages = pdfText(pdf).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    QVERIFY(!pages.isEmpty());
    QCOMPARE(pages[0].count(QStringLiteral("切线方位角")), 2);
    QVERIFY(pages[0].contains(QStringLiteral("逐桩坐标表")));
    const QString x =
        QString::fromStdString(coordinateColumns(true)[2].cell(table.row(5), Precision::Field));
    QVERIFY(pages[0].contains(
        QRegularExpression(QStringLiteral("K0\\+100\\.000 +") + QRegularExpression::escape(x))));
  }

private:
  static QString pdfText(const QString& pdf) {
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    text.waitForFinished();
    return QString::fromUtf8(text.readAllStandardOutput());
  }
};

QTEST_MAIN(PrintTest)
#include "print_test.moc"
