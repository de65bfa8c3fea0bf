// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/field_tools.h"

#include "numeric/number_text.h"
#include "session/route_of_boxes.h"

#include <cmath>

namespace quenlor {
namespace {

std::string shown(double value) { return std::isfinite(value) ? formatNumber(value) : ""; }

SideStakeAnswer answerStake(const Form& form, const RouteInputs* route,
                            const std::optional<SideStakeQuery>& query) {
  SideStakeAnswer answer;
  if (!query)
    return answer;
  answer.side = sideOf(query->offset);
  const auto stake =
      route && query->chainage ? sideStake(*route, *query->chainage, query->offset) : std::nullopt;
  if (!stake)
    return answer;
  const SetOut s = setOutFromStationBoxes(form, stake->x, stake->y);
  answer.x = shown(stake->x);
  answer.y = shown(stake->y);
  answer.azimuth = shown(s.azimuthDms);
  answer.distance = shown(s.distance);
  return answer;
}

LocateAnswer answerLocate(const RouteInputs* route, const std::optional<LocateQuery>& query) {
  LocateAnswer answer;
  const auto found = route && query ? locate(*route, query->x, query->y) : std::nullopt;
  if (!found)
    return answer;
  answer.k = kNotation(found->chainage);
  answer.chainage = shown(found->chainage);
  answer.offset = shown(found->offset);
  answer.side = sideOf(found->offset);
  return answer;
}

TableAnswer answerTable(const Form& form, const RouteInputs* route,
                        const std::optional<TableQuery>& query) {
  TableAnswer answer;
  if (route && query)
    answer.table = stakeTable(
        *route, stakeTableRequest(form, query->start, query->end, query->interval, query->offset));
  answer.note = answer.table.truncated ? "只列前 " + std::to_string(kMaxStakeRows) + " 行"
                                       : std::to_string(answer.table.rows.size()) + " 行";
  return answer;
}

} // namespace

std::string sideOf(double offset) { return offset > 0 ? "右" : offset < 0 ? "左" : ""; }

FieldAnswers answerFieldTools(const Form& form, const FieldQueries& queries) {
  const auto route = routeOfBoxes(form);
  const RouteInputs* r = route ? &*route : nullptr;
  return {answerStake(form, r, queries.stake), answerLocate(r, queries.locate),
          answerTable(form, r, queries.table)};
}

double FieldToolsModel::number(Input input) const { return parseNumber(text(input)); }

FieldQueries FieldToolsModel::queries() const {
  const auto given = [this](Input input) { return !text(input).empty(); };
  FieldQueries q;
  q.stake = SideStakeQuery{given(Input::StakeChainage) ? std::optional(number(Input::StakeChainage))
                                                       : std::nullopt,
                           number(Input::StakeOffset)};
  if (given(Input::PointX) && given(Input::PointY))
    q.locate = LocateQuery{number(Input::PointX), number(Input::PointY)};
  if (given(Input::TableStart) && given(Input::TableEnd))
    q.table = TableQuery{number(Input::TableStart), number(Input::TableEnd),
                         number(Input::TableInterval), number(Input::TableOffset)};
  return q;
}

const FieldAnswers& FieldToolsModel::update(const Form& form) {
  FieldQueries q = queries();
  std::optional<TableSource> source;
  if (q.table)
    if (const auto route = routeOfBoxes(form))
      source = TableSource{*route, stakeTableRequest(form, q.table->start, q.table->end,
                                                     q.table->interval, q.table->offset)};
  const bool sameTable = answered_ && source == tableMadeFrom_;
  if (sameTable)
    q.table.reset();
  TableAnswer table = std::move(answers_.table);
  answers_ = answerFieldTools(form, q);
  if (sameTable)
    answers_.table = std::move(table);
  else
    ++tableVersion_;
  tableMadeFrom_ = std::move(source);
  answered_ = true;
  return answers_;
}

} // namespace quenlor
