// SPDX-License-Identifier: GPL-3.0-or-later
// The field tools beside the boxes, on the route the boxes describe: the side
// stake at a chainage and offset with its setting-out from the station, the
// chainage and offset of a measured point, and the stake-out table. One
// function answers all three from the form and the tools' inputs, for the
// window's panel and the scripted driver alike; the answers are the texts to
// show. The tools read the boxes and write none.
#pragma once

#include "chainage/stakes.h"

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
};

// What the tools are asked; a tool without a query shows nothing.
struct FieldQueries {
  std::optional<SideStakeQuery> stake;
  std::optional<LocateQuery> locate;
  std::optional<TableQuery> table;
};

// 左 for left of the direction of increasing chainage, 右 for right, nothing
// on the centre line.
std::string sideOf(double offset);

struct SideStakeAnswer {
  std::string side; // of the offset asked, even where no stake is found
  std::string x, y, azimuth, distance;
};

struct LocateAnswer {
  std::string k, chainage, offset, side;
};

struct TableAnswer {
  StakeTable table;
  std::string note; // how many rows, or where the table stops
};

struct FieldAnswers {
  SideStakeAnswer stake;
  LocateAnswer locate;
  TableAnswer table;
};

// Any value that is not a finite number is shown as an empty text.
FieldAnswers answerFieldTools(const Form& form, const FieldQueries& queries);

// The field tools as the window's panel holds them: the texts typed into the
// tools' own boxes, read the way the boxes of the form are read, and the
// answers. A table is made again only when the route or its own inputs
// change, so a keystroke elsewhere leaves a long table as it is.
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

  // The queries the texts make: a tool whose needed texts are empty asks
  // nothing.
  FieldQueries queries() const;

  // Answers the queries for the form as it now stands.
  const FieldAnswers& update(const Form& form);
  const FieldAnswers& answers() const { return answers_; }
  // Counts the tables made: a view shows its rows anew only when it changes.
  unsigned long tableVersion() const { return tableVersion_; }

private:
  struct TableSource {
    RouteInputs route;
    StakeTableRequest request;
    bool operator==(const TableSource&) const = default;
  };
  double number(Input input) const;

  std::array<std::string, kInputCount> texts_{};
  FieldAnswers answers_;
  bool answered_ = false;
  unsigned long tableVersion_ = 0;
  std::optional<TableSource> tableMadeFrom_; // what the table on show was made from
};

} // namespace quenlor
