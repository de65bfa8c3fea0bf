// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/script.h"

#include "form/calc_state.h"
#include "form/form.h"
#include "numeric/chainage_text.h"
#include "numeric/number_text.h"
#include "numeric/strict_number.h"
#include "route/route_file.h"
#include "session/field_tools.h"
#include "session/jd_boxes.h"
#include "session/route_model.h"
#include "session/section_words.h"
#include "text/utf8.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <istream>
#include <ostream>
#include <variant>
#include <vector>

namespace quenlor {
namespace {

// "word rest": the first word and what follows the single space after it.
std::pair<std::string_view, std::optional<std::string_view>> splitWord(std::string_view s) {
  const std::size_t space = s.find(' ');
  if (space == std::string_view::npos)
    return {s, std::nullopt};
  return {s.substr(0, space), s.substr(space + 1)};
}

std::optional<unsigned long> parseCount(std::string_view s) {
  unsigned long n = 0;
  const auto result = std::from_chars(s.data(), s.data() + s.size(), n);
  if (s.empty() || result.ec != std::errc{} || result.ptr != s.data() + s.size())
    return std::nullopt;
  return n;
}

void printBox(const Form& form, Box box, std::ostream& out) {
  out << boxName(box) << '=' << form.text(box) << '\n';
}

void printState(const Form& form, std::ostream& out) {
  for (const StateField& field : stateFields()) {
    char value[40];
    std::snprintf(value, sizeof value, "%.17g", form.state().*field.member);
    out << field.name << '=' << value << '\n';
  }
}

void beforeEdit(ScriptSession& s, Box box, std::string_view newText);

// Only the chainage box looks at its whole new text before an edit: making it
// for every key press would make typing a long text take the square of its
// length.
bool readsNewText(Box box) { return box == Box::Text26; }

void typeText(ScriptSession& s, Box box, std::string_view text) {
  while (!text.empty()) {
    const std::size_t n = firstCharacterLength(text);
    if (readsNewText(box))
      beforeEdit(s, box, s.form.text(box) + std::string(text.substr(0, n)));
    s.form.append(box, text.substr(0, n));
    text.remove_prefix(n);
  }
}

// N presses of Backspace. A press that leaves every box's text and every
// state value exactly as they were leaves the form where every further press
// starts from the same place and does the same: the driver stops there. So
// do an empty box and the backsight elevation's lock, which puts the removed
// text back at once.
void pressBackspace(ScriptSession& s, Box box, unsigned long times) {
  Form& form = s.form;
  for (unsigned long i = 0; i < times; ++i) {
    const std::size_t last = lastCharacterLength(form.text(box));
    if (!form.changedBy([&] {
          const std::string& text = form.text(box);
          beforeEdit(s, box, std::string_view(text).substr(0, text.size() - last));
          form.removeLast(box, last);
        }))
      return;
  }
}

// The words after a command, one space between each two.
std::vector<std::string_view> wordsOf(std::optional<std::string_view> rest) {
  std::vector<std::string_view> words;
  for (std::string_view text = rest.value_or(""); rest;) {
    const auto [word, more] = splitWord(text);
    words.push_back(word);
    if (!more)
      break;
    text = *more;
  }
  return words;
}

// The arguments of a field command, exactly as many as it takes: a station
// ("1234.5", "K1+234.5", "K2+490(2)" for a repeated chainage's second
// occurrence) where `stations` says so, else a plain number.
using Argument = std::variant<double, Station>;
std::variant<std::vector<Argument>, std::string> arguments(std::string_view command,
                                                           std::optional<std::string_view> rest,
                                                           std::initializer_list<bool> stations) {
  const std::vector<std::string_view> words = wordsOf(rest);
  const std::string takes =
      "'" + std::string(command) + "' takes " + std::to_string(stations.size()) + " numbers";
  if (words.size() != stations.size())
    return takes + ", not " + std::to_string(words.size());
  std::vector<Argument> values;
  auto station = stations.begin();
  for (std::string_view word : words) {
    if (*station++) {
      const auto value = route::parseStation(word);
      if (!value || word.find_first_of(" \t") != std::string_view::npos)
        return takes + ": '" + std::string(word) + "' is not a chainage";
      values.emplace_back(*value);
    } else {
      const auto value = strictNumber(word);
      if (!value)
        return takes + ": '" + std::string(word) + "' is not a number";
      values.emplace_back(*value);
    }
  }
  return values;
}

// On a route, a chainage that names no point (beyond the ends, in a short
// chain break's gap, a second occurrence there is not) is said on standard
// error; the values stay empty.
void sayWhereNoPoint(const ScriptSession& s, std::string_view command, const Station& station,
                     std::ostream& err) {
  if (!s.route || !s.route->route().hasGeometry())
    return;
  if (const std::string why = s.route->route().whyNoPoint(station); !why.empty())
    err << command << ": " << why << '\n';
}

void printStake(const ScriptSession& s, Station station, double offset, std::ostream& out,
                std::ostream& err) {
  sayWhereNoPoint(s, "stake", station, err);
  FieldQueries q;
  q.stake = SideStakeQuery{station, offset, std::nullopt};
  const SideStakeAnswer a = answerFieldTools(s.form, s.route, q).stake;
  out << "X=" << a.x << " Y=" << a.y << " azimuth=" << a.azimuth << " distance=" << a.distance
      << '\n';
}

void printLocation(const ScriptSession& s, double x, double y, std::ostream& out) {
  FieldQueries q;
  q.locate = LocateQuery{x, y};
  const LocateAnswer a = answerFieldTools(s.form, s.route, q).locate;
  out << "chainage=" << a.chainage << a.occurrence << " offset=" << a.offset;
  if (!a.beyond.empty())
    out << " beyond=" << a.beyond;
  if (!a.alsoChainage.empty())
    out << " also=" << a.alsoChainage << a.alsoOccurrence << ' ' << a.alsoOffset;
  out << '\n';
}

// The table at full precision, row by row; standard error says where it
// stops at its row limit, why there is none, and what else is said of it
// (an end beyond the route's, rows without a design level).
void printTable(ScriptSession& s, const TableQuery& query, std::ostream& out, std::ostream& err) {
  FieldQueries q;
  q.table = query;
  s.lastTable = query;
  const TableAnswer a = answerFieldTools(s.form, s.route, q).table;
  writeStakeTable(out, a, Precision::Full);
  if (a.rows && a.rows->truncated())
    err << "table: stopped at the limit of " << kMaxStakeRows << " rows, at "
        << a.row(a.size() - 1).label << '\n';
  for (const Failure& remark : a.remarks)
    err << "table: " << remark.message << '\n';
}

// The design level at a station of the loaded route: "design=.. grade=.."
// (the grade in per cent), both empty where there is none; before or beyond
// the profile's grade points standard error says where the profile ends.
void printElevation(const ScriptSession& s, Station station, std::ostream& out, std::ostream& err) {
  sayWhereNoPoint(s, "elevation", station, err);
  const auto level = s.route ? s.route->designAt(station) : std::nullopt;
  const auto measure = s.route && !level ? s.route->route().measureOf(station) : std::nullopt;
  if (const auto why = measure ? s.route->whyNoDesign(*measure) : std::nullopt)
    err << "elevation: " << why->message << '\n';
  out << "design=" << (level ? formatNumber(level->elevation) : "")
      << " grade=" << (level ? formatNumber(level->grade * 100) : "") << '\n';
}

std::string numberOrEmpty(const std::optional<double>& value) {
  return value && std::isfinite(*value) ? formatNumber(*value) : std::string();
}

// The cross section at a station of the loaded route, or nothing, with the
// reason said on standard error.
std::optional<CrossSectionAt> crossSectionFor(const ScriptSession& s, std::string_view command,
                                              route::Station station, std::ostream& err) {
  if (!s.route) {
    err << command << ": no route is loaded, and the boxes' curve has no cross section\n";
    return std::nullopt;
  }
  if (!s.route->sections().hasTemplate()) {
    err << command << ": the route has no template: no cross section\n";
    return std::nullopt;
  }
  sayWhereNoPoint(s, command, station, err);
  auto at = s.route->crossSectionAt(station);
  if (at && !at->level)
    err << command << ": the route has no profile here: no design elevations\n";
  return at;
}

// "left_fall=.. right_fall=.. left_width=.. right_width=.. left_edge=..
// right_edge=..": falls in per cent, negative falling away from the centre
// line; widths from the centre line to each edge with the widening; the
// edges' design elevations.
void printSection(const ScriptSession& s, route::Station station, std::ostream& out,
                  std::ostream& err) {
  const auto at = crossSectionFor(s, "section", station, err);
  const auto side = [&](auto field) -> std::optional<double> {
    return at ? std::optional(field(at->section)) : std::nullopt;
  };
  out << "left_fall=" << numberOrEmpty(side([](auto& c) { return c.left.fall; }))
      << " right_fall=" << numberOrEmpty(side([](auto& c) { return c.right.fall; }))
      << " left_width=" << numberOrEmpty(side([](auto& c) { return c.left.width; }))
      << " right_width=" << numberOrEmpty(side([](auto& c) { return c.right.width; }))
      << " left_edge=" << numberOrEmpty(at ? at->leftEdge : std::nullopt)
      << " right_edge=" << numberOrEmpty(at ? at->rightEdge : std::nullopt) << '\n';
}

// The design elevation at an offset on the template, with the profile's
// grade there.
void printElevationAt(const ScriptSession& s, route::Station station, double offset,
                      std::ostream& out, std::ostream& err) {
  const auto at = crossSectionFor(s, "elevation", station, err);
  std::optional<double> design;
  if (at && at->level) {
    design = s.route->designAt(*at, offset);
    if (!design)
      err << "elevation: the offset " << formatNumber(offset) << " lies beyond the "
          << (offset < 0 ? "left" : "right") << " edge, "
          << formatNumber((offset < 0 ? at->section.left : at->section.right).width)
          << " from the centre line\n";
  }
  out << "design=" << numberOrEmpty(design) << " grade="
      << numberOrEmpty(at && at->level ? std::optional(at->level->grade * 100) : std::nullopt)
      << '\n';
}

// stake, locate, table, elevation and section work on the route when one is
// loaded, on the curve the boxes describe otherwise, and write no box.
std::optional<std::string> runFieldCommand(ScriptSession& s, std::string_view command,
                                           std::optional<std::string_view> rest, std::ostream& out,
                                           std::ostream& err) {
  const bool offsetGiven = command == "elevation" && wordsOf(rest).size() == 2;
  const bool atEdges = command == "table" && wordsOf(rest).size() == 3;
  const auto args = command == "stake"    ? arguments(command, rest, {true, false})
                    : command == "locate" ? arguments(command, rest, {false, false})
                    : offsetGiven         ? arguments(command, rest, {true, false})
                    : atEdges             ? arguments(command, rest, {true, true, false})
                    : command == "elevation" || command == "section"
                        ? arguments(command, rest, {true})
                        : arguments(command, rest, {true, true, false, false});
  if (const auto* reason = std::get_if<std::string>(&args))
    return *reason;
  const auto& a = std::get<std::vector<Argument>>(args);
  const auto station = [&](std::size_t i) { return std::get<Station>(a[i]); };
  const auto number = [&](std::size_t i) { return std::get<double>(a[i]); };
  if (command == "stake")
    printStake(s, station(0), number(1), out, err);
  else if (command == "locate")
    printLocation(s, number(0), number(1), out);
  else if (offsetGiven)
    printElevationAt(s, station(0), number(1), out, err);
  else if (command == "elevation")
    printElevation(s, station(0), out, err);
  else if (command == "section")
    printSection(s, station(0), out, err);
  else
    printTable(s,
               TableQuery{station(0), station(1), number(2),
                          atEdges ? std::nullopt : std::optional(number(3))},
               out, err);
  return std::nullopt;
}

// route FILE loads a route; route check prints its checks, one a line.
std::optional<std::string> runRouteCommand(ScriptSession& s, std::optional<std::string_view> rest,
                                           std::ostream& out) {
  if (!rest || rest->empty())
    return "'route' needs a file, or 'check'";
  if (*rest == "check") {
    if (!s.route)
      return "no route is loaded";
    for (const route::Check& c : s.route->route().checks())
      out << c.message << '\n';
    for (const std::string& line : s.route->profileCheckTexts())
      out << line << '\n';
    for (const section::Check& c : s.route->sections().checks())
      out << sectionCheckText(c, s.route->route(), Words::English) << '\n';
    return std::nullopt;
  }
  const auto definition = route::openRouteFile(std::string(*rest));
  if (!definition)
    return "cannot read the route '" + std::string(*rest) + "': " + definition.error();
  s.route = std::make_shared<const RouteModel>(*definition);
  return std::nullopt;
}

// save FILE writes the loaded route as a route file, through the one save
// path: an imported route kept, an edited one written back.
std::optional<std::string> runSaveCommand(ScriptSession& s, std::optional<std::string_view> rest,
                                          std::ostream& out) {
  if (!rest || rest->empty())
    return "'save' needs a file";
  if (!s.route)
    return "'save' needs a route: load one with 'route FILE' or 'import landxml FILE'";
  const std::string path(*rest);
  if (const auto saved = route::saveRouteFile(path, s.route->definition()); !saved)
    return saved.error();
  out << "wrote " << path << '\n';
  return std::nullopt;
}

// jd NAME fills the boxes from a JD of the loaded route, as typed.
std::optional<std::string> runJdCommand(ScriptSession& s, std::optional<std::string_view> rest) {
  if (!s.route)
    return "no route is loaded";
  const std::string name(rest.value_or(""));
  if (s.route->route().byElements())
    return "the route is given by elements, not by JDs: it has no JD '" + name +
           "' to fill the boxes from";
  const auto index = jdNamed(s.route->route(), name);
  if (!index)
    return "the route has no JD named '" + name + "'";
  if (!s.boxes.fill(s.form, s.route->route(), *index))
    return "JD '" + name + "' is not in the route (see 'route check')";
  return std::nullopt;
}

// With a route loaded, the route's notices on the boxes (notices.h) that
// hold now and were not said before, one a line on the error stream.
void sayNewNotices(ScriptSession& s, std::ostream& err) {
  std::vector<Notice> now = s.boxes.routeNotices(s.form, s.route.get());
  for (const Notice& n : now)
    if (std::find(s.said.begin(), s.said.end(), n) == s.said.end())
      err << "notice: " << noticeMessage(n) << '\n';
  s.said = std::move(now);
}

// Before an edit gives Text26 a new text, with a route loaded: the JD whose
// stretch holds its chainage fills the boxes where they are empty or hold
// a JD as filled (route_boxes.h).
void beforeEdit(ScriptSession& s, Box box, std::string_view newText) {
  if (readsNewText(box))
    s.boxes.beforeChainage(s.form, s.route.get(), newText);
}

// The box commands: set, type, back and print.
std::optional<std::string> runBoxCommand(ScriptSession& s, std::string_view command, Box box,
                                         std::optional<std::string_view> argument,
                                         std::ostream& out) {
  Form& form = s.form;
  if (command == "set") {
    beforeEdit(s, box, argument.value_or(""));
    form.edit(box, std::string(argument.value_or("")));
  } else if (command == "type") {
    typeText(s, box, argument.value_or(""));
  } else if (command == "back") {
    const std::optional<unsigned long> times = argument ? parseCount(*argument) : 1UL;
    if (!times)
      return "'back' takes a whole number of characters, not '" + std::string(*argument) + "'";
    pressBackspace(s, box, *times);
  } else {
    if (argument)
      return "'print' takes one box";
    printBox(form, box, out);
  }
  return std::nullopt;
}

} // namespace

std::optional<std::string> runScriptLine(ScriptSession& session, std::string_view line,
                                         std::ostream& out, std::ostream& err) {
  Form& form = session.form;
  if (!line.empty() && line.back() == '\r')
    line.remove_suffix(1);
  if (line.empty() || line.front() == '#')
    return std::nullopt;

  const auto [command, rest] = splitWord(line);
  if (command == "dump" || command == "state") {
    if (rest)
      return "'" + std::string(command) + "' takes no argument";
    if (command == "dump")
      for (Box box : allBoxes())
        printBox(form, box, out);
    else
      printState(form, out);
    return std::nullopt;
  }
  if (command == "stake" || command == "locate" || command == "table" || command == "elevation" ||
      command == "section")
    return runFieldCommand(session, command, rest, out, err);
  if (command == "route")
    return runRouteCommand(session, rest, out);
  if (command == "save")
    return runSaveCommand(session, rest, out);
  if (const auto extension = session.extensions.find(std::string(command));
      extension != session.extensions.end())
    return extension->second(session, rest, out, err);
  std::optional<std::string> failed;
  if (command == "jd") {
    failed = runJdCommand(session, rest);
  } else if (command == "click") {
    const std::optional<Button> button = rest ? buttonFromName(*rest) : std::nullopt;
    if (!button)
      return "unknown button '" + std::string(rest.value_or("")) + "'";
    form.click(*button);
  } else {
    if (command != "set" && command != "type" && command != "back" && command != "print")
      return "unknown command '" + std::string(command) + "'";
    if (!rest)
      return "'" + std::string(command) + "' needs a box";
    const auto [boxWord, argument] = splitWord(*rest);
    const std::optional<Box> box = boxFromName(boxWord);
    if (!box)
      return "unknown box '" + std::string(boxWord) + "'";
    failed = runBoxCommand(session, command, *box, argument, out);
  }
  if (!failed)
    sayNewNotices(session, err);
  return failed;
}

std::optional<std::string> runScriptLine(Form& form, std::string_view line, std::ostream& out,
                                         std::ostream& err) {
  ScriptSession session{form};
  return runScriptLine(session, line, out, err);
}

bool runScript(Form& form, std::istream& in, std::ostream& out, std::ostream& err,
               std::string_view source) {
  ScriptSession session{form};
  return runScript(session, in, out, err, source);
}

bool runScript(ScriptSession& session, std::istream& in, std::ostream& out, std::ostream& err,
               std::string_view source) {
  std::string line;
  for (long number = 1; std::getline(in, line); ++number) {
    if (const auto reason = runScriptLine(session, line, out, err)) {
      err << "line " << number << ": " << *reason;
      if (!source.empty())
        err << " (" << source << ')';
      err << '\n';
      return false;
    }
  }
  return true;
}

} // namespace quenlor
