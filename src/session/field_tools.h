// SPDX-License-Identifier: GPL-3.0-or-later
// The field tools, on the whole route when one is open (and has geometry)
// and on the curve the boxes describe otherwise: the side stake at a chainage
// and offset with its setting-out from the station, the chainage and offset
// of a measured point, the stake-out table, and, on a route with its vertical
// alignment, design elevations and cut or fill. Each tool is written once,
// over the centre line (alignment/centre_line.h) it is given. One function
// answers all of them from the form, the route and the tools' queries, for
// the window's panel and the scripted driver alike; the answers are the texts
// to show, never a text of a value that is not a finite number. The tools
// read the boxes and write none.
#pragma once

#include "alignment/centre_line.h"
#include "chainage/curve_line.h"
#include "chainage/stake_table.h"
#include "numeric/expected.h"

#include <array>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quenlor {

class Form;
class Profile;
namespace section {
class Sections;
struct Section;
} // namespace section
class RouteModel;

// On a route with a template (section/sections.h) the side stakes' design
// elevations are on the template, with the superelevation and widening at
// their chainage; elsewhere the stake table's typed cross falls give them.
struct SideStakeQuery {
  // None: only the side of the offset is shown. On a route, the occurrence
  // says which of the points a long chain break gives the chainage is meant.
  std::optional<Station> station;
  double offset = 0;            // right of the direction of travel positive
  std::optional<double> ground; // the ground's elevation there, for cut or fill
};
struct LocateQuery {
  double x = 0, y = 0;
};
struct TableQuery {
  Station start, end;
  double interval = 0;
  // How far the side stakes stand from the centre line (its size is taken).
  // None (路基边缘): at each side's edge of the template, with its widening
  // at the stake; on the centre line where there is no template.
  std::optional<double> offset = std::nullopt;
  StakeSpacing spacing = StakeSpacing::WholeStations;
  // Cross fall of each side, per cent, negative falling away from the
  // centre line (a normal crown -2): the side stakes' design elevations on
  // a line without a template. None: not known.
  std::optional<double> fallLeft{}, fallRight{};

  bool operator==(const TableQuery&) const = default;
};

// The word for the template's edges where the table's offset is typed.
inline constexpr std::string_view kAtEdges = "路基边缘";

// What the tools are asked; a tool without a query shows nothing.
struct FieldQueries {
  std::optional<SideStakeQuery> stake;
  std::optional<LocateQuery> locate;
  std::optional<TableQuery> table;
  Precision precision = Precision::Full;
};

// 左 for left of the direction of increasing chainage, 右 for right, nothing
// on the centre line.
std::string sideOf(double offset);

// 填 where the design lies above the ground, 挖 where below, with the height
// to the millimetre ("填 0.123"); nothing without both.
std::string cutOrFill(const std::optional<double>& design, const std::optional<double>& ground);

struct SideStakeAnswer {
  std::string side; // of the offset asked, even where no stake is found
  std::string x, y, azimuth, distance;
  std::string design, cutFill;     // on a route with its vertical alignment
  std::string problem;             // why there is no stake, when the route says
  std::string noDesign;            // why a stake of the route has no design level
  std::optional<PlanePoint> point; // where the plan marks it
};

// A foot beyond a route's end is said with the end and how far beyond it
// ("EP 355.012"); a second foot nearly as near (a hairpin's other leg) with
// its chainage and offset; an occurrence after the first as "(2)".
struct LocateAnswer {
  std::string k, chainage, offset, side;
  std::string occurrence; // "(2)" after a long break's chainage, else empty
  std::string beyond;     // "EP 355.012", "BP 12.5", or empty
  std::string alsoK, alsoChainage, alsoOffset, alsoOccurrence; // the second foot
  std::string note;                      // the beyond and the second foot, as the panel says them
  std::optional<PlanePoint> point, foot; // the measured point, its foot on the centre line
};

// The design level at the point of the boxes (the chainage in Text26 and
// the elevation in Text32), on a route with its vertical alignment.
struct PointLevelAnswer {
  std::string design, elevation, cutFill;
  std::string noDesign; // why the route has no design level there
};

// The line the tools work on: a route with geometry, else the curve of the
// boxes (none where a box holds a number beyond the double range).
struct ToolLine {
  std::shared_ptr<const CentreLine> line;
  const Profile* profile = nullptr;            // the route's vertical alignment, kept alive by line
  const section::Sections* sections = nullptr; // the route's cross section, likewise
  std::string source;                          // which line, as the panel names it
  // What it is made from, to tell whether a table made on it still holds.
  const RouteModel* route = nullptr;
  unsigned long routeVersion = 0;
  std::optional<BoxCurveLine::Inputs> curve;
};
ToolLine toolLine(const Form& form, const std::shared_ptr<const RouteModel>& route);

// The rows of a stake table, each made when it is asked for: the line's
// point at the stake, the side stakes at the offset on both sides, their
// setting-out from the station and, with a vertical alignment, their design
// elevations: on the template where the line has one (a side stake beyond
// the template's edge has none), else from the typed cross falls.
class StakeRows {
public:
  StakeRows(ToolLine line, std::unique_ptr<const StakePositions> positions,
            std::optional<double> offset, std::optional<double> fallLeft,
            std::optional<double> fallRight, std::optional<PlanePoint> station);
  std::size_t size() const { return positions_->size(); }
  StakeRow row(std::size_t index) const;
  // Whether more rows were asked for than kMaxStakeRows.
  bool truncated() const { return positions_->truncated(); }
  bool hasDesign() const;
  // Whether the side stakes stand off the centre (an offset of half a
  // millimetre or more).
  bool hasSides() const;

private:
  void addDesigns(StakeRow& row, double h, const std::optional<section::Section>& section) const;

  ToolLine line_;
  std::unique_ptr<const StakePositions> positions_;
  std::optional<double> offset_;
  std::optional<double> fallLeft_, fallRight_;
  std::optional<PlanePoint> station_;
};

struct TableAnswer {
  std::shared_ptr<const StakeRows> rows; // none: no table
  // What is said of the table, in English (the driver's standard error) and
  // Chinese: why there is none, an end beyond the route's where the table
  // stops at BP or EP, the rows without a design level beyond the profile.
  std::vector<Failure> remarks;
  // How many rows (where a table at its row limit stops), then the remarks;
  // or why there is none.
  std::string note;

  std::size_t size() const { return rows ? rows->size() : 0; }
  StakeRow row(std::size_t index) const { return rows->row(index); }
  bool hasDesign() const { return rows && rows->hasDesign(); }
  bool hasSides() const { return rows && rows->hasSides(); }
  // The table's columns: its design elevations where it has them, its side
  // stakes where they stand off the centre.
  const std::vector<StakeColumn>& columns() const { return stakeColumns(hasDesign(), hasSides()); }
};

struct FieldAnswers {
  std::string source; // which line the tools work on
  SideStakeAnswer stake;
  LocateAnswer locate;
  TableAnswer table;
  PointLevelAnswer pointLevel;
};

// With `route` the tools work on it (when it has geometry), else on the
// boxes' curve. A table keeps the line it is made from.
FieldAnswers answerFieldTools(const Form& form, const std::shared_ptr<const RouteModel>& route,
                              const FieldQueries& queries);
FieldAnswers answerFieldTools(const Form& form, const ToolLine& line, const FieldQueries& queries);

// The table as tab-separated text: a line naming the precision, the
// headings, then one line a stake, written row by row.
void writeStakeTable(std::ostream& out, const TableAnswer& table, Precision precision);

// The field tools as the window's panel holds them: the texts typed into the
// tools' own boxes and their switches, and the answers. Chainages are read as
// surveyors write them (K1+234.567 or 1234.567, a long chain break's second
// occurrence with "(2)" after it), the other numbers as the boxes of the form
// read theirs. A table is made again only when the line or its own inputs
// change, so a keystroke elsewhere leaves it as it is.
class FieldToolsModel {
public:
  enum class Input {
    StakeChainage,
    StakeOffset,
    StakeGround,
    PointX,
    PointY,
    TableStart,
    TableEnd,
    TableInterval,
    TableOffset,
    TableFallLeft,
    TableFallRight
  };
  static constexpr std::size_t kInputCount = 11;

  void setText(Input input, std::string text) { texts_[std::size_t(input)] = std::move(text); }
  const std::string& text(Input input) const { return texts_[std::size_t(input)]; }
  void setSpacing(StakeSpacing spacing) { spacing_ = spacing; }
  StakeSpacing spacing() const { return spacing_; }
  void setPrecision(Precision precision) { precision_ = precision; }
  Precision precision() const { return precision_; }
  // The route the tools work on, or none for the boxes' curve.
  void setRoute(std::shared_ptr<const RouteModel> route) { route_ = std::move(route); }

  // The queries the texts make: a tool whose needed texts are empty, or hold
  // no chainage where one is needed, asks nothing. The table's offset empty
  // or 路基边缘 stands for the template's edges; the table's falls are read
  // as section_edits.h reads the template's ("2%" falls away from the
  // centre line, a plain number is signed).
  FieldQueries queries() const;

  // Answers the queries for the form as it now stands.
  const FieldAnswers& update(const Form& form);
  const FieldAnswers& answers() const { return answers_; }
  // Counts the tables made: a view shows its rows anew only when it changes.
  unsigned long tableVersion() const { return tableVersion_; }

private:
  std::optional<double> number(Input input) const;

  std::array<std::string, kInputCount> texts_{};
  StakeSpacing spacing_ = StakeSpacing::WholeStations;
  Precision precision_ = Precision::Field;
  std::shared_ptr<const RouteModel> route_;
  FieldAnswers answers_;
  unsigned long tableVersion_ = 0;
  // What the table on show was made from.
  struct TableSource {
    const RouteModel* route;
    unsigned long routeVersion;
    std::optional<BoxCurveLine::Inputs> curve;
    std::optional<TableQuery> query;
    std::optional<PlanePoint> station;
    bool operator==(const TableSource&) const = default;
  };
  std::optional<TableSource> tableMadeFrom_;
};

} // namespace quenlor
