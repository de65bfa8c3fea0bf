// SPDX-License-Identifier: GPL-3.0-or-later
#include "route/route_file.h"
#include "session/route_model.h"
#include "session/script.h"
#include "support/session.h"
#include "support/worked_route.h"

#include <cstring>

#include <map>
#include <vector>

namespace quenlor {
namespace {

using test::play;

std::string runLines(Form& form, const std::string& script, std::string* errors = nullptr,
                     bool* ok = nullptr) {
  std::istringstream in(script);
  std::ostringstream out, err;
  const bool clean = runScript(form, in, out, err);
  if (errors)
    *errors = err.str();
  if (ok)
    *ok = clean;
  return out.str();
}

TEST(Script, SetKeepsTheTextVerbatim) {
  Form form;
  play(form, "set Text7 JD 12  \nset Text33\nset Text26 \r");
  EXPECT_EQ(form.text(Box::Text7), "JD 12  ");
  EXPECT_EQ(form.text(Box::Text33), "");
  EXPECT_EQ(form.text(Box::Text26), "");
}

TEST(Script, TypeAndBackWorkOneCharacterAtATime) {
  Form form;
  int edits = 0;
  form.setObserver([&](Box box, const std::string&) { edits += box == Box::Text7; });
  play(form, "type Text7 交点12\nback Text7\nback Text7 2");
  EXPECT_EQ(form.text(Box::Text7), "交");
  EXPECT_EQ(edits, 4 + 1 + 2);
  play(form, "back Text7 10\nback Text7");
  EXPECT_EQ(form.text(Box::Text7), "");
  EXPECT_EQ(edits, 4 + 1 + 2 + 1);
}

// Fault: back stopped at the first press after which the form had put text
// back into the box. Three presses in Text19: the first one's exchange
// rewrites Text18 and puts 0 back, the second empties the box, the third
// finds it empty.
TEST(Script, BackIsThatManyPressesOfBackspace) {
  Form form;
  play(form, "set Text17 0\nset Text18 0-300.049978\nset Text19 0\nback Text19 3");
  EXPECT_EQ(form.text(Box::Text19), "");
  EXPECT_EQ(form.text(Box::Text18), "0");
}

TEST(Script, BackStopsAtAPressThatChangesNothing) {
  // The backsight elevation box refills itself after every Backspace; a
  // huge count must not keep the driver busy.
  Form form;
  play(form, "set Text37 100\nback Text2 999999999999999\nback Text2");
  EXPECT_EQ(form.text(Box::Text2), "100");
}

// Fault: typing and deleting cost time in the square of the text's length.
// A long number typed is read in full, its digits beyond the double's
// precision and its exponent included.
TEST(Script, ALongTypedNumberIsReadInFull) {
  Form form;
  const std::string digits(200000, '3');
  play(form, "set Text37 1\ntype Text38 0." + digits + "e1");
  EXPECT_EQ(form.text(Box::Text2), "4.33333333333333");
  play(form, "back Text38 3");
  EXPECT_EQ(form.text(Box::Text2), "1.33333333333333");
}

// Fault: a value that is not finite was printed as a mangled "i.nf" or
// "n.an"; the key now stands with an empty value.
TEST(Script, AFieldToolPrintsNoNonNumber) {
  const struct {
    const char* session;
    const char* printed;
  } cases[] = {
      {"stake 1e308 1e308", "X=9.99999999999987E+307 Y=9.99999839230621E+307 azimuth= distance=\n"},
      {"set Text35 1e-20\nset Text36 0\nset Text9 300\nstake 0 0",
       "X=0 Y=0 azimuth= distance=1E-20\n"},
  };
  for (const auto& c : cases) {
    Form form;
    EXPECT_EQ(runLines(form, c.session), c.printed) << c.session;
  }
}

// The profile runs on the route's measure: the example's long chain break
// (K2+500 = K2+480) repeats K2+480 to K2+500 twenty metres further along the
// grade from SJD1 (K1+350, 148.2) to SJD2 (K2+900, 126.8, 1570 m on); a
// chainage its short break (K5+200 = K5+215.3) skips names no point.
TEST(Script, ElevationsAcrossChainBreaks) {
  Form form;
  std::string errors;
  std::istringstream out(runLines(form,
                                  std::string("route ") + QUENLOR_EXAMPLE_ROUTE +
                                      "\nelevation K2+490\nelevation K2+490(2)\nelevation K5+205",
                                  &errors));
  std::string first, second, skipped;
  std::getline(out, first);
  std::getline(out, second);
  std::getline(out, skipped);
  const auto design = [](const std::string& line) { return parseNumber(line.substr(7)); };
  EXPECT_NEAR(design(second) - design(first), 20 * (126.8 - 148.2) / 1570, 1e-9);
  EXPECT_EQ(skipped, "design= grade=");
  EXPECT_EQ(errors, "elevation: K5+205.000 names no point: the short chain break K5+200.000 = "
                    "K5+215.300 skips it\n");
}

// Fault: a grade point's chainage was taken at its first occurrence. Given
// after K2+495, K2+490 is its second (measure 2510), and without a vertical
// curve the line passes through its 135.5 m; taken first (2490), it falls out
// of order and the line runs from K2+495 to SJD2 (134.71 there).
TEST(RouteModel, AGradePointAtARepeatedChainageIsTheOccurrenceAfterThePointBefore) {
  const auto example = route::openRouteFile(QUENLOR_EXAMPLE_ROUTE);
  ASSERT_TRUE(example) << example.error();
  route::RouteDefinition definition = *example;
  definition.gradePoints.insert(definition.gradePoints.begin() + 2,
                                {{"A", 2495, 135, 0}, {"B", 2490, 135.5, 0}});
  const RouteModel model(definition);
  EXPECT_TRUE(model.profileCheckTexts().empty()) << model.profileCheckTexts().front();
  const auto level = model.designAt({2490, 1}); // K2+490(2)
  ASSERT_TRUE(level);
  EXPECT_NEAR(level->elevation, 135.5, 1e-9);
}

// The field commands on a route by elements, the worked ramp from K1+200
// heading 30 degrees: ZH 100 m on, at (3456789.123 + 100 cos 30,
// 512345.678 + 50); 5 m right of it, 2.5 m back in X and 4.330127 m on in
// Y. Its grade points rise 1 in 100. It has no JD to fill the boxes from.
TEST(Script, TheFieldCommandsWorkOnARouteByElements) {
  route::RouteDefinition ramp = test::workedRamp();
  ramp.gradePoints = {{"G0", 1200, 100, 0}, {"G1", 1600, 104, 0}};
  Form form;
  ScriptSession session{form, std::make_shared<const RouteModel>(ramp)};
  const auto run = [&](const std::string& script, std::string* errors = nullptr) {
    std::istringstream in(script);
    std::ostringstream out, err;
    runScript(session, in, out, err);
    if (errors)
      *errors = err.str();
    return out.str();
  };
  const double x = 3456789.123 + 100 * std::cos(test::radians(30)), y = 512345.678 + 50;
  const auto values = [](const std::string& line, const char* first, const char* second) {
    const std::size_t a = line.find(first) + std::strlen(first), b = line.find(second);
    return std::pair(parseNumber(line.substr(a, line.find(' ', a) - a)),
                     parseNumber(line.substr(b + std::strlen(second))));
  };
  const auto [zhX, zhY] = values(run("stake K1+300 0"), "X=", "Y=");
  EXPECT_NEAR(zhX, x, 1e-8);
  EXPECT_NEAR(zhY, y, 1e-8);
  const auto [sideX, sideY] = values(run("stake K1+300 5"), "X=", "Y=");
  EXPECT_NEAR(sideX, x - 2.5, 1e-8);
  EXPECT_NEAR(sideY, y + 5 * std::cos(test::radians(30)), 1e-8);
  const auto [chainage, offset] = values(
      run("locate " + formatNumber(sideX) + " " + formatNumber(sideY)), "chainage=", "offset=");
  EXPECT_NEAR(chainage, 1300, 1e-8);
  EXPECT_NEAR(offset, 5, 1e-8);
  std::istringstream table(run("table K1+280 K1+360 20 0"));
  std::vector<std::string> rows;
  for (std::string line; std::getline(table, line);)
    rows.push_back(line.substr(0, line.find('\t', line.find('\t') + 1)));
  EXPECT_EQ(rows, (std::vector<std::string>{"精度\t全部位数，角度为度.分秒", "桩号\t主点",
                                            "K1+280.000\t", "K1+300.000\tZH", "K1+320.000\t",
                                            "K1+340.000\tHY", "K1+360.000\t"}));
  EXPECT_EQ(run("elevation K1+300"), "design=101 grade=1\n");
  std::string errors;
  EXPECT_EQ(run("route check\njd A1", &errors), "");
  EXPECT_EQ(errors, "line 2: the route is given by elements, not by JDs: it has no JD 'A1' to "
                    "fill the boxes from\n");
  ramp.elements[3].endRadius = 60;
  session.route = std::make_shared<const RouteModel>(ramp);
  EXPECT_EQ(run("route check"),
            "A2: a clothoid whose start and end radius are both 60; taken as an arc\n");
}

// Runs the lines in a session that holds a route; the error stream into
// errors.
std::string runIn(ScriptSession& session, const std::string& script, std::string* errors) {
  std::istringstream in(script);
  std::ostringstream out, err;
  EXPECT_TRUE(runScript(session, in, out, err)) << err.str();
  *errors = err.str();
  return out.str();
}

route::RouteDefinition exampleRoute() {
  const auto example = route::openRouteFile(QUENLOR_EXAMPLE_ROUTE);
  EXPECT_TRUE(example) << example.error();
  return *example;
}

// Fault: a profile ending before the route was not said. Without SJD4 the
// example's profile ends at SJD3, K4+600 (measure 4620, past the long
// break's 20 m); the route runs to EP K6+799.608, measure 6799.608 + 20 -
// 15.3 = 6804.308: 2184.308 m without design levels. SJD3, the last point
// now, has no curve: K4+580 is on the grade from SJD2 (K2+900, 126.8),
// 155.4 - 20 (155.4 - 126.8) / 1700 = 155.063529411765.
TEST(Script, WhereTheProfileStopsShortOfTheRouteIsSaid) {
  route::RouteDefinition shorter = exampleRoute();
  shorter.gradePoints.pop_back();
  Form form;
  ScriptSession session{form, std::make_shared<const RouteModel>(shorter)};
  std::string errors;
  EXPECT_EQ(runIn(session, "route check", &errors),
            "SJD3 (K4+600.000)：纵断面止于此：此后至路线终点 2184.308 m 无设计高程\n");
  EXPECT_EQ(runIn(session, "elevation K4+700", &errors), "design= grade=\n");
  EXPECT_EQ(errors,
            "elevation: K4+700.000 has no design elevation: the profile ends at K4+600.000\n");
  std::istringstream table(runIn(session, "table K4+580 K4+620 20 0", &errors));
  std::vector<std::string> designs;
  for (std::string line; std::getline(table, line);) {
    std::vector<std::string> cells;
    for (std::size_t from = 0, tab = 0; tab != std::string::npos; from = tab + 1)
      cells.push_back(line.substr(from, (tab = line.find('\t', from)) - from));
    designs.push_back(cells.at(0) + " " + (cells.size() > 5 ? cells[5] : ""));
  }
  EXPECT_EQ(designs,
            (std::vector<std::string>{"精度 ", "桩号 设计高程", "K4+580.000 155.063529411765",
                                      "K4+600.000 155.4", "K4+620.000 "}));
  EXPECT_EQ(errors, "table: no design elevation beyond K4+600.000, where the profile ends\n");
}

// Fault: a table whose end lies beyond EP had no rows; one ending at EP's
// chainage as shown (K6+799.608 for 6799.6081808) left EP out.
TEST(Script, ATableEndingBeyondEpStopsThere) {
  Form form;
  ScriptSession session{form, std::make_shared<const RouteModel>(exampleRoute())};
  std::string errors;
  const auto stakes = [&](const std::string& line) {
    std::istringstream table(runIn(session, line, &errors));
    std::vector<std::string> rows;
    for (std::string row; std::getline(table, row);)
      rows.push_back(row.substr(0, row.find('\t', row.find('\t') + 1)));
    return rows;
  };
  EXPECT_EQ(stakes("table K6+700 K7+000 100 0"),
            (std::vector<std::string>{"精度\t全部位数，角度为度.分秒", "桩号\t主点", "K6+700.000\t",
                                      "K6+799.608\tEP"}));
  EXPECT_EQ(errors, "table: K7+000.000 lies beyond EP (K6+799.608): the table stops there\n");
  EXPECT_EQ(stakes("table K6+700 K6+799.608 100 0").back(), "K6+799.608\tEP");
  EXPECT_EQ(errors, "");
}

// Fault: locate gave a foot 487.5 m beyond EP on the loop route's last
// straight extended, where the first straight is 12.5 m away, never said
// a hairpin's second foot, and printed no occurrence. EP is at
// 3195 - 3 (200 - 50 pi) = K3+066.239; JD1-JD2 runs at X 1000 from measure
// 1600 - (200 - 50 pi) = 1557.080, JD3-EP at X 305 up to EP.
TEST(Script, LocateSaysAFootBeyondAnEndASecondFootAndTheOccurrence) {
  Form form;
  ScriptSession session{form, std::make_shared<const RouteModel>(test::loopRoute())};
  std::string errors;
  EXPECT_EQ(runIn(session, "locate 300 12.5", &errors), "chainage=300 offset=12.5\n");
  EXPECT_EQ(runIn(session, "locate -20 3", &errors), "chainage=-20 offset=3 beyond=BP 20\n");
  const std::string beyond = runIn(session, "locate 308 480", &errors);
  EXPECT_NEAR(parseNumber(beyond.substr(9)), 3066.23889803847 + 20, 1e-9);
  EXPECT_NE(beyond.find(" beyond=EP 20\n"), std::string::npos) << beyond;
  EXPECT_EQ(runIn(session, "locate 652.2 600", &errors),
            "chainage=2966.23889803847 offset=347.2 also=1557.07963267949 347.8\n");

  // 5 m right of K2+490(2) on the example, after its long break.
  session.route = std::make_shared<const RouteModel>(exampleRoute());
  const auto centre = session.route->route().pointAt(route::Station{2490, 1});
  ASSERT_TRUE(centre);
  const PlanePoint p = sideStake(*centre, 5);
  const std::string found =
      runIn(session, "locate " + formatNumber(p.x) + " " + formatNumber(p.y), &errors);
  EXPECT_NEAR(parseNumber(found.substr(9)), 2490, 1e-6);
  const std::size_t occurrence = found.find("(2) offset=");
  ASSERT_NE(occurrence, std::string::npos) << found;
  EXPECT_NEAR(parseNumber(found.substr(occurrence + 11)), 5, 1e-6);
}

// Fault: K2+479.9999(2) was said to be "K2+480.000", which occurs twice.
TEST(Script, AMessageShowsTheChainageAsTyped) {
  Form form;
  ScriptSession session{form, std::make_shared<const RouteModel>(exampleRoute())};
  std::string errors;
  EXPECT_EQ(runIn(session, "stake K2+479.9999(2) 0", &errors), "X= Y= azimuth= distance=\n");
  EXPECT_EQ(errors, "stake: K2+479.9999 occurs once on the route; there is no occurrence 2\n");
}

// Fault: with a route loaded, a chainage typed into empty boxes gave X =
// the chainage and Y = 0, and a JD filled into the boxes kept silent about
// a chain break in its curve or a curve the route leaves out. K1+800 lies
// on JD2's stretch; the example's short break K5+200 = K5+215.3 lies in
// JD5's curve; a JD of R 100 with transitions of 300 m on a square turn
// (2 beta = 6 rad > 90 degrees) is an angle point of the route.
TEST(Script, TheBoxesBesideARouteSayWhereTheyAreNotTheRoutes) {
  Form form;
  ScriptSession session{form, std::make_shared<const RouteModel>(exampleRoute())};
  std::string errors;
  EXPECT_EQ(runIn(session, "set Text26 1800\nprint Text7", &errors), "Text7=JD2\n");
  EXPECT_EQ(errors, "notice: filled the boxes from JD2, whose stretch holds Text26's chainage\n");
  const double x = parseNumber(form.text(Box::Text27)), y = parseNumber(form.text(Box::Text28));
  const auto centre = session.route->route().pointAt(route::Station{1800, 0});
  EXPECT_LT(std::hypot(x - centre->point.x, y - centre->point.y), 1e-3);

  // The boxes' own edit is never typed over.
  EXPECT_EQ(runIn(session, "set Text9 900\nset Text26 3000\nprint Text7\nprint Text9", &errors),
            "Text7=JD2\nText9=900\n");
  EXPECT_EQ(errors, "notice: the boxes hold a curve of their own: the point at Text26's chainage "
                    "is not the route's\n");

  runIn(session, "jd JD5", &errors);
  EXPECT_EQ(errors, "notice: the chain break DL2 K5+200.000 = K5+215.300 lies inside JD5's curve: "
                    "the main-point chainages in the boxes do not count it; stake out from the "
                    "route\n");
  session.route = std::make_shared<const RouteModel>(test::squareRoute(100, 300));
  runIn(session, "jd JD1", &errors);
  EXPECT_EQ(errors, "notice: JD1 has no curve in the route (see 'route check'): the curve in the "
                    "boxes is not the route's\n");
}

TEST(Script, PrintDumpAndState) {
  Form form;
  EXPECT_EQ(runLines(form, "# a comment\n\nset Text9 500\nprint Text9\n"), "Text9=500\n");
  const std::string dump = runLines(form, "dump");
  EXPECT_EQ(std::count(dump.begin(), dump.end(), '\n'), 44);
  EXPECT_EQ(dump.substr(0, 7), "Text1=\n");
  EXPECT_NE(dump.find("Text42=\nText44=\nText45=\n"), std::string::npos);
  const std::string state = runLines(form, "state");
  EXPECT_EQ(state.substr(0, 11), "stationX=0\n");
  EXPECT_NE(state.find("\nradius=500\n"), std::string::npos) << state;
  runLines(form, "set Text9 0.1");
  EXPECT_NE(runLines(form, "state").find("\nradius=0.10000000000000001\n"), std::string::npos);
  EXPECT_EQ(std::count(state.begin(), state.end(), '\n'), 47);
  EXPECT_EQ(state.substr(state.size() - 17), "setOutDistance=0\n");
}

TEST(Script, ABadLineStopsAfterTheLinesBeforeIt) {
  const struct {
    const char* line;
    const char* message;
  } cases[] = {
      {"sett Text6 1", "line 2: unknown command 'sett'\n"},
      {"set Text43 1", "line 2: unknown box 'Text43'\n"},
      {"print Text6 extra", "line 2: 'print' takes one box\n"},
      {"click Command7", "line 2: unknown button 'Command7'\n"},
      {"click", "line 2: unknown button ''\n"},
      {"back Text6 x", "line 2: 'back' takes a whole number of characters, not 'x'\n"},
      {"dump all", "line 2: 'dump' takes no argument\n"},
      {"set", "line 2: 'set' needs a box\n"},
      {" set Text6 1", "line 2: unknown command ''\n"},
      {"stake 1", "line 2: 'stake' takes 2 numbers, not 1\n"},
      {"locate 1 2 3", "line 2: 'locate' takes 2 numbers, not 3\n"},
      {"stake", "line 2: 'stake' takes 2 numbers, not 0\n"},
      {"stake 12.5m 0", "line 2: 'stake' takes 2 numbers: '12.5m' is not a chainage\n"},
      {"locate 1e999 0", "line 2: 'locate' takes 2 numbers: '1e999' is not a number\n"},
      {"table  1 2 3", "line 2: 'table' takes 4 numbers: '' is not a chainage\n"},
  };
  for (const auto& c : cases) {
    Form form;
    std::string errors;
    bool ok = true;
    const std::string out =
        runLines(form, std::string("set Text6 30\n") + c.line + "\nprint Text6\n", &errors, &ok);
    EXPECT_FALSE(ok) << c.line;
    EXPECT_EQ(errors, c.message);
    EXPECT_EQ(out, "") << "nothing after the bad line runs";
    EXPECT_EQ(form.text(Box::Text6), "30") << "the lines before it ran";
  }
}

TEST(Script, ATableSaysOnTheErrorStreamWhereItStops) {
  Form form = test::workedForm();
  std::string errors;
  runLines(form, "table 480 800 20 5", &errors);
  EXPECT_EQ(errors, "");
  const std::string table = runLines(form, "table 0 1e12 0.001 0", &errors);
  EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 2 + 100000);
  EXPECT_EQ(errors, "table: stopped at the limit of 100000 rows, at K0+099.999\n");
}

// Fault: a route's table spaced its stakes from the start. At whole
// stations (the default) 25 m apart, K0+003.7 to K0+080 has K0+025, K0+050
// and K0+075, not K0+003.7, K0+028.7 ...
TEST(Script, ATableOnARouteIsAtWholeStations) {
  Form form;
  std::istringstream table(runLines(form, std::string("route ") + QUENLOR_EXAMPLE_ROUTE +
                                              "\ntable K0+003.7 K0+080 25 0"));
  std::vector<std::string> stakes;
  for (std::string line; std::getline(table, line);)
    stakes.push_back(line.substr(0, line.find('\t')));
  EXPECT_EQ(stakes,
            (std::vector<std::string>{"精度", "桩号", "K0+025.000", "K0+050.000", "K0+075.000"}));
}

// The values of a line of "key=value" pairs, an empty value not a number.
std::map<std::string, double> valuesOf(const std::string& line) {
  std::map<std::string, double> values;
  std::istringstream words(line);
  for (std::string word; words >> word;) {
    const auto equals = word.find('=');
    const std::string value = word.substr(equals + 1);
    values[word.substr(0, equals)] = value.empty() ? NAN : parseNumber(value);
  }
  return values;
}

// On the example route's straight at K0+200, on the grade from SJD0
// (K0+000, 132.5) to SJD1 (K1+350, 148.2): design 132.5 + 200 * 15.7 /
// 1350; both falls the normal crown, each edge 5.25 m out and 4.5 * 2 % +
// 0.75 * 3 % = 0.1125 below. At JD4's QZ (a curve to the left, turned about
// its inner edge to 6 %, widened 0.6): the centre line 3.75 * 4 % = 0.15
// above the profile, the right (outer) edge 0.15 + 4.5 * 6 % - 0.0225, the
// left 5.85 m out and 0.15 - 5.1 * 6 % - 0.75 * 6 %. `elevation K OFFSET`
// at each edge prints the edge's elevation, at 0 the centre line's.
TEST(Script, SectionAndElevationAtAnOffsetAgreeAtTheEdges) {
  const RouteModel example(*route::openRouteFile(QUENLOR_EXAMPLE_ROUTE));
  const std::string qz =
      route::stationText(example.route().stationAt(example.route().jd(3).mainPoints.qz), 6);
  Form form;
  std::string errors;
  std::istringstream out(runLines(form,
                                  std::string("route ") + QUENLOR_EXAMPLE_ROUTE +
                                      "\nsection K0+200\nelevation K0+200"
                                      "\nelevation K0+200 -5.25\nelevation K0+200 5.25"
                                      "\nsection " +
                                      qz + "\nelevation " + qz + "\nelevation " + qz +
                                      " 0\nelevation " + qz + " -5.85\nelevation " + qz + " 5.25",
                                  &errors));
  EXPECT_EQ(errors, "");
  std::vector<std::map<std::string, double>> lines;
  for (std::string line; std::getline(out, line);)
    lines.push_back(valuesOf(line));
  ASSERT_EQ(lines.size(), 9u);
  const double h = 132.5 + 200 * 15.7 / 1350;
  const std::map<std::string, double> straight = {
      {"left_fall", -2},     {"right_fall", -2},        {"left_width", 5.25},
      {"right_width", 5.25}, {"left_edge", h - 0.1125}, {"right_edge", h - 0.1125}};
  for (const auto& [key, value] : straight)
    EXPECT_NEAR(lines[0].at(key), value, 1e-9) << key;
  EXPECT_NEAR(lines[1].at("design"), h, 1e-9);
  EXPECT_EQ(lines[2].at("design"), lines[0].at("left_edge"));
  EXPECT_EQ(lines[3].at("design"), lines[0].at("right_edge"));
  EXPECT_EQ(lines[2].at("grade"), lines[1].at("grade"));

  const double profile = lines[5].at("design");
  const std::map<std::string, double> arc = {{"left_fall", -6},
                                             {"right_fall", 6},
                                             {"left_width", 5.85},
                                             {"right_width", 5.25},
                                             {"left_edge", profile + 0.15 - 0.306 - 0.045},
                                             {"right_edge", profile + 0.15 + 0.27 - 0.0225}};
  for (const auto& [key, value] : arc)
    EXPECT_NEAR(lines[4].at(key), value, 1e-9) << key;
  EXPECT_NEAR(lines[6].at("design"), profile + 0.15, 1e-9);
  EXPECT_EQ(lines[7].at("design"), lines[4].at("left_edge"));
  EXPECT_EQ(lines[8].at("design"), lines[4].at("right_edge"));
}

// Where a value cannot be had it is printed empty, and standard error says
// why: no route, no template, beyond an edge, no profile there.
TEST(Script, SectionSaysWhyAValueIsEmpty) {
  route::RouteDefinition plain = *route::openRouteFile(QUENLOR_EXAMPLE_ROUTE);
  plain.section = {};
  plain.gradePoints.resize(2); // the profile ends at SJD1, K1+350
  const std::string path = testing::TempDir() + "plain-route.csv";
  ASSERT_TRUE(route::saveRouteFile(path, plain));
  const struct {
    std::string session, printed, said;
  } cases[] = {
      {"section 100", "left_fall= right_fall= left_width= right_width= left_edge= right_edge=\n",
       "section: no route is loaded, and the boxes' curve has no cross section\n"},
      {"route " + path + "\nsection 100",
       "left_fall= right_fall= left_width= right_width= left_edge= right_edge=\n",
       "section: the route has no template: no cross section\n"},
      {"route " + path + "\nelevation 100 3", "design= grade=\n",
       "elevation: the route has no template: no cross section\n"},
      {"route " QUENLOR_EXAMPLE_ROUTE "\nelevation 200 -5.3", "design= grade=1.16296296296296\n",
       "elevation: the offset -5.3 lies beyond the left edge, 5.25 from the centre line\n"},
      {"route " QUENLOR_EXAMPLE_ROUTE "\nsection K9+000",
       "left_fall= right_fall= left_width= right_width= left_edge= right_edge=\n",
       "section: K9+000.000 lies beyond the route, which runs from K0+000.000 to "
       "K6+799.608\n"},
  };
  for (const auto& c : cases) {
    Form form;
    std::string errors;
    EXPECT_EQ(runLines(form, c.session, &errors), c.printed) << c.session;
    EXPECT_EQ(errors, c.said) << c.session;
  }
}

// route check names the cross section's checks with the rest.
TEST(Script, RouteCheckNamesTheCrossSectionsChecks) {
  route::RouteDefinition d = *route::openRouteFile(QUENLOR_EXAMPLE_ROUTE);
  d.jds[3].section.runoff = 200; // JD4's transitions are 110 m
  const std::string path = testing::TempDir() + "long-runoff.csv";
  ASSERT_TRUE(route::saveRouteFile(path, d));
  Form form;
  EXPECT_EQ(runLines(form, "route " + path + "\nroute check"),
            "JD4: the runoff is 90.000 m longer than the transition: it reaches onto the "
            "straight\n"
            "JD4: its runoff overlaps JD5's by 3.373 m: their changes add up there\n");
}

} // namespace
} // namespace quenlor
