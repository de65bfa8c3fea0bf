// SPDX-License-Identifier: GPL-3.0-or-later
// The history of a route's edits: undone to the start and done again to the
// end over random edits, each step only what its edit changed.
#include "session/route_edits.h"
#include "session/route_history.h"
#include "support/random_route.h"

#include <gtest/gtest.h>

namespace quenlor {
namespace {

using route::RouteDefinition;

// A random edit of the kinds the tables make: a cell, rows inserted or
// erased, BP moved, the chain breaks or grade points set anew.
void randomEdit(RouteDefinition& d, test::RandomRoute& random) {
  const auto index = [&](std::size_t size) { return std::size_t(random.uniform(0, double(size))); };
  switch (index(6)) {
  case 0:
    if (!d.jds.empty())
      d.jds[index(d.jds.size())].radius = random.uniform(100, 3000);
    break;
  case 1: {
    const route::Jd jd{"JD" + std::to_string(index(1000)),
                       random.uniform(0, 1e6),
                       random.uniform(0, 1e6),
                       500,
                       0,
                       std::nullopt};
    d.jds.insert(d.jds.begin() + std::ptrdiff_t(index(d.jds.size() + 1)), 3, jd);
    break;
  }
  case 2:
    if (!d.jds.empty())
      d.jds.erase(d.jds.begin() + std::ptrdiff_t(index(d.jds.size())));
    break;
  case 3: d.start.x += 1; break;
  case 4: d.breaks = {{"DL1", random.uniform(1000, 2000), random.uniform(1000, 2000)}}; break;
  default: d.gradePoints.push_back({"SJD", random.uniform(0, 5000), 100, 0}); break;
  }
}

TEST(RouteHistory, UndoesToTheStartAndRedoesToTheEnd) {
  for (std::uint64_t seed = 1; seed <= 20; ++seed) {
    SCOPED_TRACE(seed);
    test::RandomRoute random(seed);
    RouteDefinition d = random.make(12);
    RouteHistory history;
    history.reset(d);
    std::vector<RouteDefinition> seen{d};
    for (int edit = 0; edit < 30; ++edit) {
      randomEdit(d, random);
      if (history.record(d, "edit " + std::to_string(edit)))
        seen.push_back(d);
      else
        EXPECT_EQ(d, seen.back()); // nothing changed: no step
    }
    EXPECT_EQ(history.position(), seen.size() - 1);
    for (std::size_t k = seen.size() - 1; k > 0; --k) {
      const auto back = history.undo();
      ASSERT_TRUE(back);
      EXPECT_EQ(back->definition, seen[k - 1]) << k;
    }
    EXPECT_FALSE(history.undo());
    for (std::size_t k = 1; k < seen.size(); ++k)
      EXPECT_EQ(history.redo()->definition, seen[k]) << k;
    EXPECT_FALSE(history.redo());
    // A new edit after an undo drops what was undone.
    history.undo();
    d = seen[seen.size() - 2];
    d.name = "another";
    EXPECT_TRUE(history.record(d, "name"));
    EXPECT_FALSE(history.canRedo());
    EXPECT_EQ(history.undoText(), "name");
    EXPECT_EQ(history.undo()->definition, seen[seen.size() - 2]);
  }
}

// A cell of one JD in ten thousand: the step holds that JD alone, before
// and after, and the history nothing but it and the one copy.
TEST(RouteHistory, AStepHoldsWhatItsEditChanged) {
  RouteDefinition d = test::RandomRoute(7).make(10000);
  RouteHistory history;
  history.reset(d);
  d.jds[5000].radius += 1;
  ASSERT_TRUE(history.record(d, "R"));
  d.jds.erase(d.jds.begin() + 100);
  ASSERT_TRUE(history.record(d, "erase"));
  EXPECT_EQ(history.current(), d);
  const auto back = history.undo();
  EXPECT_EQ(back->definition.jds.size(), 10000u);
  EXPECT_EQ(back->definition.jds[5000].radius, d.jds[4999].radius);
  EXPECT_EQ(history.undoText(), "R");
  EXPECT_EQ(history.redoText(), "erase");
}

// The file an import left and the one it came over come back with the
// route.
TEST(RouteHistory, AnImportsFileComesBackWithItsUndo) {
  RouteDefinition d = test::RandomRoute(3).make(4);
  RouteHistory history;
  history.reset(d);
  const RouteDefinition imported = test::RandomRoute(4).make(6);
  ASSERT_TRUE(history.record(
      imported, "import",
      std::pair(RouteFileState{"/tmp/a.csv", std::nullopt}, RouteFileState{"", std::nullopt})));
  const auto back = history.undo();
  EXPECT_EQ(back->definition, d);
  ASSERT_TRUE(back->file);
  EXPECT_EQ(back->file->path, "/tmp/a.csv");
  EXPECT_EQ(history.redo()->file->path, "");
}

} // namespace
} // namespace quenlor
