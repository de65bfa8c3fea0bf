// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/route_cells.h"

#include "app/said.h"
#include "geometry/angle_text.h"
#include "numeric/chainage_text.h"

#include <QStringList>

#include <cmath>
#include <optional>
#include <vector>

namespace quenlor {
namespace {

// The headings of each table's pasted columns, for messages, and the layout
// of its rows.
struct PastedLayout {
  std::vector<const char*> columns;
  const char* row;
};
const PastedLayout& layoutOf(SectionPaste table) {
  static const PastedLayout jds{{"名称", "X", "Y", "R", "Ls", "ls2"}, "名称 X Y R [Ls [ls2]]"};
  static const PastedLayout parts{{"侧", "名称", "类型", "宽度", "横坡%"},
                                  "侧 名称 类型 宽度 横坡%"};
  static const PastedLayout curves{{"曲线", "超高%", "过渡段长", "旋转轴", "加宽", "加宽方式"},
                                   "曲线 超高% [过渡段长 [旋转轴 [加宽 [加宽方式]]]]"};
  static const PastedLayout stations{{"桩号", "左横坡%", "右横坡%", "左加宽", "右加宽"},
                                     "桩号 [左横坡% [右横坡% [左加宽 [右加宽]]]]"};
  switch (table) {
  case SectionPaste::Jds: return jds;
  case SectionPaste::Parts: return parts;
  case SectionPaste::Curves: return curves;
  case SectionPaste::Stations: return stations;
  }
  return jds;
}

QString nameOf(const std::string& name, Say numbered, int index) {
  if (!name.empty())
    return QString::fromStdString(name);
  return said(numbered, {QString::number(index + 1)});
}

QString checkWhat(route::CheckKind kind) {
  using route::CheckKind;
  switch (kind) {
  case CheckKind::UnusableNumber: return said(Say::CheckUnusableNumber);
  case CheckKind::SamePoint: return said(Say::CheckSamePoint);
  case CheckKind::RadiusNotPositive: return said(Say::CheckRadiusNotPositive);
  case CheckKind::NegativeTransition: return said(Say::CheckNegativeTransition);
  case CheckKind::ZeroDeflection: return said(Say::CheckZeroDeflection);
  case CheckKind::TransitionsTooLong: return said(Say::CheckTransitionsTooLong);
  case CheckKind::CurvesOverlap: return said(Say::CheckCurvesOverlap);
  case CheckKind::StartLegTooShort: return said(Say::CheckStartLegTooShort);
  case CheckKind::EndLegTooShort: return said(Say::CheckEndLegTooShort);
  case CheckKind::BreakOutsideRoute: return said(Say::CheckBreakOutsideRoute);
  case CheckKind::BreakOutOfOrder: return said(Say::CheckBreakOutOfOrder);
  case CheckKind::NoRoute: return said(Say::CheckNoRoute);
  case CheckKind::LengthNotPositive: return said(Say::CheckLengthNotPositive);
  case CheckKind::RadiiEqual: return said(Say::CheckRadiiEqual);
  case CheckKind::TurnMissing: return said(Say::CheckTurnMissing);
  case CheckKind::ArcWithoutRadius: return said(Say::CheckArcWithoutRadius);
  case CheckKind::StartGap: return said(Say::CheckStartGap);
  case CheckKind::RowsNotUsed: return said(Say::CheckRowsNotUsed);
  case CheckKind::NotPlaced: return said(Say::CheckNotPlaced);
  case CheckKind::ChainageDiffers: return said(Say::CheckChainageDiffers);
  case CheckKind::DeflectionDiffers: return said(Say::CheckDeflectionDiffers);
  }
  return {};
}

// A check of what the design's table gives, with the figures.
std::optional<QString> givenWhat(const route::Check& check,
                                 const route::RouteDefinition& definition) {
  const bool ofJd = check.jd >= 0 && std::size_t(check.jd) < definition.jds.size();
  const auto qs = [](const std::string& text) { return QString::fromStdString(text); };
  if (check.kind == route::CheckKind::ChainageDiffers) {
    const auto given =
        ofJd ? definition.jds[std::size_t(check.jd)].chainage : definition.end.chainage;
    if (!given)
      return std::nullopt;
    return said(Say::CheckChainageGiven,
                {qs(chainageText(*given)), qs(chainageText(*given + check.amount)),
                 QString::number(std::fabs(check.amount), 'f', 3)});
  }
  if (check.kind == route::CheckKind::DeflectionDiffers && ofJd) {
    const auto typed = definition.jds[std::size_t(check.jd)].deflection;
    if (!typed)
      return std::nullopt;
    const double radians = radiansOfPackedDms(*typed);
    return said(Say::CheckDeflectionGiven,
                {said(radians < 0 ? Say::CheckTurnLeft : Say::CheckTurnRight,
                      {qs(dmsText(std::fabs(radians)))}),
                 qs(dmsText(std::fabs(radians + check.amount))),
                 qs(dmsText(std::fabs(check.amount)))});
  }
  return std::nullopt;
}

// What an element's check means where it differs from a JD's: an element
// that cannot be made is taken as a straight, not as an angle point.
QString elementCheckWhat(route::CheckKind kind) {
  using route::CheckKind;
  switch (kind) {
  case CheckKind::UnusableNumber: return said(Say::CheckElementUnusableNumber);
  case CheckKind::RadiusNotPositive: return said(Say::CheckElementRadiusNotPositive);
  default: return checkWhat(kind);
  }
}

} // namespace

QString refusalText(const CellRefusal& refusal) {
  const QString text = QString::fromStdString(refusal.text);
  switch (refusal.fault) {
  case CellFault::NotANumber: return said(Say::CellNotANumber, {text});
  case CellFault::BeyondRange: return said(Say::CellBeyondRange, {text});
  case CellFault::NotAChainage: return said(Say::CellNotAChainage, {text});
  case CellFault::ControlCharacter: return said(Say::CellControlCharacter, {text});
  case CellFault::Missing: return said(Say::CellMissing, {text});
  case CellFault::NotAnAngle: return said(Say::CellNotAnAngle, {text});
  case CellFault::TwoSides: return said(Say::CellTwoSides, {text});
  case CellFault::NoColumn: return said(Say::CellNoColumn, {text});
  case CellFault::TwoColumns: return said(Say::CellTwoColumns, {text});
  case CellFault::NotAnElementKind: return said(Say::CellNotAnElementKind, {text});
  case CellFault::NotATurn: return said(Say::CellNotATurn, {text});
  case CellFault::NotAnAzimuth: return said(Say::CellNotAnAzimuth, {text});
  case CellFault::NotAChoice: return said(Say::CellNotAChoice, {text});
  }
  return {};
}

QString pasteRefusalText(const PasteRefusal& refusal) {
  const QString line = QString::number(refusal.line + 1);
  if (refusal.cell.fault == CellFault::NoColumn || refusal.cell.fault == CellFault::TwoColumns)
    return said(Say::PasteHeadingRow, {line, refusalText(refusal.cell)});
  return said(Say::PasteCell, {line, QString::number(refusal.column + 1),
                               QString::fromStdString(refusal.heading), refusalText(refusal.cell)});
}

QString unreadText(const std::vector<std::string>& computed,
                   const std::vector<std::string>& unknown) {
  const auto list = [](const std::vector<std::string>& headings) {
    QString names;
    for (const std::string& h : headings)
      names = names.isEmpty() ? QString::fromStdString(h)
                              : said(Say::PasteListJoin, {names, QString::fromStdString(h)});
    return names;
  };
  QString text;
  if (!computed.empty())
    text += said(Say::Then) + said(Say::PasteNotReadComputed, {list(computed)});
  if (!unknown.empty())
    text += said(Say::Then) + said(Say::PasteNotReadUnknown, {list(unknown)});
  return text;
}

QString pastedText(const PastedTable& table) {
  QString text = said(Say::PastedJds, {QString::number(table.jds.size())});
  if (table.start)
    text = said(Say::PastedAndStart, {text, QString::fromStdString(table.start->name)});
  if (table.end)
    text = said(table.start ? Say::PastedAlsoEnd : Say::PastedAndEnd,
                {text, QString::fromStdString(table.end->name)});
  return text + unreadText(table.computed, table.unknown);
}

QString pasteRefusalText(const ElementPasteRefusal& refusal) {
  const QString why = refusal.cell.fault == CellFault::Missing ? said(Say::PasteElementMissing)
                                                               : refusalText(refusal.cell);
  return said(Say::PasteCell,
              {QString::number(refusal.line + 1), QString::number(refusal.column + 1),
               QString::fromUtf8(refusal.heading.data(), qsizetype(refusal.heading.size())), why});
}

QString pasteRefusalText(const PasteRefusal& refusal, SectionPaste table) {
  const PastedLayout& layout = layoutOf(table);
  const QString column = refusal.column < layout.columns.size()
                             ? QString::fromUtf8(layout.columns[refusal.column])
                             : QString::number(refusal.column + 1);
  QString why = refusalText(refusal.cell);
  if (refusal.cell.fault == CellFault::Missing)
    why = said(Say::PasteRowShouldBe, {why, QString::fromUtf8(layout.row)});
  return said(Say::PasteCell, {QString::number(refusal.line + 1),
                               QString::number(refusal.column + 1), column, why});
}

QString checkText(const route::Check& check, const route::RouteDefinition& definition) {
  QString who;
  if (check.jd >= 0 && std::size_t(check.jd) < definition.jds.size())
    who = nameOf(definition.jds[std::size_t(check.jd)].name, Say::CheckJdNumbered, check.jd);
  else if (check.element >= 0 && std::size_t(check.element) < definition.elements.size())
    who = nameOf(definition.elements[std::size_t(check.element)].name, Say::CheckElementNumbered,
                 check.element);
  else if (check.chainBreak >= 0 && std::size_t(check.chainBreak) < definition.breaks.size())
    who = nameOf(definition.breaks[std::size_t(check.chainBreak)].name, Say::CheckBreakNumbered,
                 check.chainBreak);
  else
    who = QString::fromStdString(check.message.substr(0, check.message.find(':')));
  return said(Say::CheckAt, {who, givenWhat(check, definition)
                                      .value_or(check.element >= 0 ? elementCheckWhat(check.kind)
                                                                   : checkWhat(check.kind))});
}

} // namespace quenlor
