// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/dxf.h"
#include "exchange/saved_file.h"
#include "exchange/stake_sheet.h"
#include "session/field_tools.h"
#include "session/route_model.h"
#include "support/worked_route.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace quenlor::exchange {
namespace {

// The header block as a spreadsheet reads it: cells with a comma or a quote
// quoted, an unknown backsight as empty cells, the precision named.
TEST(StakeCsv, TheHeaderBlockQuotesWhatWouldSplitACell) {
  const SheetHeader header{"A线, \"改\"", PlanePoint{1.5, 2.25}, std::nullopt, "2024-05-01",
                           Precision::Full};
  std::ostringstream out;
  ASSERT_TRUE(writeStakeCsv(out, TableAnswer{}, header));
  EXPECT_EQ(out.str(), "\xEF\xBB\xBF"
                       "线路,\"A线, \"\"改\"\"\"\r\n"
                       "测站,1.5,2.25\r\n"
                       "后视,,\r\n"
                       "日期,2024-05-01\r\n"
                       "精度,全精度\r\n"
                       "\r\n"
                       "桩号,主点,X,Y,切线方位角,放线方位角,放线距离,左桩X,左桩Y,左桩方位角,"
                       "左桩距离,右桩X,右桩Y,右桩方位角,右桩距离\r\n");
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

// A route by elements is drawn from its pieces: its arcs as ARCs about their
// centres, its clothoids as polylines, its straights as LINEs, its main
// points where its elements meet; no JD, so no tangent polygon.
TEST(Dxf, ARouteByElementsIsDrawnFromItsPieces) {
  const RouteModel ramp(test::workedRamp());
  const Drawing d = routeDrawing(ramp, nullptr);
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
