// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/field_tools.h"

#include "form/form.h"
#include "geometry/angle_text.h"
#include "numeric/chainage_text.h"
#include "numeric/number_text.h"
#include "route/stakes.h"
#include "session/curve_of_boxes.h"
#include "session/route_model.h"

#include <cmath>
#include <ostream>

namespace quenlor {
namespace {

constexpr double kPerCent = 100;

std::string text(const std::optional<double>& v, Precision precision) {
  return v ? lengthText(*v, precision) : std::string();
}

// Why a chainage gives no point of the line, as the panel says it.
std::string noPointText(const Station& station) {
  return stationText(station) + " 不对应路线上的点（在短链之中、超出路线，或没有这一次出现）";
}

// What a stake of the table is, as the table shows it.
std::string kindText(const CentreLine& line, const StakePosition& p) {
  switch (p.kind) {
  case StakeKind::BreakBehind: return "断链前";
  case StakeKind::BreakAhead: return "断链后";
  default: return line.pointName(p.kind, p.index);
  }
}

// ----- the answers -----

SideStakeAnswer answerStake(const Form& form, const ToolLine& line,
                            const std::optional<SideStakeQuery>& query, Precision precision) {
  SideStakeAnswer answer;
  if (!query)
    return answer;
  answer.side = sideOf(query->offset);
  if (!query->station || !line.line)
    return answer;
  const auto measure = line.line->measureOf(*query->station);
  if (!measure) {
    answer.problem = noPointText(*query->station);
    return answer;
  }
  const auto at = line.line->pointAt(*measure);
  if (!at)
    return answer;
  const PlanePoint stake = sideStake(*at, query->offset);
  if (const auto level = line.profile ? line.profile->at(*measure) : std::nullopt) {
    // The side stake's design needs the cross fall, which only the table
    // knows: the tool shows the centre line's.
    answer.design = lengthText(level->elevation, precision);
    answer.cutFill = cutOrFill(level->elevation, query->ground);
  }
  if (!isFinite(stake))
    return answer;
  answer.point = stake;
  answer.x = lengthText(stake.x, precision);
  answer.y = lengthText(stake.y, precision);
  if (const auto station = stationOfBoxes(form)) {
    const SetOut s = setOutFrom(*station, stake);
    answer.azimuth = angleText(s.azimuthDms, precision);
    answer.distance = lengthText(s.distance, precision);
  }
  return answer;
}

LocateAnswer answerLocate(const ToolLine& line, const std::optional<LocateQuery>& query,
                          Precision precision) {
  LocateAnswer answer;
  if (!query || !line.line)
    return answer;
  const PlanePoint point{query->x, query->y};
  const auto found = line.line->locate(point);
  if (!found || !std::isfinite(found->station.chainage) || !std::isfinite(found->offset))
    return answer;
  answer.k = stationText(found->station);
  answer.chainage = lengthText(found->station.chainage, precision);
  answer.offset = lengthText(found->offset, precision);
  answer.side = sideOf(found->offset);
  answer.point = point;
  answer.foot = found->foot.point;
  return answer;
}

std::string tableNote(const StakeRows& rows) {
  const std::string count = std::to_string(rows.size()) + " 行";
  if (!rows.truncated() || rows.size() == 0)
    return count;
  return "只列到 " + rows.row(rows.size() - 1).label + "，共 " + count;
}

TableAnswer answerTable(const Form& form, const ToolLine& line,
                        const std::optional<TableQuery>& query) {
  TableAnswer answer;
  if (!query)
    return answer;
  if (!line.line) {
    answer.note = "0 行";
    return answer;
  }
  const auto from = line.line->measureOf(query->start);
  const auto to = line.line->measureOf(query->end);
  if (!from || !to) {
    answer.note = noPointText(from ? query->end : query->start);
    return answer;
  }
  const StakeRequest request{*from, *to, query->interval, query->spacing};
  answer.rows =
      std::make_shared<StakeRows>(line, line.line->stakes(request), query->offset, query->fallLeft,
                                  query->fallRight, stationOfBoxes(form));
  answer.note = tableNote(*answer.rows);
  return answer;
}

PointLevelAnswer answerPointLevel(const Form& form, const ToolLine& line, Precision precision) {
  PointLevelAnswer answer;
  if (!line.profile || !line.profile->hasLine() || form.text(Box::Text26).empty())
    return answer;
  const double k = form.number(Box::Text26);
  if (!std::isfinite(k))
    return answer;
  const auto measure = line.line->measureOf({k, 0});
  const auto level = measure ? line.profile->at(*measure) : std::nullopt;
  if (!level)
    return answer;
  const double elevation = form.number(Box::Text32);
  const std::optional<double> ground = form.text(Box::Text32).empty() || !std::isfinite(elevation)
                                           ? std::nullopt
                                           : std::optional(elevation);
  answer.design = lengthText(level->elevation, precision);
  answer.elevation = text(ground, precision);
  answer.cutFill = cutOrFill(level->elevation, ground);
  return answer;
}

} // namespace

std::string sideOf(double offset) { return offset > 0 ? "右" : offset < 0 ? "左" : ""; }

std::string cutOrFill(const std::optional<double>& design, const std::optional<double>& ground) {
  if (!design || !ground || !std::isfinite(*design) || !std::isfinite(*ground))
    return {};
  const double difference = *design - *ground;
  const std::string height = lengthText(std::fabs(difference), Precision::Field);
  if (height == "0.000")
    return "0.000";
  return (difference > 0 ? "填 " : "挖 ") + height;
}

ToolLine toolLine(const Form& form, const std::shared_ptr<const RouteModel>& route) {
  ToolLine line;
  if (route && route->route().hasGeometry()) {
    line.line = std::shared_ptr<const CentreLine>(route, &route->route());
    line.profile = &route->profile();
    line.source = "按路线 " + route->definition().name;
    line.route = route.get();
    line.routeVersion = route->version();
    return line;
  }
  line.source = "按输入框的交点曲线";
  line.curve = curveLineOfBoxes(form);
  if (line.curve)
    line.line = std::make_shared<const BoxCurveLine>(*line.curve);
  return line;
}

StakeRows::StakeRows(ToolLine line, std::unique_ptr<const StakePositions> positions, double offset,
                     std::optional<double> fallLeft, std::optional<double> fallRight,
                     std::optional<PlanePoint> station)
    : line_(std::move(line)), positions_(std::move(positions)), offset_(offset),
      fallLeft_(fallLeft), fallRight_(fallRight), station_(station) {}

bool StakeRows::hasDesign() const { return line_.profile && line_.profile->hasLine(); }

StakeRow StakeRows::row(std::size_t index) const {
  const StakePosition p = positions_->at(index);
  StakeRow r;
  r.chainage = p.station.chainage;
  r.label = stationText(p.station);
  r.mainPoint = kindText(*line_.line, p);
  r.centre = line_.line->pointAt(p.measure);
  if (!r.centre)
    return r;
  addSideStakesAndSettingOut(r, offset_, station_);
  if (const auto level = line_.profile ? line_.profile->at(p.measure) : std::nullopt) {
    r.design = level->elevation;
    const double side = std::fabs(offset_);
    if (fallLeft_)
      r.leftDesign = level->elevation - side * *fallLeft_ / kPerCent;
    if (fallRight_)
      r.rightDesign = level->elevation - side * *fallRight_ / kPerCent;
  }
  return r;
}

FieldAnswers answerFieldTools(const Form& form, const ToolLine& line, const FieldQueries& queries) {
  FieldAnswers a;
  a.source = line.source;
  a.stake = answerStake(form, line, queries.stake, queries.precision);
  a.locate = answerLocate(line, queries.locate, queries.precision);
  a.table = answerTable(form, line, queries.table);
  a.pointLevel = answerPointLevel(form, line, queries.precision);
  return a;
}

FieldAnswers answerFieldTools(const Form& form, const std::shared_ptr<const RouteModel>& route,
                              const FieldQueries& queries) {
  return answerFieldTools(form, toolLine(form, route), queries);
}

std::optional<double> FieldToolsModel::number(Input input) const {
  if (text(input).empty())
    return std::nullopt;
  const double value = parseNumber(text(input));
  return std::isfinite(value) ? std::optional(value) : std::nullopt;
}

FieldQueries FieldToolsModel::queries() const {
  FieldQueries q;
  q.precision = precision_;
  q.stake = SideStakeQuery{route::parseStation(text(Input::StakeChainage)),
                           number(Input::StakeOffset).value_or(0), number(Input::StakeGround)};
  const auto x = number(Input::PointX), y = number(Input::PointY);
  if (x && y)
    q.locate = LocateQuery{*x, *y};
  const auto start = route::parseStation(text(Input::TableStart));
  const auto end = route::parseStation(text(Input::TableEnd));
  if (start && end)
    q.table = TableQuery{*start,
                         *end,
                         number(Input::TableInterval).value_or(0),
                         number(Input::TableOffset).value_or(0),
                         spacing_,
                         number(Input::TableFallLeft),
                         number(Input::TableFallRight)};
  return q;
}

const FieldAnswers& FieldToolsModel::update(const Form& form) {
  FieldQueries q = queries();
  const ToolLine line = toolLine(form, route_);
  TableSource source{line.route, line.routeVersion, std::nullopt, q.table, std::nullopt};
  if (q.table) {
    source.curve = line.curve;
    source.station = stationOfBoxes(form);
  }
  const bool sameTable = tableMadeFrom_ == source;
  if (sameTable)
    q.table.reset();
  TableAnswer table = std::move(answers_.table);
  answers_ = answerFieldTools(form, line, q);
  if (sameTable)
    answers_.table = std::move(table);
  else
    ++tableVersion_;
  tableMadeFrom_ = std::move(source);
  return answers_;
}

void writeStakeTable(std::ostream& out, const TableAnswer& table, Precision precision) {
  out << "精度\t"
      << (precision == Precision::Field ? "长度到毫米，角度到整秒" : "全部位数，角度为度.分秒")
      << '\n';
  const auto& columns = stakeColumns(table.hasDesign());
  for (std::size_t c = 0; c < columns.size(); ++c)
    out << columns[c].heading << (c + 1 < columns.size() ? '\t' : '\n');
  for (std::size_t row = 0; row < table.size(); ++row) {
    const StakeRow r = table.row(row);
    for (std::size_t c = 0; c < columns.size(); ++c)
      out << columns[c].cell(r, precision) << (c + 1 < columns.size() ? '\t' : '\n');
  }
}

} // namespace quenlor
