// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/route_tables.h"

#include "app/route_cells.h"
#include "app/route_document.h"
#include "geometry/angle_text.h"

#include <QBrush>
#include <QColor>

#include <cmath>

namespace quenlor {
namespace {

const QColor kProblemRow(255, 214, 200);
const QColor kComputed(242, 242, 242);

QString qs(const std::string& text) { return QString::fromStdString(text); }

QString stationOf(const route::Route& route, double measure) {
  if (!std::isfinite(measure))
    return {};
  return qs(route::stationText(route.stationAt(measure)));
}

// The deflection as the design's table writes it: signed DMS to a tenth of
// a second, with the side it turns to.
QString deflectionText(double deflection) {
  const QString side = deflection > 0 ? QStringLiteral(" 右") : QStringLiteral(" 左");
  return qs(dmsText(deflection, 1)) + (deflection == 0 ? QString() : side);
}

QString percentText(double fraction) { return QString::number(fraction * 100, 'f', 3); }

} // namespace

RouteTableModel::RouteTableModel(RouteDocument& document, QStringList headings, QObject* parent)
    : QAbstractTableModel(parent), document_(document), headings_(std::move(headings)) {}

void RouteTableModel::refresh() {
  problems_ = problems();
  if (rows() != shownRows_) {
    beginResetModel();
    shownRows_ = rows();
    endResetModel();
    return;
  }
  if (shownRows_ > 0)
    emit dataChanged(index(0, 0), index(shownRows_ - 1, checkColumn()));
}

QString RouteTableModel::problem(int row) const {
  return std::size_t(row) < problems_.size() ? problems_[std::size_t(row)] : QString();
}

int RouteTableModel::problemRows() const {
  return int(std::count_if(problems_.begin(), problems_.end(),
                           [](const QString& p) { return !p.isEmpty(); }));
}

int RouteTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shownRows_;
}

int RouteTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : checkColumn() + 1;
}

QVariant RouteTableModel::data(const QModelIndex& index, int role) const {
  const int row = index.row(), column = index.column();
  const bool check = column == checkColumn();
  switch (role) {
  case Qt::DisplayRole:
    if (check)
      return problem(row).replace(QLatin1Char('\n'), QStringLiteral("；"));
    return text(row, column);
  case Qt::EditRole: return check ? QVariant() : QVariant(editText(row, column));
  case Qt::ToolTipRole: return problem(row).isEmpty() ? QVariant() : problem(row);
  case Qt::TextAlignmentRole:
    return column == 0 || check ? QVariant() : QVariant(Qt::AlignRight | Qt::AlignVCenter);
  case Qt::BackgroundRole:
    if (!problem(row).isEmpty())
      return QBrush(kProblemRow);
    return editable(row, column) ? QVariant() : QBrush(kComputed);
  default: return {};
  }
}

QVariant RouteTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal)
    return {};
  if (role == Qt::DisplayRole)
    return section == checkColumn() ? QStringLiteral("检查") : headings_.value(section);
  if (role == Qt::ToolTipRole) {
    const QString tip = headingTip(section);
    return tip.isEmpty() ? QVariant() : tip;
  }
  return {};
}

Qt::ItemFlags RouteTableModel::flags(const QModelIndex& index) const {
  const Qt::ItemFlags shown = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  return index.column() != checkColumn() && editable(index.row(), index.column())
             ? shown | Qt::ItemIsEditable
             : shown;
}

bool RouteTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || index.column() == checkColumn() ||
      !editable(index.row(), index.column()))
    return false;
  const QString typed = value.toString();
  if (typed == editText(index.row(), index.column()))
    return true; // nothing changed: no edit
  const QString refused = apply(index.row(), index.column(), typed);
  if (!refused.isEmpty() && notice_)
    notice_(QStringLiteral("%1 未改：").arg(headings_.value(index.column())) + refused);
  return refused.isEmpty();
}

// The JD table.

JdTableModel::JdTableModel(RouteDocument& document, QObject* parent)
    : RouteTableModel(document,
                      {QStringLiteral("名称"), QStringLiteral("X"), QStringLiteral("Y"),
                       QStringLiteral("R"), QStringLiteral("Ls"), QStringLiteral("ls2"),
                       QStringLiteral("桩号"), QStringLiteral("转角"), QStringLiteral("T1"),
                       QStringLiteral("T2"), QStringLiteral("L"), QStringLiteral("E"),
                       QStringLiteral("ZH"), QStringLiteral("HY"), QStringLiteral("QZ"),
                       QStringLiteral("YH"), QStringLiteral("HZ")},
                      parent) {}

std::optional<std::size_t> JdTableModel::jdOfRow(int row) const {
  if (row < 1 || row >= endRow())
    return std::nullopt;
  return std::size_t(row - 1);
}

int JdTableModel::rows() const { return int(document_.route().jdCount()) + 2; }

QString JdTableModel::text(int row, int column) const {
  const route::Route& route = document_.route();
  const route::RouteDefinition& d = route.definition();
  if (const auto jd = jdOfRow(row))
    return jdText(*jd, column);
  const bool start = row == 0;
  switch (column) {
  case Name: return qs(start ? d.start.name : d.end.name);
  case X: return exactText(start ? d.start.x : d.end.x);
  case Y: return exactText(start ? d.start.y : d.end.y);
  case Chainage:
    if (start)
      return qs(chainageText(d.start.chainage));
    return route.hasGeometry() ? stationOf(route, route.length()) : QString();
  default: return {};
  }
}

QString JdTableModel::jdText(std::size_t jd, int column) const {
  const route::Jd& typed = document_.route().definition().jds[jd];
  switch (column) {
  case Name: return qs(typed.name);
  case X: return exactText(typed.x);
  case Y: return exactText(typed.y);
  case Radius: return exactText(typed.radius);
  case Ls1: return exactText(typed.ls1);
  case Ls2: return typed.ls2 ? exactText(*typed.ls2) : QString();
  default: return computedText(jd, column);
  }
}

QString JdTableModel::computedText(std::size_t jd, int column) const {
  const route::Route& route = document_.route();
  if (!route.hasGeometry())
    return {};
  const route::JdResult r = route.jd(jd);
  if (!r.inRoute)
    return {};
  const route::Curve& c = r.curve;
  const route::MainPoints& m = r.mainPoints;
  switch (column) {
  case Chainage: return stationOf(route, r.measure);
  case Deflection: return deflectionText(c.deflection);
  default: break;
  }
  if (!c.curved)
    return {};
  switch (column) {
  case T1: return metresText(c.tangent1);
  case T2: return metresText(c.tangent2);
  case Length: return metresText(c.length);
  case External: return metresText(c.external);
  case Zh: return stationOf(route, m.zh);
  case Hy: return stationOf(route, m.hy);
  case Qz: return stationOf(route, m.qz);
  case Yh: return stationOf(route, m.yh);
  case Hz: return stationOf(route, m.hz);
  default: return {};
  }
}

QString JdTableModel::editText(int row, int column) const {
  if (row == 0 && column == Chainage)
    return exactText(document_.route().definition().start.chainage);
  return text(row, column);
}

bool JdTableModel::editable(int row, int column) const {
  if (jdOfRow(row))
    return column <= Ls2;
  return column <= Y || (row == 0 && column == Chainage);
}

QString JdTableModel::apply(int row, int column, const QString& text) {
  if (const auto jd = jdOfRow(row))
    return applyToJd(*jd, column, text);
  return applyToEnds(row == 0, column, text);
}

QString JdTableModel::applyToJd(std::size_t index, int column, const QString& text) {
  route::Jd jd = document_.route().definition().jds[index];
  QString why;
  if (column == Name) {
    if (!cellName(text, why))
      return why;
    jd.name = text.trimmed().toStdString();
  } else if (column == Ls2 && text.trimmed().isEmpty()) {
    jd.ls2.reset();
  } else {
    const auto value = cellNumber(text, why);
    if (!value)
      return why;
    double* const fields[] = {nullptr, &jd.x, &jd.y, &jd.radius, &jd.ls1};
    if (column == Ls2)
      jd.ls2 = *value;
    else
      *fields[column] = *value;
  }
  document_.edit([&](route::Route& r) { r.replaceJd(index, jd); });
  return {};
}

QString JdTableModel::applyToEnds(bool start, int column, const QString& text) {
  const route::RouteDefinition& d = document_.route().definition();
  route::StartPoint bp = d.start;
  route::EndPoint ep = d.end;
  QString why;
  if (column == Name) {
    if (!cellName(text, why))
      return why;
    (start ? bp.name : ep.name) = text.trimmed().toStdString();
  } else {
    const auto value = column == Chainage ? cellChainage(text, why) : cellNumber(text, why);
    if (!value)
      return why;
    if (column == Chainage)
      bp.chainage = *value;
    else
      (column == X ? (start ? bp.x : ep.x) : (start ? bp.y : ep.y)) = *value;
  }
  if (start)
    document_.edit([&](route::Route& r) { r.setStart(bp); });
  else
    document_.edit([&](route::Route& r) { r.setEnd(ep); });
  return {};
}

std::vector<QString> JdTableModel::problems() const {
  std::vector<QString> rows(std::size_t(this->rows()));
  if (document_.isEmpty())
    return rows; // nothing typed: nothing to find wrong
  const route::Route& route = document_.route();
  for (const route::Check& c : route.checks()) {
    if (c.chainBreak >= 0)
      continue;
    std::size_t row = c.jd >= 0 ? std::size_t(rowOfJd(std::size_t(c.jd))) : rows.size() - 1;
    if (c.jd < 0 && c.message.rfind("BP", 0) == 0)
      row = 0;
    QString& p = rows[row];
    p += (p.isEmpty() ? QString() : QStringLiteral("\n")) + checkText(c, route.definition());
  }
  return rows;
}

QString JdTableModel::headingTip(int column) const {
  switch (column) {
  case Ls2: return QStringLiteral("第二缓和曲线长；空白：等于 Ls");
  case Chainage: return QStringLiteral("交点桩号；起点 BP 的桩号可改");
  case Deflection: return QStringLiteral("转角，右转为正");
  default: return {};
  }
}

// The chain breaks.

BreakTableModel::BreakTableModel(RouteDocument& document, QObject* parent)
    : RouteTableModel(document,
                      {QStringLiteral("名称"), QStringLiteral("断链前桩号"),
                       QStringLiteral("断链后桩号"), QStringLiteral("长短链")},
                      parent) {}

int BreakTableModel::rows() const { return int(document_.route().definition().breaks.size()); }

QString BreakTableModel::text(int row, int column) const {
  const route::ChainBreak& b = document_.route().definition().breaks[std::size_t(row)];
  switch (column) {
  case Name: return qs(b.name);
  case Behind: return qs(chainageText(b.behind));
  case Ahead: return qs(chainageText(b.ahead));
  case Kind: {
    const double gap = b.ahead - b.behind;
    if (gap == 0)
      return QStringLiteral("无");
    return (gap < 0 ? QStringLiteral("长链 ") : QStringLiteral("短链 ")) +
           metresText(std::fabs(gap));
  }
  default: return {};
  }
}

QString BreakTableModel::editText(int row, int column) const {
  const route::ChainBreak& b = document_.route().definition().breaks[std::size_t(row)];
  if (column == Behind || column == Ahead)
    return exactText(column == Behind ? b.behind : b.ahead);
  return text(row, column);
}

QString BreakTableModel::apply(int row, int column, const QString& text) {
  std::vector<route::ChainBreak> breaks = document_.route().definition().breaks;
  route::ChainBreak& b = breaks[std::size_t(row)];
  QString why;
  if (column == Name) {
    if (!cellName(text, why))
      return why;
    b.name = text.trimmed().toStdString();
  } else {
    const auto value = cellChainage(text, why);
    if (!value)
      return why;
    (column == Behind ? b.behind : b.ahead) = *value;
  }
  document_.edit([&](route::Route& r) { r.setBreaks(std::move(breaks)); });
  return {};
}

std::vector<QString> BreakTableModel::problems() const {
  std::vector<QString> rows(std::size_t(this->rows()));
  for (const route::Check& c : document_.route().checks())
    if (c.chainBreak >= 0 && std::size_t(c.chainBreak) < rows.size())
      rows[std::size_t(c.chainBreak)] = checkText(c, document_.route().definition());
  return rows;
}

// The grade points.

GradeTableModel::GradeTableModel(RouteDocument& document, QObject* parent)
    : RouteTableModel(document,
                      {QStringLiteral("名称"), QStringLiteral("桩号"), QStringLiteral("高程"),
                       QStringLiteral("竖曲线半径"), QStringLiteral("坡度%"),
                       QStringLiteral("坡长"), QStringLiteral("ω%"), QStringLiteral("凸凹"),
                       QStringLiteral("T"), QStringLiteral("E"), QStringLiteral("L"),
                       QStringLiteral("起点桩号"), QStringLiteral("终点桩号")},
                      parent) {}

int GradeTableModel::rows() const { return int(document_.route().definition().gradePoints.size()); }

QString GradeTableModel::text(int row, int column) const {
  const route::GradePointRow& g = document_.route().definition().gradePoints[std::size_t(row)];
  switch (column) {
  case Name: return qs(g.name);
  case Chainage: return qs(chainageText(g.chainage));
  case Elevation: return metresText(g.elevation);
  case Radius: return exactText(g.verticalRadius);
  case Grade:
  case GradeLength: return gradeText(row, column);
  default: return curveText(row, column);
  }
}

// The grade from this point on to the next.
QString GradeTableModel::gradeText(int row, int column) const {
  for (const GradeSegment& s : document_.model()->profile().grades())
    if (s.from == std::size_t(row))
      return column == Grade ? percentText(s.grade) : metresText(s.length);
  return {};
}

QString GradeTableModel::curveText(int row, int column) const {
  const route::Route& route = document_.route();
  for (const VerticalCurve& c : document_.model()->profile().curves()) {
    if (c.point != std::size_t(row))
      continue;
    switch (column) {
    case Omega: return percentText(c.gradeChange);
    case Shape: return c.shape == CurveShape::Crest ? QStringLiteral("凸") : QStringLiteral("凹");
    case Tangent: return metresText(c.tangent);
    case External: return metresText(c.external);
    case Length: return metresText(c.length);
    case Start: return stationOf(route, c.start);
    case End: return stationOf(route, c.end);
    default: return {};
    }
  }
  return {};
}

QString GradeTableModel::editText(int row, int column) const {
  const route::GradePointRow& g = document_.route().definition().gradePoints[std::size_t(row)];
  if (column == Chainage)
    return exactText(g.chainage);
  if (column == Elevation)
    return exactText(g.elevation);
  return text(row, column);
}

QString GradeTableModel::apply(int row, int column, const QString& text) {
  std::vector<route::GradePointRow> points = document_.route().definition().gradePoints;
  route::GradePointRow& g = points[std::size_t(row)];
  QString why;
  if (column == Name) {
    if (!cellName(text, why))
      return why;
    g.name = text.trimmed().toStdString();
  } else {
    const auto value = column == Chainage ? cellChainage(text, why) : cellNumber(text, why);
    if (!value)
      return why;
    double* const fields[] = {nullptr, &g.chainage, &g.elevation, &g.verticalRadius};
    *fields[column] = *value;
  }
  document_.edit([&](route::Route& r) { r.setGradePoints(std::move(points)); });
  return {};
}

std::vector<QString> GradeTableModel::problems() const {
  std::vector<QString> rows(std::size_t(this->rows()));
  const std::vector<std::string> texts = document_.model()->profileCheckTexts();
  const auto& checks = document_.model()->profile().checks();
  for (std::size_t k = 0; k < checks.size() && k < texts.size(); ++k) {
    if (checks[k].point >= rows.size())
      continue;
    QString& p = rows[checks[k].point];
    p += (p.isEmpty() ? QString() : QStringLiteral("\n")) + qs(texts[k]);
  }
  return rows;
}

QString GradeTableModel::headingTip(int column) const {
  switch (column) {
  case Radius: return QStringLiteral("竖曲线半径；0：不设竖曲线");
  case Grade: return QStringLiteral("到下一变坡点的坡度，百分数");
  case Omega: return QStringLiteral("坡差 ω = i2 − i1，百分数");
  default: return {};
  }
}

} // namespace quenlor
