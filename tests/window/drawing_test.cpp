// SPDX-License-Identifier: GPL-3.0-or-later
// The drawing floor the views share (where points land, labels placed, far
// lines clipped) and the profile and the cross section drawn on it: their
// labels, and what they repaint after an edit and a key press.
#include "app/drawing/clipped_lines.h"
#include "app/drawing/label_placer.h"
#include "app/drawing/notice_label.h"
#include "app/drawing/view_transform.h"
#include "app/main_window.h"
#include "app/profile_view.h"
#include "app/route_panel.h"
#include "app/route_tables.h"
#include "app/section_view.h"

#include <QLineEdit>
#include <QPaintEvent>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

using quenlor::LabelPlacer;
using quenlor::PlaneBox;
using quenlor::PlaneXY;
using quenlor::ViewTransform;

namespace {

// Every place of a label: above, below, right and left of its anchor.
std::vector<QPointF> around(const QSizeF& s) {
  const double w = s.width(), h = s.height();
  return {{-w / 2, -6 - h}, {-w / 2, 6}, {6, -h / 2}, {-w - 6, -h / 2}};
}

// The paints a widget and the widgets in it get.
struct PaintLog : QObject {
  explicit PaintLog(QWidget* watched) : watched_(watched) {
    QCoreApplication::instance()->installEventFilter(this);
  }
  ~PaintLog() override { QCoreApplication::instance()->removeEventFilter(this); }
  bool eventFilter(QObject* object, QEvent* event) override {
    auto* widget = qobject_cast<QWidget*>(object);
    if (event->type() == QEvent::Paint && widget == watched_)
      for (const QRect& r : static_cast<QPaintEvent*>(event)->region())
        area += r.width() * r.height();
    if (event->type() == QEvent::Paint && widget &&
        (widget == watched_ || watched_->isAncestorOf(widget)))
      rects.push_back(static_cast<QPaintEvent*>(event)->rect());
    return false;
  }
  QWidget* watched_;
  std::vector<QRect> rects;
  double area = 0; // painted of the widget itself
};

} // namespace

class DrawingTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

  // A point comes back where it was; the point under the cursor stays under
  // it through a zoom; a pan moves the drawing with the mouse.
  void viewTransformKeepsWhatTheUserPointsAt() {
    ViewTransform view;
    view.setArea(QRectF(0, 0, 800, 600));
    view.set({1000, 2000}, 2, 10); // a profile exaggerated five times
    const QPointF screen = view.toScreen({1010, 2001});
    QCOMPARE(screen, QPointF(400 + 20, 300 - 10));
    QCOMPARE(view.toPlane(screen).right, 1010.0);
    QCOMPARE(view.toPlane(screen).up, 2001.0);
    const PlaneXY under = view.toPlane(QPointF(123, 456));
    view.zoom(QPointF(123, 456), 1.25, 1e-9, 1e9);
    QVERIFY(view.held());
    QCOMPARE(view.scale(), 2.5);
    QCOMPARE(view.upScale() / view.scale(), 5.0);
    const QPointF still = view.toScreen(under);
    QVERIFY(std::abs(still.x() - 123) < 1e-9 && std::abs(still.y() - 456) < 1e-9);
    const PlaneXY before = view.toPlane(QPointF(10, 10));
    view.pan(QPointF(30, -40));
    const QPointF moved = view.toScreen(before);
    QVERIFY(std::abs(moved.x() - 40) < 1e-9 && std::abs(moved.y() + 30) < 1e-9);
  }

  // A box 400 × 100 in an area 800 × 600 less 50 on every side: the width
  // decides, 700 / 400 = 1.75 pixels a unit, and its middle lands in the
  // area's. A box of no extent keeps the fallback scale; none shows the origin.
  void fitPutsTheBoxInsideTheMargin() {
    ViewTransform view;
    view.setArea(QRectF(0, 0, 800, 600));
    view.zoom(QPointF(0, 0), 2, 1e-9, 1e9);
    view.fit(PlaneBox{100, 0, 500, 100}, 50, 1);
    QVERIFY(!view.held());
    QCOMPARE(view.scale(), 1.75);
    QCOMPARE(view.toScreen({300, 50}), QPointF(400, 300));
    QCOMPARE(view.toScreen({100, 50}).x(), 50.0);
    view.fit(PlaneBox{7, 8, 7, 8}, 50, 3);
    QCOMPARE(view.scale(), 3.0);
    QCOMPARE(view.toScreen({7, 8}), QPointF(400, 300));
    view.fit(std::nullopt, 50, 1);
    QCOMPARE(view.toScreen({0, 0}), QPointF(400, 300));
  }

  void roundStepsAreOneTwoOrFive_data() {
    QTest::addColumn<double>("target");
    QTest::addColumn<double>("atLeast");
    QTest::addColumn<double>("atMost");
    QTest::newRow("0.3") << 0.3 << 0.5 << 0.2;
    QTest::newRow("1") << 1.0 << 1.0 << 1.0;
    QTest::newRow("1.1") << 1.1 << 2.0 << 1.0;
    QTest::newRow("4.9") << 4.9 << 5.0 << 2.0;
    QTest::newRow("7") << 7.0 << 10.0 << 5.0;
    QTest::newRow("1234") << 1234.0 << 2000.0 << 1000.0;
  }
  void roundStepsAreOneTwoOrFive() {
    QFETCH(double, target);
    QFETCH(double, atLeast);
    QFETCH(double, atMost);
    QCOMPARE(quenlor::roundStepAtLeast(target), atLeast);
    QCOMPARE(quenlor::roundStepAtMost(target), atMost);
  }

  // A segment from far off the screen is cut at the area's edges: from
  // (-1e12, 50) to (50, 50) through the area 0..100 keeps (0, 50)..(50, 50).
  void farLinesAreCutAtTheArea() {
    const QRectF area(0, 0, 100, 100);
    QPointF a(-1e12, 50), b(50, 50);
    QVERIFY(quenlor::clipSegment(a, b, area));
    QCOMPARE(a, QPointF(0, 50));
    QCOMPARE(b, QPointF(50, 50));
    QPointF c(-10, -10), d(-5, 200);
    QVERIFY(!quenlor::clipSegment(c, d, area));
  }

  // Labels that say they are clear cover none placed before, no obstacle
  // and no marker but their own, and stay inside the view; a label said to
  // be crowded covers a label wherever it goes. Random labels, dense enough
  // that most places are taken.
  void placedLabelsNeverCoverEachOther() {
    QRandomGenerator random(7);
    const QRectF view(0, 0, 600, 400);
    LabelPlacer placer(view);
    const QRectF arrow(560, 10, 30, 40);
    placer.addObstacle(arrow);
    std::vector<QPointF> markers;
    for (int i = 0; i < 300; ++i) {
      markers.emplace_back(random.bounded(600.0), random.bounded(400.0));
      placer.addMarker(markers.back(), 4);
    }
    int clear = 0, crowded = 0;
    for (const QPointF& anchor : markers) {
      const QSizeF size(20 + random.bounded(60.0), 14);
      const auto corners = around(size);
      const bool full = placer.crowded(size, anchor, corners);
      const LabelPlacer::Place place = placer.place(size, anchor, corners);
      if (full) {
        ++crowded;
        QVERIFY(placer.coversALabel(place.rect));
      }
      if (place.cover > 0)
        continue;
      ++clear;
      QVERIFY(view.contains(place.rect));
      QVERIFY(!place.rect.intersects(arrow));
      for (const QRectF& other : placer.labels())
        QVERIFY2(!place.rect.intersects(other.adjusted(-1, -1, 1, 1)),
                 qPrintable(QStringLiteral("%1 %2 %3 %4 / %5 %6 %7 %8 full %9")
                                .arg(place.rect.x())
                                .arg(place.rect.y())
                                .arg(place.rect.width())
                                .arg(place.rect.height())
                                .arg(other.x())
                                .arg(other.y())
                                .arg(other.width())
                                .arg(other.height())
                                .arg(full)));
      for (const QPointF& m : markers)
        QVERIFY(m == anchor || !place.rect.intersects(QRectF(m - QPointF(4, 4), QSizeF(8, 8))));
      placer.keep(place.rect);
    }
    QVERIFY2(clear > 20 && crowded > 20,
             qPrintable(QStringLiteral("%1 %2").arg(clear).arg(crowded)));
  }

  // Where every place is taken, the one that covers least: obstacles over
  // the whole of the places above and below, a quarter of the right one and
  // half the left one.
  void aLabelWithoutRoomTakesThePlaceThatCoversLeast() {
    LabelPlacer placer(QRectF(0, 0, 400, 400));
    const QSizeF size(40, 10);
    const QPointF anchor(200, 200);
    placer.addObstacle(QRectF(150, 150, 100, 45)); // above
    placer.addObstacle(QRectF(150, 205, 100, 45)); // below
    placer.addObstacle(QRectF(196, 195, 20, 10));  // 10 × 10 of the right place
    placer.addObstacle(QRectF(154, 195, 20, 10));  // 20 × 10 of the left place
    const LabelPlacer::Place place = placer.place(size, anchor, around(size));
    QCOMPARE(place.rect, QRectF(206, 195, 40, 10));
    QCOMPARE(place.cover, 100.0);
  }

  // Every label of a profile inside the view and clear of the others and
  // of the scale box: the example route's, and one of 1,001 grade points
  // 100 m apart, where most have no room.
  void profileLabelsStayClearOfEachOther_data() {
    QTest::addColumn<int>("gradePoints");
    QTest::newRow("example route") << 0;
    QTest::newRow("1,001 grade points") << 1001;
  }
  void profileLabelsStayClearOfEachOther() {
    QFETCH(int, gradePoints);
    quenlor::MainWindow window;
    window.resize(1600, 900);
    window.show();
    QVERIFY(window.routePanel()->open(QStringLiteral(QUENLOR_EXAMPLE_ROUTE)));
    if (gradePoints > 0) {
      quenlor::route::RouteDefinition d = window.routePanel()->document().route().definition();
      d.jds.clear();
      d.breaks.clear();
      d.end = {"EP", d.start.x + 100.0 * gradePoints, d.start.y};
      d.gradePoints.clear();
      for (int i = 0; i < gradePoints; ++i)
        d.gradePoints.push_back({"SJD" + std::to_string(i), 100.0 * i, 100 + (i % 2) * 1.5, 3000});
      window.routePanel()->document().adopt(d);
    }
    quenlor::ProfileView* profile = window.profileView();
    window.views()->setCurrentWidget(profile);
    profile->grab();
    const std::vector<QRectF> labels = profile->labelPlaces();
    QVERIFY(labels.size() >= 8); // the example's grade points and most grades
    const QRectF box = profile->findChild<QWidget*>(QStringLiteral("profileScale"))->geometry();
    for (std::size_t i = 0; i < labels.size(); ++i) {
      QVERIFY(QRectF(profile->rect()).contains(labels[i]));
      QVERIFY(!labels[i].intersects(box));
      for (std::size_t j = 0; j < i; ++j)
        QVERIFY2(!labels[i].intersects(labels[j]),
                 qPrintable(QStringLiteral("%1 %2").arg(i).arg(j)));
    }
  }

  // Fault: after an edit in the JD table, the profile's tab put the caret
  // in the scale box, whose blinking repainted the whole profile twice a
  // second. Now a second of idle paints nothing of it, nor does an edit
  // that changes nothing it shows; a key in the chainage box repaints the
  // boxes' point alone, and a key in another box nothing of the profile.
  void theProfileRepaintsOnlyWhatChanged() {
    QDir(quenlor::RouteDocument::dataFolder()).removeRecursively();
    quenlor::MainWindow window;
    window.resize(1600, 900);
    window.show();
    QVERIFY(window.routePanel()->open(QStringLiteral(QUENLOR_EXAMPLE_ROUTE)));
    window.form().edit(quenlor::Box::Text26, "150");
    auto* table = window.findChild<QTableView*>(QStringLiteral("jdTable"));
    auto* jds = static_cast<quenlor::RouteTableModel*>(table->model());
    window.views()->setCurrentWidget(window.routePanel());
    table->setFocus();
    QVERIFY(jds->setData(jds->index(1, jds->column("R")), QStringLiteral("1250"), Qt::EditRole));
    quenlor::ProfileView* profile = window.profileView();
    window.views()->setCurrentWidget(profile);
    QTest::qWait(200);
    {
      PaintLog log(profile);
      QTest::qWait(1100);
      QCOMPARE(log.rects.size(), std::size_t(0));
    }
    {
      PaintLog log(profile); // a JD renamed: nothing the profile shows changes
      quenlor::RouteDocument& document = window.routePanel()->document();
      quenlor::route::Jd jd = document.route().definition().jds[0];
      jd.name = "交点一";
      document.edit([&](quenlor::route::Route& r) { r.replaceJd(0, jd); });
      QTest::qWait(50);
      QCOMPARE(log.rects.size(), std::size_t(0));
    }
    QLineEdit* chainage = window.box(quenlor::Box::Text26);
    QTest::keyClick(chainage, Qt::Key_End); // the window active, the box with the focus
    QTest::qWait(50);
    {
      PaintLog log(profile);
      QTest::keyClick(chainage, Qt::Key_0); // K1+500: the point moves
      QTest::qWait(50);
      QVERIFY(!log.rects.empty());
      const double whole = profile->width() * profile->height();
      QVERIFY2(log.area < whole / 4,
               qPrintable(QStringLiteral("%1 of %2").arg(log.area).arg(whole)));
    }
    {
      PaintLog log(profile);
      QTest::keyClicks(window.box(quenlor::Box::Text37), QStringLiteral("12"));
      QTest::qWait(50);
      QCOMPARE(log.rects.size(), std::size_t(0));
    }
    QDir(quenlor::RouteDocument::dataFolder()).removeRecursively();
  }

  // The example route's cross section at K0+100, the ground typed at 133:
  // the edges and the centre line at the elevations worked in the engine's
  // tests, the fill below the centre line, every label drawn inside the view
  // and clear of the others, a 2 % fall over the lane 8 pixels high at
  // least; on a desktop and on a field tablet, where the view is narrow. A
  // key in another box repaints nothing of it; without a template the
  // notice says why.
  void theSectionShowsItsEdgesOrWhyNot_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("desktop") << QSize(1600, 900);
    QTest::newRow("tablet") << QSize(1024, 600);
  }
  void theSectionShowsItsEdgesOrWhyNot() {
    QFETCH(QSize, size);
    QDir(quenlor::RouteDocument::dataFolder()).removeRecursively();
    quenlor::MainWindow window;
    window.resize(size);
    window.show();
    QVERIFY(window.routePanel()->open(QStringLiteral(QUENLOR_EXAMPLE_ROUTE)));
    window.form().edit(quenlor::Box::Text26, "100");
    window.form().edit(quenlor::Box::Text32, "133");
    quenlor::SectionView* section = window.sectionView();
    window.views()->setCurrentWidget(section);
    section->grab();
    QVERIFY(section->scene());
    const quenlor::SectionScene& s = *section->scene();
    QCOMPARE(s.elevations[0].text, std::string("左边缘 133.550\n距中线 5.250"));
    QCOMPARE(s.elevations[1].text, std::string("中线 133.663"));
    QCOMPARE(s.elevations[2].text, std::string("右边缘 133.550\n距中线 5.250"));
    QCOMPARE(s.groundText, std::string("地面 133.000 填 0.663"));
    const std::vector<QRectF>& labels = section->labelPlaces();
    QCOMPARE(labels.size(), s.elevations.size() + s.falls.size() + 1);
    for (std::size_t i = 0; i < labels.size(); ++i) {
      QVERIFY(QRectF(section->rect()).contains(labels[i]));
      for (std::size_t j = 0; j < i; ++j)
        QVERIFY2(!labels[i].intersects(labels[j]),
                 qPrintable(QStringLiteral("%1 %2").arg(i).arg(j)));
    }
    const double lane = section->toScreen(s.surface[2]).y() - section->toScreen(s.surface[3]).y();
    QVERIFY2(lane >= 8, qPrintable(QString::number(lane)));
    QTest::qWait(50);
    {
      PaintLog log(section);
      QTest::keyClicks(window.box(quenlor::Box::Text37), QStringLiteral("12"));
      QTest::qWait(50);
      QCOMPARE(log.rects.size(), std::size_t(0));
    }
    quenlor::route::RouteDefinition d = window.routePanel()->document().route().definition();
    d.section.road = {};
    window.routePanel()->document().adopt(d);
    QVERIFY(!section->scene());
    QVERIFY(section->notice()->isVisible());
    QVERIFY(section->notice()->notice().contains(QStringLiteral("路幅")));
    QDir(quenlor::RouteDocument::dataFolder()).removeRecursively();
  }
};

QTEST_MAIN(DrawingTest)
#include "drawing_test.moc"
