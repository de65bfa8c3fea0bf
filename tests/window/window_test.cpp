// SPDX-License-Identifier: GPL-3.0-or-later
// The window through its real widgets: keys typed into the QLineEdits, clicks
// on the buttons, and what the boxes then show.
#include "app/control_table.h"
#include "app/field_tools.h"
#include "app/fonts.h"
#include "app/main_window.h"
#include "app/number_box.h"
#include "app/plan_view.h"
#include "app/readout_view.h"
#include "app/route_panel.h"
#include "app/translations.h"
#include "numeric/number_text.h"
#include "support/field_tool_keys.h"
#include "support/worked_curve.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

#include <sstream>

using quenlor::Box;
using quenlor::Button;
using quenlor::MainWindow;

class WindowTest : public QObject {
  Q_OBJECT

private:
  std::unique_ptr<MainWindow> window;

  QLineEdit* box(Box b) const { return window->box(b); }
  QString text(Box b) const { return box(b)->text(); }
  double number(Box b) const { return quenlor::parseNumber(text(b).toStdString()); }

  // Keys as a surveyor types them: a click into the box, the whole text
  // selected and typed over.
  void typeInto(Box b, const QString& keys) {
    QLineEdit* edit = box(b);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, keys);
  }

  void click(Button b) { QTest::mouseClick(window->button(b), Qt::LeftButton); }

  // A control's name and its place in pixels, from the table in twips.
  static QString nameOf(const quenlor::WindowControl& c) {
    return QString::fromUtf8(c.name.data(), qsizetype(c.name.size()));
  }
  static QRect placeOf(const quenlor::WindowControl& c) {
    return {c.left / 15, c.top / 15, c.width / 15, c.height / 15};
  }

  // The worked curve of the engine's tests, typed box by box.
  void typeWorkedCurve(bool right = true) {
    std::istringstream lines(quenlor::test::workedCurve(right));
    std::string set, name, keys;
    while (lines >> set >> name >> keys)
      typeInto(*quenlor::boxFromName(name), QString::fromStdString(keys));
  }

private slots:
  void init() {
    window = std::make_unique<MainWindow>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
  }
  void cleanup() { window.reset(); }

  // Every box empty, every control where the table says, the notice wrapped
  // in its box.
  void opensAsTheControlTableSays() {
    QCOMPARE(window->windowTitle(), QStringLiteral("Quenlor-测试"));
    QCOMPARE(window->objectName(), QStringLiteral("main"));
    const auto edits = window->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly);
    QCOMPARE(edits.size(), 44);
    for (const QLineEdit* edit : edits)
      QVERIFY2(edit->text().isEmpty(), qPrintable(edit->objectName()));
    QCOMPARE(window->findChildren<QLabel*>(Qt::FindDirectChildrenOnly).size(), 44);
    QCOMPARE(window->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly).size(), 6);
    for (const auto& control : quenlor::windowControls())
      QCOMPARE(window->findChild<QWidget*>(nameOf(control))->geometry(), placeOf(control));
    auto* notice = window->findChild<QLabel*>("Label2");
    QVERIFY(notice->wordWrap());
    QVERIFY(notice->text().startsWith(
        QStringLiteral("测试结果正确与否阶段，完善中。发现问题及建议请致：E-MAIL ")));
    QVERIFY(notice->alignment() & Qt::AlignTop);
  }

  // A clear Latin face first (the Chinese faces draw l like 1), then a face
  // that writes Chinese, and every caption still fits its box.
  void captionsUseAClearLatinFaceAndFit() {
    const QStringList families = window->font().families();
    qInfo() << "control font:" << families
            << "title font:" << window->findChild<QLabel*>("Label1")->font().families();
    QVERIFY(families.size() >= 2);
    QVERIFY(!QFontDatabase::writingSystems(families[0]).contains(QFontDatabase::SimplifiedChinese));
    QVERIFY(QFontDatabase::writingSystems(families[1]).contains(QFontDatabase::SimplifiedChinese));
    QVERIFY(quenlor::captionsFit(window->font()));
  }

  void enterMovesToTheNextBoxLikeTab() {
    window->resize(1280, 800);
    box(Box::Text35)->setFocus();
    QTest::keyClick(box(Box::Text35), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), box(Box::Text36));
    auto* chainage = window->fieldTools()->findChild<QLineEdit*>("stakeChainage");
    chainage->setFocus();
    QTest::keyClick(chainage, Qt::Key_Enter);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("stakeOffset"));
  }

  // A box left by Tab shows the start of its text, not the tail the
  // selection scrolled into view; a number too wide for its box keeps its
  // sign, leading digits and exponent, the whole text in the tooltip.
  void boxesWithoutTheFocusShowTheStartOfTheirNumbers() {
    typeWorkedCurve();
    typeInto(Box::Text6, "30.1");
    QVERIFY(text(Box::Text11).size() > 12);
    window->button(Button::Command3)->setFocus();
    QTest::keyClick(window->button(Button::Command3), Qt::Key_Tab); // into Text11, all selected
    QCOMPARE(QApplication::focusWidget(), box(Box::Text11));
    QTest::keyClick(box(Box::Text11), Qt::Key_Tab);
    QCOMPARE(box(Box::Text11)->cursorPosition(), 0);

    window->form().edit(Box::Text12, "9.25844430041008E-06");
    auto* e = static_cast<quenlor::NumberBox*>(box(Box::Text12));
    const QString shown = e->displayedText();
    QVERIFY2(QRegularExpression(QStringLiteral("^9(\\.\\d+)?\u2026E-06$")).match(shown).hasMatch(),
             qPrintable(shown));
    QCOMPARE(e->text(), QStringLiteral("9.25844430041008E-06"));
    QCOMPARE(e->toolTip(), e->text());
  }

  void tabVisitsBoxesAndButtonsInTabIndexOrder() {
    std::vector<const quenlor::WindowControl*> expected;
    for (const auto& control : quenlor::windowControls())
      if (control.kind != quenlor::ControlKind::Label)
        expected.push_back(&control);
    std::sort(expected.begin(), expected.end(),
              [](auto* a, auto* b) { return a->tabIndex < b->tabIndex; });
    window->findChild<QWidget*>(nameOf(*expected[0]))->setFocus();
    for (std::size_t i = 1; i < expected.size(); ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget()->objectName(), nameOf(*expected[i]));
    }
    for (const QLabel* label : window->findChildren<QLabel*>())
      QCOMPARE(label->focusPolicy(), Qt::NoFocus);
  }

  // Keys and clicks reach the computations; the figures themselves are the
  // engine tests' business.
  void computationsFollowTheKeysAndClicks() {
    typeInto(Box::Text6, "30");
    typeInto(Box::Text8, "1000");
    typeInto(Box::Text9, "500");
    typeInto(Box::Text10, "60");
    typeInto(Box::Text42, "60");
    QVERIFY(qAbs(number(Box::Text11) - 164.0514) < 5e-5);
    // Results written while another box has the focus show their leading digits.
    QCOMPARE(box(Box::Text25)->cursorPosition(), 0);
    // Backspace recomputes as well.
    QTest::keyClick(box(Box::Text42), Qt::Key_Backspace);
    QCOMPARE(text(Box::Text42), QStringLiteral("6"));
    QVERIFY(qAbs(number(Box::Text11) - 163.7180) > 0.1);

    typeInto(Box::Text42, "60");
    typeInto(Box::Text11, "150");
    click(Button::Command3);
    QCOMPARE(text(Box::Text9), QStringLiteral("447.510917555022"));
    typeInto(Box::Text12, "20");
    click(Button::Command4);
    QVERIFY(qAbs(number(Box::Text9) - 559.0809) < 5e-5);

    typeWorkedCurve();
    QCOMPARE(text(Box::Text19), QStringLiteral("40"));
    typeInto(Box::Text26, "700");
    QVERIFY(qAbs(number(Box::Text27) - 1021.0551) < 5e-5);
    typeInto(Box::Text26, "800");
    QCOMPARE(text(Box::Text44), QString());
  }

  void backsightElevationBoxRefusesTyping() {
    typeInto(Box::Text37, "100");
    QCOMPARE(text(Box::Text2), QStringLiteral("100"));
    typeInto(Box::Text2, "5");
    QCOMPARE(text(Box::Text2), QStringLiteral("100"));
    QTest::keyClicks(box(Box::Text2), "7");
    QCOMPARE(text(Box::Text2), QStringLiteral("100"));
    QCOMPARE(box(Box::Text2)->cursorPosition(), 3); // typing goes on from the end
  }

  void exchangeTypedKeyByKeyAndPasted() {
    typeInto(Box::Text17, "30");
    typeInto(Box::Text18, "45.6");
    QCOMPARE(text(Box::Text19), QStringLiteral("16"));
    QCOMPARE(text(Box::Text18), QStringLiteral("46"));
    QCOMPARE(box(Box::Text18)->cursorPosition(), 2);

    typeInto(Box::Text18, "45.30001");
    QCOMPARE(text(Box::Text18), QStringLiteral("45.30001"));
    QCOMPARE(text(Box::Text19), QStringLiteral("15.3"));

    typeInto(Box::Text18, "1");
    QApplication::clipboard()->setText(QStringLiteral("45.30001"));
    box(Box::Text18)->setFocus();
    box(Box::Text18)->selectAll();
    QTest::keyClick(box(Box::Text18), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(text(Box::Text18), QStringLiteral("45.3"));
    QCOMPARE(text(Box::Text19), QStringLiteral("15.3"));
  }

  // Fault: a paste longer than 32,767 characters was cut there without a word.
  void aLongPasteArrivesWhole() {
    const QString number = QStringLiteral("12.5") + QString(1 << 20, QLatin1Char('0'));
    QApplication::clipboard()->setText(number);
    for (const Box b : {Box::Text7, Box::Text37}) {
      box(b)->setFocus();
      box(b)->selectAll();
      QTest::keyClick(box(b), Qt::Key_V, Qt::ControlModifier);
      QCOMPARE(window->form().text(b).size(), std::size_t(number.size()));
      QCOMPARE(box(b)->text().size(), number.size());
    }
    QCOMPARE(text(Box::Text2), QStringLiteral("12.5")); // the station elevation, read
  }

  void undoReachesTheForm() {
    typeInto(Box::Text37, "12");
    QCOMPARE(text(Box::Text2), QStringLiteral("12"));
    QTest::keyClick(box(Box::Text37), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(text(Box::Text37) != QStringLiteral("12"));
    const double undone = quenlor::parseNumber(text(Box::Text37).toStdString());
    QCOMPARE(text(Box::Text2), QString::fromStdString(quenlor::formatNumber(undone)));
  }

  // At the sizes surveyors have, the plan (on its tab) and the field tools are both on
  // show and neither covers a control; where the window is too narrow for a
  // plan beside the controls, it goes below the tools.
  void planAndToolsShareTheFreeArea_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("folded");
    QTest::addColumn<bool>("beside");
    QTest::newRow("field tablet") << QSize(1024, 600) << false << true;
    QTest::newRow("field tablet, folded") << QSize(1024, 600) << true << true;
    QTest::newRow("150 % of 1600x900") << QSize(1067, 600) << false << true;
    QTest::newRow("1600x900") << QSize(1600, 900) << false << true;
    QTest::newRow("1920x1080") << QSize(1920, 1080) << false << true;
    QTest::newRow("narrow") << QSize(800, 1100) << false << false;
  }

  // The controls in their table's order and rows, drawn wider where there is
  // room, none covering another; the readout, the tools and the views clear
  // of them all.
  void planAndToolsShareTheFreeArea() {
    QFETCH(QSize, size);
    QFETCH(bool, folded);
    QFETCH(bool, beside);
    window->resize(size);
    window->setFormFolded(folded);
    auto* tools = window->findChild<QWidget*>(QStringLiteral("fieldToolsArea"));
    QVERIFY(window->planView()->isVisible() && tools->isVisible());
    const QRect plan = window->views()->geometry(); // the plan's tab
    QVERIFY(plan.width() >= 160 && plan.height() >= 160);
    QVERIFY(!plan.intersects(tools->geometry()));
    QCOMPARE(window->readout()->isVisible(), !folded);
    std::vector<QRect> taken{plan, tools->geometry()};
    if (!folded) {
      QVERIFY(tools->geometry().top() >= 442);
      QCOMPARE(plan.left() >= 793, beside);
      taken.push_back(window->readout()->geometry());
    }
    for (const auto& control : quenlor::windowControls()) {
      const QWidget* widget = window->findChild<QWidget*>(nameOf(control));
      QCOMPARE(widget->isVisible(), !folded);
      if (folded)
        continue;
      const QRect place = widget->geometry();
      QCOMPARE(place.top(), placeOf(control).top());
      QVERIFY2(place.width() >= placeOf(control).width(), control.name.data());
      for (const QRect& other : taken)
        QVERIFY2(!other.intersects(place), control.name.data());
    }
  }

  // At 1600x900 the boxes are drawn wider than their table and a chainage
  // shows its millimetres; the readout shows every result at field
  // precision, whatever the boxes' width leaves out.
  void resultsReadToTheMillimetre() {
    window->resize(1600, 900);
    typeWorkedCurve();
    typeInto(Box::Text26, "600");
    QVERIFY(box(Box::Text11)->width() > 735 / 15); // its table's width in twips
    auto* zh = static_cast<quenlor::NumberBox*>(box(Box::Text22));
    typeInto(Box::Text22, "1234.56789012345");
    QVERIFY2(zh->displayedText().startsWith(QStringLiteral("1234.567")),
             qPrintable(zh->displayedText()));
    const QStringList shown = window->readout()->texts();
    for (const char* expected : {"T 139.363", "E 19.785", "R 300.000", "转角 40°00′00″",
                                 "ZH K0+500.000", "QZ K0+634.720", "HZ K0+769.440"})
      QVERIFY2(shown.contains(QString::fromUtf8(expected)), expected);
  }

  // On a 1920x1080 screen at 150 % (run again with QT_SCALE_FACTOR=1.5: a
  // window of 1280x720 logical pixels), no button's caption is cut: the
  // form's own buttons hold their text, and every button of the panels
  // beside it, on every tab, is at least as wide as its caption needs.
  void buttonsKeepTheirWholeCaption() {
    window->resize(1280, 720);
    typeWorkedCurve();
    QCoreApplication::processEvents();
    const auto check = [&](const QString& where) {
      for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
        if (!b->isVisibleTo(window.get()) || b->text().isEmpty())
          continue;
        const bool formsOwn = b->parentWidget() == window.get();
        const int needs =
            formsOwn ? b->fontMetrics().horizontalAdvance(b->text()) : b->minimumSizeHint().width();
        QVERIFY2(b->width() >= needs, qPrintable(QStringLiteral("%1: %2 is %3 px, needs %4")
                                                     .arg(where, b->text())
                                                     .arg(b->width())
                                                     .arg(needs)));
        // Nor cut by the edge of a scrolled panel or of the window.
        const QSize seen = b->visibleRegion().boundingRect().size();
        QVERIFY2(seen == b->size(), qPrintable(QStringLiteral("%1: %2 shows %3 of %4 px")
                                                   .arg(where, b->text())
                                                   .arg(seen.width())
                                                   .arg(b->width())));
      }
    };
    auto* routeTabs = window->routePanel()->findChild<QTabWidget*>(QStringLiteral("routeTables"));
    for (int view = 0; view < window->views()->count(); ++view) {
      window->views()->setCurrentIndex(view);
      for (int tab = 0; tab < routeTabs->count(); ++tab) {
        routeTabs->setCurrentIndex(tab);
        QCoreApplication::processEvents();
        check(window->views()->tabText(view) + QLatin1Char('/') + routeTabs->tabText(tab));
      }
    }
  }

  // Folded on a field tablet, the route table shows its typed columns and
  // the stake table at least eight rows.
  void foldedFormLeavesRoomForTheTables() {
    window->resize(1024, 600);
    typeWorkedCurve();
    window->setFormFolded(true);
    auto* tools = window->fieldTools();
    tools->fill("tableStart", "K0+400");
    tools->fill("tableEnd", "K0+800");
    tools->fill("tableInterval", "20");
    tools->recompute();
    auto* stakes = tools->findChild<QTableView*>(QStringLiteral("stakeTable"));
    QVERIFY(stakes->rowAt(stakes->viewport()->height() - 1) >= 7);
    window->views()->setCurrentWidget(window->routePanel());
    auto* jds = window->routePanel()->findChild<QTableView*>(QStringLiteral("jdTable"));
    const int ls = 4; // 名称 X Y R Ls
    QVERIFY(jds->columnViewportPosition(ls) + jds->columnWidth(ls) <= jds->viewport()->width());
  }

  // North up: larger X higher, larger Y further right; and the arc drawn on
  // the side the curve turns to, right of the incoming straight for a
  // right-hand curve and left of it for a left-hand one.
  void planViewDrawsTheTypedCurve_data() {
    QTest::addColumn<bool>("right");
    QTest::newRow("right-hand") << true;
    QTest::newRow("left-hand") << false;
  }

  void planViewDrawsTheTypedCurve() {
    QFETCH(bool, right);
    window->resize(1280, 600);
    typeWorkedCurve(right);
    typeInto(Box::Text26, "600");
    quenlor::PlanView* plan = window->planView();
    const QImage image = plan->grab().toImage();
    const QPointF jd = plan->toScreen({1000, 2000});
    QVERIFY(plan->toScreen({1100, 2000}).y() < jd.y());
    QVERIFY(plan->toScreen({1000, 2100}).x() > jd.x());
    QCOMPARE(plan->toScreen({1100, 2000}).x(), jd.x());

    const QPointF zh = plan->toScreen({879.3080, 1930.3185});
    const QPointF ahead = plan->toScreen({879.3080 + 86.6025, 1930.3185 + 50}); // azimuth 30
    const QPointF rightOfTravel(-(ahead - zh).y(), (ahead - zh).x());
    int rightSide = 0, leftSide = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QColor c = image.pixelColor(x, y);
        if (c.blue() > 150 && c.red() < 60 && c.green() < 140) // the arc's blue
          (QPointF::dotProduct(QPointF(x, y) - zh, rightOfTravel) > 0 ? rightSide : leftSide)++;
      }
    QVERIFY(rightSide + leftSide > 50);
    QVERIFY2(right ? leftSide == 0 : rightSide == 0,
             qPrintable(QStringLiteral("%1 right, %2 left").arg(rightSide).arg(leftSide)));
    QVERIFY(plan->rect().contains(
        plan->toScreen({number(Box::Text27), number(Box::Text28)}).toPoint()));

    // Zoomed, it keeps its view as the boxes change; a double-click refits.
    QWheelEvent wheel(QPointF(50, 50), plan->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 480),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(plan, &wheel);
    const QPointF zoomed = plan->toScreen({1000, 2000});
    typeInto(Box::Text26, "700");
    plan->grab();
    QCOMPARE(plan->toScreen({1000, 2000}), zoomed);
    QTest::mouseDClick(plan, Qt::LeftButton);
    QVERIFY(plan->toScreen({1000, 2000}) != zoomed);
  }

  // The file and print dialogs and the save question speak Chinese whatever
  // the system's locale.
  void dialogsSpeakChinese() {
    QVERIFY(quenlor::speakChinese(*QCoreApplication::instance()));
    QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("查找范围："));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Save"), QStringLiteral("保存"));
    QCOMPARE(QCoreApplication::translate("QPrintDialog", "Print"), QStringLiteral("打印"));
  }

  // Without a table the file buttons open no dialog: the notice line says why.
  void tableFileButtonsWithoutATableSayWhy() {
    quenlor::FieldToolsPanel* tools = window->fieldTools();
    for (const char* name : {"exportCsv", "exportXlsx", "printTable"}) {
      QTest::mouseClick(tools->findChild<QPushButton*>(name), Qt::LeftButton);
      QVERIFY(
          tools->findChild<QLabel*>("notice")->toolTip().startsWith(QStringLiteral("没有放样表")));
    }
  }

  void fieldToolsFollowTheBoxesAndWriteNone() {
    window->resize(1280, 800);
    typeWorkedCurve();
    QStringList boxes;
    for (const QLineEdit* edit : window->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly))
      boxes << edit->text();

    quenlor::FieldToolsPanel* tools = window->fieldTools();
    const auto tool = [&](const char* name) { return quenlor::test::fieldTool(tools, name); };
    const auto typeTool = [&](const char* name, const QString& keys) {
      quenlor::test::typeIntoTool(tools, name, keys);
    };
    typeTool("stakeChainage", "480");
    typeTool("stakeOffset", "10");
    // Field precision: to the millimetre.
    QCOMPARE(tool("stakeX")->text(), QStringLiteral("856.988"));
    QCOMPARE(tool("stakeY")->text(), QStringLiteral("1928.979"));
    typeTool("pointX", "856.987502605605"); // the stake in full
    typeTool("pointY", "1928.97871178304");
    QCOMPARE(tool("foundK")->text(), QStringLiteral("K0+480.000"));
    QCOMPARE(tool("foundOffset")->text(), QStringLiteral("10.000"));

    typeTool("tableStart", "480");
    typeTool("tableEnd", "800");
    typeTool("tableInterval", "20");
    typeTool("tableOffset", "5");
    auto* table = tools->findChild<QTableView*>("stakeTable");
    // 17 stakes (ZH and HY among them) and QZ, YH and HZ.
    QCOMPARE(table->model()->rowCount(), 20);
    QTest::mouseClick(tools->findChild<QPushButton*>("copyTable"), Qt::LeftButton);
    const QString copied = QApplication::clipboard()->text();
    QVERIFY(copied.startsWith(QStringLiteral("精度\t长度到毫米，角度到整秒\n桩号\t主点\tX\tY")));
    QCOMPARE(copied.count('\n'), 22);

    QStringList after;
    for (const QLineEdit* edit : window->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly))
      after << edit->text();
    QCOMPARE(after, boxes);

    // An edit of the curve reaches the tools once the cascade has run.
    const QString before = tool("stakeX")->text();
    typeInto(Box::Text18, "71");
    QCoreApplication::processEvents();
    QVERIFY(tool("stakeX")->text() == before); // 480 is on the incoming straight
    typeInto(Box::Text17, "31");
    QCoreApplication::processEvents();
    QVERIFY(tool("stakeX")->text() != before);

    // The panel stays put while its labels change: a side label, a note
    // that grows to say where a long table stops.
    const auto places = [&] {
      QList<QRect> all;
      for (const char* name : {"stakeX", "foundOffset", "tableStart"})
        all << tool(name)->geometry();
      all << tools->findChild<QPushButton*>("copyTable")->geometry();
      return all;
    };
    const QList<QRect> placed = places();
    typeTool("stakeOffset", "-10");
    typeTool("tableStart", "0");
    typeTool("tableEnd", "1e9");
    typeTool("tableInterval", "0.001");
    QVERIFY(tools->findChild<QLabel*>("tableNote")->text().startsWith(QStringLiteral("只列到")));
    QCOMPARE(places(), placed);
  }

  // The plan's labels stay inside the view, clear of each other and of the
  // north arrow.
  void planLabelsAvoidEachOtherAndTheNorthArrow() {
    window->resize(1024, 600);
    typeWorkedCurve();
    typeInto(Box::Text26, "600");
    quenlor::PlanView* plan = window->planView();
    plan->grab();
    const auto& labels = plan->labelPlaces();
    QVERIFY(labels.size() >= 7);
    for (std::size_t i = 0; i < labels.size(); ++i) {
      QVERIFY(QRectF(plan->rect()).contains(labels[i]));
      QVERIFY(!labels[i].intersects(plan->northArrowPlace()));
      for (std::size_t j = 0; j < i; ++j)
        QVERIFY2(!labels[i].intersects(labels[j]),
                 qPrintable(QStringLiteral("%1 %2").arg(i).arg(j)));
    }
  }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
