// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/dxf.h"
#include "exchange/landxml.h"
#include "exchange/stake_sheet.h"
#include "files/save_file.h"
#include "form/form.h"
#include "numeric/number_text.h"
#include "route/route_file.h"
#include "session/field_tools.h"
#include "session/route_model.h"
#include "support/worked_route.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace quenlor::exchange {
namespace {

std::string fileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The header block as a spreadsheet reads it: cells with a comma or a quote
// quoted, an unknown backsight as empty cells, the precision named.
TEST(StakeCsv, TheHeaderBlockQuotesWhatWouldSplitACell) {
  StationSetUp setUp;
  setUp.station = PlanePoint{1.5, 2.25};
  const SheetHeader header{"A线, \"改\"", setUp, "2024-05-01", Precision::Full};
  std::ostringstream out;
  ASSERT_TRUE(writeStakeCsv(out, TableAnswer{}, header));
  EXPECT_EQ(out.str(), "\xEF\xBB\xBF"
                       "线路,\"A线, \"\"改\"\"\"\r\n"
                       "测站,,1.5,2.25\r\n"
                       "测站高程,\r\n"
                       "仪器高,\r\n"
                       "后视,,,\r\n"
                       "定向方位角,\r\n"
                       "定向距离,\r\n"
                       "日期,2024-05-01\r\n"
                       "精度,全精度\r\n"
                       "\r\n"
                       "桩号,主点,X,Y,切线方位角,放线方位角,放线距离\r\n");
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> all;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    all.push_back(line.ends_with('\r') ? line.substr(0, line.size() - 1) : line);
  return all;
}

// A route's station in use, saved and opened again: the sheet's header names
// it with its heights and its orientation, and the table sets out from it,
// not from the station typed in the boxes. T7 to T8 is 300 m north and 400 m
// east: 500 m at atan(400 / 300) = 53.1301024° = 53°07′48.4″.
TEST(StakeSheet, TheStationInUseIsKeptWithTheRouteAndSetsOutTheTable) {
  auto definition = *route::openRouteFile(QUENLOR_EXAMPLE_ROUTE);
  definition.name = "示例";
  definition.stations = {
      {"T1", 3456700, 512400, 152.36, 1.52, "T2", 3456900, 512200, false},
      {"T7", 3456800, 512300, 150.5, 1.6, "T8", 3456800 + 300, 512300 + 400, true}};
  const auto file = std::filesystem::temp_directory_path() /
                    ("quenlor-stations-" + std::to_string(::getpid()) + ".csv");
  ASSERT_TRUE(route::saveRouteFile(file.string(), definition));
  const auto reopened = route::openRouteFile(file.string());
  std::filesystem::remove(file);
  ASSERT_TRUE(reopened) << reopened.error();
  const auto model = std::make_shared<const RouteModel>(*reopened);

  Form form; // a station in the boxes too, which the route's overrides
  form.edit(Box::Text35, "3456000");
  form.edit(Box::Text36, "512000");
  FieldQueries q;
  q.table = TableQuery{{0, 0}, {100, 0}, 20, 0};
  const TableAnswer table = answerFieldTools(form, model, q).table;
  ASSERT_GT(table.size(), 3u);
  for (std::size_t i = 0; i < table.size(); ++i) {
    const StakeRow row = table.row(i);
    ASSERT_TRUE(row.centre && row.setOut);
    EXPECT_NEAR(row.setOut->distance,
                std::hypot(row.centre->point.x - 3456800, row.centre->point.y - 512300), 1e-6);
  }
  std::ostringstream out;
  ASSERT_TRUE(
      writeStakeCsv(out, table, sheetHeaderOf(form, model.get(), Precision::Field, "2024-05-01")));
  const std::vector<std::string> csv = lines(out.str().substr(3));
  ASSERT_GE(csv.size(), 12u);
  const std::vector<std::string> header(csv.begin(), csv.begin() + 9);
  EXPECT_EQ(header, (std::vector<std::string>{
                        "线路,示例", "测站,T7,3456800.000,512300.000", "测站高程,150.500",
                        "仪器高,1.600", "后视,T8,3457100.000,512700.000", "定向方位角,53°07′48″",
                        "定向距离,500.000", "日期,2024-05-01", "精度,毫米，整秒"}));
  // No side offset: no side stakes' columns repeating the centre's.
  EXPECT_EQ(csv[10], "桩号,主点,X,Y,切线方位角,设计高程,放线方位角,放线距离");
}

TEST(DxfText, AsciiStaysAndEveryOtherCharacterIsEscaped) {
  const struct {
    const char *utf8, *dxf;
  } cases[] = {{"ZH K0+836.282", "ZH K0+836.282"},
               {"JD1左", "JD1\\U+5DE6"},
               {"\xF0\x9F\x98\x80", "\\U+1F600"},
               {"a\tb", "a?b"},
               {"\xE5\xB7", "??"}}; // a sequence cut short
  for (const auto& c : cases)
    EXPECT_EQ(dxfText(c.utf8), c.dxf) << c.utf8;
}

// Six decimals whatever the locale, without trailing zeros or a minus zero;
// a number too long for a drawing as its sign's far end.
TEST(DxfNumber, SixDecimalsWithoutTrailingZeros) {
  const struct {
    double value;
    const char* dxf;
  } cases[] = {{512345.678, "512345.678"},
               {3456789.12345649, "3456789.123456"},
               {0.0000004, "0"},
               {-0.0000004, "0"},
               {-12.5, "-12.5"},
               {1e-6, "0.000001"},
               {359.99999949, "359.999999"},
               {2.0, "2"},
               {1e70, "1e300"},
               {-1e70, "-1e300"}};
  for (const auto& c : cases)
    EXPECT_EQ(dxfNumber(c.value), c.dxf) << c.value;
}

std::vector<std::string> split(const std::string& text, const std::string& by) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(by, from)) != std::string::npos; from = at + by.size())
    parts.push_back(text.substr(from, at - from));
  parts.push_back(text.substr(from));
  return parts;
}

// The sheets of a table with no offset typed: its side stakes stand at the
// template's edges, with the widening, and every sheet gives their design
// elevations and the lanes' falls as the route's cross section does (the
// driver's section K). At K0+000, on the straight, both edges lie
// 4.5 × 2 % + 0.75 × 3 % = 0.1125 m below the profile's 132.5. A typed
// offset puts them there, at the template's elevation, and beyond the
// template's edge a stake has no design elevation.
TEST(StakeSheets, EdgeStakesAtTheTemplatesEdgesOnEverySheet) {
  const auto model =
      std::make_shared<const RouteModel>(*route::openRouteFile(QUENLOR_EXAMPLE_ROUTE));
  const SheetHeader header{"示例路线", {}, "2024-05-01", Precision::Full};
  for (const std::optional<double> offset :
       {std::optional<double>(), std::optional(3.0), std::optional(5.5)}) {
    SCOPED_TRACE(offset ? formatNumber(*offset) : "edges");
    FieldQueries q;
    q.table = TableQuery{{0, 0}, {6700, 0}, 50, offset};
    const TableAnswer table = answerFieldTools(Form{}, model, q).table;
    std::ostringstream csv, points;
    ASSERT_TRUE(writeStakeCsv(csv, table, header));
    ASSERT_TRUE(writePointList(points, table, CoordinateOrder::NorthEast, Precision::Full));
    const std::vector<std::string> lines = split(csv.str(), "\r\n");
    const std::vector<std::string> headings = split(lines[10], ",");
    const auto column = [&](const char* heading) {
      return std::size_t(std::find(headings.begin(), headings.end(), heading) - headings.begin());
    };
    std::size_t rows = 0, superelevated = 0, widened = 0;
    std::string pointsExpected;
    for (std::size_t i = 11; i + 1 < lines.size(); ++i, ++rows) {
      const std::vector<std::string> cells = split(lines[i], ",");
      auto station = route::parseStation(cells[0]); // its occurrence
      ASSERT_TRUE(station) << cells[0];
      station->chainage = table.row(rows).chainage; // not rounded to the millimetre
      const auto at = model->crossSectionAt(*station);
      ASSERT_TRUE(at && at->level) << cells[0];
      const section::Section& s = at->section;
      const auto design = [&](double o) {
        const auto d = offset ? model->designAt(*at, o) : (o < 0 ? at->leftEdge : at->rightEdge);
        return d ? formatNumber(*d) : std::string();
      };
      const double left = offset.value_or(s.left.width), right = offset.value_or(s.right.width);
      EXPECT_EQ(cells[column("左桩边距")], formatNumber(left)) << cells[0];
      EXPECT_EQ(cells[column("右桩边距")], formatNumber(right)) << cells[0];
      EXPECT_EQ(cells[column("左横坡%")], formatNumber(s.left.fall)) << cells[0];
      EXPECT_EQ(cells[column("右横坡%")], formatNumber(s.right.fall)) << cells[0];
      EXPECT_EQ(cells[column("左桩设计高程")], design(-left)) << cells[0];
      EXPECT_EQ(cells[column("右桩设计高程")], design(right)) << cells[0];
      superelevated += s.left.fall > 0 || s.right.fall > 0;
      widened += s.left.widening > 0 || s.right.widening > 0;
      std::string name = cells[0];
      std::erase(name, ' ');
      const auto point = [&](const char* side, const char* x, const char* y, std::string z) {
        pointsExpected +=
            name + side + "," + cells[column(x)] + "," + cells[column(y)] + "," + z + "\r\n";
      };
      point("", "X", "Y", cells[column("设计高程")]);
      point("L", "左桩X", "左桩Y", design(-left));
      point("R", "右桩X", "右桩Y", design(right));
    }
    EXPECT_GT(rows, 130u);
    EXPECT_GT(superelevated, 20u);
    EXPECT_GT(widened, 10u);
    EXPECT_EQ(points.str(), pointsExpected);
    if (!offset) {
      EXPECT_NEAR(parseNumber(split(lines[11], ",")[column("左桩设计高程")]), 132.3875, 1e-9);
    }
  }
}

// Every export goes through the one save path: a disk that fills up after
// any number of bytes leaves the old file byte for byte, no temporary file,
// and the system's reason.
TEST(SavePath, AFullDiskLeavesTheOldFileOfEveryExport) {
  const auto model =
      std::make_shared<const RouteModel>(*route::openRouteFile(QUENLOR_EXAMPLE_ROUTE));
  const Form form;
  FieldQueries q;
  q.table = TableQuery{{0, 0}, {2000, 0}, 20, 7.5};
  const TableAnswer table = answerFieldTools(form, model, q).table;
  const SheetHeader header{"示例路线", StationSetUp{}, "2024-05-01", Precision::Field};
  const Stamp stamp{"2024-05-01", "00:00:00"};
  const std::pair<const char*, std::function<Expected<Done>(const std::string&)>> exports[] = {
      {"csv", [&](const std::string& p) { return saveStakeCsv(p, table, header); }},
      {"xlsx", [&](const std::string& p) { return saveStakeXlsx(p, table, header); }},
      {"points",
       [&](const std::string& p) {
         return savePointList(p, table, CoordinateOrder::NorthEast, Precision::Field);
       }},
      {"dxf", [&](const std::string& p) { return saveRouteDxf(p, *model, &table); }},
      {"landxml", [&](const std::string& p) { return saveLandXml(p, *model, stamp); }},
      {"route", [&](const std::string& p) { return route::saveRouteFile(p, model->definition()); }},
  };
  const auto folder =
      std::filesystem::temp_directory_path() / ("quenlor-full-disk-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "old").string();
  for (const auto& [kind, save] : exports)
    for (const std::uint64_t after : {0, 100}) {
      std::ofstream(path) << "old";
      setWriteFault(WriteFault{after, ENOSPC});
      const auto saved = save(path);
      setWriteFault(std::nullopt);
      ASSERT_FALSE(saved) << kind;
      EXPECT_EQ(saved.error(), "cannot write " + path + ": No space left on device") << kind;
      EXPECT_EQ(fileText(path), "old") << kind;
      EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1) << kind;
      EXPECT_TRUE(save(path)) << kind; // with room, it writes
    }
  std::filesystem::remove_all(folder);
}

// A route by elements is drawn from its pieces: its arcs as ARCs about their
// centres, its clothoids as polylines, its straights as LINEs, its main
// points where its elements meet; no JD, so no tangent polygon.
TEST(Dxf, ARouteByElementsIsDrawnFromItsPieces) {
  const RouteModel ramp(test::workedRamp());
  Drawing d;
  drawRoute(ramp, nullptr, d);
  ASSERT_EQ(d.arcs.size(), 2u);
  for (const auto& [arc, radius] : {std::pair(d.arcs[0], 60.0), std::pair(d.arcs[1], 150.0)}) {
    EXPECT_EQ(arc.radius, radius);
    EXPECT_TRUE(arc.turnsRight);
    for (const PlanePoint& end : {arc.from, arc.to})
      EXPECT_NEAR(std::hypot(end.x - arc.centre.x, end.y - arc.centre.y), radius, 1e-9);
  }
  EXPECT_EQ(d.polylines.size(), 3u);
  ASSERT_EQ(d.lines.size(), 2u);
  for (const Drawing::Line& line : d.lines)
    EXPECT_EQ(std::string(line.layer), layer::kStraight);
  std::vector<std::string> marks;
  for (const Drawing::Mark& m : d.marks)
    marks.push_back(m.label);
  EXPECT_EQ(marks, (std::vector<std::string>{"ZH K1+300.000", "HY K1+340.000", "YH K1+400.000",
                                             "HY K1+430.000", "YH K1+480.000", "HZ K1+520.000",
                                             "BP K1+200.000", "EP K1+600.000"}));
  EXPECT_EQ(d.marks.back().at, ramp.route().pointAt(400.0)->point);
}

// A write that fails, by the writer or by the file system, leaves the old
// file whole.
TEST(SavedFile, AFailedWriteLeavesTheOldFile) {
  const auto path = std::filesystem::temp_directory_path() / "quenlor-saved-file-test.csv";
  ASSERT_TRUE(saveBytes(path.string(), "old"));
  EXPECT_FALSE(saveStream(path.string(), [](std::ostream& out) {
    out << "half";
    return false;
  }));
  EXPECT_FALSE(saveBytes((path / "no-folder").string(), "x"));
  std::ifstream in(path);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old");
  std::filesystem::remove(path);
}

} // namespace
} // namespace quenlor::exchange
