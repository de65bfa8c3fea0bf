// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/readout.h"

#include "chainage/stake_table.h"
#include "form/form.h"
#include "numeric/chainage_text.h"

#include <algorithm>
#include <cmath>

namespace quenlor {
namespace {

enum class Kind { Length, Chainage, Angle };

struct Source {
  std::string_view caption;
  Box box;
  Kind kind;
};

// Column by column: the curve, its main points, the point at the chainage.
constexpr Source kSources[] = {
    {"T", Box::Text11, Kind::Length},    {"E", Box::Text12, Kind::Length},
    {"L", Box::Text34, Kind::Length},    {"转角", Box::Text6, Kind::Angle},
    {"R", Box::Text9, Kind::Length},     {"ZH", Box::Text21, Kind::Chainage},
    {"HY", Box::Text22, Kind::Chainage}, {"QZ", Box::Text23, Kind::Chainage},
    {"YH", Box::Text24, Kind::Chainage}, {"HZ", Box::Text25, Kind::Chainage},
    {"X", Box::Text27, Kind::Length},    {"Y", Box::Text28, Kind::Length},
    {"方位", Box::Text29, Kind::Angle},  {"距离", Box::Text30, Kind::Length},
    {"高程", Box::Text32, Kind::Length},
};

std::string textOf(Kind kind, double value) {
  switch (kind) {
  case Kind::Length: return lengthText(value, Precision::Field);
  case Kind::Chainage: return chainageText(value);
  case Kind::Angle: return angleText(value, Precision::Field);
  }
  return {};
}

} // namespace

// A curve without a transition at one end starts at ZY (ZH and HY in one
// place) or ends at YZ (YH and HZ): one item named so, the other left blank.
void nameCircularEnds(std::vector<ReadoutItem>& items) {
  const auto at = [&](Box box) {
    return std::ranges::find_if(std::begin(kSources), std::end(kSources),
                                [box](const Source& s) { return s.box == box; }) -
           std::begin(kSources);
  };
  const auto merge = [&](Box kept, Box dropped, std::string_view name) {
    ReadoutItem &k = items[std::size_t(at(kept))], &d = items[std::size_t(at(dropped))];
    if (!k.text.empty() && k.text == d.text) {
      k.caption = name;
      d = {"", ""};
    }
  };
  merge(Box::Text21, Box::Text22, "ZY");
  merge(Box::Text25, Box::Text24, "YZ");
}

std::vector<ReadoutItem> formReadout(const Form& form) {
  std::vector<ReadoutItem> items;
  for (const Source& source : kSources) {
    const double value = form.number(source.box);
    const bool shown = !form.text(source.box).empty() && std::isfinite(value);
    items.push_back({source.caption, shown ? textOf(source.kind, value) : std::string()});
  }
  nameCircularEnds(items);
  return items;
}

} // namespace quenlor
