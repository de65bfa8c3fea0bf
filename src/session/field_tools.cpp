// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/field_tools.h"

#include "numeric/chainage_text.h"
#include "numeric/number_text.h"
#include "session/route_of_boxes.h"

#include <cmath>

namespace quenlor {
namespace {

SideStakeAnswer answerStake(const Form& form, const RouteInputs* route,
                            const std::optional<SideStakeQuery>& query, Precision precision) {
  SideStakeAnswer answer;
  if (!query)
    return answer;
  answer.side = sideOf(query->offset);
  const auto stake =
      route && query->chainage ? sideStake(*route, *query->chainage, query->offset) : std::nullopt;
  if (!stake)
    return answer;
  answer.point = stake;
  answer.x = lengthText(stake->x, precision);
  answer.y = lengthText(stake->y, precision);
  if (const auto station = stationOfBoxes(form)) {
    const SetOut s = setOutFrom(*station, *stake);
    answer.azimuth = angleText(s.azimuthDms, precision);
    answer.distance = lengthText(s.distance, precision);
  }
  return answer;
}

LocateAnswer answerLocate(const RouteInputs* route, const std::optional<LocateQuery>& query,
                          Precision precision) {
  LocateAnswer answer;
  const auto found = route && query ? locate(*route, query->x, query->y) : std::nullopt;
  if (!found || !std::isfinite(found->chainage) || !std::isfinite(found->offset))
    return answer;
  answer.k = chainageText(found->chainage);
  answer.chainage = lengthText(found->chainage, precision);
  answer.offset = lengthText(found->offset, precision);
  answer.side = sideOf(found->offset);
  answer.point = PlanePoint{query->x, query->y};
  answer.foot = sideStake(*route, found->chainage, 0);
  return answer;
}

StakeTableRequest requestOf(const Form& form, const TableQuery& q) {
  return stakeTableRequest(form, q.start, q.end, q.interval, q.offset, q.spacing);
}

TableAnswer answerTable(const Form& form, const RouteInputs* route,
                        const std::optional<TableQuery>& query) {
  TableAnswer answer;
  if (route && query) {
    answer.table = StakeTable(requestOf(form, *query));
    answer.route = *route;
  }
  answer.note = stakeTableNote(answer.table);
  return answer;
}

} // namespace

std::string sideOf(double offset) { return offset > 0 ? "右" : offset < 0 ? "左" : ""; }

FieldAnswers answerFieldTools(const Form& form, const FieldQueries& queries) {
  const auto route = routeOfBoxes(form);
  const RouteInputs* r = route ? &*route : nullptr;
  return {answerStake(form, r, queries.stake, queries.precision),
          answerLocate(r, queries.locate, queries.precision), answerTable(form, r, queries.table)};
}

double FieldToolsModel::number(Input input) const { return parseNumber(text(input)); }

FieldQueries FieldToolsModel::queries() const {
  const auto given = [this](Input input) { return !text(input).empty(); };
  const auto chainage = [this](Input input) { return parseChainage(text(input)); };
  FieldQueries q;
  q.precision = precision_;
  q.stake = SideStakeQuery{chainage(Input::StakeChainage), number(Input::StakeOffset)};
  if (given(Input::PointX) && given(Input::PointY))
    q.locate = LocateQuery{number(Input::PointX), number(Input::PointY)};
  const auto start = chainage(Input::TableStart);
  const auto end = chainage(Input::TableEnd);
  if (start && end)
    q.table = TableQuery{*start, *end, number(Input::TableInterval), number(Input::TableOffset),
                         spacing_};
  return q;
}

const FieldAnswers& FieldToolsModel::update(const Form& form) {
  FieldQueries q = queries();
  std::optional<std::pair<RouteInputs, StakeTableRequest>> source;
  if (q.table)
    if (const auto route = routeOfBoxes(form))
      source = std::pair(*route, requestOf(form, *q.table));
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
