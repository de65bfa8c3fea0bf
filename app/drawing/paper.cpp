// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/drawing/paper.h"

#include "text/catalogue.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <string>

namespace quenlor {
namespace {

constexpr double kMarginMm = 15;
constexpr double kMillimetresPerInch = 25.4;
constexpr double kLineSpacing = 1.35; // a line's height, in the font's

} // namespace

Paper::Paper(QPagedPaintDevice& device, QPageLayout::Orientation orientation) : device_(device) {
  device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), orientation,
                                   QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                   QPageLayout::Millimeter));
}

QRectF Paper::page() const {
  return QRectF(QPointF(0, 0), QSizeF(device_.width(), device_.height()));
}

double Paper::pixelsPerMillimetre() const { return device_.logicalDpiX() / kMillimetresPerInch; }

double Paper::textHeight(const QFont& font) const { return QFontMetricsF(font, &device_).height(); }

double Paper::lineHeight(const QFont& font) const { return textHeight(font) * kLineSpacing; }

double Paper::textWidth(const QFont& font, const QString& text) const {
  return QFontMetricsF(font, &device_).horizontalAdvance(text);
}

int Paper::print(int pages, const QFont& font, const std::function<void(QPainter&, int)>& paint) {
  pages = std::max(pages, 1);
  QPainter painter;
  if (!painter.begin(&device_))
    return 0;
  const QRectF area = page();
  const double foot = lineHeight(font);
  for (int n = 1; n <= pages; ++n) {
    if (n > 1)
      device_.newPage();
    paint(painter, n);
    painter.setFont(font);
    painter.drawText(QRectF(area.left(), area.bottom() - foot, area.width(), foot),
                     Qt::AlignHCenter,
                     QString::fromStdString(
                         chinese(Say::WindowPageOf, {std::to_string(n), std::to_string(pages)})));
  }
  painter.end();
  return pages;
}

} // namespace quenlor
