// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/drawing/halo_labels.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QStringList>

#include <cmath>

namespace quenlor {
namespace {

// Texts measured, and pictures kept, at most: a few screens of labels.
constexpr std::size_t kSizesKept = 8192, kPicturesKept = 256;
constexpr double kHalo = 1; // pixels of white around the text

} // namespace

void HaloLabels::setFont(const QFont& font, qreal pixelRatio) {
  if (font == font_ && pixelRatio == pixelRatio_)
    return;
  font_ = font;
  pixelRatio_ = pixelRatio;
  advances_.clear();
  labels_.clear();
  pictures_ = 0;
}

HaloLabels::Label& HaloLabels::label(const QString& text) {
  if (const auto kept = labels_.find(text); kept != labels_.end())
    return kept->second;
  if (labels_.size() >= kSizesKept) {
    labels_.clear();
    pictures_ = 0;
  }
  double width = 0;
  qsizetype lines = 0;
  for (const QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
    width = std::max(width, lineWidth(line));
    ++lines;
  }
  const double height = QFontMetricsF(font_).height() * double(lines);
  return labels_.emplace(text, Label{QSizeF(width, height), {}}).first->second;
}

double HaloLabels::advance(QChar c) {
  const auto kept = advances_.find(c.unicode());
  if (kept != advances_.end())
    return kept->second;
  return advances_.emplace(c.unicode(), QFontMetricsF(font_).horizontalAdvance(c)).first->second;
}

// Characters beyond the first plane, written in pairs, are measured whole.
double HaloLabels::lineWidth(QStringView line) {
  double width = 0;
  for (const QChar c : line) {
    if (c.isSurrogate())
      return QFontMetricsF(font_).horizontalAdvance(line.toString());
    width += advance(c);
  }
  return width;
}

QSizeF HaloLabels::size(const QString& text) { return label(text).size; }

QSizeF HaloLabels::leastSize(QStringView pattern, int lines) {
  double narrowestDigit = INFINITY;
  for (char digit = '0'; digit <= '9'; ++digit)
    narrowestDigit = std::min(narrowestDigit, advance(QLatin1Char(digit)));
  double width = 0;
  for (const QChar c : pattern)
    width += c.isDigit() ? narrowestDigit : advance(c);
  return {width, QFontMetricsF(font_).height() * lines};
}

// The text is drawn once, in black; its halo is the same picture turned
// white and laid a pixel off every way beneath it.
QPixmap HaloLabels::picture(const QString& text, const QSizeF& size) const {
  const QSize pixels = ((size + QSizeF(2 * kHalo, 2 * kHalo)) * pixelRatio_).toSize() + QSize(1, 1);
  QImage black(pixels, QImage::Format_ARGB32_Premultiplied);
  black.setDevicePixelRatio(pixelRatio_);
  black.fill(Qt::transparent);
  QPainter ink(&black);
  ink.setFont(font_);
  ink.setPen(Qt::black);
  const QFontMetricsF metrics(font_);
  qsizetype row = 0;
  for (const QStringView line : QStringView(text).split(QLatin1Char('\n')))
    ink.drawText(QPointF(kHalo, kHalo + metrics.ascent() + double(row++) * metrics.height()),
                 line.toString());
  ink.end();
  QImage white = black;
  QPainter paint(&white);
  paint.setCompositionMode(QPainter::CompositionMode_SourceIn);
  paint.fillRect(white.rect(), Qt::white);
  paint.end();

  QPixmap picture(pixels);
  picture.setDevicePixelRatio(pixelRatio_);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  for (const double dx : {-kHalo, 0.0, kHalo})
    for (const double dy : {-kHalo, 0.0, kHalo})
      if (dx != 0 || dy != 0)
        p.drawImage(QPointF(dx, dy), white);
  p.drawImage(QPointF(0, 0), black);
  return picture;
}

void HaloLabels::draw(QPainter& painter, const QString& text, const QPointF& at) {
  Label& kept = label(text);
  if (kept.picture.isNull()) {
    if (pictures_ >= kPicturesKept) {
      for (auto& [_, l] : labels_)
        l.picture = QPixmap();
      pictures_ = 0;
    }
    kept.picture = picture(text, kept.size);
    ++pictures_;
  }
  painter.drawPixmap(at - QPointF(kHalo, kHalo), kept.picture);
}

} // namespace quenlor
