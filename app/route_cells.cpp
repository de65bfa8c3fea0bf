// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/route_cells.h"

#include "numeric/chainage_text.h"
#include "route/plane.h"

#include <QStringList>

#include <charconv>
#include <cmath>

namespace quenlor {
namespace {

QString quoted(const QString& text) { return QStringLiteral("“%1”").arg(text); }

QString beyondRange(const QString& text) { return quoted(text) + QStringLiteral(" 超出 ±1e9"); }

// The headings of the pasted columns, for messages.
const char* const kPastedColumns[] = {"名称", "X", "Y", "R", "Ls", "ls2"};
constexpr int kLeastPastedCells = 4; // name X Y R

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

std::optional<double> cellNumber(const QString& text, QString& why) {
  const std::string bytes = text.trimmed().toStdString();
  double value = 0;
  const auto [end, error] = std::from_chars(bytes.data(), bytes.data() + bytes.size(), value);
  if (bytes.empty() || error == std::errc::invalid_argument || end != bytes.data() + bytes.size()) {
    why = quoted(text) + QStringLiteral(" 不是数字");
    return std::nullopt;
  }
  if (error == std::errc::result_out_of_range || !route::isUsableValue(value)) {
    why = beyondRange(text);
    return std::nullopt;
  }
  return value;
}

std::optional<double> cellChainage(const QString& text, QString& why) {
  const auto value = parseChainage(text.toStdString());
  if (!value) {
    why = quoted(text) + QStringLiteral(" 不是桩号（如 K1+234.567 或 1234.567）");
    return std::nullopt;
  }
  if (!route::isUsableValue(*value)) {
    why = beyondRange(text);
    return std::nullopt;
  }
  return value;
}

bool cellName(const QString& text, QString& why) {
  for (const QChar c : text)
    if (c.category() == QChar::Other_Control) {
      why = QStringLiteral("名称中有控制字符");
      return false;
    }
  return true;
}

QString exactText(double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString metresText(double value) { return QString::number(value, 'f', 3); }

std::optional<std::vector<route::Jd>> pastedJds(const QString& text, QString& why) {
  std::vector<route::Jd> jds;
  const QStringList lines = text.split(QLatin1Char('\n'));
  bool first = true;
  for (int line = 0; line < lines.size(); ++line) {
    QStringList cells = lines[line].split(QLatin1Char('\t'));
    if (!cells.isEmpty() && cells.last().endsWith(QLatin1Char('\r')))
      cells.last().chop(1);
    if (cells.join(QString()).trimmed().isEmpty())
      continue;
    QString ignored;
    if (first && (cells.size() < 2 || !cellNumber(cells[1], ignored))) {
      first = false; // a heading
      continue;
    }
    first = false;
    const auto fail = [&](int column, const QString& reason) {
      why = QStringLiteral("粘贴的第%1行第%2列（%3）：%4")
                .arg(line + 1)
                .arg(column + 1)
                .arg(QString::fromUtf8(kPastedColumns[column]), reason);
      return std::nullopt;
    };
    if (cells.size() < kLeastPastedCells)
      return fail(cells.size(), QStringLiteral("缺少，每行应为 名称 X Y R [Ls [ls2]]"));
    route::Jd jd;
    QString reason;
    if (!cellName(cells[0], reason))
      return fail(0, reason);
    jd.name = cells[0].trimmed().toStdString();
    double* const numbers[] = {&jd.x, &jd.y, &jd.radius, &jd.ls1};
    for (int column = 1; column < 5; ++column) {
      if (column == 4 && (cells.size() <= 4 || cells[4].trimmed().isEmpty()))
        break;
      const auto value = cellNumber(cells[column], reason);
      if (!value)
        return fail(column, reason);
      *numbers[column - 1] = *value;
    }
    if (cells.size() > 5 && !cells[5].trimmed().isEmpty()) {
      const auto value = cellNumber(cells[5], reason);
      if (!value)
        return fail(5, reason);
      jd.ls2 = *value;
    }
    jds.push_back(std::move(jd));
  }
  return jds;
}

QString copiedJds(const std::vector<route::Jd>& jds) {
  QString text;
  for (const route::Jd& jd : jds)
    text += QStringList{QString::fromStdString(jd.name),
                        exactText(jd.x),
                        exactText(jd.y),
                        exactText(jd.radius),
                        exactText(jd.ls1),
                        jd.ls2 ? exactText(*jd.ls2) : QString()}
                .join(QLatin1Char('\t')) +
            QLatin1Char('\n');
  return text;
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
