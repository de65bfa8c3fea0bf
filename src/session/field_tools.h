// SPDX-License-Identifier: GPL-3.0-or-later
// The field tools beside the boxes, on the route the boxes describe: the side
// stake at a chainage and offset with its setting-out from the station, the
// chainage and offset of a measured point, and the stake-out table. One
// function answers all three from the form and the tools' queries, for the
// window's panel and the scripted driver alike; the answers are the texts to
// show, and never a text of a value that is not a finite number. The tools
// read the boxes and write none.
#pragma once

#include "chainage/stake_table.h"

#include <array>
#include <optional>
#include <string>

namespace quenlor {

class Form;

struct SideStakeQuery {
  std::optional<double> chainage; // none: only the side of the offset is shown
  double offset = 0;              // right of the direction of travel positive
};
struct LocateQuery {
  double x = 0, y = 0;
};
struct TableQuery {
  double start = 0, end = 0, interval = 0, offset = 0;
  StakeSpacing spacing = StakeSpacing::WholeStations;
};

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

struct SideStakeAnswer {
  std::string side; // of the offset asked, even where no stake is found
  std::string x, y, azimuth, distance;
  std::optional<PlanePoint> point; // where the plan marks it
};

struct LocateAnswer {
  std::string k, chainage, offset, side;
  std::optional<PlanePoint> point, foot; // the measured point and its foot on the centre line
};

// The table and the route its rows are made from, one row at a time.
struct TableAnswer {
  StakeTable table;
  RouteInputs route;
  std::string note; // how many rows, or where a table at its row limit stops

  StakeRow row(std::size_t index) const { return stakeRow(route, table, index); }
};

struct FieldAnswers {
  SideStakeAnswer stake;
  LocateAnswer locate;
  TableAnswer table;
};

FieldAnswers answerFieldTools(const Form& form, const FieldQueries& queries);

// The field tools as the window's panel holds them: the texts typed into the
// tools' own boxes and their switches, and the answers. Chainages are read as
// surveyors write them (K1+234.567 or 1234.567), the other numbers as the
// boxes of the form read theirs. A table is made again only when the route or
// its own inputs change, so a keystroke elsewhere leaves it as it is.
class FieldToolsModel {
public:
  enum class Input {
    StakeChainage,
    StakeOffset,
    PointX,
    PointY,
    TableStart,
    TableEnd,
    TableInterval,
    TableOffset
  };
  static constexpr std::size_t kInputCount = 8;

  void setText(Input input, std::string text) { texts_[std::size_t(input)] = std::move(text); }
  const std::string& text(Input input) const { return texts_[std::size_t(input)]; }
  void setSpacing(StakeSpacing spacing) { spacing_ = spacing; }
  StakeSpacing spacing() const { return spacing_; }
  void setPrecision(Precision precision) { precision_ = precision; }
  Precision precision() const { return precision_; }

  // The queries the texts make: a tool whose needed texts are empty, or hold
  // no chainage where one is needed, asks nothing.
  FieldQueries queries() const;

  // Answers the queries for the form as it now stands.
  const FieldAnswers& update(const Form& form);
  const FieldAnswers& answers() const { return answers_; }
  // Counts the tables made: a view shows its rows anew only when it changes.
  unsigned long tableVersion() const { return tableVersion_; }

private:
  double number(Input input) const;

  std::array<std::string, kInputCount> texts_{};
  StakeSpacing spacing_ = StakeSpacing::WholeStations;
  Precision precision_ = Precision::Field;
  FieldAnswers answers_;
  bool answered_ = false;
  unsigned long tableVersion_ = 0;
  // What the table on show was made from.
  std::optional<std::pair<RouteInputs, StakeTableRequest>> tableMadeFrom_;
};

} // namespace quenlor
