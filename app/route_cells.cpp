// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/route_cells.h"

namespace quenlor {
namespace {

QString quoted(const QString& text) { return QStringLiteral("“%1”").arg(text); }

// The headings of the pasted columns, for messages.
const char* const kPastedColumns[] = {"名称", "X", "Y", "R", "Ls", "ls2"};

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
  case CellFault::Missing: return QStringLiteral("缺少，每行应为 名称 X Y R [Ls [ls2]]");
  }
  return {};
}

QString pasteRefusalText(const PasteRefusal& refusal) {
  return QStringLiteral("粘贴的第%1行第%2列（%3）：%4")
      .arg(refusal.line + 1)
      .arg(refusal.column + 1)
      .arg(QString::fromUtf8(kPastedColumns[refusal.column]), refusalText(refusal.cell));
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
