// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/landxml.h"
#include "route/route_file.h"
#include "session/route_model.h"

#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

namespace quenlor::exchange {
namespace {

const Stamp kStamp{"2024-05-01", "14:03:27"};

route::RouteDefinition example() {
  auto d = route::openRouteFile(QUENLOR_EXAMPLE_ROUTE);
  EXPECT_TRUE(d) << d.error();
  return *d;
}

std::string fileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Export then import: the same JDs to 0.1 mm, the same R and Ls, breaks and
// grade points, and every main point at the same chainage.
TEST(LandXml, ExportThenImportGivesTheSameRoute) {
  const RouteModel model(example());
  const auto text = landXmlText(model, kStamp);
  ASSERT_TRUE(text) << text.error();
  const LandXmlImport read = readLandXml(*text);
  ASSERT_TRUE(read.route) << read.message;
  const route::RouteDefinition &a = model.definition(), &b = *read.route;
  ASSERT_EQ(b.jds.size(), a.jds.size());
  for (std::size_t i = 0; i < a.jds.size(); ++i) {
    EXPECT_EQ(b.jds[i].name, a.jds[i].name);
    EXPECT_NEAR(b.jds[i].x, a.jds[i].x, 1e-4) << a.jds[i].name;
    EXPECT_NEAR(b.jds[i].y, a.jds[i].y, 1e-4) << a.jds[i].name;
    EXPECT_NEAR(b.jds[i].radius, a.jds[i].radius, 1e-9);
    EXPECT_NEAR(b.jds[i].ls1, a.jds[i].ls1, 1e-9);
    EXPECT_NEAR(b.jds[i].secondTransition(), a.jds[i].secondTransition(), 1e-9);
  }
  EXPECT_EQ(b.breaks, a.breaks);
  ASSERT_EQ(b.gradePoints.size(), a.gradePoints.size());
  for (std::size_t i = 0; i < a.gradePoints.size(); ++i) {
    EXPECT_NEAR(b.gradePoints[i].chainage, a.gradePoints[i].chainage, 1e-6);
    EXPECT_NEAR(b.gradePoints[i].verticalRadius, a.gradePoints[i].verticalRadius, 1e-6);
  }
  const route::Route ra(a), rb(b);
  for (std::size_t i = 0; i < a.jds.size(); ++i) {
    const auto &ma = ra.jd(i).mainPoints, &mb = rb.jd(i).mainPoints;
    for (const auto& [x, y] : {std::pair{ma.zh, mb.zh}, {ma.qz, mb.qz}, {ma.hz, mb.hz}})
      EXPECT_EQ(stationText(ra.stationAt(x)), stationText(rb.stationAt(y)));
  }
  EXPECT_NEAR(rb.length(), ra.length(), 1e-4);
}

// The file as Qt's reader sees it: well-formed, the elements the route
// needs, the numbers as the route has them.
TEST(LandXml, TheFileHoldsTheAlignmentsElements) {
  const RouteModel model(example());
  const auto text = landXmlText(model, kStamp);
  ASSERT_TRUE(text);
  QXmlStreamReader xml(QByteArray::fromStdString(*text));
  std::map<QString, int> count;
  std::vector<double> radii, staBack;
  QString staStart;
  std::string turns;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement)
      continue;
    ++count[xml.name().toString()];
    const auto at = xml.attributes();
    if (xml.name() == QLatin1String("Alignment"))
      staStart = at.value(QLatin1String("staStart")).toString();
    if (xml.name() == QLatin1String("Curve"))
      radii.push_back(at.value(QLatin1String("radius")).toDouble());
    if (xml.name() == QLatin1String("Spiral") || xml.name() == QLatin1String("Curve"))
      turns += at.value(QLatin1String("rot")).toString().toStdString() + ' ';
    if (xml.name() == QLatin1String("StaEquation"))
      staBack.push_back(at.value(QLatin1String("staBack")).toDouble());
  }
  ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  EXPECT_EQ(xml.namespaceUri(), QString());
  EXPECT_EQ(count[QStringLiteral("Alignment")], 1);
  EXPECT_EQ(staStart, QStringLiteral("0"));
  EXPECT_EQ(radii, (std::vector<double>{1200, 800, 1500, 650, 2000, 900}));
  EXPECT_EQ(count[QStringLiteral("Spiral")], 10); // JD3 has none, JD2 and JD5 two unequal
  // rot, which other programs read (the import takes the turn from the arc):
  // the legs' azimuths 52, 80, 39, 57, 22, 47 and 25 degrees turn right at
  // JD1, JD3 and JD5, left at the others; each spiral turns with its arc.
  EXPECT_EQ(turns, "cw cw cw ccw ccw ccw cw ccw ccw ccw cw cw cw ccw ccw ccw ");
  EXPECT_EQ(count[QStringLiteral("Line")], 7);
  EXPECT_EQ(staBack, (std::vector<double>{2500, 5200}));
  EXPECT_EQ(count[QStringLiteral("PVI")], 2);
  EXPECT_EQ(count[QStringLiteral("ParaCurve")], 3);
  EXPECT_EQ(count[QStringLiteral("PI")], 16);
  EXPECT_EQ(count[QStringLiteral("Center")], 6);
}

// A design package's file: other decorations, numbers to 0.1 mm, a station
// equation and a profile. The JDs it was designed on come back.
TEST(LandXml, ADesignPackagesFileImportsToItsJdTable) {
  const LandXmlImport read = openLandXml(QUENLOR_EXCHANGE_DATA "/design-package.xml");
  ASSERT_TRUE(read.route) << read.message;
  const route::RouteDefinition& d = *read.route;
  EXPECT_EQ(d.name, "K线");
  EXPECT_NEAR(d.start.chainage, 10000, 1e-9);
  const struct {
    double x, y, radius, ls1, ls2;
  } expected[] = {{1600, 2300, 500, 80, 80}, {2100, 2100, 400, 0, 0}, {2700, 2700, 600, 100, 60}};
  ASSERT_EQ(d.jds.size(), std::size(expected));
  for (std::size_t i = 0; i < d.jds.size(); ++i) {
    EXPECT_NEAR(d.jds[i].x, expected[i].x, 1e-3) << i;
    EXPECT_NEAR(d.jds[i].y, expected[i].y, 1e-3) << i;
    EXPECT_NEAR(d.jds[i].radius, expected[i].radius, 1e-9) << i;
    EXPECT_NEAR(d.jds[i].ls1, expected[i].ls1, 1e-9) << i;
    EXPECT_NEAR(d.jds[i].secondTransition(), expected[i].ls2, 1e-9) << i;
  }
  ASSERT_EQ(d.breaks.size(), 1u);
  EXPECT_EQ(d.breaks[0].name, "DL1");
  EXPECT_EQ(d.breaks[0].behind, 10800);
  EXPECT_EQ(d.breaks[0].ahead, 10790);
  ASSERT_EQ(d.gradePoints.size(), 3u);
  EXPECT_NEAR(d.gradePoints[1].verticalRadius, 10000, 0.01); // the length to 0.1 mm
  EXPECT_TRUE(route::Route(d).checks().empty());
}

// Files that cannot be read: a message saying what was found, no route.
struct Refused {
  const char* what;
  std::string bytes;
  const char* message; // a part of it
};

std::string designPackage() { return fileText(QUENLOR_EXCHANGE_DATA "/design-package.xml"); }

std::string replaced(std::string text, std::string_view from, std::string_view to) {
  const auto at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return text.replace(at, from.size(), to);
}

class LandXmlRefused : public ::testing::TestWithParam<Refused> {};

TEST_P(LandXmlRefused, SaysWhatWasFound) {
  const LandXmlImport read = readLandXml(GetParam().bytes);
  EXPECT_FALSE(read.route);
  EXPECT_NE(read.message.find(GetParam().message), std::string::npos) << read.message;
  EXPECT_FALSE(read.notice.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, LandXmlRefused,
    ::testing::Values(
        Refused{"truncated", designPackage().substr(0, designPackage().size() / 2),
                "not well-formed"},
        Refused{"not xml", "quenlor-route,1\n", "not well-formed"},
        Refused{"other root", "<gpx/>", "not a LandXML file"},
        Refused{"two alignments",
                replaced(designPackage(), "</Alignments>",
                         "<Alignment name=\"B\"><CoordGeom/></Alignment></Alignments>"),
                "2 alignments"},
        Refused{"spiral between arcs",
                replaced(designPackage(), "radiusStart=\"INF\" radiusEnd=\"600.0000\"",
                         "radiusStart=\"400\" radiusEnd=\"600.0000\""),
                "between two arcs"},
        Refused{"bad number", replaced(designPackage(), "10000.0000 132.500", "10000 x"),
                "'x' is not a number"}),
    [](const auto& info) {
      std::string name = info.param.what;
      std::replace(name.begin(), name.end(), ' ', '_');
      return name;
    });

} // namespace
} // namespace quenlor::exchange
