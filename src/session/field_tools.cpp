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

bool onRoute(const RouteModel* route) { return route && route->route().hasGeometry(); }

// Why a chainage gives no point of the route, as the panel says it.
std::string noPointText(const route::Station& station) {
  return route::stationText(station) +
         " 不对应路线上的点（在短链之中、超出路线，或没有这一次出现）";
}

// ----- the curve of the boxes -----

class BoxStakeRows final : public StakeRows {
public:
  BoxStakeRows(const BoxCurve& route, const StakeTableRequest& request)
      : route_(route), table_(request) {}
  std::size_t size() const override { return table_.size(); }
  StakeRow row(std::size_t index) const override { return stakeRow(route_, table_, index); }
  bool truncated() const override { return table_.truncated(); }
  bool hasDesign() const override { return false; }

private:
  BoxCurve route_;
  StakeTable table_;
};

// ----- a whole route -----

std::string kindText(route::StakeKind kind) {
  switch (kind) {
  case route::StakeKind::BreakBehind: return "断链前";
  case route::StakeKind::BreakAhead: return "断链后";
  default: return route::stakeKindName(kind);
  }
}

class RouteStakeRows final : public StakeRows {
public:
  RouteStakeRows(std::shared_ptr<const RouteModel> model, route::StakeList list,
                 const TableQuery& query, const std::optional<PlanePoint>& station)
      : model_(std::move(model)), list_(std::move(list)), query_(query), station_(station) {
    truncated_ = list_.truncated || list_.stakes.size() > kMaxStakeRows;
    if (list_.stakes.size() > kMaxStakeRows)
      list_.stakes.resize(kMaxStakeRows);
  }
  std::size_t size() const override { return list_.stakes.size(); }
  bool truncated() const override { return truncated_; }
  bool hasDesign() const override { return model_->profile().hasLine(); }

  StakeRow row(std::size_t index) const override {
    const route::StakePosition& p = list_.stakes[index];
    StakeRow r;
    r.chainage = p.station.chainage;
    r.label = route::stationText(p.station);
    r.mainPoint = kindText(p.kind);
    const auto at = model_->route().pointAt(p.measure);
    if (!at)
      return r;
    r.centre = CentrePoint{at->point, at->azimuth};
    addSideStakesAndSettingOut(r, query_.offset, station_);
    if (const auto level = model_->profile().at(p.measure)) {
      r.design = level->elevation;
      const double side = std::fabs(query_.offset);
      if (query_.fallLeft)
        r.leftDesign = level->elevation - side * *query_.fallLeft / kPerCent;
      if (query_.fallRight)
        r.rightDesign = level->elevation - side * *query_.fallRight / kPerCent;
    }
    return r;
  }

private:
  std::shared_ptr<const RouteModel> model_;
  route::StakeList list_;
  TableQuery query_;
  std::optional<PlanePoint> station_;
  bool truncated_ = false;
};

route::Spacing spacingOf(StakeSpacing spacing) {
  return spacing == StakeSpacing::WholeStations ? route::Spacing::WholeMultiples
                                                : route::Spacing::FromStart;
}

// ----- the answers -----

SideStakeAnswer answerStake(const Form& form, const RouteModel* model, const BoxCurve* boxes,
                            const std::optional<SideStakeQuery>& query, Precision precision) {
  SideStakeAnswer answer;
  if (!query)
    return answer;
  answer.side = sideOf(query->offset);
  if (!query->station)
    return answer;
  std::optional<PlanePoint> stake;
  if (onRoute(model)) {
    const auto at = model->route().pointAt(*query->station);
    if (!at) {
      answer.problem = noPointText(*query->station);
      return answer;
    }
    stake = route::sideStake(*at, query->offset);
    if (const auto level = model->profile().at(at->measure)) {
      // The side stake's design needs the cross fall, which only the table
      // knows: the tool shows the centre line's.
      answer.design = lengthText(level->elevation, precision);
      answer.cutFill = cutOrFill(level->elevation, query->ground);
    }
  } else if (boxes) {
    stake = sideStake(*boxes, query->station->chainage, query->offset);
  }
  if (!stake || !isFinite(*stake))
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

LocateAnswer answerLocate(const RouteModel* model, const BoxCurve* boxes,
                          const std::optional<LocateQuery>& query, Precision precision) {
  LocateAnswer answer;
  if (!query)
    return answer;
  const PlanePoint point{query->x, query->y};
  if (onRoute(model)) {
    const auto found = model->route().locate(point);
    if (!found || !std::isfinite(found->offset))
      return answer;
    answer.k = route::stationText(found->station);
    answer.chainage = lengthText(found->station.chainage, precision);
    answer.offset = lengthText(found->offset, precision);
    answer.side = sideOf(found->offset);
    answer.point = point;
    answer.foot = found->foot.point;
    return answer;
  }
  const auto found = boxes ? locate(*boxes, query->x, query->y) : std::nullopt;
  if (!found || !std::isfinite(found->chainage) || !std::isfinite(found->offset))
    return answer;
  answer.k = chainageText(found->chainage);
  answer.chainage = lengthText(found->chainage, precision);
  answer.offset = lengthText(found->offset, precision);
  answer.side = sideOf(found->offset);
  answer.point = point;
  answer.foot = sideStake(*boxes, found->chainage, 0);
  return answer;
}

std::string tableNote(const StakeRows& rows) {
  const std::string count = std::to_string(rows.size()) + " 行";
  if (!rows.truncated() || rows.size() == 0)
    return count;
  return "只列到 " + rows.row(rows.size() - 1).label + "，共 " + count;
}

TableAnswer answerTable(const Form& form, const std::shared_ptr<const RouteModel>& model,
                        const BoxCurve* boxes, const std::optional<TableQuery>& query) {
  TableAnswer answer;
  if (!query)
    return answer;
  if (onRoute(model.get())) {
    const auto request = [&]() -> route::Expected<route::StakeRequest> {
      const auto from = model->route().measureOf(query->start);
      const auto to = model->route().measureOf(query->end);
      if (!from)
        return route::Failure{noPointText(query->start)};
      if (!to)
        return route::Failure{noPointText(query->end)};
      return route::StakeRequest{*from, *to, query->interval, spacingOf(query->spacing)};
    }();
    if (!request) {
      answer.note = request.error();
      return answer;
    }
    answer.rows = std::make_shared<RouteStakeRows>(
        model, route::stakePositions(model->route(), *request), *query, stationOfBoxes(form));
  } else if (boxes) {
    answer.rows = std::make_shared<BoxStakeRows>(
        *boxes, stakeTableRequest(form, query->start.chainage, query->end.chainage, query->interval,
                                  query->offset, query->spacing));
  }
  answer.note = answer.rows ? tableNote(*answer.rows) : "0 行";
  return answer;
}

PointLevelAnswer answerPointLevel(const Form& form, const RouteModel* model, Precision precision) {
  PointLevelAnswer answer;
  if (!onRoute(model) || !model->profile().hasLine() || form.text(Box::Text26).empty())
    return answer;
  const double k = form.number(Box::Text26);
  if (!std::isfinite(k))
    return answer;
  const auto level = model->designAt({k, 0});
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

FieldAnswers answerFieldTools(const Form& form, const std::shared_ptr<const RouteModel>& route,
                              const FieldQueries& queries) {
  const RouteModel* model = route.get();
  const auto boxes = onRoute(model) ? std::nullopt : curveOfBoxes(form);
  const BoxCurve* b = boxes ? &*boxes : nullptr;
  FieldAnswers a;
  a.source = onRoute(model) ? "按路线 " + model->definition().name : "按输入框的交点曲线";
  a.stake = answerStake(form, model, b, queries.stake, queries.precision);
  a.locate = answerLocate(model, b, queries.locate, queries.precision);
  a.table = answerTable(form, route, b, queries.table);
  a.pointLevel = answerPointLevel(form, model, queries.precision);
  return a;
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
  q.stake = SideStakeQuery{parseStation(text(Input::StakeChainage)),
                           number(Input::StakeOffset).value_or(0), number(Input::StakeGround)};
  const auto x = number(Input::PointX), y = number(Input::PointY);
  if (x && y)
    q.locate = LocateQuery{*x, *y};
  const auto start = parseStation(text(Input::TableStart));
  const auto end = parseStation(text(Input::TableEnd));
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
  TableSource source{route_.get(), route_ ? route_->version() : 0, std::nullopt, q.table,
                     std::nullopt};
  if (q.table && !onRoute(route_.get())) {
    source.boxes = curveOfBoxes(form);
    source.request = stakeTableRequest(form, q.table->start.chainage, q.table->end.chainage,
                                       q.table->interval, q.table->offset, q.table->spacing);
  } else if (q.table) {
    source.request = StakeTableRequest{};
    source.request->station = stationOfBoxes(form);
  }
  const bool sameTable = tableMadeFrom_ == source;
  if (sameTable)
    q.table.reset();
  TableAnswer table = std::move(answers_.table);
  answers_ = answerFieldTools(form, route_, q);
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
