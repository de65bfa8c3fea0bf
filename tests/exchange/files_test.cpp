// SPDX-License-Identifier: GPL-3.0-or-later
// The driver's exports as a user runs them, each file read back by a reader
// of its own: the CSV and the point list as text, the XLSX unpacked by unzip,
// the DXF by its group codes and by another program (ezdxf), the LandXML
// imported again. And what it
// refuses: files that are not regular files, a full disk, with the reason on
// standard error and exit status 2; a killed export leaves nothing behind.
#include "support/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <vector>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string run(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
      out.append(buffer, n);
    EXPECT_EQ(pclose(pipe), 0) << command;
  }
  return out;
}

using quenlor::test::fileText;

std::vector<std::string> split(const std::string& text, char at) {
  std::vector<std::string> parts;
  std::istringstream in(text);
  for (std::string part; std::getline(in, part, at);)
    parts.push_back(part.ends_with('\r') ? part.substr(0, part.size() - 1) : part);
  return parts;
}

std::string fixed3(const std::string& number) {
  char text[64];
  std::snprintf(text, sizeof text, "%.3f", std::stod(number));
  return text;
}

// One session: the example route, a table, every export; the table as the
// driver prints it is what the files are checked against.
class Exports : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    folder = fs::temp_directory_path() / ("quenlor-exports-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    std::ofstream(folder / "session.qs")
        << "route " QUENLOR_EXAMPLE_ROUTE "\n"
        << "set Text35 3456700\nset Text36 512400\n" // the station
        << "set Text37 152.36\nset Text38 1.52\n"    // its elevation, the instrument
        << "set Text39 3456900\nset Text1 512200\n"  // the backsight
        << "table 0 300 50 7.5\n"
        << "export csv " << (folder / "t.csv").string() << "\n"
        << "export xlsx " << (folder / "t.xlsx").string() << "\n"
        << "export points " << (folder / "p.csv").string() << " yx\n"
        << "export coordinates " << (folder / "zb.xlsx").string() << "\n"
        << "export jdtable " << (folder / "jd.xlsx").string() << "\n"
        << "export dxf " << (folder / "plan.dxf").string() << "\n"
        << "export landxml " << (folder / "r.xml").string() << "\n"
        << "import landxml " << (folder / "r.xml").string() << "\n";
    output =
        run("SOURCE_DATE_EPOCH=1714521600 " QUENLOR_SCRIPT " " + (folder / "session.qs").string());
    const auto lines = split(output, '\n');
    for (std::size_t i = 2; i < lines.size() && !lines[i].starts_with("wrote"); ++i)
      table.push_back(split(lines[i], '\t'));
  }
  static void TearDownTestSuite() { fs::remove_all(folder); }

  static inline fs::path folder;
  static inline std::string output;
  static inline std::vector<std::vector<std::string>> table; // K, main point, X, Y, ...
};

TEST_F(Exports, TheDriverSaysWhatItWrote) {
  EXPECT_NE(output.find("wrote " + (folder / "plan.dxf").string()), std::string::npos);
  EXPECT_NE(output.find(": 6 JDs"), std::string::npos) << output;
  ASSERT_EQ(table.size(), 7u) << output;
}

TEST_F(Exports, TheCsvSheetHasItsHeaderAndTheTableAtFieldPrecision) {
  const std::string text = fileText(folder / "t.csv");
  ASSERT_TRUE(text.starts_with("\xEF\xBB\xBF")) << "no byte-order mark";
  const auto lines = split(text.substr(3), '\n');
  ASSERT_EQ(lines.size(), 11 + table.size());
  // 200 m north and 200 m west of the station: 200√2 = 282.843 m at 315°,
  // which the form's azimuth (Text4) gives as 314.5959 in packed DMS: the
  // sheet orients as the boxes and its own setting-out azimuths do.
  const std::vector<std::string> header(lines.begin(), lines.begin() + 9);
  EXPECT_EQ(header,
            (std::vector<std::string>{"线路,示例路线 K0+000 起", "测站,,3456700.000,512400.000",
                                      "测站高程,152.360", "仪器高,1.520",
                                      "后视,,3456900.000,512200.000", "定向方位角,314°59′59″",
                                      "定向距离,282.843", "日期,2024-05-01", "精度,毫米，整秒"}));
  EXPECT_TRUE(lines[10].starts_with("桩号,主点,X,Y,")) << lines[10];
  for (std::size_t i = 0; i < table.size(); ++i) {
    const auto cells = split(lines[11 + i], ',');
    EXPECT_EQ(cells[0], table[i][0]);
    EXPECT_EQ(cells[2], fixed3(table[i][2]));
    EXPECT_EQ(cells[3], fixed3(table[i][3]));
  }
}

TEST_F(Exports, ThePointListPutsEastFirstWhenAsked) {
  const auto lines = split(fileText(folder / "p.csv"), '\n');
  ASSERT_EQ(lines.size(), 3 * table.size()); // centre, left, right
  const auto first = split(lines[0], ',');
  EXPECT_EQ(first[0], "K0+000.000");
  EXPECT_EQ(first[1], fixed3(table[0][3]));
  EXPECT_EQ(first[2], fixed3(table[0][2]));
  EXPECT_EQ(split(lines[1], ',')[0], "K0+000.000L");
}

TEST_F(Exports, TheXlsxHoldsNumbersWithAMillimetreFormat) {
  const std::string xlsx = (folder / "t.xlsx").string();
  const std::string sheet = run("unzip -p " + xlsx + " xl/worksheets/sheet1.xml");
  const std::string styles = run("unzip -p " + xlsx + " xl/styles.xml");
  const std::string book = run("unzip -p " + xlsx + " xl/workbook.xml");
  EXPECT_NE(book.find("name=\"放样表\""), std::string::npos);
  EXPECT_NE(styles.find("formatCode=\"0.000\""), std::string::npos);
  EXPECT_NE(sheet.find("<v>" + table[1][2] + "</v>"), std::string::npos) << table[1][2];
  EXPECT_NE(sheet.find("示例路线"), std::string::npos);
  EXPECT_NE(sheet.find("2024-05-01"), std::string::npos);
}

// Printed on A4 across: every column fitted to the page's width, each as
// wide as its widest text (a chainage "K0+300.000" is 10 wide, its heading
// "桩号" 4), the angles' text right-aligned as the numbers are.
TEST_F(Exports, TheXlsxFitsThePageWidthWithItsColumnsAsWideAsTheirText) {
  const std::string xlsx = (folder / "t.xlsx").string();
  const std::string sheet = run("unzip -p " + xlsx + " xl/worksheets/sheet1.xml");
  const std::string styles = run("unzip -p " + xlsx + " xl/styles.xml");
  EXPECT_NE(sheet.find("<pageSetUpPr fitToPage=\"1\"/>"), std::string::npos);
  EXPECT_NE(sheet.find("fitToHeight=\"0\""), std::string::npos);
  EXPECT_EQ(sheet.find("fitToWidth=\"0\""), std::string::npos);
  EXPECT_NE(sheet.find("orientation=\"landscape\""), std::string::npos);
  // libxlsxwriter adds its padding of 5 pixels in 7 to the width asked.
  const std::string first = "<col min=\"1\" max=\"1\" width=\"";
  const std::size_t width = sheet.find(first);
  ASSERT_NE(width, std::string::npos);
  EXPECT_NEAR(std::stod(sheet.substr(width + first.size(), 12)), 11.5 + 5.0 / 7, 0.1);
  const std::size_t columns = split(split(fileText(folder / "t.csv"), '\n')[10], ',').size();
  EXPECT_NE(sheet.find("<col min=\"" + std::to_string(columns) + "\""), std::string::npos);
  EXPECT_NE(styles.find("<alignment horizontal=\"right\"/>"), std::string::npos);
  EXPECT_NE(sheet.find("定向方位角"), std::string::npos);
}

// A sheet's cells as a spreadsheet reads them: by reference ("B7"), the
// text of a string (shared or inline) or the number as written.
std::map<std::string, std::string> cellsOf(const std::string& xlsx) {
  std::vector<std::string> shared;
  const std::string strings = run("unzip -p " + xlsx + " xl/sharedStrings.xml 2>/dev/null || true");
  const std::regex item("<si><t[^>]*>([^<]*)</t></si>");
  for (std::sregex_iterator i(strings.begin(), strings.end(), item), end; i != end; ++i)
    shared.push_back((*i)[1]);
  std::map<std::string, std::string> cells;
  const std::string sheet = run("unzip -p " + xlsx + " xl/worksheets/sheet1.xml");
  const std::regex cell("<c r=\"([A-Z]+[0-9]+)\"([^>/]*)>(.*?)</c>"); // not <c .../>
  const std::regex value("<v>([^<]*)</v>|<t[^>]*>([^<]*)</t>");
  for (std::sregex_iterator i(sheet.begin(), sheet.end(), cell), end; i != end; ++i) {
    const std::string inner = (*i)[3];
    std::smatch v;
    if (!std::regex_search(inner, v, value))
      continue;
    const bool isShared = (*i)[2].str().find("t=\"s\"") != std::string::npos;
    cells[(*i)[1]] = isShared       ? shared.at(std::stoul(v[1]))
                     : v[1].matched ? v[1].str()
                                    : v[2].str();
  }
  return cells;
}

// A row's cells by their column's heading, the headings read from a row.
std::map<std::string, std::string> rowByHeading(const std::map<std::string, std::string>& cells,
                                                int headingRow, int row) {
  std::map<std::string, std::string> named;
  for (char column = 'A'; column <= 'Z'; ++column) {
    const auto heading = cells.find(column + std::to_string(headingRow));
    const auto value = cells.find(column + std::to_string(row));
    if (heading != cells.end())
      named[heading->second] = value == cells.end() ? "" : value->second;
  }
  return named;
}

int rowHolding(const std::map<std::string, std::string>& cells, const std::string& text) {
  for (const auto& [ref, value] : cells)
    if (value == text)
      return std::stoi(ref.substr(ref.find_first_of("0123456789")));
  return 0;
}

double chainageOf(const std::string& k) { // K1+234.567
  return 1000 * std::stod(k.substr(1, k.find('+') - 1)) + std::stod(k.substr(k.find('+') + 1));
}

// JD3 of the example route, worked by hand from the coordinates of JD2, JD3
// and JD4: the straights run at 38°42′00″ and 56°42′00″ to the second, so it
// turns a = 0.314159066 rad (18° less 0.04″) right; with R = 1500 and no
// transitions T = R tan(a/2) = 237.576507, L = R a = 471.238598,
// E = R (sec(a/2) − 1) = 18.697665, J = 2T − L = 3.914415. JD3 to JD4 is
// 1300.000544 m, less T and JD4's T1 of 260.175676 (R = 650, Ls = 110, 35°
// left) leaves 802.248361 m of straight.
TEST_F(Exports, TheJdTableGivesAWorkedCircularCurve) {
  const auto cells = cellsOf((folder / "jd.xlsx").string());
  const int headings = rowHolding(cells, "R");
  for (const char* group : {"交点坐标", "转角值", "曲线要素值", "曲线主点桩号", "直线长度及方向"})
    EXPECT_EQ(rowHolding(cells, group), headings - 1) << group;
  EXPECT_EQ(rowHolding(cells, "交点号"), headings - 1);
  EXPECT_EQ(cells.at("A1"), "直线、曲线及转角表");
  auto jd3 = rowByHeading(cells, headings, rowHolding(cells, "JD3"));
  jd3["交点桩号"] = cells.at("D" + std::to_string(rowHolding(cells, "JD3")));
  EXPECT_EQ(jd3["右转"], "18°00′00″");
  EXPECT_EQ(jd3["左转"], "");
  EXPECT_EQ(jd3["R"], "1500");
  EXPECT_EQ(jd3["Ls1"] + jd3["Ls2"] + jd3["A1"] + jd3["A2"], "");
  for (const auto& [heading, worked] : std::map<std::string, double>{{"T1", 237.576507},
                                                                     {"T2", 237.576507},
                                                                     {"L", 471.238598},
                                                                     {"E", 18.697665},
                                                                     {"J", 3.914415},
                                                                     {"直线段长", 802.248361},
                                                                     {"交点间距", 1300.000544}})
    EXPECT_NEAR(std::stod(jd3[heading]), worked, 5e-6) << heading;
  EXPECT_EQ(jd3["计算方位角"], "56°42′00″");
  // No transitions: ZY, QZ, YZ in the columns of the arc's ends and middle.
  EXPECT_EQ(jd3["ZH"] + jd3["HZ"], "");
  const double k = chainageOf(jd3["交点桩号"]), zy = k - 237.576507;
  EXPECT_NEAR(chainageOf(jd3["HY(ZY)"]), zy, 6e-4);
  EXPECT_NEAR(chainageOf(jd3["QZ"]), zy + 471.238598 / 2, 6e-4);
  EXPECT_NEAR(chainageOf(jd3["YH(YZ)"]), zy + 471.238598, 6e-4);
  // JD1's transitions: A = sqrt(1200 × 150) = 424.264069.
  const auto jd1 = rowByHeading(cells, headings, rowHolding(cells, "JD1"));
  EXPECT_NEAR(std::stod(jd1.at("A1")), 424.264069, 1e-6);
  EXPECT_NE(jd1.at("ZH"), "");
  const std::string sheet =
      run("unzip -p " + (folder / "jd.xlsx").string() + " xl/worksheets/sheet1.xml");
  const std::string groupRow = std::to_string(headings - 1); // 交点坐标 over X and Y
  EXPECT_NE(sheet.find("<mergeCell ref=\"B" + groupRow + ":C" + groupRow + "\"/>"),
            std::string::npos);
}

// The coordinate table lists the stakes of the stake table, each with its
// chainage, X and Y, and nothing set out from the station.
TEST_F(Exports, TheCoordinateTableListsTheStakesOfTheTable) {
  const auto cells = cellsOf((folder / "zb.xlsx").string());
  EXPECT_EQ(cells.at("A1"), "逐桩坐标表");
  const int headings = rowHolding(cells, "桩号");
  ASSERT_GT(headings, 0);
  for (std::size_t i = 0; i < table.size(); ++i) {
    const auto row = rowByHeading(cells, headings, headings + 1 + int(i));
    EXPECT_EQ(row.at("桩号"), table[i][0]);
    EXPECT_EQ(fixed3(row.at("X")), fixed3(table[i][2]));
    EXPECT_EQ(fixed3(row.at("Y")), fixed3(table[i][3]));
    EXPECT_NE(row.at("切线方位角"), "");
    EXPECT_NE(row.at("设计高程"), "");
  }
  EXPECT_EQ(rowHolding(cells, "放线方位角"), 0);
}

// The DXF's group codes: a code line, a value line.
TEST_F(Exports, TheDxfHasTheCentreLineOnItsLayersInCadAxes) {
  const auto lines = split(fileText(folder / "plan.dxf"), '\n');
  ASSERT_GT(lines.size(), 100u);
  std::map<std::string, int> entities; // "TYPE LAYER"
  std::string type;
  std::vector<std::pair<int, std::string>> firstLine;
  bool inEntities = false;
  for (std::size_t i = 0; i + 1 < lines.size(); i += 2) {
    const int code = std::stoi(lines[i]);
    const std::string value =
        lines[i + 1].substr(std::min(lines[i + 1].find_first_not_of(' '), lines[i + 1].size()));
    if (code == 2 && value == "ENTITIES")
      inEntities = true;
    if (!inEntities)
      continue;
    if (code == 0)
      type = value;
    if (code == 8)
      ++entities[type + " " + value];
    if (type == "LINE" && entities["LINE ZX_STRAIGHT"] == 1 && (code == 10 || code == 20))
      firstLine.emplace_back(code, value);
  }
  EXPECT_EQ(lines[lines.size() - 1], "EOF");
  EXPECT_GE(entities["ARC ZX_ARC"], 6);
  EXPECT_GE(entities["POLYLINE ZX_TRANSITION"], 10);
  EXPECT_EQ(entities["POINT JD"], 6);
  EXPECT_EQ(entities["POINT STAKE"], 3 * int(table.size()));
  EXPECT_EQ(entities["TEXT STAKE"], int(table.size())); // the centre stakes' chainages
  // BP (X 3456789.123, Y 512345.678): CAD's x is Y, CAD's y is X.
  std::map<int, double> at;
  for (const auto& [code, value] : firstLine)
    at[code] = std::stod(value);
  EXPECT_NEAR(at[10], 512345.678, 1e-6);
  EXPECT_NEAR(at[20], 3456789.123, 1e-6);
}

// The DXF as another program reads it (ezdxf, python3-ezdxf, which
// scripts/deps installs): the version, no error in its audit, the layers with
// their colours, each layer's entities, the labels (\U+XXXX read as the
// character), the first straight and every stake in CAD's axes, to the
// file's micrometre. The session is the fixture's route with its first JD
// named in Chinese: the same stakes.
TEST_F(Exports, AnotherProgramReadsTheDxf) {
  const std::string python = "/usr/bin/python3";
  if (std::system((python + " -c 'import ezdxf' >/dev/null 2>&1").c_str()) != 0)
    GTEST_SKIP() << "python3-ezdxf is not installed (scripts/deps engine installs it): "
                    "the DXF is not read by another program";
  std::string route = fileText(QUENLOR_EXAMPLE_ROUTE);
  route.replace(route.find("JD,JD1,"), 7, "JD,交点1,");
  route.replace(route.find("curve,JD1,"), 10, "curve,交点1,"); // its superelevation
  std::ofstream(folder / "named.csv") << route;
  std::ofstream(folder / "named.qs") << "route " << (folder / "named.csv").string() << "\n"
                                     << "table 0 300 50 7.5\n"
                                     << "export dxf " << (folder / "named.dxf").string() << "\n";
  run(QUENLOR_SCRIPT " " + (folder / "named.qs").string());
  std::ofstream(folder / "read.py") << R"(import sys, collections, ezdxf
doc = ezdxf.readfile(sys.argv[1])
print("version", doc.dxfversion)
print("errors", len(doc.audit().errors))
for layer in doc.layers:
    print("layer", layer.dxf.name, layer.dxf.color)
msp = doc.modelspace()
kinds = collections.Counter((e.dxftype(), e.dxf.layer) for e in msp)
for (kind, layer), n in sorted(kinds.items()):
    print("count", kind, layer, n)
for e in msp.query("TEXT"):
    print("text", e.dxf.layer, ezdxf.decode_dxf_unicode(e.dxf.text))
for e in msp.query("POINT[layer=='STAKE']"):
    print("stake", "%.6f %.6f" % (e.dxf.location.x, e.dxf.location.y))
line = msp.query("LINE")[0]
print("line", line.dxf.layer, "%.6f %.6f" % (line.dxf.start.x, line.dxf.start.y))
)";
  const auto read = split(run(python + " " + (folder / "read.py").string() + " " +
                              (folder / "named.dxf").string() + " 2>&1"),
                          '\n');
  const auto has = [&](const std::string& line) {
    return std::find(read.begin(), read.end(), line) != read.end();
  };
  ASSERT_TRUE(has("version AC1009")) << "ezdxf reads:\n" << read.front();
  EXPECT_TRUE(has("errors 0"));
  for (const char* layer :
       {"layer ZX_STRAIGHT 7", "layer ZX_ARC 1", "layer ZX_TRANSITION 3", "layer JD_TANGENT 8",
        "layer JD 6", "layer MAIN_POINT 5", "layer STAKE 2"})
    EXPECT_TRUE(has(layer)) << layer;
  const std::string rows = std::to_string(table.size());
  for (const std::string& count :
       {std::string("count ARC ZX_ARC 6"), std::string("count LINE ZX_STRAIGHT 7"),
        std::string("count LINE JD_TANGENT 7"), std::string("count POINT JD 6"),
        std::string("count TEXT JD 6"), "count POINT STAKE " + std::to_string(3 * table.size()),
        "count TEXT STAKE " + rows})
    EXPECT_TRUE(has(count)) << count;
  EXPECT_TRUE(has("text JD 交点1"));
  EXPECT_TRUE(has("text MAIN_POINT BP K0+000.000"));
  EXPECT_TRUE(has("line ZX_STRAIGHT 512345.678000 3456789.123000")); // BP, CAD's x its Y
  std::vector<std::string> labels;
  std::vector<std::pair<double, double>> stakes; // CAD's x and y
  for (const std::string& line : read) {
    if (line.starts_with("text STAKE "))
      labels.push_back(line.substr(11));
    if (line.starts_with("stake ")) {
      const auto xy = split(line.substr(6), ' ');
      stakes.emplace_back(std::stod(xy.at(0)), std::stod(xy.at(1)));
    }
  }
  ASSERT_EQ(labels.size(), table.size());
  ASSERT_EQ(stakes.size(), 3 * table.size());
  // Each row's centre, left and right stakes (X, Y in the driver's columns
  // 2-3, 8-9, 15-16), each to the micrometre and its rounding.
  for (std::size_t i = 0; i < table.size(); ++i) {
    EXPECT_EQ(labels[i], table[i][0]);
    for (const auto& [k, column] : {std::pair{0u, 2u}, {1u, 8u}, {2u, 15u}}) {
      const auto& [x, y] = stakes[3 * i + k];
      EXPECT_NEAR(x, std::stod(table[i][column + 1]), 1.5e-6) << table[i][0] << " stake " << k;
      EXPECT_NEAR(y, std::stod(table[i][column]), 1.5e-6) << table[i][0] << " stake " << k;
    }
  }
}

// A driver run of a session: its exit status, output and errors.
struct DriverRun {
  int status;
  std::string out, err;
};

class Refusals : public ::testing::Test {
protected:
  void SetUp() override {
    folder_ = quenlor::test::testFolder("quenlor-refusals");
    fs::create_directories(folder_ / "work");
    ::alarm(60); // a driver that blocks ends the test run instead of hanging it
  }
  void TearDown() override {
    ::alarm(0);
    ::umount((folder_ / "work").c_str()); // where a test mounted one
    fs::remove_all(folder_);
  }
  std::string path(const char* name) const { return (folder_ / "work" / name).string(); }
  DriverRun driver(const std::string& session, const std::string& environment = "") const {
    std::ofstream(folder_ / "session.qs") << session;
    const std::string command = environment + " " QUENLOR_SCRIPT " " +
                                (folder_ / "session.qs").string() + " >" +
                                (folder_ / "out").string() + " 2>" + (folder_ / "err").string();
    const int status = std::system(command.c_str());
    return {WEXITSTATUS(status), fileText(folder_ / "out"), fileText(folder_ / "err")};
  }
  fs::path folder_;
};

const std::string kLoaded = "route " QUENLOR_EXAMPLE_ROUTE "\ntable 0 300 50 7.5\n";
const char* const kWrites[] = {"save",          "export csv", "export xlsx",
                               "export points", "export dxf", "export landxml"};

// What is not a regular file is refused at once and named, for reading and
// for writing, and left as it is; nothing says "wrote".
TEST_F(Refusals, FilesThatAreNotRegularFiles) {
  const std::string fifo = path("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    std::string line, why;
  } reads[] = {
      {"route " + fifo, "it is a FIFO (named pipe), not a regular file"},
      {"import landxml " + fifo, "it is a FIFO (named pipe), not a regular file"},
      {"import landxml /dev/zero", "it is a character device, not a regular file"},
      {"route " + folder_.string(), "it is a folder, not a file"},
  };
  for (const auto& r : reads) {
    const DriverRun run = driver(r.line + "\n");
    EXPECT_EQ(run.status, 2) << r.line;
    EXPECT_NE(run.err.find(r.why), std::string::npos) << run.err;
  }
  for (const char* write : kWrites) {
    const DriverRun run = driver(kLoaded + write + " " + fifo + "\n");
    EXPECT_EQ(run.status, 2) << write;
    EXPECT_NE(run.err.find("line 3: cannot write " + fifo +
                           ": it is a FIFO (named pipe), not a regular file"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(run.out.find("wrote"), std::string::npos) << write;
    EXPECT_TRUE(fs::is_fifo(fifo)) << write;
  }
}

// On a small file system filled up, every write fails with the system's
// reason on standard error and exit status 2, and leaves the old file.
TEST_F(Refusals, AFullDisk) {
  if (::geteuid() != 0)
    GTEST_SKIP() << "mounting a small tmpfs needs root";
  const std::string full = (folder_ / "work").string();
  if (::mount("tmpfs", full.c_str(), "tmpfs", 0, "size=64k") != 0)
    GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
  std::ofstream(path("old")) << "old";
  std::ofstream(path("fill"), std::ios::binary) << std::string(60'000, 'x');
  for (const char* write : kWrites) {
    const DriverRun run = driver(kLoaded + write + " " + path("old") + "\n");
    EXPECT_EQ(run.status, 2) << write;
    EXPECT_NE(run.err.find("cannot write " + path("old") + ": No space left on device"),
              std::string::npos)
        << write << ": " << run.err;
    EXPECT_EQ(run.out.find("wrote"), std::string::npos) << write;
    EXPECT_EQ(fileText(path("old")), "old") << write;
    EXPECT_EQ(std::distance(fs::directory_iterator(full), {}), 2) << write;
  }
}

// An export killed while it writes leaves nothing in the temporary folder,
// and its temporary file beside the target is cleared by the next run that
// writes there.
TEST_F(Refusals, AKilledExportLeavesNothingBehind) {
  const fs::path temporary = folder_ / "tmp";
  fs::create_directories(temporary);
  std::ofstream(folder_ / "big.qs") << kLoaded << "table 0 3000 0.05 7.5\n"
                                    << "export xlsx " << path("big.xlsx") << "\n";
  const pid_t child = ::fork();
  if (child == 0) {
    ::setenv("TMPDIR", temporary.c_str(), 1);
    ::freopen("/dev/null", "w", stdout);
    ::execl(QUENLOR_SCRIPT, QUENLOR_SCRIPT, (folder_ / "big.qs").c_str(), nullptr);
    ::_exit(127);
  }
  // Killed while the table is made or the workbook written.
  for (int waited = 0; waited < 200 && !fs::exists(path("big.xlsx")); ++waited) {
    bool writing = false;
    for (const auto& entry : fs::directory_iterator(folder_ / "work"))
      writing = writing || entry.path().filename().string().ends_with(".part");
    if (writing)
      break;
    ::usleep(20'000);
  }
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  EXPECT_EQ(std::distance(fs::directory_iterator(temporary), {}), 0);
  const DriverRun run = driver(kLoaded + "export csv " + path("small.csv") + "\n");
  EXPECT_EQ(run.status, 0) << run.err;
  for (const auto& entry : fs::directory_iterator(folder_ / "work"))
    EXPECT_FALSE(entry.path().filename().string().ends_with(".part")) << entry.path();
}

} // namespace
