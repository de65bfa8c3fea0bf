// SPDX-License-Identifier: GPL-3.0-or-later
#include "route/route_file.h"

#include "route/plane.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quenlor::route {
namespace {

constexpr std::string_view kFormatName = "quenlor-route";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

enum Column { Kind, Name, X, Y, Chainage, R, Ls, Ls2, Ahead, Elevation, Rv, kColumns };
constexpr std::array<std::string_view, kColumns> kColumnNames = {
    "kind", "name", "X", "Y", "chainage", "R", "Ls", "ls2", "ahead", "elevation", "Rv"};

// ---- The layout of each kind of row.

enum class Use { Empty, Required, Optional };

struct Layout {
  std::string_view kind;
  std::array<Use, kColumns> use;
};

constexpr Use E = Use::Empty, Q = Use::Required, O = Use::Optional;
constexpr std::array<Layout, 5> kLayouts = {{
    //          kind name X  Y  ch R  Ls ls2 ahead elev Rv
    {"BP", {{Q, O, Q, Q, Q, E, E, E, E, E, E}}},
    {"JD", {{Q, O, Q, Q, E, Q, Q, O, E, E, E}}},
    {"EP", {{Q, O, Q, Q, E, E, E, E, E, E, E}}},
    {"break", {{Q, O, E, E, Q, E, E, E, Q, E, E}}},
    {"PVI", {{Q, O, E, E, Q, E, O, O, E, Q, Q}}},
}};

// ---- Reading: errors end the read with one message.

struct ReadError {
  std::string message;
};

[[noreturn]] void fail(int line, std::string what) {
  throw ReadError{"line " + std::to_string(line) + ": " + std::move(what)};
}

// Columns are named by the header, so not on the rows above it.
[[noreturn]] void fail(int line, int column, std::string what, bool named = true) {
  std::string where = "line " + std::to_string(line) + ", column " + std::to_string(column + 1);
  if (named && column < kColumns)
    where += " (" + std::string(kColumnNames[column]) + ")";
  throw ReadError{where + ": " + std::move(what)};
}

std::string hexByte(unsigned char c) {
  constexpr const char* kDigits = "0123456789abcdef";
  return std::string("0x") + kDigits[c >> 4] + kDigits[c & 15];
}

bool isControl(unsigned char c) {
  return (c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7f;
}

// The length of the UTF-8 sequence at text[at], or 0 when it is not one
// (overlong forms, surrogates and code points beyond U+10FFFF included).
std::size_t utf8Length(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[at + k]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80)
    return 1;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xbf; // bounds of the second byte
  if (lead >= 0xc2 && lead <= 0xdf)
    length = 2;
  else if (lead >= 0xe0 && lead <= 0xef) {
    length = 3;
    low = lead == 0xe0 ? 0xa0 : 0x80;
    high = lead == 0xed ? 0x9f : 0xbf;
  } else if (lead >= 0xf0 && lead <= 0xf4) {
    length = 4;
    low = lead == 0xf0 ? 0x90 : 0x80;
    high = lead == 0xf4 ? 0x8f : 0xbf;
  } else
    return 0;
  if (at + length > text.size() || byte(1) < low || byte(1) > high)
    return 0;
  for (std::size_t k = 2; k < length; ++k)
    if (byte(k) < 0x80 || byte(k) > 0xbf)
      return 0;
  return length;
}

// Why the text is not a cell's text, or nothing.
std::optional<std::string> notText(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const auto c = static_cast<unsigned char>(text[at]);
    if (isControl(c))
      return "byte " + hexByte(c) + " is not text (a binary file?)";
    const std::size_t length = utf8Length(text, at);
    if (length == 0)
      return "byte " + hexByte(c) + " is not UTF-8 text";
    at += length;
  }
  return std::nullopt;
}

// A cell's text as a message quotes it: at most 40 bytes, whole characters.
std::string quoted(std::string_view text) {
  constexpr std::size_t kShown = 40;
  if (text.size() <= kShown)
    return "'" + std::string(text) + "'";
  std::size_t end = kShown;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xc0) == 0x80)
    --end;
  return "'" + std::string(text.substr(0, end)) + "...'";
}

struct Row {
  int line = 0;
  std::vector<std::string> cells;

  std::string_view cell(int column) const {
    return static_cast<std::size_t>(column) < cells.size() ? std::string_view(cells[column])
                                                           : std::string_view();
  }
  bool blank() const {
    for (const std::string& c : cells)
      if (!c.empty())
        return false;
    return true;
  }
};

// The rows of RFC 4180 text, one at a time.
class CsvRows {
public:
  explicit CsvRows(std::string_view text) : text_(text) {}

  // From the header row on, messages name the column.
  void nameColumns() { named_ = true; }

  bool next(Row& row) {
    if (at_ >= text_.size())
      return false;
    if (++rows_ > kMostRouteFileRows)
      fail(line_, "more than " + std::to_string(kMostRouteFileRows) + " rows");
    row.line = line_;
    row.cells.clear();
    for (bool more = true; more;) {
      const int column = static_cast<int>(row.cells.size());
      row.cells.push_back(peek() == '"' ? quotedCell(row.line, column)
                                        : plainCell(row.line, column));
      if (const auto why = notText(row.cells.back()))
        fail(row.line, column, *why, named_);
      more = endOfCell(row.line, column);
    }
    return true;
  }

  int line() const { return line_; }

private:
  int peek() const { return at_ < text_.size() ? static_cast<unsigned char>(text_[at_]) : -1; }

  std::string plainCell(int line, int column) {
    const std::size_t start = at_;
    while (at_ < text_.size() && text_[at_] != ',' && text_[at_] != '\n' && text_[at_] != '\r') {
      if (text_[at_] == '"')
        fail(line, column, "a quote in a cell that does not start with one", named_);
      ++at_;
    }
    return std::string(text_.substr(start, at_ - start));
  }

  std::string quotedCell(int line, int column) {
    std::string cell;
    ++at_;
    for (;;) {
      if (at_ >= text_.size())
        fail(line, column, "the file ends inside a quoted cell (is it cut short?)", named_);
      const char c = text_[at_++];
      if (c == '"') {
        if (peek() != '"')
          return cell;
        ++at_;
      } else if (c == '\n')
        ++line_;
      cell += c;
    }
  }

  // After a cell: true when another cell of the row follows.
  bool endOfCell(int line, int column) {
    if (at_ >= text_.size())
      return false;
    const char c = text_[at_++];
    if (c == ',')
      return true;
    if (c == '\r' && peek() != '\n')
      fail(line, column, "a carriage return without a line feed", named_);
    if (c == '\r')
      ++at_;
    if (c != '\r' && c != '\n')
      fail(line, column, "text after the closing quote of a cell", named_);
    ++line_;
    return false;
  }

  std::string_view text_;
  std::size_t at_ = 0;
  int line_ = 1;
  std::size_t rows_ = 0;
  bool named_ = false;
};

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos)
    return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

double numberCell(const Row& row, int column) {
  const std::string_view text = trimmed(row.cell(column));
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range)
    fail(row.line, column, quoted(text) + " is beyond \u00b11e9");
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
    fail(row.line, column, quoted(row.cell(column)) + " is not a number");
  if (!isUsableValue(value))
    fail(row.line, column, quoted(text) + " is beyond \u00b11e9");
  return value;
}

void checkNoMoreCells(const Row& row, int from, bool named = true) {
  for (int column = from; column < static_cast<int>(row.cells.size()); ++column)
    if (!row.cells[column].empty())
      fail(row.line, column, "more cells than this row has", named);
}

const Layout& layoutOf(const Row& row) {
  for (const Layout& layout : kLayouts)
    if (row.cell(Kind) == layout.kind)
      return layout;
  fail(row.line, Kind, quoted(row.cell(Kind)) + " is not a kind of row (BP, JD, EP, break, PVI)");
}

void checkLayout(const Row& row, const Layout& layout) {
  for (int column = X; column < kColumns; ++column) {
    const bool empty = trimmed(row.cell(column)).empty();
    const std::string kind(layout.kind);
    if (layout.use[column] == Use::Required && empty)
      fail(row.line, column,
           "missing: a " + kind + " row needs " + std::string(kColumnNames[column]));
    if (layout.use[column] == Use::Empty && !empty)
      fail(row.line, column,
           "a " + kind + " row has no " + std::string(kColumnNames[column]) +
               "; leave the cell empty");
  }
  checkNoMoreCells(row, kColumns);
}

// About how many JD rows the text holds (lines that start with "JD,"), so
// that they are stored without moving them as they come.
std::size_t jdRowsIn(std::string_view text) {
  std::size_t rows = 0;
  for (std::size_t at = text.find("\nJD,"); at != std::string_view::npos;
       at = text.find("\nJD,", at + 1))
    ++rows;
  return rows;
}

// The records, in the order the layout allows.
class RouteReader {
public:
  explicit RouteReader(std::size_t rows) { route_.jds.reserve(rows); }

  void formatRow(const Row& row) {
    if (row.cell(0) != kFormatName)
      fail(row.line, "not a Quenlor route file: it must start with '" + std::string(kFormatName) +
                         "," + std::to_string(kRouteFileVersion) + "'");
    const std::string_view version = row.cell(1);
    if (version != std::to_string(kRouteFileVersion)) {
      const bool number =
          !version.empty() && version.find_first_not_of("0123456789") == std::string_view::npos;
      fail(row.line, 1,
           number ? "route file version " + std::string(version) + "; this program reads version " +
                        std::to_string(kRouteFileVersion)
                  : quoted(version) + " is not a route file version",
           false);
    }
    route_.name = row.cell(2);
    checkNoMoreCells(row, 3, false);
  }

  void headerRow(const Row& row) {
    for (int column = 0; column < kColumns; ++column)
      if (row.cell(column) != kColumnNames[column])
        fail(row.line, column, "the header row must be " + headerText());
    checkNoMoreCells(row, kColumns);
  }

  void record(const Row& row) {
    const Layout& layout = layoutOf(row);
    checkLayout(row, layout);
    const std::string_view kind = layout.kind;
    if (!haveStart_ && kind != "BP")
      fail(row.line, "the first row after the header must be the BP row");
    if ((kind == "BP" && haveStart_) || (kind == "EP" && haveEnd_))
      fail(row.line, "a second " + std::string(kind) + " row");
    if (kind == "JD" && haveEnd_)
      fail(row.line, "a JD row after the EP row");
    const std::string name(row.cell(Name));
    if (kind == "BP") {
      route_.start = {name, numberCell(row, X), numberCell(row, Y), numberCell(row, Chainage)};
      haveStart_ = true;
    } else if (kind == "JD") {
      Jd jd{name,
            numberCell(row, X),
            numberCell(row, Y),
            numberCell(row, R),
            numberCell(row, Ls),
            std::nullopt};
      if (!trimmed(row.cell(Ls2)).empty())
        jd.ls2 = numberCell(row, Ls2);
      route_.jds.push_back(std::move(jd));
    } else if (kind == "EP") {
      route_.end = {name, numberCell(row, X), numberCell(row, Y)};
      haveEnd_ = true;
    } else if (kind == "break") {
      route_.breaks.push_back({name, numberCell(row, Chainage), numberCell(row, Ahead)});
    } else {
      GradePointRow g{name, numberCell(row, Chainage), numberCell(row, Elevation),
                      numberCell(row, Rv)};
      if (!trimmed(row.cell(Ls)).empty() || !trimmed(row.cell(Ls2)).empty()) {
        g.tangentIn = numberCell(row, Ls);
        g.tangentOut = numberCell(row, Ls2);
      }
      route_.gradePoints.push_back(std::move(g));
    }
  }

  RouteDefinition finish(int line) {
    if (!haveStart_)
      fail(line, "the file ends without a BP row (is it cut short?)");
    if (!haveEnd_)
      fail(line, "the file ends without an EP row (is it cut short?)");
    return std::move(route_);
  }

  static std::string headerText() {
    std::string text;
    for (std::string_view name : kColumnNames)
      text += (text.empty() ? "" : ",") + std::string(name);
    return "'" + text + "'";
  }

private:
  RouteDefinition route_;
  bool haveStart_ = false, haveEnd_ = false;
};

// ---- Writing.

void appendText(std::string& out, std::string_view text) {
  const bool quote = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                     (!text.empty() && (text.front() == ' ' || text.front() == '\t' ||
                                        text.back() == ' ' || text.back() == '\t'));
  if (!quote) {
    out += text;
    return;
  }
  out += '"';
  for (char c : text) {
    if (c == '"')
      out += '"';
    out += c;
  }
  out += '"';
}

void appendNumber(std::string& out, double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

using Cells = std::array<std::optional<double>, kColumns>;

void appendRecord(std::string& out, std::string_view kind, std::string_view name,
                  const Cells& numbers) {
  out += kind;
  out += ',';
  appendText(out, name);
  for (int column = X; column < kColumns; ++column) {
    out += ',';
    if (numbers[column])
      appendNumber(out, *numbers[column]);
  }
  out += kLineEnd;
}

Cells cells(std::initializer_list<std::pair<Column, double>> values) {
  Cells all{};
  for (const auto& [column, value] : values)
    all[column] = value;
  return all;
}

// ---- Files.

std::string systemError(const std::string& doing, const std::string& path) {
  return "cannot " + doing + " " + path + ": " + std::strerror(errno);
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR)
      continue;
    if (written == 0)
      errno = EIO;
    if (written <= 0)
      return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

std::string folderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

std::string fileNameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Makes the rename itself last: the folder's entry is flushed too. Some file
// systems cannot flush a folder; the file's bytes are safe by then anyway.
void flushFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0)
    return;
  ::fsync(fd);
  ::close(fd);
}

} // namespace

Expected<RouteDefinition> readRouteText(std::string_view bytes) {
  if (bytes.size() > kMostRouteFileBytes)
    return Failure{"the file is larger than " + std::to_string(kMostRouteFileBytes >> 20) +
                   " MiB; it is not a route file"};
  if (bytes.starts_with(kByteOrderMark))
    bytes.remove_prefix(kByteOrderMark.size());
  try {
    CsvRows rows(bytes);
    RouteReader reader(jdRowsIn(bytes));
    Row row;
    int stage = 0; // format row, header row, records
    while (rows.next(row)) {
      if (row.blank())
        continue;
      if (stage == 0) {
        reader.formatRow(row);
        rows.nameColumns();
      } else if (stage == 1)
        reader.headerRow(row);
      else
        reader.record(row);
      stage = std::min(stage + 1, 2);
    }
    if (stage == 0)
      fail(rows.line(), "the file is empty; a route file starts with '" + std::string(kFormatName) +
                            "," + std::to_string(kRouteFileVersion) + "'");
    if (stage == 1)
      fail(rows.line(), "the file ends before the header row (is it cut short?)");
    return reader.finish(rows.line());
  } catch (const ReadError& error) {
    return Failure{error.message};
  }
}

std::string routeText(const RouteDefinition& route) {
  std::string out(kByteOrderMark);
  out += kFormatName;
  out += ',' + std::to_string(kRouteFileVersion);
  if (!route.name.empty()) {
    out += ',';
    appendText(out, route.name);
  }
  out += kLineEnd;
  for (int column = 0; column < kColumns; ++column)
    (out += column == 0 ? "" : ",") += kColumnNames[column];
  out += kLineEnd;

  const StartPoint& bp = route.start;
  appendRecord(out, "BP", bp.name, cells({{X, bp.x}, {Y, bp.y}, {Chainage, bp.chainage}}));
  for (const Jd& jd : route.jds) {
    Cells numbers = cells({{X, jd.x}, {Y, jd.y}, {R, jd.radius}, {Ls, jd.ls1}});
    numbers[Ls2] = jd.ls2;
    appendRecord(out, "JD", jd.name, numbers);
  }
  appendRecord(out, "EP", route.end.name, cells({{X, route.end.x}, {Y, route.end.y}}));
  for (const ChainBreak& b : route.breaks)
    appendRecord(out, "break", b.name, cells({{Chainage, b.behind}, {Ahead, b.ahead}}));
  for (const GradePointRow& g : route.gradePoints) {
    Cells numbers =
        cells({{Chainage, g.chainage}, {Elevation, g.elevation}, {Rv, g.verticalRadius}});
    if (g.tangentIn != 0 || g.tangentOut != 0) {
      numbers[Ls] = g.tangentIn;
      numbers[Ls2] = g.tangentOut;
    }
    appendRecord(out, "PVI", g.name, numbers);
  }
  return out;
}

Expected<Done> checkWritable(const RouteDefinition& route) {
  const auto bad = [](const std::string& record, std::string why) {
    return Failure{record + ": " + std::move(why) + "; the route cannot be written"};
  };
  const auto check = [&](const std::string& record, const std::string& name,
                         std::initializer_list<double> numbers) -> std::optional<Failure> {
    if (const auto why = notText(name))
      return bad(record, "its name: " + *why);
    for (double v : numbers)
      if (!isUsableValue(v))
        return bad(record, "a number is not finite or beyond \u00b11e9");
    return std::nullopt;
  };
  std::optional<Failure> failure = check("the route", route.name, {});
  const StartPoint& bp = route.start;
  if (!failure)
    failure = check("BP", bp.name, {bp.x, bp.y, bp.chainage});
  for (std::size_t i = 0; !failure && i < route.jds.size(); ++i) {
    const Jd& jd = route.jds[i];
    failure = check("JD #" + std::to_string(i + 1), jd.name,
                    {jd.x, jd.y, jd.radius, jd.ls1, jd.secondTransition()});
  }
  if (!failure)
    failure = check("EP", route.end.name, {route.end.x, route.end.y});
  for (std::size_t i = 0; !failure && i < route.breaks.size(); ++i) {
    const ChainBreak& b = route.breaks[i];
    failure = check("chain break #" + std::to_string(i + 1), b.name, {b.behind, b.ahead});
  }
  for (std::size_t i = 0; !failure && i < route.gradePoints.size(); ++i) {
    const GradePointRow& g = route.gradePoints[i];
    failure = check("grade point #" + std::to_string(i + 1), g.name,
                    {g.chainage, g.elevation, g.verticalRadius, g.tangentIn, g.tangentOut});
  }
  if (failure)
    return *failure;
  return Done{};
}

Expected<RouteDefinition> openRouteFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return Failure{systemError("open", path)};
  struct stat info {};
  if (::fstat(fd, &info) == 0 && static_cast<std::size_t>(info.st_size) > kMostRouteFileBytes) {
    ::close(fd);
    return Failure{path + " is larger than " + std::to_string(kMostRouteFileBytes >> 20) +
                   " MiB; it is not a route file"};
  }
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(std::max<off_t>(info.st_size, 0)));
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0) {
      const std::string message = systemError("read", path);
      ::close(fd);
      return Failure{message};
    }
    if (got == 0)
      break;
    bytes.append(buffer, static_cast<std::size_t>(got));
    if (bytes.size() > kMostRouteFileBytes)
      break; // grown while read: readRouteText refuses it
  }
  ::close(fd);
  return readRouteText(bytes);
}

Expected<Done> saveRouteFile(const std::string& path, const RouteDefinition& route) {
  const Expected<Done> writable = checkWritable(route);
  if (!writable)
    return writable;
  const std::string text = routeText(route);
  const std::string folder = folderOf(path);
  std::string temporary = folder + "/." + fileNameOf(path) + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0)
    return Failure{systemError("write", path)};

  struct stat existing {};
  const mode_t mode = ::stat(path.c_str(), &existing) == 0 ? existing.st_mode & 07777 : 0644;
  int error = 0;
  if (::fchmod(fd, mode) != 0 || !writeAll(fd, text) || ::fsync(fd) != 0)
    error = errno;
  if (::close(fd) != 0 && error == 0)
    error = errno;
  if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0)
    error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());
    return Failure{"cannot write " + path + ": " + std::strerror(error)};
  }
  flushFolder(folder);
  return Done{};
}

} // namespace quenlor::route
