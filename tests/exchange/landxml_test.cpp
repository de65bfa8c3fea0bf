// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/landxml.h"
#include "route/route_file.h"
#include "session/route_model.h"
#include "support/files.h"
#include "support/random_route.h"
#include "support/worked_route.h"

#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <tuple>

namespace quenlor::exchange {
namespace {

const Stamp kStamp{"2024-05-01", "14:03:27"};

route::RouteDefinition example() {
  auto d = route::openRouteFile(QUENLOR_EXAMPLE_ROUTE);
  EXPECT_TRUE(d) << d.error();
  return *d;
}

using test::fileText;

// Calls visit(reader) at each start tag of a text that must be well-formed.
template <class Visit> void eachStartTag(const std::string& text, Visit visit) {
  QXmlStreamReader xml(QByteArray::fromStdString(text));
  while (!xml.atEnd())
    if (xml.readNext() == QXmlStreamReader::StartElement)
      visit(xml);
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
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
    // SJD4 stands 0.2 mm before EP: at the end, as the profile takes it.
    EXPECT_NEAR(b.gradePoints[i].chainage, a.gradePoints[i].chainage, 1e-3);
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

// The attributes the LandXML 1.2 schema requires of each element the export
// writes, from the schema's documentation (the schema itself cannot be had
// here for xmllint): a row for every element, so that a new one fails until
// it is listed.
const std::map<QString, std::set<QString>> kRequired = {
    {"LandXML", {"date", "time", "version"}},
    {"Units", {}},
    {"Metric", {"areaUnit", "linearUnit", "volumeUnit", "temperatureUnit", "pressureUnit"}},
    {"Application", {}},
    {"Alignments", {}},
    {"Alignment", {"name", "length", "staStart"}},
    {"CoordGeom", {}},
    {"Line", {}},
    {"Spiral", {"length", "radiusEnd", "radiusStart", "rot", "spiType"}},
    {"Curve", {"rot"}},
    {"Start", {}},
    {"End", {}},
    {"Center", {}},
    {"PI", {}},
    {"StaEquation", {"staAhead", "staInternal"}},
    {"Profile", {}},
    {"ProfAlign", {"name"}},
    {"PVI", {}},
    {"ParaCurve", {"length"}},
    {"UnsymParaCurve", {"lengthIn", "lengthOut"}},
};

// The element has a row above and every attribute its row names.
void expectRequired(const QXmlStreamReader& xml) {
  const QString name = xml.name().toString();
  const auto row = kRequired.find(name);
  ASSERT_NE(row, kRequired.end()) << "no row for <" << name.toStdString() << ">";
  for (const QString& attribute : row->second)
    EXPECT_TRUE(xml.attributes().hasAttribute(attribute))
        << "<" << name.toStdString() << "> lacks " << attribute.toStdString();
}

// The file as Qt's reader sees it: well-formed, the elements the route
// needs with every attribute the schema requires (exported without Metric's
// temperatureUnit and pressureUnit, a file failed schema-checking readers),
// the numbers as the route has them.
TEST(LandXml, TheFileHoldsTheAlignmentsElements) {
  route::RouteDefinition d = example();
  d.gradePoints[2].tangentIn = 150; // an asymmetric curve, written as UnsymParaCurve
  d.gradePoints[2].tangentOut = 250;
  const auto text = landXmlText(RouteModel(d), kStamp);
  ASSERT_TRUE(text) << text.error();
  std::map<QString, int> count;
  std::vector<double> radii, staBack;
  QString staStart;
  std::string turns;
  eachStartTag(*text, [&](const QXmlStreamReader& xml) {
    expectRequired(xml);
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
  });
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
  EXPECT_EQ(count[QStringLiteral("ParaCurve")], 2);
  EXPECT_EQ(count[QStringLiteral("UnsymParaCurve")], 1);
  EXPECT_EQ(count[QStringLiteral("PI")], 16);
  EXPECT_EQ(count[QStringLiteral("Center")], 6);
}

// The JD table each alignment was designed on: K线 of design-package.xml,
// and the ramp of two-alignments.xml.
struct JdRow {
  double x, y, radius, ls1, ls2;
};
const std::vector<JdRow> kKLine = {
    {1600, 2300, 500, 80, 80}, {2100, 2100, 400, 0, 0}, {2700, 2700, 600, 100, 60}};
const std::vector<JdRow> kRamp = {{5300, 1000, 200, 0, 0}};

// A design package's file: other decorations, numbers to 0.1 mm, a station
// equation and a profile; its R and Ls exact (its JDs in the files' table).
TEST(LandXml, ADesignPackagesFileKeepsItsNameBreakAndProfile) {
  const LandXmlImport read = openLandXml(QUENLOR_EXCHANGE_DATA "/design-package.xml");
  ASSERT_TRUE(read.route) << read.message;
  const route::RouteDefinition& d = *read.route;
  EXPECT_EQ(d.name, "K线");
  EXPECT_NEAR(d.start.chainage, 10000, 1e-9);
  EXPECT_EQ(d.breaks, (std::vector<route::ChainBreak>{{"DL1", 10800, 10790}}));
  ASSERT_EQ(d.jds.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) // exact in metres, where the table allows a millimetre
    EXPECT_EQ(std::tuple(d.jds[i].radius, d.jds[i].ls1, d.jds[i].secondTransition()),
              std::tuple(kKLine[i].radius, kKLine[i].ls1, kKLine[i].ls2));
  ASSERT_EQ(d.gradePoints.size(), 3u);
  EXPECT_NEAR(d.gradePoints[1].verticalRadius, 10000, 0.01); // the length to 0.1 mm
}

// The reader takes the program's own file of the largest route it keeps:
// the file grows by the JD, so 1,000 JDs with as many grade points, times
// the largest count, must stay under the limit, with room for longer names.
// Once the export of 57,000 JDs already passed the limit.
TEST(LandXml, TheLargestRoutesOwnFileIsRead) {
  constexpr std::size_t kJds = 1000;
  route::RouteDefinition d = test::randomRoute(int(kJds), 3);
  const route::Route plain(d);
  for (std::size_t i = 0; i < kJds; ++i)
    d.gradePoints.push_back({"SJD" + std::to_string(i + 1),
                             plain.stationAt(plain.length() * double(i) / kJds).chainage,
                             500 + double(i % 7), 30000});
  const auto text = landXmlText(RouteModel(d), kStamp);
  ASSERT_TRUE(text) << text.error();
  const double largest = double(text->size()) * double(kMostLandXmlJds / kJds);
  EXPECT_LT(largest, 0.8 * double(kMostLandXmlBytes)) << largest / (1 << 20) << " MiB";
  EXPECT_TRUE(readLandXml(*text).route);
}

struct PackageFile {
  const char* file;
  const char* alignment; // asked for; "" for the first
  const std::vector<JdRow>* jds;
  const char* summary; // the driver's line after "imported FILE: "
  const char* ignored;
};

class DesignPackageFiles : public ::testing::TestWithParam<PackageFile> {};

// Each file's JDs where the design put them, to a millimetre in metres.
TEST_P(DesignPackageFiles, GiveTheJdTableTheyWereDesignedOn) {
  const PackageFile& f = GetParam();
  const LandXmlImport read =
      openLandXml(std::string(QUENLOR_EXCHANGE_DATA "/") + f.file, f.alignment);
  ASSERT_TRUE(read.route) << read.message;
  EXPECT_EQ(importSummary(read), f.summary);
  EXPECT_EQ(ignoredSummary(read), f.ignored);
  const route::RouteDefinition& d = *read.route;
  ASSERT_EQ(d.jds.size(), f.jds->size());
  for (std::size_t i = 0; i < d.jds.size(); ++i) {
    const JdRow& e = (*f.jds)[i];
    EXPECT_NEAR(d.jds[i].x, e.x, 1e-3) << i;
    EXPECT_NEAR(d.jds[i].y, e.y, 1e-3) << i;
    EXPECT_NEAR(d.jds[i].radius, e.radius, 1e-3) << i;
    EXPECT_NEAR(d.jds[i].ls1, e.ls1, 1e-3) << i;
    EXPECT_NEAR(d.jds[i].secondTransition(), e.ls2, 1e-3) << i;
  }
  EXPECT_TRUE(route::Route(d).checks().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, DesignPackageFiles,
    ::testing::Values(
        PackageFile{"design-package.xml", "", &kKLine,
                    "3 JDs, 3 grade points; alignment 'K线', 1 of 1", "ignored: ProfSurf, Feature"},
        PackageFile{"feet-features.xml", "", &kKLine,
                    "3 JDs, 3 grade points; alignment 'K线', 1 of 1; converted from US survey feet",
                    "ignored: rd:Style, Feature (16), ProfSurf, rd:Label"},
        PackageFile{"grads.xml", "", &kKLine, "3 JDs, 0 grade points; alignment 'K线', 1 of 1", ""},
        PackageFile{"beyond-ends.xml", "", &kKLine,
                    "3 JDs, 5 grade points; alignment 'K线', 1 of 1", ""},
        PackageFile{"two-alignments.xml", "", &kKLine,
                    "3 JDs, 0 grade points; alignment 'K线', 1 of 2", ""},
        PackageFile{"two-alignments.xml", "A匝道", &kRamp,
                    "1 JDs, 0 grade points; alignment 'A匝道', 2 of 2", ""}),
    [](const auto& info) { return "row" + std::to_string(info.index); });

// The elements a file gives, each with its station, length, Start and End as
// the file writes them: read with Qt's reader, not the importer.
struct FileElement {
  std::string name;
  double station = 0, length = 0;
  PlanePoint start, end;
};

PlanePoint pointOf(const QString& text) {
  const QStringList words = text.simplified().split(u' ');
  return {words[0].toDouble(), words[1].toDouble()};
}

std::vector<FileElement> fileElements(const std::string& path) {
  std::vector<FileElement> elements;
  eachStartTag(fileText(path), [&](QXmlStreamReader& xml) {
    const QString name = xml.name().toString();
    const auto at = xml.attributes();
    if (name == QLatin1String("Line") || name == QLatin1String("Spiral") ||
        name == QLatin1String("Curve"))
      elements.push_back({at.value(QLatin1String("name")).toString().toStdString(),
                          at.value(QLatin1String("staStart")).toDouble(),
                          at.value(QLatin1String("length")).toDouble(),
                          {},
                          {}});
    else if (name == QLatin1String("Start"))
      elements.back().start = pointOf(xml.readElementText());
    else if (name == QLatin1String("End"))
      elements.back().end = pointOf(xml.readElementText());
  });
  return elements;
}

struct ElementFile {
  const char* file;
  std::optional<route::Method> method; // none: either fits the file
  std::size_t elements;                // in the file
};

class ElementAlignments : public ::testing::TestWithParam<ElementFile> {};

// Files of ramps in the manner of design packages (their comments say how
// they were made): a spiral between two arcs, a ramp that starts on a loop's
// curve into an S-curve of two spirals, and elements of no length. Every
// element's start and end lands, at the station the file gives, where the
// file puts it, to a millimetre.
TEST_P(ElementAlignments, LandEveryElementWhereTheFileSays) {
  const std::string path = std::string(QUENLOR_EXCHANGE_DATA "/") + GetParam().file;
  const LandXmlImport read = openLandXml(path);
  ASSERT_TRUE(read.route) << read.message;
  if (GetParam().method) {
    EXPECT_EQ(read.route->method, *GetParam().method);
  }
  const route::Route route(*read.route);
  EXPECT_TRUE(route.checks().empty()) << route.checks().front().message;
  const std::vector<FileElement> elements = fileElements(path);
  ASSERT_EQ(elements.size(), GetParam().elements);
  double worst = 0;
  for (const FileElement& e : elements) {
    const auto start = route.measureOf({e.station, 0});
    ASSERT_TRUE(start) << e.name;
    const auto a = route.pointAt(*start), b = route.pointAt(*start + e.length);
    ASSERT_TRUE(a && b) << e.name;
    const double offStart = route::distanceBetween(a->point, e.start);
    const double offEnd = route::distanceBetween(b->point, e.end);
    EXPECT_LE(offStart, 1e-3) << e.name << " Start";
    EXPECT_LE(offEnd, 1e-3) << e.name << " End";
    worst = std::max({worst, offStart, offEnd});
  }
  std::printf("%s: worst %.2g m\n", GetParam().file, worst);
}

INSTANTIATE_TEST_SUITE_P(Files, ElementAlignments,
                         ::testing::Values(ElementFile{"egg-ramp.xml", route::Method::Elements, 7},
                                           ElementFile{"s-curve-ramp.xml", route::Method::Elements,
                                                       5},
                                           ElementFile{"zero-length.xml", std::nullopt, 9}),
                         [](const auto& info) { return "row" + std::to_string(info.index); });

// The egg ramp as the importer reads it: its rows as the file's elements,
// each named as there and given its Start as a check, the profile with it.
TEST(LandXml, ASpiralBetweenTwoArcsIsARouteByElements) {
  const LandXmlImport read = openLandXml(QUENLOR_EXCHANGE_DATA "/egg-ramp.xml");
  ASSERT_TRUE(read.route) << read.message;
  EXPECT_EQ(importSummary(read), "7 elements, 3 grade points; alignment 'B匝道', 1 of 1");
  const route::RouteDefinition& d = *read.route;
  ASSERT_EQ(d.elements.size(), 7u);
  const route::ElementRow& egg = d.elements[3];
  EXPECT_EQ(egg.name, "SP2");
  EXPECT_EQ(egg.kind, route::ElementKind::Clothoid);
  EXPECT_EQ(egg.startRadius, 75);
  EXPECT_EQ(egg.endRadius, 200);
  EXPECT_EQ(egg.length, 45);
  EXPECT_EQ(egg.turn, route::Turn::Left);
  EXPECT_EQ(egg.x, 4012444.3640);
  EXPECT_EQ(d.elements[0].startRadius, route::kNoRadius);
  EXPECT_EQ(d.start.chainage, 2350);
  // Its direction at BP: 62.5°, from the whole alignment, to the rounding
  // of its tenths of a millimetre over 446 m.
  EXPECT_NEAR(d.start.azimuth, test::radians(62.5), 2e-7);
}

// A route by elements written as it is: a Spiral with both radii where it
// is partial, each rot its element's turn (other programs read it), every
// attribute the schema requires; read back, the same stakes.
TEST(LandXml, ARouteByElementsIsWrittenAsItIs) {
  const RouteModel model(test::workedRamp());
  const auto text = landXmlText(model, kStamp);
  ASSERT_TRUE(text) << text.error();
  std::vector<std::string> elements;
  eachStartTag(*text, [&](const QXmlStreamReader& xml) {
    expectRequired(xml);
    const auto word = [&](const char* attribute) {
      return xml.attributes().value(QLatin1String(attribute)).toString().toStdString();
    };
    const QString name = xml.name().toString();
    if (name == QLatin1String("Line") || name == QLatin1String("Spiral") ||
        name == QLatin1String("Curve"))
      elements.push_back(name.toStdString() + ' ' + word("name") + ' ' + word("radiusStart") +
                         word("radius") + ' ' + word("radiusEnd") + ' ' + word("rot") + ' ' +
                         word("length") + ' ' + word("staStart"));
  });
  EXPECT_EQ(elements,
            (std::vector<std::string>{"Line L1    100 1200", "Spiral A1 INF 60 cw 40 1300",
                                      "Curve C1 60  cw 60 1340", "Spiral A2 60 150 cw 30 1400",
                                      "Curve C2 150  cw 50 1430", "Spiral A3 150 INF cw 40 1480",
                                      "Line L2    80 1520"}));
  const LandXmlImport read = readLandXml(*text);
  ASSERT_TRUE(read.route) << read.message;
  EXPECT_EQ(read.route->method, route::Method::Elements);
  const route::Route a(test::workedRamp()), b(*read.route);
  double worst = 0;
  for (double m = 0; m <= 400; m += 5)
    worst = std::max(worst, route::distanceBetween(a.pointAt(m)->point, b.pointAt(m)->point));
  EXPECT_LT(worst, 1e-6);
}

// A design level against the file's own profile, by hand.
struct LevelRow {
  double station, elevation; // in the file's unit
};

void expectLevels(const RouteModel& model, double staStart, double metresPerUnit,
                  const std::vector<LevelRow>& rows) {
  for (const LevelRow& r : rows) {
    const auto level = model.profile().at((r.station - staStart) * metresPerUnit);
    ASSERT_TRUE(level) << r.station;
    EXPECT_NEAR(level->elevation, r.elevation * metresPerUnit, 1e-3) << r.station;
  }
}

// The profile in US survey feet: +2 % from 434 at BP (32808.3333) to a crest
// at 34808.3333, 474, of L 800 (T 400, Rv 26666.67, E 3), then −1 % to the
// last point, 424 at 39808.3333, 1949.6084 ft (594.242 m) before the
// alignment's stated end: the one check (the route its JDs give runs 27 mm
// longer than the file's rounded elements state).
TEST(LandXml, AProfileInFeetIsTheFilesInMetres) {
  const LandXmlImport read = openLandXml(QUENLOR_EXCHANGE_DATA "/feet-features.xml");
  ASSERT_TRUE(read.route) << read.message;
  const RouteModel model(*read.route);
  const auto& checks = model.profile().checks();
  ASSERT_EQ(checks.size(), 1u);
  EXPECT_EQ(checks[0].kind, CheckKind::LineEndsEarly);
  EXPECT_NEAR(checks[0].amount, 1949.6084 * 1200 / 3937, 0.05);
  expectLevels(model, 32808.3333, 1200.0 / 3937,
               {{32808.3333, 434},    // the first point
                {33808.3333, 454},    // 434 + 1000·2 %
                {34608.3333, 469.25}, // x 200: 474 − 200·2 % − 200²/(2·26666.67)
                {34808.3333, 471},    // 474 − E
                {35008.3333, 471.25}, // x 200 from the end: 474 − 200·1 % − 0.75
                {37808.3333, 444},    // 474 − 3000·1 %
                {39808.3333, 424}});  // the last point
  EXPECT_FALSE(model.profile().at((39900 - 32808.3333) * 1200 / 3937)); // beyond it
}

// A curve to the right of R 200 through 90° from ZY 300 to YZ 614.159
// (north, then east), its superelevation as a design package writes it: the
// normal crown at 240, the outer (left) side level at 260, full 6 % from 320
// to 594, level at 654, normal at 674. Under lanes of 3.5 m at -2 %: left
// -1 % halfway along the runout, 0 at the runoff's start, +6 % and the
// inner (right) side -6 % at full superelevation and mid-curve. A second
// Superelevation whose rate is "6%" is skipped, and says so.
TEST(LandXml, SuperelevationIsReadIntoTheStationTable) {
  const LandXmlImport read = readLandXml(R"(<?xml version="1.0"?>
<LandXML xmlns="http://www.landxml.org/schema/LandXML-1.2"><Alignments>
<Alignment name="S" staStart="0" length="914.159">
<CoordGeom><Line><Start>0 0</Start><End>300 0</End></Line>
<Curve rot="cw" radius="200"><Start>300 0</Start><Center>300 200</Center><End>500 200</End></Curve>
<Line><Start>500 200</Start><End>500 500</End></Line></CoordGeom>
<Superelevation staStart="240" staEnd="674"><BeginRunoutSta>240</BeginRunoutSta>
<BeginRunoffSta>260</BeginRunoffSta><FullSuperSta>320</FullSuperSta>
<FullSuperelev>6</FullSuperelev><RunoffSta>594</RunoffSta>
<StartofRunoutSta>654</StartofRunoutSta><EndofRunoutSta>674</EndofRunoutSta></Superelevation>
<Superelevation><FullSuperSta>700</FullSuperSta><FullSuperelev>6%</FullSuperelev>
<RunoffSta>720</RunoffSta></Superelevation>
</Alignment></Alignments></LandXML>)");
  ASSERT_TRUE(read.route) << read.message;
  EXPECT_EQ(read.superelevations, 1u);
  EXPECT_EQ(ignoredSummary(read),
            "the Superelevation at line 11 is skipped: <FullSuperelev> '6%' is not a number");
  route::RouteDefinition d = *read.route;
  const section::Part lane{"行车道", section::PartKind::Lane, 3.5, -2};
  d.section.road = {{lane}, {lane}};
  const RouteModel model(d);
  const struct {
    double chainage, left, right;
  } falls[] = {{240, -2, -2}, {250, -1, -2},   {260, 0, -2},
               {320, 6, -6},  {457.08, 6, -6}, {674, -2, -2}};
  for (const auto& f : falls) {
    const auto at = model.crossSectionAt({f.chainage});
    ASSERT_TRUE(at) << f.chainage;
    EXPECT_NEAR(at->section.left.fall, f.left, 1e-9) << f.chainage;
    EXPECT_NEAR(at->section.right.fall, f.right, 1e-9) << f.chainage;
  }
}

// Grade points 50 m before the start and 122 m beyond the end, curves across
// both ends: every one kept, and the design level inside the route the
// file's (grades +2 %, +0.5 %, −0.98 %, +1.5 %).
TEST(LandXml, GradePointsBeyondTheEndsShapeTheProfileInside) {
  const LandXmlImport read = openLandXml(QUENLOR_EXCHANGE_DATA "/beyond-ends.xml");
  ASSERT_TRUE(read.route) << read.message;
  const auto& g = read.route->gradePoints;
  const struct {
    double chainage, radius, in, out;
  } points[] = {{9950, 0, 0, 0},
                {10150, 24000, 0, 0}, // 360 / |0.5 % − 2 %|
                {11400, 0, 200, 300},
                {12650, 8000, 0, 0},
                {12850, 0, 0, 0}};
  ASSERT_EQ(g.size(), std::size(points));
  for (std::size_t i = 0; i < g.size(); ++i) {
    EXPECT_NEAR(g[i].chainage, points[i].chainage, 1e-9) << i;
    EXPECT_NEAR(g[i].verticalRadius, points[i].radius, 1e-6) << i;
    EXPECT_EQ(g[i].tangentIn, points[i].in) << i;
    EXPECT_EQ(g[i].tangentOut, points[i].out) << i;
  }
  const RouteModel model(*read.route);
  EXPECT_TRUE(model.profile().checks().empty());
  EXPECT_EQ(model.profile().curves().size(), 3u);
  expectLevels(model, 10000, 1,
               {{10000, 130.98125},         // BP: x 30 on the crest from 9970: 131 − 900/48000
                {10150, 133.325},           // 134 − E (180²/48000)
                {10500, 135.75},            // 134 + 350·0.5 %
                {11300, 139.528},           // x 100 of T1 200: 139.75 − E (0.888)·(1/2)²
                {11400, 139.362},           // 140.25 − E
                {11600, 138.191333},        // x 100 of T2 300: 138.29 − 0.888/9
                {12700, 128.90129},         // sag T 99.2, x 49.2: 128.75 + 49.2²/16000
                {12727.8735, 129.196529}}); // EP, x 21.3265: 129.16810 + 21.3265²/16000

  // Written again: all five points, the asymmetric curve as such.
  const auto text = landXmlText(model, kStamp);
  ASSERT_TRUE(text) << text.error();
  const LandXmlImport again = readLandXml(*text);
  ASSERT_TRUE(again.route) << again.message;
  ASSERT_EQ(again.route->gradePoints.size(), g.size());
  EXPECT_EQ(again.route->gradePoints[2].tangentOut, 300);
  EXPECT_NEAR(again.route->gradePoints[3].verticalRadius, 8000, 1e-6);
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

std::string withStaStart(const char* value) {
  return replaced(designPackage(), "length=\"2727.8735\" staStart=\"10000.0000\"",
                  std::string("length=\"2727.8735\" staStart=\"") + value + "\"");
}

class LandXmlRefused : public ::testing::TestWithParam<Refused> {};

TEST_P(LandXmlRefused, SaysWhatWasFound) {
  const LandXmlImport read =
      GetParam().bytes.empty() ? readLandXml(designPackage(), "B") : readLandXml(GetParam().bytes);
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
        Refused{"no alignment of the name", "", "no alignment named 'B': it holds 'K线'"},
        // A spiral from R 400 straight after a straight: read as elements, it
        // does not reach the next element's Start.
        Refused{"elements that do not join",
                replaced(designPackage(), "radiusStart=\"INF\" radiusEnd=\"600.0000\"",
                         "radiusStart=\"400\" radiusEnd=\"600.0000\""),
                "made from the lengths and radii before it lies"},
        Refused{"bad number", replaced(designPackage(), "10000.0000 132.500", "10000 x"),
                "'x' is not a number"},
        // Read as 0 once, each of these: now the line and column of the tag.
        Refused{"plus sign", withStaStart("+1200"),
                "line 25, column 71: staStart '+1200' is not a number"},
        Refused{"decimal comma", withStaStart("1,5"), "staStart '1,5' is not a number"},
        Refused{"not a number", withStaStart("NaN"), "staStart 'NaN' is not a number"},
        Refused{"too large", withStaStart("1e308"), "staStart '1e308' is beyond"},
        Refused{"too small", withStaStart("1e-400"), "staStart '1e-400' is too small"},
        Refused{"nul", replaced(designPackage(), "<Project", std::string("<Pro\0ject", 10)),
                "a NUL character at line 17, column 7"},
        Refused{"unknown unit",
                replaced(designPackage(), "linearUnit=\"meter\"", "linearUnit=\"furlong\""),
                "the unit of length 'furlong' is not known"},
        Refused{"unknown geometry",
                replaced(designPackage(), "<Line name=\"L2\"", "<IrregularLine name=\"L2\""),
                "<IrregularLine> in the alignment's geometry is not supported"}),
    [](const auto& info) {
      std::string name = info.param.what;
      std::replace(name.begin(), name.end(), ' ', '_');
      return name;
    });

// What is not a regular file, or is larger than the reader takes, is told
// from the file system before a byte is read (a sparse file takes no room).
TEST(LandXmlFile, IsRefusedBeforeItIsRead) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "quenlor-landxml";
  std::filesystem::create_directories(folder);
  const std::filesystem::path large = folder / "large.xml";
  { std::ofstream(large, std::ios::binary) << "<LandXML>"; }
  std::filesystem::resize_file(large, kMostLandXmlBytes + 1);
  const struct {
    std::filesystem::path path;
    const char* message;
  } cases[] = {{folder, "it is a folder"},
               {large, "the file is larger than"},
               {folder / "none.xml", "No such file or directory"}};
  for (const auto& c : cases) {
    const LandXmlImport read = openLandXml(c.path.string());
    EXPECT_FALSE(read.route);
    EXPECT_NE(read.message.find(c.message), std::string::npos) << read.message;
  }
  std::filesystem::remove_all(folder);
}

} // namespace
} // namespace quenlor::exchange
