// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/route_cells.h"

#include <vector>

namespace quenlor {
namespace {

QString quoted(const QString& text) { return QStringLiteral("“%1”").arg(text); }

// The headings of each table's pasted columns, for messages, and the layout
// of its rows.
struct PastedLayout {
  std::vector<const char*> columns;
  const char* row;
};
const PastedLayout& layoutOf(PastedTable table) {
  static const PastedLayout jds{{"名称", "X", "Y", "R", "Ls", "ls2"}, "名称 X Y R [Ls [ls2]]"};
  static const PastedLayout parts{{"侧", "名称", "类型", "宽度", "横坡%"},
                                  "侧 名称 类型 宽度 横坡%"};
  static const PastedLayout curves{{"曲线", "超高%", "过渡段长", "旋转轴", "加宽", "加宽方式"},
                                   "曲线 超高% [过渡段长 [旋转轴 [加宽 [加宽方式]]]]"};
  static const PastedLayout stations{{"桩号", "左横坡%", "右横坡%", "左加宽", "右加宽"},
                                     "桩号 [左横坡% [右横坡% [左加宽 [右加宽]]]]"};
  switch (table) {
  case PastedTable::Jds: return jds;
  case PastedTable::Parts: return parts;
  case PastedTable::Curves: return curves;
  case PastedTable::Stations: return stations;
  }
  return jds;
}

QString nameOf(const std::string& name, const char* kind, int index) {
  if (!name.empty())
    return QString::fromStdString(name);
  return QStringLiteral("第%1个%2").arg(index + 1).arg(QString::fromUtf8(kind));
}

QString checkWhat(route::CheckKind kind) {
  using route::CheckKind;
  switch (kind) {
  case CheckKind::UnusableNumber:
    return QStringLiteral("有不可用的数值（非数或超出 ±1e9），未用或按无曲线的转折点计");
  case CheckKind::SamePoint: return QStringLiteral("与前一点或终点重合（1 mm 内），未用");
  case CheckKind::RadiusNotPositive: return QStringLiteral("半径 R 不大于 0，按无曲线的转折点计");
  case CheckKind::NegativeTransition: return QStringLiteral("缓和曲线长为负，按无曲线的转折点计");
  case CheckKind::ZeroDeflection: return QStringLiteral("转角为 0，无曲线");
  case CheckKind::TransitionsTooLong:
    return QStringLiteral("缓和曲线对此转角过长，按无曲线的转折点计");
  case CheckKind::CurvesOverlap:
    return QStringLiteral("曲线与下一交点的曲线重叠（HZ 超过下一 ZH）");
  case CheckKind::StartLegTooShort: return QStringLiteral("曲线起点 ZH 在起点 BP 之前");
  case CheckKind::EndLegTooShort: return QStringLiteral("曲线终点 HZ 超出终点 EP");
  case CheckKind::BreakOutsideRoute: return QStringLiteral("断链不在路线上，未用");
  case CheckKind::BreakOutOfOrder: return QStringLiteral("断链不在前一断链之后，未用");
  case CheckKind::NoRoute: return QStringLiteral("起点或终点不可用，或路线长度为 0：没有路线");
  case CheckKind::LengthNotPositive: return QStringLiteral("线元长度不大于 0，未用");
  case CheckKind::RadiiEqual:
    return QStringLiteral("缓和曲线起点半径与终点半径相同，按圆曲线（或直线）计");
  case CheckKind::TurnMissing: return QStringLiteral("曲线未给转向，按直线计");
  case CheckKind::ArcWithoutRadius: return QStringLiteral("圆曲线没有半径，按直线计");
  case CheckKind::StartGap: return QStringLiteral("所给起点坐标与前面线元推算的起点不符");
  case CheckKind::RowsNotUsed: return QStringLiteral("另一种定线方式的行未用");
  }
  return {};
}

} // namespace

QString refusalText(const CellRefusal& refusal) {
  const QString text = QString::fromStdString(refusal.text);
  switch (refusal.fault) {
  case CellFault::NotANumber: return quoted(text) + QStringLiteral(" 不是数字");
  case CellFault::BeyondRange: return quoted(text) + QStringLiteral(" 超出 ±1e9");
  case CellFault::NotAChainage:
    return quoted(text) + QStringLiteral(" 不是桩号（如 K1+234.567 或 1234.567）");
  case CellFault::ControlCharacter: return QStringLiteral("名称中有控制字符");
  case CellFault::Missing: return QStringLiteral("缺少");
  case CellFault::NotAChoice: return quoted(text) + QStringLiteral(" 不是此列可选的值");
  }
  return {};
}

QString pasteRefusalText(const PasteRefusal& refusal, PastedTable table) {
  const PastedLayout& layout = layoutOf(table);
  const QString column = refusal.column < layout.columns.size()
                             ? QString::fromUtf8(layout.columns[refusal.column])
                             : QString::number(refusal.column + 1);
  QString why = refusalText(refusal.cell);
  if (refusal.cell.fault == CellFault::Missing)
    why += QStringLiteral("，每行应为 ") + QString::fromUtf8(layout.row);
  return QStringLiteral("粘贴的第%1行第%2列（%3）：%4")
      .arg(refusal.line + 1)
      .arg(refusal.column + 1)
      .arg(column, why);
}

QString checkText(const route::Check& check, const route::RouteDefinition& definition) {
  QString who;
  if (check.jd >= 0 && std::size_t(check.jd) < definition.jds.size())
    who = nameOf(definition.jds[std::size_t(check.jd)].name, "交点", check.jd);
  else if (check.chainBreak >= 0 && std::size_t(check.chainBreak) < definition.breaks.size())
    who = nameOf(definition.breaks[std::size_t(check.chainBreak)].name, "断链", check.chainBreak);
  else
    who = QString::fromStdString(check.message.substr(0, check.message.find(':')));
  return who + QStringLiteral("：") + checkWhat(check.kind);
}

} // namespace quenlor
