// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/route_cells.h"

#include "geometry/angle_text.h"
#include "numeric/chainage_text.h"

#include <QStringList>

#include <cmath>
#include <optional>
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
  case CheckKind::NotPlaced:
    return QStringLiteral(
        "按交点间距定位，但前一交点没有输入转角（或间距无效）：未用，终点则没有路线");
  case CheckKind::ChainageDiffers: return QStringLiteral("桩号与设计表所给的不符");
  case CheckKind::DeflectionDiffers: return QStringLiteral("输入的转角与坐标算得的不符");
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
    return QStringLiteral("设计表的桩号 %1 与计算的 %2 相差 %3 m")
        .arg(qs(chainageText(*given)), qs(chainageText(*given + check.amount)))
        .arg(std::fabs(check.amount), 0, 'f', 3);
  }
  if (check.kind == route::CheckKind::DeflectionDiffers && ofJd) {
    const auto typed = definition.jds[std::size_t(check.jd)].deflection;
    if (!typed)
      return std::nullopt;
    const double radians = radiansOfPackedDms(*typed);
    return QStringLiteral("输入的转角 %1 与坐标算得的 %2 相差 %3")
        .arg(qs(dmsText(std::fabs(radians))) +
                 (radians < 0 ? QStringLiteral(" 左") : QStringLiteral(" 右")),
             qs(dmsText(std::fabs(radians + check.amount))), qs(dmsText(std::fabs(check.amount))));
  }
  return std::nullopt;
}

// What an element's check means where it differs from a JD's: an element
// that cannot be made is taken as a straight, not as an angle point.
QString elementCheckWhat(route::CheckKind kind) {
  using route::CheckKind;
  switch (kind) {
  case CheckKind::UnusableNumber:
    return QStringLiteral("有不可用的数值（非数或超出 ±1e9），按直线计或不用");
  case CheckKind::RadiusNotPositive: return QStringLiteral("半径不大于 0，按直线计");
  default: return checkWhat(kind);
  }
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
  case CellFault::NotAnAngle:
    return quoted(text) + QStringLiteral(" 不是角度（如 25°30′15.2″、25-30-15.2 或 25.30152）");
  case CellFault::TwoSides: return quoted(text) + QStringLiteral(" 的左右转向互相矛盾");
  case CellFault::NoColumn: return QStringLiteral("表头中没有 %1 列").arg(text);
  case CellFault::TwoColumns: return QStringLiteral("表头中 %1 列重复").arg(quoted(text));
  case CellFault::NotAnElementKind:
    return quoted(text) + QStringLiteral(" 不是线元类型（直线、圆曲线或缓和曲线）");
  case CellFault::NotATurn: return quoted(text) + QStringLiteral(" 不是转向（左或右）");
  case CellFault::NotAnAzimuth:
    return quoted(text) + QStringLiteral(" 不是方位角（度.分秒，0 至 360，如 30.152055）");
  case CellFault::NotAChoice: return quoted(text) + QStringLiteral(" 不是此列可选的值");
  }
  return {};
}

QString pasteRefusalText(const PasteRefusal& refusal) {
  const QString where = QStringLiteral("粘贴的第%1行").arg(refusal.line + 1);
  if (refusal.cell.fault == CellFault::NoColumn || refusal.cell.fault == CellFault::TwoColumns)
    return where + QStringLiteral("（表头）：") + refusalText(refusal.cell);
  return where + QStringLiteral("第%1列（%2）：%3")
                     .arg(refusal.column + 1)
                     .arg(QString::fromStdString(refusal.heading), refusalText(refusal.cell));
}

QString unreadText(const std::vector<std::string>& computed,
                   const std::vector<std::string>& unknown) {
  const auto list = [](const std::vector<std::string>& headings) {
    QStringList names;
    for (const std::string& h : headings)
      names << QString::fromStdString(h);
    return names.join(QStringLiteral("、"));
  };
  QString text;
  if (!computed.empty())
    text += QStringLiteral("；未读入 %1（由程序计算）").arg(list(computed));
  if (!unknown.empty())
    text += QStringLiteral("；未识别而未读入的列：%1").arg(list(unknown));
  return text;
}

QString pastedText(const PastedTable& table) {
  QString text = QStringLiteral("已粘贴 %1 个交点").arg(table.jds.size());
  if (table.start)
    text += QStringLiteral("和起点 %1").arg(QString::fromStdString(table.start->name));
  if (table.end)
    text += QStringLiteral("%1终点 %2")
                .arg(table.start ? QStringLiteral("、") : QStringLiteral("和"),
                     QString::fromStdString(table.end->name));
  return text + unreadText(table.computed, table.unknown);
}

QString pasteRefusalText(const ElementPasteRefusal& refusal) {
  const QString why = refusal.cell.fault == CellFault::Missing
                          ? QStringLiteral("缺少（每行要有类型和长度）")
                          : refusalText(refusal.cell);
  return QStringLiteral("粘贴的第%1行第%2列（%3）：%4")
      .arg(refusal.line + 1)
      .arg(refusal.column + 1)
      .arg(QString::fromUtf8(refusal.heading.data(), qsizetype(refusal.heading.size())), why);
}

QString pasteRefusalText(const PasteRefusal& refusal, SectionPaste table) {
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
  else if (check.element >= 0 && std::size_t(check.element) < definition.elements.size())
    who = nameOf(definition.elements[std::size_t(check.element)].name, "线元", check.element);
  else if (check.chainBreak >= 0 && std::size_t(check.chainBreak) < definition.breaks.size())
    who = nameOf(definition.breaks[std::size_t(check.chainBreak)].name, "断链", check.chainBreak);
  else
    who = QString::fromStdString(check.message.substr(0, check.message.find(':')));
  return who + QStringLiteral("：") +
         givenWhat(check, definition)
             .value_or(check.element >= 0 ? elementCheckWhat(check.kind) : checkWhat(check.kind));
}

} // namespace quenlor
