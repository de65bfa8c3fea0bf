// SPDX-License-Identifier: GPL-3.0-or-later
// The edits of a route, undone and done again: one history for every edit a
// window makes (cells, rows, pastes, imports, JDs written back from the
// boxes), whatever made it.
//
// A step keeps only what its edit changed: of each list of the definition
// (JDs, elements, chain breaks, grade points, stations) the one run of rows
// it replaced, before and after (the rows in common at either end left
// out), and of the rest (name, method, BP, EP, whatever else a definition
// holds) the values before and after where they changed; with the file the route belonged to before
// and after, where the edit changed that (an import makes a route of no file). So a history of a
// thousand edits of a route of ten thousand JDs holds a thousand runs of a few rows, and the one
// copy of the definition it compares each edit with.
//
// Recording an edit compares the definition with that copy (one pass over
// each list); undoing or redoing one gives the definition it goes back or on
// to, which the caller computes anew. A new edit after undoing drops what
// was undone; the oldest steps go beyond kMostSteps. An edit that changed
// nothing is no step.
#pragma once

#include "files/read_file.h"
#include "route/definition.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quenlor {

// The file a route belongs to: its path (empty: none) and its stamp when
// last read or written.
struct RouteFileState {
  std::string path;
  std::optional<FileStamp> stamp;
};

class RouteHistory {
public:
  static constexpr std::size_t kMostSteps = 1000;

  // A route opened, restored or closed: no edit to undo.
  void reset(route::RouteDefinition definition);

  // After an edit: a step from the definition last seen to `now`, said as
  // `what` (a few words for the window's buttons), and the file before and
  // after where the edit changed it. False when nothing changed.
  bool record(const route::RouteDefinition& now, std::string what,
              std::optional<std::pair<RouteFileState, RouteFileState>> file = std::nullopt);

  bool canUndo() const { return done_ > 0; }
  bool canRedo() const { return done_ < steps_.size(); }
  // What the next undo or redo does; empty when there is none.
  const std::string& undoText() const;
  const std::string& redoText() const;
  // How many steps are done since the reset, those dropped for their age
  // included: a position to come back to (the one saved).
  std::size_t position() const { return dropped_ + done_; }

  // The definition an undo goes back to, or a redo on to, and the file then
  // (where the step changed it); nothing when there is no step to take.
  struct Move {
    route::RouteDefinition definition;
    std::optional<RouteFileState> file;
  };
  std::optional<Move> undo();
  std::optional<Move> redo();

  // The definition as the history last saw it.
  const route::RouteDefinition& current() const { return seen_; }

private:
  // A run of rows replaced: rows [at, at + before.size()) became `after`.
  template <class Row> struct Run {
    std::size_t at = 0;
    std::vector<Row> before, after;
  };
  // The rest: a definition whose four lists above are empty.
  using Rest = route::RouteDefinition;
  static Rest restOf(const route::RouteDefinition& definition);
  struct Step {
    std::string what;
    Run<route::Jd> jds;
    Run<route::ElementRow> elements;
    Run<route::ChainBreak> breaks;
    Run<route::GradePointRow> gradePoints;
    std::optional<std::pair<Rest, Rest>> rest;
    std::optional<std::pair<RouteFileState, RouteFileState>> file;
  };

  template <class Row>
  static Run<Row> runOf(const std::vector<Row>& was, const std::vector<Row>& now);
  template <class Row> static void apply(std::vector<Row>& rows, const Run<Row>& run, bool forward);
  void apply(const Step& step, bool forward);

  route::RouteDefinition seen_;
  std::vector<Step> steps_;
  std::size_t done_ = 0;
  std::size_t dropped_ = 0;
};

} // namespace quenlor
