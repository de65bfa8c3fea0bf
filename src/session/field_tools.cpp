// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/field_tools.h"

#include "form/form.h"
#include "geometry/angle_text.h"
#include "numeric/chainage_text.h"
#include "numeric/number_text.h"
#include "route/stakes.h"
#include "session/curve_of_boxes.h"
#include "session/route_model.h"
#include "session/section_edits.h"
#include "session/set_up.h"
#include "text/catalogue.h"

#include <cmath>
#include <ostream>

namespace quenlor {
namespace {

constexpr double kPerCent = 100;

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos)
    return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string text(const std::optional<double>& v, Precision precision) {
  return v ? lengthText(*v, precision) : std::string();
}

// Why a chainage gives no point of the line, as the panel says it: the
// chainage as typed.
std::string noPointText(const Station& station) {
  return chinese(Say::FieldNoPoint, {stationText(station, typedDecimals(station.chainage))});
}

// A station's occurrence after the first, as the driver reads it after a
// chainage: "(2)"; empty for the first.
std::string occurrenceText(const Station& station) {
  return station.occurrence > 0 ? "(" + std::to_string(station.occurrence + 1) + ")" : "";
}

// What a stake of the table is, as the table shows it.
std::string kindText(const CentreLine& line, const StakePosition& p) {
  switch (p.kind) {
  case StakeKind::BreakBehind: return chinese(Say::FieldStakeBreakBehind);
  case StakeKind::BreakAhead: return chinese(Say::FieldStakeBreakAhead);
  default: return line.pointName(p.kind, p.index);
  }
}

// The station the tools set out from: the route's in use, else the boxes'.
std::optional<PlanePoint> stationFor(const Form& form, const ToolLine& line) {
  return setUpOf(form, line.route ? &line.route->definition() : nullptr).station;
}

// ----- the answers -----

// The design elevation at an offset (right positive) on the line's
// template; the centre line's where the line has no template; nothing
// beyond the template's edge or without a profile.
std::optional<double> designOnTemplate(const ToolLine& line, double measure, double offset) {
  const auto level = line.profile ? line.profile->at(measure) : std::nullopt;
  if (!level)
    return std::nullopt;
  if (!line.sections || !line.sections->hasTemplate())
    return level->elevation;
  const auto section = line.sections->at(measure);
  const auto rise = section ? line.sections->riseAt(*section, offset) : std::nullopt;
  return rise ? std::optional(level->elevation + *rise) : std::nullopt;
}

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
  if (const auto design = designOnTemplate(line, *measure, query->offset)) {
    answer.design = lengthText(*design, precision);
    answer.cutFill = cutOrFill(*design, query->ground);
  } else if (const auto why = line.route ? line.route->whyNoDesign(*measure) : std::nullopt) {
    answer.noDesign = why->notice;
  }
  if (!isFinite(stake))
    return answer;
  answer.point = stake;
  answer.x = lengthText(stake.x, precision);
  answer.y = lengthText(stake.y, precision);
  if (const auto station = stationFor(form, line)) {
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
  answer.occurrence = occurrenceText(found->station);
  answer.offset = lengthText(found->offset, precision);
  answer.side = sideOf(found->offset);
  answer.point = point;
  answer.foot = found->foot.point;
  if ((found->beyondStart || found->beyondEnd) && line.route) {
    const double past = found->beyondEnd ? found->foot.measure - line.route->route().length()
                                         : -found->foot.measure;
    const std::string far = lengthText(past, precision);
    answer.beyond =
        stakeKindName(found->beyondEnd ? StakeKind::End : StakeKind::Start) + (" " + far);
    answer.note = chinese(found->beyondEnd ? Say::FieldBeyondEnd : Say::FieldBeyondStart, {far});
  }
  if (const auto& also = found->alsoNear; also && std::isfinite(also->offset)) {
    answer.alsoK = stationText(also->station);
    answer.alsoChainage = lengthText(also->station.chainage, precision);
    answer.alsoOccurrence = occurrenceText(also->station);
    answer.alsoOffset = lengthText(also->offset, precision);
    answer.note +=
        (answer.note.empty() ? "" : chinese(Say::Then)) +
        chinese(Say::FieldAlsoNear, {answer.alsoK, answer.alsoOffset, sideOf(also->offset)});
  }
  return answer;
}

// Where a table's end stands: on a route as route::tableEnd places it (BP or
// EP for a chainage beyond them), on the boxes' curve at its chainage.
Expected<route::TableEnd> endOfTable(const ToolLine& line, const Station& station) {
  if (line.route) {
    auto end = route::tableEnd(line.route->route(), station);
    if (!end)
      return Failure{end.error(), noPointText(station)};
    return end;
  }
  if (const auto measure = line.line->measureOf(station))
    return route::TableEnd{*measure, std::nullopt};
  return Failure{english(Say::FieldNoPointOfCurve, {stationText(station)}), noPointText(station)};
}

// A table's end beyond the route's, where the table stops.
Failure cutAtTheEnd(const route::Route& route, const Station& asked, StakeKind at) {
  const bool end = at == StakeKind::End;
  const std::string name = end ? route.definition().end.name : route.definition().start.name;
  const std::string there = stationText(route.stationAt(end ? route.length() : 0));
  const std::string typed = stationText(asked, typedDecimals(asked.chainage));
  return failure(end ? Say::FieldTableStopsAtEnd : Say::FieldTableStartsAtStart,
                 {typed, name, there});
}

std::string tableNote(const StakeRows& rows, const std::vector<Failure>& remarks) {
  const std::string count = std::to_string(rows.size());
  std::string note = !rows.truncated() || rows.size() == 0
                         ? chinese(Say::FieldRows, {count})
                         : chinese(Say::FieldRowsUpTo, {rows.row(rows.size() - 1).label, count});
  for (const Failure& remark : remarks)
    note += chinese(Say::Then) + remark.notice;
  return note;
}

TableAnswer answerTable(const Form& form, const ToolLine& line,
                        const std::optional<TableQuery>& query) {
  TableAnswer answer;
  if (!query)
    return answer;
  if (!line.line) {
    answer.note = chinese(Say::FieldRows, {"0"});
    return answer;
  }
  const auto from = endOfTable(line, query->start);
  const auto to = endOfTable(line, query->end);
  if (!from || !to) {
    answer.remarks.push_back(from ? to.failure() : from.failure());
    answer.note = answer.remarks.back().notice;
    return answer;
  }
  for (const auto& [end, asked] : {std::pair(&*from, &query->start), std::pair(&*to, &query->end)})
    if (end->cutAt)
      answer.remarks.push_back(cutAtTheEnd(line.route->route(), *asked, *end->cutAt));
  const StakeRequest request{from->measure, to->measure, query->interval, query->spacing};
  answer.rows =
      std::make_shared<StakeRows>(line, line.line->stakes(request), query->offset, query->fallLeft,
                                  query->fallRight, stationFor(form, line));
  if (line.route)
    for (Failure& gap : line.route->designGaps(from->measure, to->measure))
      answer.remarks.push_back(std::move(gap));
  answer.note = tableNote(*answer.rows, answer.remarks);
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
  if (!level) {
    if (const auto why = measure && line.route ? line.route->whyNoDesign(*measure) : std::nullopt)
      answer.noDesign = why->notice;
    return answer;
  }
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

std::string sideOf(double offset) {
  if (offset > 0)
    return chinese(Say::FieldSideRight);
  if (offset < 0)
    return chinese(Say::FieldSideLeft);
  return {};
}

std::string cutOrFill(const std::optional<double>& design, const std::optional<double>& ground) {
  if (!design || !ground || !std::isfinite(*design) || !std::isfinite(*ground))
    return {};
  const double difference = *design - *ground;
  const std::string height = lengthText(std::fabs(difference), Precision::Field);
  if (height == "0.000")
    return "0.000";
  return chinese(difference > 0 ? Say::FieldFill : Say::FieldCut, {height});
}

ToolLine toolLine(const Form& form, const std::shared_ptr<const RouteModel>& route) {
  ToolLine line;
  if (route && route->route().hasGeometry()) {
    line.line = std::shared_ptr<const CentreLine>(route, &route->route());
    line.profile = &route->profile();
    line.sections = &route->sections();
    line.source = chinese(Say::FieldByRoute, {route->definition().name});
    line.route = route.get();
    line.routeVersion = route->version();
    return line;
  }
  line.source = chinese(Say::FieldByBoxes);
  line.curve = curveLineOfBoxes(form);
  if (line.curve)
    line.line = std::make_shared<const BoxCurveLine>(*line.curve);
  return line;
}

StakeRows::StakeRows(ToolLine line, std::unique_ptr<const StakePositions> positions,
                     std::optional<double> offset, std::optional<double> fallLeft,
                     std::optional<double> fallRight, std::optional<PlanePoint> station)
    : line_(std::move(line)), positions_(std::move(positions)), offset_(offset),
      fallLeft_(fallLeft), fallRight_(fallRight), station_(station) {}

bool StakeRows::hasDesign() const { return line_.profile && line_.profile->hasLine(); }

// A typed offset off the centre, or the template's edges where none is typed.
bool StakeRows::hasSides() const {
  if (offset_)
    return std::fabs(*offset_) >= kSideOnCentre;
  return line_.sections && line_.sections->hasTemplate();
}

StakeRow StakeRows::row(std::size_t index) const {
  const StakePosition p = positions_->at(index);
  StakeRow r;
  r.chainage = p.station.chainage;
  r.label = stationText(p.station);
  r.mainPoint = kindText(*line_.line, p);
  r.centre = line_.line->pointAt(p.measure);
  if (!r.centre)
    return r;
  const auto level = line_.profile ? line_.profile->at(p.measure) : std::nullopt;
  const auto section = line_.sections ? line_.sections->at(p.measure) : std::nullopt;
  if (!section) {
    const double side = offset_ ? std::fabs(*offset_) : 0;
    addSideStakesAndSettingOut(r, side, side, station_);
    r.leftFall = fallLeft_;
    r.rightFall = fallRight_;
  } else {
    addSideStakesAndSettingOut(r, offset_ ? std::fabs(*offset_) : section->left.width,
                               offset_ ? std::fabs(*offset_) : section->right.width, station_);
    r.leftFall = section->left.fall;
    r.rightFall = section->right.fall;
  }
  if (level)
    addDesigns(r, level->elevation, section);
  return r;
}

// The design elevations of a row whose centre line lies at h: the side
// stakes' on the template, at an edge its own elevation; without a template
// from the typed falls.
void StakeRows::addDesigns(StakeRow& r, double h,
                           const std::optional<section::Section>& section) const {
  r.design = h;
  const auto at = [&](double size, const std::optional<double>& fall,
                      section::Side side) -> std::optional<double> {
    if (!section)
      return fall ? std::optional(h + size * *fall / kPerCent) : std::nullopt;
    if (!offset_)
      return h + section->side(side).edgeRise;
    const auto rise = line_.sections->riseAt(*section, side == section::Side::Left ? -size : size);
    return rise ? std::optional(h + *rise) : std::nullopt;
  };
  r.leftDesign = at(*r.leftOffset, r.leftFall, section::Side::Left);
  r.rightDesign = at(*r.rightOffset, r.rightFall, section::Side::Right);
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
  const auto fall = [&](Input input) -> std::optional<double> {
    const auto read = readTemplateFall(text(input));
    const double* value = std::get_if<double>(&read);
    return value ? std::optional(*value) : std::nullopt;
  };
  const bool atEdges =
      trimmed(text(Input::TableOffset)).empty() || trimmed(text(Input::TableOffset)) == kAtEdges;
  if (start && end)
    q.table =
        TableQuery{*start,
                   *end,
                   number(Input::TableInterval).value_or(0),
                   atEdges ? std::nullopt : std::optional(number(Input::TableOffset).value_or(0)),
                   spacing_,
                   fall(Input::TableFallLeft),
                   fall(Input::TableFallRight)};
  return q;
}

const FieldAnswers& FieldToolsModel::update(const Form& form) {
  FieldQueries q = queries();
  const ToolLine line = toolLine(form, route_);
  TableSource source{line.route, line.routeVersion, std::nullopt, q.table, std::nullopt};
  if (q.table) {
    source.curve = line.curve;
    source.station = stationFor(form, line);
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
  tableMadeFrom_ = source;
  return answers_;
}

void writeStakeTable(std::ostream& out, const TableAnswer& table, Precision precision) {
  out << chinese(Say::FieldPrecision) << '\t'
      << chinese(precision == Precision::Field ? Say::FieldPrecisionField : Say::FieldPrecisionFull)
      << '\n';
  const auto& columns = table.columns();
  for (std::size_t c = 0; c < columns.size(); ++c)
    out << columns[c].heading << (c + 1 < columns.size() ? '\t' : '\n');
  for (std::size_t row = 0; row < table.size(); ++row) {
    const StakeRow r = table.row(row);
    for (std::size_t c = 0; c < columns.size(); ++c)
      out << columns[c].cell(r, precision) << (c + 1 < columns.size() ? '\t' : '\n');
  }
}

} // namespace quenlor
