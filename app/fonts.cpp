// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/fonts.h"

#include "app/control_table.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

namespace quenlor {
namespace {

// The sizes tried for the controls, largest first.
constexpr double kControlPointSizes[] = {9.0, 8.5, 8.0};

// The installed ones of the preferred families, in their order; with
// `chinese`, then every other family that writes simplified Chinese.
QStringList installed(const QStringList& preferred, bool chinese) {
  const QStringList all = QFontDatabase::families();
  QStringList list;
  for (const QString& family : preferred)
    if (all.contains(family, Qt::CaseInsensitive))
      list << family;
  if (chinese)
    for (const QString& family : QFontDatabase::families(QFontDatabase::SimplifiedChinese))
      if (!list.contains(family, Qt::CaseInsensitive))
        list << family;
  return list;
}

// Latin letters and digits come from a face that tells l from 1 (the
// Chinese faces draw their Latin l like a 1: 缓和曲线1s2, Quen1or), the
// Chinese characters from the face after it.
QFont withFamilies(const QStringList& families, double points) {
  QFont font(families.value(0));
  font.setFamilies(families);
  font.setPointSizeF(points);
  return font;
}

QStringList latinFaces(bool serif) {
  return serif
             ? installed({QStringLiteral("DejaVu Serif"), QStringLiteral("Liberation Serif")},
                         false)
             : installed({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")}, false);
}

} // namespace

QFont titleFont() {
  const QStringList chinese =
      installed({QStringLiteral("隶书"), QStringLiteral("LiSu"), QStringLiteral("LiShu"),
                 QStringLiteral("AR PL UKai CN"), QStringLiteral("AR PL UKai TW")},
                true);
  QFont font = withFamilies(latinFaces(true).mid(0, 1) + chinese.mid(0, 1), kTitlePointSize);
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
  const QStringList chinese =
      installed({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("AR PL UMing CN"),
                 QStringLiteral("SimSun"), QStringLiteral("宋体")},
                true);
  for (const double points : kControlPointSizes)
    for (const QString& latin : latinFaces(false))
      for (const QString& face : chinese)
        if (const QFont font = withFamilies({latin, face}, points); captionsFit(font))
          return font;
  for (const QString& face : chinese)
    if (const QFont font = withFamilies({face}, kControlPointSizes[0]); captionsFit(font))
      return font;
  return withFamilies(chinese.mid(0, 1), kControlPointSizes[0]);
}

} // namespace quenlor
