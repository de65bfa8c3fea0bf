// SPDX-License-Identifier: GPL-3.0-or-later
// The stake sheet on paper, written to PDF and read back by poppler: a page
// renders (pdftoppm), the headings, the header and a known row are in its
// text (pdftotext).
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
};

QTEST_MAIN(PrintTest)
#include "print_test.moc"
