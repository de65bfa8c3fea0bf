// SPDX-License-Identifier: GPL-3.0-or-later
// The window through its real widgets: keys typed into the QLineEdits, clicks
// on the buttons, and what the boxes then show.
#include "app/control_table.h"
#include "app/field_tools.h"
#include "app/fonts.h"
#include "app/main_window.h"
#include "app/plan_view.h"
#include "numeric/number_text.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

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

  // The right-hand curve of the chainage examples, typed box by box.
  void typeWorkedCurve() {
    const std::pair<Box, const char*> keys[] = {
        {Box::Text6, "40"},        {Box::Text9, "300"},   {Box::Text10, "60"},
        {Box::Text11, "139.3631"}, {Box::Text21, "500"},  {Box::Text23, "634.7198"},
        {Box::Text25, "769.4395"}, {Box::Text13, "1000"}, {Box::Text14, "2000"},
        {Box::Text17, "30"},       {Box::Text18, "70"}};
    for (const auto& [b, k] : keys)
      typeInto(b, QString::fromUtf8(k));
  }

private slots:
  void init() {
    window = std::make_unique<MainWindow>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
  }
  void cleanup() { window.reset(); }

  void opensWithEveryBoxEmpty() {
    QCOMPARE(window->windowTitle(), QStringLiteral("Quenlor-测试"));
    QCOMPARE(window->objectName(), QStringLiteral("main"));
    const auto edits = window->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly);
    QCOMPARE(edits.size(), 44);
    for (const QLineEdit* edit : edits)
      QVERIFY2(edit->text().isEmpty(), qPrintable(edit->objectName()));
    QCOMPARE(window->findChildren<QLabel*>(Qt::FindDirectChildrenOnly).size(), 44);
    QCOMPARE(window->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly).size(), 6);
  }

  void controlsStandWhereTheTableSays_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");
    QTest::newRow("title") << "Label1" << QRect(216, 8, 265, 33) << "Quenlor程序";
    QTest::newRow("side-shot") << "Command6" << QRect(152, 72, 89, 25) << "支点计算";
    QTest::newRow("chainage box") << "Text26" << QRect(64, 392, 65, 18) << "";
    QTest::newRow("radius caption") << "Command2" << QRect(336, 280, 41, 17) << "半径R";
    QTest::newRow("offset heading") << "Label38" << QRect(512, 376, 121, 17) << "切 线 支 距X-Y";
    QTest::newRow("last box") << "Text45" << QRect(536, 424, 49, 18) << "";
    QTest::newRow("backsight y") << "Label7(1)" << QRect(264, 208, 41, 17) << "后视y";
  }

  void controlsStandWhereTheTableSays() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    QWidget* widget = window->findChild<QWidget*>(name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), geometry);
    if (auto* label = qobject_cast<QLabel*>(widget))
      QCOMPARE(label->text(), caption);
    if (auto* button = qobject_cast<QPushButton*>(widget))
      QCOMPARE(button->text(), caption);
  }

  void noticeWrapsInItsBox() {
    auto* notice = window->findChild<QLabel*>("Label2");
    QVERIFY(notice->wordWrap());
    QVERIFY(notice->text().startsWith(
        QStringLiteral("测试结果正确与否阶段，完善中。发现问题及建议请致：E-MAIL ")));
    QVERIFY(notice->alignment() & Qt::AlignTop);
  }

  void everyCaptionFitsItsBox() { QVERIFY(quenlor::captionsFit(window->font())); }

  void tabVisitsBoxesAndButtonsInTabIndexOrder() {
    std::vector<const quenlor::WindowControl*> expected;
    for (const auto& control : quenlor::windowControls())
      if (control.kind != quenlor::ControlKind::Label)
        expected.push_back(&control);
    std::sort(expected.begin(), expected.end(),
              [](auto* a, auto* b) { return a->tabIndex < b->tabIndex; });
    QWidget* current = window->findChild<QWidget*>(QString::fromUtf8(expected[0]->name.data()));
    current->setFocus();
    for (std::size_t i = 1; i < expected.size(); ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget()->objectName(),
               QString::fromUtf8(expected[i]->name.data(), qsizetype(expected[i]->name.size())));
    }
    for (const QLabel* label : window->findChildren<QLabel*>())
      QCOMPARE(label->focusPolicy(), Qt::NoFocus);
  }

  void curveElementsFollowTheKeys() {
    typeInto(Box::Text6, "30");
    typeInto(Box::Text8, "1000");
    typeInto(Box::Text9, "500");
    typeInto(Box::Text10, "60");
    typeInto(Box::Text42, "60");
    QCOMPARE(text(Box::Text42), QStringLiteral("60"));
    QVERIFY(qAbs(number(Box::Text11) - 164.0514) < 5e-5);
    QVERIFY(qAbs(number(Box::Text34) - 321.7994) < 5e-5);
    QVERIFY(qAbs(number(Box::Text25) - 1157.7480) < 5e-5);
    // Results written while another box has the focus show their leading digits.
    QCOMPARE(box(Box::Text25)->cursorPosition(), 0);
    // Backspace recomputes as well.
    QTest::keyClick(box(Box::Text42), Qt::Key_Backspace);
    QCOMPARE(text(Box::Text42), QStringLiteral("6"));
    QVERIFY(qAbs(number(Box::Text11) - 163.7180) > 0.1);
  }

  void radiusButtonCascades() {
    typeInto(Box::Text6, "30");
    typeInto(Box::Text8, "1000");
    typeInto(Box::Text10, "60");
    typeInto(Box::Text42, "60");
    typeInto(Box::Text11, "150");
    click(Button::Command3);
    QCOMPARE(text(Box::Text9), QStringLiteral("447.510917555022"));
    QVERIFY(qAbs(number(Box::Text11) - 149.9955) < 5e-5);
    typeInto(Box::Text12, "20");
    click(Button::Command4);
    QVERIFY(qAbs(number(Box::Text9) - 559.0809) < 5e-5);
    QVERIFY(qAbs(number(Box::Text11) - 179.8743) < 5e-5);
  }

  void chainagePointOfTheWorkedCurve() {
    typeWorkedCurve();
    QCOMPARE(text(Box::Text19), QStringLiteral("40"));
    typeInto(Box::Text26, "700");
    QVERIFY(qAbs(number(Box::Text27) - 1021.0551) < 5e-5);
    QVERIFY(qAbs(number(Box::Text28) - 2066.8792) < 5e-5);
    QVERIFY(qAbs(number(Box::Text44) - 69.3160) < 5e-5);
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

  void planViewTakesTheFreeAreaWithoutCoveringAControl() {
    window->resize(1280, 600);
    QVERIFY(window->planView()->isVisible());
    const QRect plan = window->planView()->geometry();
    QVERIFY(plan.width() > 300 && plan.height() > 300);
    for (const auto& control : quenlor::windowControls()) {
      const QRect place(control.left / 15, control.top / 15, control.width / 15,
                        control.height / 15);
      QVERIFY2(!plan.intersects(place), control.name.data());
    }
    window->resize(800, 1100); // no room right of the controls: below the tools
    QVERIFY(window->planView()->isVisible());
    QVERIFY(window->planView()->geometry().top() >= window->fieldTools()->geometry().bottom());
    QVERIFY(window->fieldTools()->geometry().top() >= 442);
  }

  void planViewDrawsTheTypedCurve() {
    window->resize(1280, 600);
    typeWorkedCurve();
    typeInto(Box::Text26, "600");
    quenlor::PlanView* plan = window->planView();
    const QImage image = plan->grab().toImage();
    // The arc's blue is on the picture, around where the view puts the point.
    const QPointF point = plan->toScreen({number(Box::Text27), number(Box::Text28)});
    QVERIFY(plan->rect().contains(point.toPoint()));
    int blue = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QColor c = image.pixelColor(x, y);
        blue += c.blue() > 150 && c.red() < 60 && c.green() < 140;
      }
    QVERIFY(blue > 50);

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

  void planViewSurvivesDegenerateInputs_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("keys");
    QTest::newRow("zero radius") << "Text9"
                                 << "0";
    QTest::newRow("negative radius") << "Text9"
                                     << "-300";
    QTest::newRow("huge radius") << "Text9"
                                 << "1e300";
    QTest::newRow("radius beyond range") << "Text9"
                                         << "1e999";
    QTest::newRow("huge coordinate") << "Text13"
                                     << "1e308";
    QTest::newRow("tiny transition") << "Text10"
                                     << "1e-300";
    QTest::newRow("far station") << "Text35"
                                 << "-1e300";
    QTest::newRow("junk") << "Text23"
                          << "abc";
  }

  void planViewSurvivesDegenerateInputs() {
    QFETCH(QString, box);
    QFETCH(QString, keys);
    window->resize(1280, 600);
    for (const auto& [b, k] : std::vector<std::pair<Box, QString>>{{Box::Text6, "40"},
                                                                   {Box::Text9, "300"},
                                                                   {Box::Text10, "60"},
                                                                   {Box::Text8, "640"},
                                                                   {Box::Text13, "1000"},
                                                                   {Box::Text14, "2000"},
                                                                   {Box::Text17, "30"},
                                                                   {Box::Text35, "900"},
                                                                   {Box::Text36, "1900"}})
      typeInto(b, k);
    typeInto(*quenlor::boxFromName(box.toStdString()), keys);
    const QImage image = window->planView()->grab().toImage();
    QVERIFY(!image.isNull());
  }

  void fieldToolsFollowTheBoxesAndWriteNone() {
    window->resize(1280, 800);
    typeWorkedCurve();
    QStringList boxes;
    for (const QLineEdit* edit : window->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly))
      boxes << edit->text();

    quenlor::FieldToolsPanel* tools = window->fieldTools();
    const auto tool = [&](const char* name) { return tools->findChild<QLineEdit*>(name); };
    const auto typeTool = [&](const char* name, const QString& keys) {
      tool(name)->setFocus();
      tool(name)->selectAll();
      QTest::keyClicks(tool(name), keys);
      QCoreApplication::processEvents();
    };
    typeTool("stakeChainage", "480");
    typeTool("stakeOffset", "10");
    QVERIFY(qAbs(tool("stakeX")->text().toDouble() - (861.9875 - 5)) < 1e-4);
    QVERIFY(qAbs(tool("stakeY")->text().toDouble() - (1920.3185 + 8.660254)) < 1e-4);
    typeTool("pointX", tool("stakeX")->text());
    typeTool("pointY", tool("stakeY")->text());
    QCOMPARE(tool("foundK")->text(), QStringLiteral("K0+480.000"));
    QVERIFY(qAbs(tool("foundOffset")->text().toDouble() - 10) < 1e-4);

    typeTool("tableStart", "480");
    typeTool("tableEnd", "800");
    typeTool("tableInterval", "20");
    typeTool("tableOffset", "5");
    auto* table = tools->findChild<QTableView*>("stakeTable");
    // 17 stakes (ZH among them) and QZ and HZ; HY and YH were not typed.
    QCOMPARE(table->model()->rowCount(), 19);
    QTest::mouseClick(tools->findChild<QPushButton*>("copyTable"), Qt::LeftButton);
    const QString copied = QApplication::clipboard()->text();
    QVERIFY(copied.startsWith(QStringLiteral("桩号\t主点\tX\tY")));
    QCOMPARE(copied.count('\n'), 20);

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
  }

  void doNothingButtonsChangeNothing() {
    typeInto(Box::Text6, "30");
    typeInto(Box::Text9, "500");
    typeInto(Box::Text3, "10");
    typeInto(Box::Text4, "45");
    QStringList before;
    for (const QLineEdit* edit : window->findChildren<QLineEdit*>())
      before << edit->text();
    click(Button::Command1);
    click(Button::Command2);
    click(Button::Command5);
    QStringList after;
    for (const QLineEdit* edit : window->findChildren<QLineEdit*>())
      after << edit->text();
    QCOMPARE(after, before);
  }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
