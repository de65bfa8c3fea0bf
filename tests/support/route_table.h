// SPDX-License-Identifier: GPL-3.0-or-later
// The route panel's tables as data: a cell's text by its heading, and every
// typed cell of a table taking a text into its own field.
#pragma once

#include "session/route_columns.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quenlor::test {

inline std::string cell(const RouteModel& model, const RouteTable& table, std::size_t row,
                        std::string_view heading) {
  return table.columns[*columnOf(table, heading)].text(model, row);
}

// For each typed cell of the route d: the editor's own text changes nothing;
// typedFor(heading) gives a text and what the editor then starts from; no
// other typed cell of the row changes but those moves(column, other) names.
template <class TypedFor, class Moves>
void expectEveryTypedCellTakesItsText(const RouteTable& table, const route::RouteDefinition& d,
                                      TypedFor typedFor, Moves moves) {
  RouteModel model(d);
  for (std::size_t row = 0; row < table.rows(model); ++row)
    for (const RouteColumn& column : table.columns) {
      if (!isEditable(column, model, row))
        continue;
      SCOPED_TRACE(std::string(column.heading) + " row " + std::to_string(row));
      const auto othersOf = [&] {
        std::vector<std::string> texts;
        for (const RouteColumn& other : table.columns)
          if (&other != &column && isEditable(other, model, row) && !moves(column, other))
            texts.push_back(editTextOf(other, model, row));
        return texts;
      };
      const std::vector<std::string> others = othersOf();
      model.edit(std::get<RouteChange>(column.apply(model, row, editTextOf(column, model, row))));
      EXPECT_EQ(model.definition(), d);
      const std::pair<std::string, std::string> typed = typedFor(column.heading);
      model.edit(std::get<RouteChange>(column.apply(model, row, typed.first)));
      EXPECT_EQ(editTextOf(column, model, row), typed.second);
      EXPECT_EQ(othersOf(), others);
      model.replace(d);
    }
}

} // namespace quenlor::test
