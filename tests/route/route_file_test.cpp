// SPDX-License-Identifier: GPL-3.0-or-later
#include "route/route.h"
#include "route/route_file.h"
#include "support/files.h"
#include "support/worked_route.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include <unistd.h>

namespace quenlor::route {
namespace {

namespace fs = std::filesystem;

using test::fileText;

const std::string kExample = QUENLOR_EXAMPLE_ROUTE;

// Names that need quoting, numbers whose shortest text is not their obvious
// one: the text reads back as the same route, and writes the same bytes.
TEST(RouteFile, ARouteReadsBackAsItselfTextForText) {
  RouteDefinition route;
  route.name = "S\u7701\u9053 \"old\", K0";
  route.start = {" BP ", 3456789.123, 512345.678, 1.0 / 3};
  route.jds = {{"JD,1", 3457000.1, 512500.2, 1e-7, 0.1 + 0.2, std::nullopt},
               {"\u4ea4\u70b9\r\n2", 3457500, 513000, -0.0, 1e9, 2.5e-300}};
  route.end = {"", 3458000, 513000.75};
  route.breaks = {{"\t", 3100, 3080.5}};
  route.gradePoints = {{"SJD1", 1200, 132.5, 12000}, {"SJD2", 1800, 128, 0, 150, 250.5}};
  const std::string text = routeText(route);
  const auto read = readRouteText(text);
  ASSERT_TRUE(read) << read.error();
  EXPECT_EQ(*read, route);
  EXPECT_TRUE(std::signbit(read->jds[1].radius));
  EXPECT_EQ(routeText(*read), text);
}

// The stations kept with the route: their own table after the route table,
// unknown heights left empty, the one in use marked; read back the same.
TEST(RouteFile, StationsReadBackWithTheOneInUse) {
  RouteDefinition route;
  route.start = {"BP", 3456789.123, 512345.678, 0};
  route.end = {"EP", 3458000, 513000};
  route.stations = {
      {"T1", 3456700, 512400, 152.36, 1.52, "T2", 3456900, 512200, false},
      {"T,3", 3457000.5, 512600.25, std::nullopt, std::nullopt, "", 3457100, 512700, true}};
  const std::string text = routeText(route);
  EXPECT_NE(text.find("kind,name,X,Y,elevation,height,backsight,backsight X,backsight Y,in use\r\n"
                      "station,T1,3456700,512400,152.36,1.52,T2,3456900,512200,\r\n"
                      "station,\"T,3\",3457000.5,512600.25,,,,3457100,512700,1\r\n"
                      "end,4\r\n"),
            std::string::npos)
      << text;
  const auto read = readRouteText(text);
  ASSERT_TRUE(read) << read.error();
  EXPECT_EQ(*read, route);
  // Two in use, or a mark other than 1, is not a file this program wrote.
  for (const auto& [from, to, message] :
       {std::tuple{",3456900,512200,\r\n", ",3456900,512200,1\r\n",
                   "line 7, column 10 (in use): a second station in use"},
        std::tuple{",3457100,512700,1", ",3457100,512700,yes",
                   "line 7, column 10 (in use): 'yes' is not 1 (in use) or empty"}}) {
    std::string bad = text;
    bad.replace(bad.find(from), std::string(from).size(), to);
    const auto refused = readRouteText(bad);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error(), message);
  }
}

// The design table's chainages and a typed deflection read back, and a point
// placed by its distance has no X or Y in the file; a route without any of
// them keeps the first header.
TEST(RouteFile, GivenValuesAndPlacedPointsReadBack) {
  RouteDefinition route;
  route.start = {"BP", 3456789.123, 512345.678, 0};
  route.jds = {{"JD1", 3457291.707, 512993.605, 1200, 150, std::nullopt, 819.999, -41.29599},
               {"JD2", 0, 0, 800, 120, 100, std::nullopt, 12.3, 1138.4}};
  route.end = {"EP", 0, 0, 7012.43, 950.5};
  const std::string text = routeText(route);
  EXPECT_NE(
      text.find("\r\nkind,name,X,Y,chainage,R,Ls,ls2,ahead,elevation,Rv,deflection,distance\r\n"
                "BP,BP,3456789.123,512345.678,0,,,,,,,,\r\n"
                "JD,JD1,3457291.707,512993.605,819.999,1200,150,,,,,-41.29599,\r\n"
                "JD,JD2,,,,800,120,100,,,,12.3,1138.4\r\n"
                "EP,EP,,,7012.43,,,,,,,,950.5\r\n"),
      std::string::npos)
      << text;
  const auto read = readRouteText(text);
  ASSERT_TRUE(read) << read.error();
  EXPECT_EQ(*read, route);
  route.jds[1] = {"JD2", 3457487.448, 514126.824, 800, 120, 100};
  route.jds[0].deflection.reset();
  route.end = {"EP", 3461148.944, 517194.712, 7012.43};
  EXPECT_NE(routeText(route).find("\r\nkind,name,X,Y,chainage,R,Ls,ls2,ahead,elevation,Rv\r\n"),
            std::string::npos);
  EXPECT_EQ(
      readRouteText("quenlor-route,2\nkind,name,X,Y,chainage,R,Ls,ls2,ahead,elevation,Rv,"
                    "deflection,distance\nBP,BP,0,0,0\nJD,JD1,,,,300,0,,,,,,\nEP,EP,1,1\nend,3\n")
          .error(),
      "line 4, column 3 (X): missing: a JD row needs X");
}

std::string shortest(double value) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line.substr(0, line.size() - (line.ends_with('\r') ? 1 : 0)));
  return lines;
}

// The worked ramp (tests/support/worked_route.h) is its element table: each
// row's start chainage and azimuth by hand, from K1+200 along 30°: A1 turns
// 40 / (2·60) rad, C1 60 / 60, A2 30 (1/60 + 1/150) / 2 = 0.35, C2 50 / 150,
// A3 40 / (2·150); so C1 starts along 49.0985931710° = 49°05′54.935416″, A2
// along 106°23′39.741663″, C2 126°26′52.423849″, A3 145°32′47.359265″, L2
// 153°11′09.333431″; K1+500 = K1+490 puts L2 at K1+510. The JD rows a
// route by elements keeps are not written; it reads back as itself, text for
// text.
TEST(RouteFile, ARouteByElementsIsItsElementTable) {
  RouteDefinition ramp = test::workedRamp();
  ramp.elements[2].x = 3456800.5; // a start as a field table gives it
  ramp.elements[2].y = 512400.25;
  ramp.elements[3].name.clear();
  ramp.elements[4].startRadius = kNoRadius; // an arc by its end radius
  ramp.breaks = {{"DL1", 1500, 1490}};
  ramp.gradePoints = {{"SJD1", 1200, 100, 0}};
  ramp.jds = test::threeJdRoute().jds;
  const std::string text = routeText(ramp);
  const std::vector<std::string> lines = linesOf(text);
  ASSERT_EQ(lines.size(), 15u);
  EXPECT_EQ(lines[2], "BP,BP,3456789.123,512345.678,1200,,,,,,");
  EXPECT_TRUE(lines[3].starts_with("EP,EP,")) << lines[3];
  const std::vector<std::string> table(lines.begin() + 6, lines.end());
  EXPECT_EQ(table,
            (std::vector<std::string>{
                "序号,类型,起点桩号,起点X,起点Y,起点方位角,起点半径,终点半径,长度,转向,名称",
                "1,直线,K1+200.000,,,30,,,100,右,L1", "2,缓和曲线,K1+300.000,,,30,,60,40,右,A1",
                "3,圆曲线,K1+340.000,3456800.5,512400.25,49.0554935416,60,60,60,右,C1",
                "4,缓和曲线,K1+400.000,,,106.2339741663,60,150,30,右,",
                "5,圆曲线,K1+430.000,,,126.2652423849,,150,50,右,C2",
                "6,缓和曲线,K1+480.000,,,145.3247359265,150,,40,右,A3",
                "7,直线,K1+510.000,,,153.1109333431,,,80,右,L2", "end,11"}));
  const auto read = readRouteText(text);
  ASSERT_TRUE(read) << read.error();
  RouteDefinition expected = ramp;
  expected.jds.clear();
  EXPECT_EQ(*read, expected);
  EXPECT_EQ(routeText(*read), text);
  // EP: where the last element ends.
  const PlanePoint end = Route(ramp).endPoint();
  EXPECT_EQ(lines[3], "EP,EP," + shortest(end.x) + "," + shortest(end.y) + ",,,,,,,");
}

// The cross section's tables: the template's parts of each side in order,
// curve rows for the JDs that have settings (two JDs of one name told apart
// by their order: the first gets a row of none), the station table with an
// empty fall (the normal crown) and its axis. Written, read, written again:
// the same bytes.
TEST(RouteFile, TheCrossSectionReadsBackAsItself) {
  RouteDefinition route;
  route.start = {"BP", 1000, 2000, 0};
  route.jds = {{"JD", 1100, 2000, 300, 60, std::nullopt},
               {"JD", 1150, 2100, 400, 50, 40},
               {"JD3", 1200, 2050, 500, 0, std::nullopt}};
  route.jds[1].section = {6, std::nullopt, section::Axis::InnerEdge, 0.8,
                          section::WideningShape::HighOrder};
  route.jds[2].section = {4, 35.5, section::Axis::OuterEdge, 0, section::WideningShape::Linear};
  route.end = {"EP", 1300, 2200};
  route.section.road.left = {{"行车道", section::PartKind::Lane, 3.5, -2},
                             {"土路肩, \"外\"", section::PartKind::SoilShoulder, 0.75, -3}};
  route.section.road.right = {{"", section::PartKind::Lane, 3.75, -2},
                              {"硬路肩", section::PartKind::HardShoulder, 1.5, -2}};
  route.section.tableAxis = section::Axis::InnerEdge;
  route.section.stations = {{100, std::nullopt, -2, 0, 0}, {120.5, 3, -3, 0, 0.4}};
  const std::string text = routeText(route);
  // The first JD's row, of no settings, keeps the second its own.
  EXPECT_NE(text.find("\r\ncurve,JD,0,,centre,0,linear\r\n"
                      "curve,JD,6,,inner-edge,0.8,high-order\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("\r\nstation,100,,-2,0,0,\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nend,15\r\n"), std::string::npos); // 5 + 4 parts + 3 curves + 3
  const auto read = readRouteText(text);
  ASSERT_TRUE(read) << read.error();
  EXPECT_EQ(read->jds[0].section, section::CurveSettings{});
  EXPECT_EQ(*read, route);
  EXPECT_EQ(routeText(*read), text);
}

// What a spreadsheet or a text editor may do to the file is still the route.
TEST(RouteFile, AcceptsWhatSpreadsheetsAndEditorsWrite) {
  const std::string plain = "quenlor-route,1\n"
                            "kind,name,X,Y,chainage,R,Ls,ls2,ahead,elevation,Rv\n"
                            "BP,BP,1000,2000,0\n"
                            "\n"
                            "break,,, ,150,,,,140.5,,\n"
                            "JD,JD1,1100, 2000.5 ,,300,\"60\",40\n"
                            ",,,,,,,,,,\n"
                            "EP,EP,1200,2100,,,,,,,,,\n";
  const auto read = readRouteText(plain);
  ASSERT_TRUE(read) << read.error();
  EXPECT_EQ(read->jds[0].y, 2000.5);
  EXPECT_EQ(read->jds[0].ls1, 60);
  EXPECT_EQ(read->jds[0].ls2, 40);
  EXPECT_EQ(read->breaks[0].ahead, 140.5);
  std::string crlf = "\xEF\xBB\xBF";
  for (char c : plain)
    crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  const auto withMark = readRouteText(crlf);
  ASSERT_TRUE(withMark) << withMark.error();
  EXPECT_EQ(*withMark, *read);
}

struct BadFile {
  const char* name;
  std::string bytes;
  const char* message;
};

const std::string kTop =
    "quenlor-route,1\r\nkind,name,X,Y,chainage,R,Ls,ls2,ahead,elevation,Rv\r\n";
const std::string kTop2 =
    "quenlor-route,2\r\nkind,name,X,Y,chainage,R,Ls,ls2,ahead,elevation,Rv\r\n";
const std::string kBp = "BP,BP,1000,2000,0,,,,,,\r\n";
const std::string kEp = "EP,EP,1200,2100,,,,,,,\r\n";
const std::string kElements =
    "序号,类型,起点桩号,起点X,起点Y,起点方位角,起点半径,终点半径,长度,转向,名称\r\n";

class BadFiles : public ::testing::TestWithParam<BadFile> {};

TEST_P(BadFiles, GiveOneMessageNamingTheLineAndColumn) {
  const auto read = readRouteText(GetParam().bytes);
  ASSERT_FALSE(read);
  EXPECT_EQ(read.error(), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, BadFiles,
    ::testing::Values(
        BadFile{"Empty", "",
                "line 1: the file is empty; a route file starts with 'quenlor-route,2'"},
        BadFile{"NotARouteFile", "kind,name\nBP,BP\n",
                "line 1: not a Quenlor route file: it must start with 'quenlor-route,2'"},
        BadFile{"NewerVersion", "quenlor-route,3\n",
                "line 1, column 2: route file version 3; this program reads versions 1 and 2"},
        BadFile{"NoHeader", "quenlor-route,1\r\n",
                "line 2: the file ends before the header row (is it cut short?)"},
        BadFile{"WrongHeader", "quenlor-route,1\nkind,name,Y,X\n",
                "line 2, column 3 (X): the header row must be "
                "'kind,name,X,Y,chainage,R,Ls,ls2,ahead,elevation,Rv'"},
        BadFile{"BadNumber", kTop + kBp + "JD,JD1,1100,2000,,abc,60,,,,\r\n" + kEp,
                "line 4, column 6 (R): 'abc' is not a number"},
        BadFile{"NumberWithAUnit", kTop + kBp + "JD,JD1,1100,2000,,300m,60,,,,\r\n" + kEp,
                "line 4, column 6 (R): '300m' is not a number"},
        BadFile{"Infinity", kTop + "BP,BP,inf,2000,0\r\n",
                "line 3, column 3 (X): 'inf' is not a number"},
        BadFile{"NumberOutOfRange", kTop + "BP,BP,1e20,2000,0\r\n",
                "line 3, column 3 (X): '1e20' is beyond \u00b11e9"},
        BadFile{"BeyondADouble", kTop + "BP,BP,-1e400,2000,0\r\n",
                "line 3, column 3 (X): '-1e400' is beyond \u00b11e9"},
        BadFile{"TooSmallForADouble", kTop + "BP,BP,1e-400,2000,0\r\n",
                "line 3, column 3 (X): '1e-400' is too small (nearer 0 than a number can be)"},
        BadFile{"TooSmallForALongDouble", kTop + "BP,BP,2,-1e-99999,0\r\n",
                "line 3, column 4 (Y): '-1e-99999' is too small (nearer 0 than a number can be)"},
        BadFile{"MissingCell", kTop + kBp + "JD,JD1,1100,2000,,300,,,,,\r\n" + kEp,
                "line 4, column 7 (Ls): missing: a JD row needs Ls"},
        BadFile{"CellOfAnotherKind", kTop + "BP,BP,1000,2000,0,300,,,,,\r\n" + kEp,
                "line 3, column 6 (R): a BP row has no R; leave the cell empty"},
        BadFile{"TruncatedLine", kTop + kBp + "JD,JD1,11",
                "line 4, column 4 (Y): missing: a JD row needs Y"},
        BadFile{"TruncatedFile", kTop + kBp + "JD,JD1,1100,2000,,300,60,,,,\r\n",
                "line 5: the file ends without an EP row (is it cut short?)"},
        BadFile{"TruncatedInAQuote", kTop + kBp + "JD,\"JD1",
                "line 4, column 2 (name): the file ends inside a quoted cell (is it cut short?)"},
        BadFile{"StrayQuote", kTop + "BP,B\"P,1000,2000,0\r\n",
                "line 3, column 2 (name): a quote in a cell that does not start with one"},
        BadFile{"TextAfterAQuote", kTop + "BP,\"BP\"x,1000,2000,0\r\n",
                "line 3, column 2 (name): text after the closing quote of a cell"},
        BadFile{"LoneCarriageReturn", "quenlor-route,1\r",
                "line 1, column 2: a carriage return without a line feed"},
        BadFile{"Binary",
                "quenlor-route,1\n" + std::string("\x7f"
                                                  "ELF\x02\x01\x01\0\0",
                                                  9),
                "line 2, column 1 (kind): byte 0x7f is not text (a binary file?)"},
        BadFile{"Nul", kTop + "BP,B" + std::string(1, '\0') + "P,1000,2000,0\r\n",
                "a NUL character at line 3, column 5 (a binary file?)"},
        BadFile{"NotUtf8", kTop + "BP,\xc4\xe3\xba\xc3,1000,2000,0\r\n" + kEp,
                "line 3, column 2 (name): byte 0xc4 is not UTF-8 text"},
        BadFile{"UnknownKind", kTop + kBp + "ZD,ZD1,1100,2000\r\n",
                "line 4, column 1 (kind): 'ZD' is not a kind of row (BP, JD, EP, break, PVI)"},
        BadFile{"JdBeforeBp", kTop + "JD,JD1,1100,2000,,300,60,,,,\r\n" + kBp + kEp,
                "line 3: the first row after the header must be the BP row"},
        BadFile{"JdAfterEp", kTop + kBp + kEp + "JD,JD1,1100,2000,,300,60,,,,\r\n",
                "line 5: a JD row after the EP row"},
        BadFile{"TwoEps", kTop + kBp + kEp + kEp, "line 5: a second EP row"},
        BadFile{"MoreCellsThanTheHeader", kTop + "BP,BP,1000,2000,0,,,,,,,x\r\n",
                "line 3, column 12: more cells than this row has"},
        // Version 2 ends in a row that counts the records above it.
        BadFile{"NoEndRow", kTop2 + kBp + kEp,
                "line 5: the file stops here without its end row: it is incomplete (cut short?)"},
        BadFile{"EndRowCountsOthers", kTop2 + kBp + kEp + "end,3\r\n",
                "line 5: the end row counts 3 records but the file has 2: it is incomplete "
                "(cut or joined?)"},
        BadFile{"RowAfterTheEnd", kTop2 + kBp + kEp + "end,2\r\n" + kEp,
                "line 6: a row after the end row"},
        BadFile{"EndRowWithoutACount", kTop2 + kBp + kEp + "end,two\r\n",
                "line 5, column 2: 'two' is not a count of rows"},
        BadFile{"TheRouteTableTwice",
                kTop2 + kBp + "kind,name,X,Y,chainage,R,Ls,ls2,ahead,elevation,Rv\r\n" + kEp,
                "line 4: a second header of the table "
                "'kind,name,X,Y,chainage,R,Ls,ls2,ahead,elevation,Rv'"},
        BadFile{"AHeaderOfNoTable", kTop2 + kBp + kEp + "kind,name,width\r\n",
                "line 5: a header row that names no table of a route file"},
        BadFile{"ASideThatIsNone",
                kTop2 + kBp + kEp + "kind,name,side,width,fall\r\n" +
                    "lane,,middle,3.5,-2\r\nend,3\r\n",
                "line 6, column 3 (side): 'middle' is not a side (left, right)"},
        BadFile{"APartWithoutWidth",
                kTop2 + kBp + kEp + "kind,name,side,width,fall\r\n" +
                    "soil-shoulder,,left,,-3\r\nend,3\r\n",
                "line 6, column 4 (width): missing: a soil-shoulder row needs width"},
        BadFile{"AnAxisThatIsNone",
                kTop2 + kBp + "JD,JD1,1100,2000,,300,60,,,,\r\n" + kEp +
                    "kind,name,superelevation,runoff,axis,widening,shape\r\n" +
                    "curve,JD1,6,,inner,0,\r\nend,4\r\n",
                "line 7, column 5 (axis): 'inner' is not an axis of rotation (centre, "
                "inner-edge, outer-edge)"},
        BadFile{"ACurveOfNoJd",
                kTop2 + kBp + "JD,JD1,1100,2000,,300,60,,,,\r\n" + kEp +
                    "kind,name,superelevation,runoff,axis,widening,shape\r\n" +
                    "curve,JD2,6,,,0,\r\nend,4\r\n",
                "line 7, column 2 (name): 'JD2' names no JD of the route"},
        BadFile{"CurvesOutOfOrder",
                kTop2 + kBp + "JD,JD1,1100,2000,,300,60,,,,\r\nJD,JD2,1150,2100,,300,60,,,,\r\n" +
                    kEp + "kind,name,superelevation,runoff,axis,widening,shape\r\n" +
                    "curve,JD2,6,,,0,\r\ncurve,JD1,6,,,0,\r\nend,6\r\n",
                "line 9, column 2 (name): 'JD1' names no JD after 'JD2' (the curve rows stand "
                "in route order)"},
        BadFile{"TwoAxisRows",
                kTop2 + kBp + kEp +
                    "kind,chainage,left_fall,right_fall,left_widening,right_widening,axis\r\n" +
                    "axis,,,,,,centre\r\naxis,,,,,,centre\r\nend,4\r\n",
                "line 7: a second axis row"},
        BadFile{"AStationWithAnAxis",
                kTop2 + kBp + kEp +
                    "kind,chainage,left_fall,right_fall,left_widening,right_widening,axis\r\n" +
                    "station,100,-2,-2,0,0,centre\r\nend,3\r\n",
                "line 6, column 7 (axis): a station row has no axis; leave the cell empty"},
        BadFile{"EndRowInVersion1", kTop + kBp + kEp + "end,2\r\n",
                "line 5, column 1 (kind): 'end' is not a kind of row (BP, JD, EP, break, PVI)"},
        // The element table.
        BadFile{"ElementTableAfterJds",
                kTop2 + kBp + "JD,JD1,1100,2000,,300,60,,,,\r\n" + kEp + kElements +
                    "1,直线,,,,30,,,100,,\r\nend,4\r\n",
                "line 6: an element table after JD rows: a route file holds JD rows or element "
                "rows, not both"},
        BadFile{"UnknownElementKind", kTop2 + kBp + kEp + kElements + "1,回旋线,,,,30,,,100,,\r\n",
                "line 6, column 2 (类型): '回旋线' is not a kind of row (直线, 圆曲线, 缓和曲线)"},
        BadFile{"NoStartAzimuth", kTop2 + kBp + kEp + kElements + "1,直线,,,,,,,100,,\r\n",
                "line 6, column 6 (起点方位角): missing: the first element row needs 起点方位角, "
                "the azimuth the route starts along"},
        BadFile{"SixtyMinutes", kTop2 + kBp + kEp + kElements + "1,直线,,,,30.6,,,100,,\r\n",
                "line 6, column 6 (起点方位角): '30.6' is not an azimuth in ddd.mmss from 0 to "
                "359.5959 (minutes and seconds below 60)"},
        BadFile{"ElementWithoutLength", kTop2 + kBp + kEp + kElements + "1,直线,,,,30,,,,,\r\n",
                "line 6, column 9 (长度): missing: a 直线 row needs 长度"},
        BadFile{"SideInLetters", kTop2 + kBp + kEp + kElements + "1,圆曲线,,,,30,60,,50,R,\r\n",
                "line 6, column 10 (转向): 'R' is not a turning side: 左 or 右"},
        BadFile{"StartChainageNotAChainage",
                kTop2 + kBp + kEp + kElements + "1,直线,K1+2x,,,30,,,100,,\r\n",
                "line 6, column 3 (起点桩号): 'K1+2x' is not a chainage"},
        BadFile{"ElementHeaderMisspelt", kTop2 + kBp + kEp + "序号,类型,桩号\r\n",
                "line 5: a header row that names no table of a route file"}),
    [](const auto& info) { return std::string(info.param.name); });

// A saved route cut at any byte is refused, or is the whole route: a cut
// never reads as another route (the end row counts the records).
TEST(RouteFile, ACutFileIsRefusedOrTheWholeRoute) {
  const auto route = openRouteFile(QUENLOR_EXAMPLE_ROUTE);
  ASSERT_TRUE(route) << route.error();
  const std::string text = routeText(*route);
  std::size_t read = 0;
  for (std::size_t cut = 0; cut <= text.size(); ++cut)
    if (const auto prefix = readRouteText(std::string_view(text).substr(0, cut))) {
      ASSERT_EQ(*prefix, *route) << "cut at " << cut;
      ++read;
    }
  EXPECT_EQ(read, 2u); // the whole file, and without its last line end
}

// The largest route the program supports, 100,000 JDs each with its
// superelevation, as many grade points and chain breaks, 10,000 station
// rows, names of 64 bytes and every number at its longest text, writes a
// file the reader takes.
TEST(RouteFile, TheLargestSupportedRouteReadsBack) {
  constexpr std::size_t kJds = 100'000;
  constexpr double kLongest = -1.2345678901234567e-300; // 24 characters, the most there are
  const std::string name(64, 'N');
  RouteDefinition route;
  route.start = {name, kLongest, kLongest, kLongest};
  route.end = {name, kLongest, kLongest, kLongest};
  for (std::size_t i = 0; i < kJds; ++i) {
    route.jds.push_back(
        {name, kLongest, kLongest, kLongest, kLongest, kLongest, kLongest, kLongest});
    route.breaks.push_back({name, kLongest, kLongest});
    route.gradePoints.push_back({name, kLongest, kLongest, kLongest});
    route.jds.back().section = {kLongest, kLongest, section::Axis::OuterEdge, kLongest,
                                section::WideningShape::HighOrder};
    if (i % 10 == 0)
      route.section.stations.push_back({kLongest, kLongest, kLongest, kLongest, kLongest});
  }
  route.section.road.left.assign(8, {name, section::PartKind::HardShoulder, kLongest, kLongest});
  const std::string text = routeText(route);
  EXPECT_LT(text.size(), kMostRouteFileBytes);
  const auto read = readRouteText(text);
  ASSERT_TRUE(read) << read.error();
  EXPECT_EQ(read->jds.size(), kJds);
}

// Files too large to be routes: made when this test runs, not each time the
// tests are listed.
TEST(BadFiles, TooLongOrTooLarge) {
  EXPECT_EQ(readRouteText(std::string(kMostRouteFileRows + 1, '\n')).error(),
            "line 1000001: more than 1000000 rows");
  EXPECT_EQ(readRouteText(std::string(kMostRouteFileBytes + 1, ' ')).error(),
            "the file is larger than 96 MiB; it is not a route file");
}

class RouteFileOnDisk : public ::testing::Test {
protected:
  void SetUp() override {
    folder_ = test::testFolder("quenlor-route");
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  std::size_t filesInFolder() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder_), {}));
  }
  fs::path folder_;
};

// The example opens, saves over an old file to the same bytes, keeping the
// old file's permissions, and opens again as itself.
TEST_F(RouteFileOnDisk, TheExampleSavesOverTheOldFileToTheSameBytes) {
  const auto route = openRouteFile(kExample);
  ASSERT_TRUE(route) << route.error();
  EXPECT_EQ(route->jds.size(), 6u);
  EXPECT_EQ(route->breaks.size(), 2u);
  EXPECT_EQ(route->gradePoints.size(), 5u);
  EXPECT_TRUE(Route(*route).checks().empty());
  EXPECT_EQ(routeText(*route), fileText(kExample));
  const fs::path path = folder_ / "route.csv";
  std::ofstream(path) << "old";
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_TRUE(saveRouteFile(path.string(), *route));
  EXPECT_EQ(fileText(path), routeText(*route));
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(filesInFolder(), 1u); // no temporary file left
  EXPECT_EQ(*openRouteFile(path.string()), *route);
}

// A failed save leaves the old file and no temporary; opening says what went
// wrong.
TEST_F(RouteFileOnDisk, FailuresSayWhatWentWrong) {
  RouteDefinition route = *openRouteFile(kExample);
  const fs::path path = folder_ / "route.csv";
  std::ofstream(path) << "old";
  route.jds[1].radius = NAN;
  EXPECT_EQ(saveRouteFile(path.string(), route).error(),
            "JD #2: a number is not finite or beyond \u00b11e9; the route cannot be written");
  const std::string missing = (folder_ / "no-such-folder" / "route.csv").string();
  EXPECT_EQ(saveRouteFile(missing, *openRouteFile(kExample)).error(),
            "cannot write " + missing + ": No such file or directory");
  EXPECT_EQ(fileText(path), "old");
  EXPECT_EQ(filesInFolder(), 1u);
  EXPECT_EQ(openRouteFile(missing).error(),
            "cannot read " + missing + ": No such file or directory");
  EXPECT_EQ(openRouteFile(folder_.string()).error(),
            "cannot read " + folder_.string() + ": it is a folder, not a file");
}

} // namespace
} // namespace quenlor::route
