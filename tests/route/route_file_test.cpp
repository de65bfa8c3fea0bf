// SPDX-License-Identifier: GPL-3.0-or-later
#include "route/route.h"
#include "route/route_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace quenlor::route {
namespace {

namespace fs = std::filesystem;

std::string fileText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

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
                "line 5, column 1 (kind): 'end' is not a kind of row (BP, JD, EP, break, PVI)"}),
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
  route.end = {name, kLongest, kLongest};
  for (std::size_t i = 0; i < kJds; ++i) {
    route.jds.push_back({name, kLongest, kLongest, kLongest, kLongest, kLongest});
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
            "the file is larger than 64 MiB; it is not a route file");
}

class RouteFileOnDisk : public ::testing::Test {
protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("quenlor-route-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
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
