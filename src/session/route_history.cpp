// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/route_history.h"

#include <algorithm>

namespace quenlor {
namespace {

const std::string kNothing;

} // namespace

// Copied without the four lists, which the runs keep: any field a
// definition holds besides is part of the rest.
RouteHistory::Rest RouteHistory::restOf(const route::RouteDefinition& definition) {
  Rest rest = definition;
  rest.jds = {};
  rest.elements = {};
  rest.breaks = {};
  rest.gradePoints = {};
  return rest;
}

void RouteHistory::reset(route::RouteDefinition definition) {
  seen_ = std::move(definition);
  steps_.clear();
  done_ = 0;
  dropped_ = 0;
}

// The rows in common at the start and at the end (not overlapping) left
// out: what is left of each is the run.
template <class Row>
RouteHistory::Run<Row> RouteHistory::runOf(const std::vector<Row>& was,
                                           const std::vector<Row>& now) {
  const std::size_t shorter = std::min(was.size(), now.size());
  std::size_t head = 0;
  while (head < shorter && was[head] == now[head])
    ++head;
  std::size_t tail = 0;
  while (tail < shorter - head && was[was.size() - 1 - tail] == now[now.size() - 1 - tail])
    ++tail;
  Run<Row> run;
  run.at = head;
  run.before.assign(was.begin() + std::ptrdiff_t(head), was.end() - std::ptrdiff_t(tail));
  run.after.assign(now.begin() + std::ptrdiff_t(head), now.end() - std::ptrdiff_t(tail));
  return run;
}

template <class Row>
void RouteHistory::apply(std::vector<Row>& rows, const Run<Row>& run, bool forward) {
  const std::vector<Row>& out = forward ? run.before : run.after;
  const std::vector<Row>& in = forward ? run.after : run.before;
  const auto at = rows.begin() + std::ptrdiff_t(run.at);
  const auto overwritten = std::min(out.size(), in.size());
  std::copy(in.begin(), in.begin() + std::ptrdiff_t(overwritten), at);
  if (out.size() > in.size())
    rows.erase(at + std::ptrdiff_t(overwritten), at + std::ptrdiff_t(out.size()));
  else
    rows.insert(at + std::ptrdiff_t(overwritten), in.begin() + std::ptrdiff_t(overwritten),
                in.end());
}

bool RouteHistory::record(const route::RouteDefinition& now, std::string what,
                          std::optional<std::pair<RouteFileState, RouteFileState>> file) {
  Step step{std::move(what),
            runOf(seen_.jds, now.jds),
            runOf(seen_.elements, now.elements),
            runOf(seen_.breaks, now.breaks),
            runOf(seen_.gradePoints, now.gradePoints),
            std::nullopt,
            std::move(file)};
  Rest was = restOf(seen_), is = restOf(now);
  if (!(was == is))
    step.rest = std::pair(std::move(was), std::move(is));
  const auto same = [](const auto& run) { return run.before.empty() && run.after.empty(); };
  if (same(step.jds) && same(step.elements) && same(step.breaks) && same(step.gradePoints) &&
      !step.rest && !step.file)
    return false;
  steps_.erase(steps_.begin() + std::ptrdiff_t(done_), steps_.end());
  steps_.push_back(std::move(step));
  if (steps_.size() > kMostSteps) {
    steps_.erase(steps_.begin());
    ++dropped_;
  }
  done_ = steps_.size();
  apply(steps_.back(), true);
  return true;
}

void RouteHistory::apply(const Step& step, bool forward) {
  apply(seen_.jds, step.jds, forward);
  apply(seen_.elements, step.elements, forward);
  apply(seen_.breaks, step.breaks, forward);
  apply(seen_.gradePoints, step.gradePoints, forward);
  if (step.rest) {
    Rest r = forward ? step.rest->second : step.rest->first;
    r.jds = std::move(seen_.jds);
    r.elements = std::move(seen_.elements);
    r.breaks = std::move(seen_.breaks);
    r.gradePoints = std::move(seen_.gradePoints);
    seen_ = std::move(r);
  }
}

const std::string& RouteHistory::undoText() const {
  return canUndo() ? steps_[done_ - 1].what : kNothing;
}

const std::string& RouteHistory::redoText() const {
  return canRedo() ? steps_[done_].what : kNothing;
}

std::optional<RouteHistory::Move> RouteHistory::undo() {
  if (!canUndo())
    return std::nullopt;
  const Step& step = steps_[--done_];
  apply(step, false);
  return Move{seen_, step.file ? std::optional(step.file->first) : std::nullopt};
}

std::optional<RouteHistory::Move> RouteHistory::redo() {
  if (!canRedo())
    return std::nullopt;
  const Step& step = steps_[done_++];
  apply(step, true);
  return Move{seen_, step.file ? std::optional(step.file->second) : std::nullopt};
}

} // namespace quenlor
