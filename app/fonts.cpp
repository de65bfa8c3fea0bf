// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/fonts.h"

#include "app/control_table.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

namespace quenlor {
namespace {

constexpr double kControlPointSize = 9.0;

// Installed families: the preferred ones in their order, then every other
// that writes simplified Chinese.
QStringList candidates(const QStringList& preferred) {
  const QStringList installed = QFontDatabase::families();
  QStringList list;
  for (const QString& family : preferred)
    if (installed.contains(family, Qt::CaseInsensitive))
      list << family;
  for (const QString& family : QFontDatabase::families(QFontDatabase::SimplifiedChinese))
    if (!list.contains(family, Qt::CaseInsensitive))
      list << family;
  return list;
}

QFont sized(const QString& family, double points) {
  QFont font(family);
  font.setPointSizeF(points);
  return font;
}

} // namespace

QFont titleFont() {
  const QStringList families =
      candidates({QStringLiteral("隶书"), QStringLiteral("LiSu"), QStringLiteral("LiShu"),
                  QStringLiteral("AR PL UKai CN"), QStringLiteral("AR PL UKai TW")});
  QFont font = sized(families.value(0), kTitlePointSize);
  font.setWeight(QFont::Normal);
  return font;
}

bool captionsFit(const QFont& font) {
  const QFontMetrics metrics(font);
  for (const WindowControl& control : windowControls()) {
    if (control.kind == ControlKind::TextBox || control.name == "Label1")
      continue;
    const QString caption =
        QString::fromUtf8(control.caption.data(), qsizetype(control.caption.size()));
    const int width = control.width / kTwipsPerPixel;
    const int height = control.height / kTwipsPerPixel;
    const int flags = control.name == "Label2" ? int(Qt::TextWordWrap) : 0;
    const QRect needed = metrics.boundingRect(QRect(0, 0, width, 4 * height), flags, caption);
    if (needed.width() > width || needed.height() > height)
      return false;
  }
  return true;
}

QFont controlFont() {
  const QStringList families =
      candidates({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("AR PL UMing CN"),
                  QStringLiteral("SimSun"), QStringLiteral("宋体")});
  for (const QString& family : families)
    if (captionsFit(sized(family, kControlPointSize)))
      return sized(family, kControlPointSize);
  return sized(families.value(0), kControlPointSize);
}

} // namespace quenlor
