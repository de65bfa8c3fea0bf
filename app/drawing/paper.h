// SPDX-License-Identifier: GPL-3.0-or-later
// Pages printed on a printer or into a PDF file: A4 portrait (or landscape,
// for a wide table) with margins of 15 mm, painted one after another, each with its number at its
// foot
// ("第 N 页 / 共 M 页"). What a page shows is its painter's business: a table
// of rows, or a drawing at a scale on paper (a cross-section at 1:200 is a
// ViewTransform whose scale is pixelsPerMillimetre() × 1000 / 200).
#pragma once

#include <QFont>
#include <QPageLayout>
#include <QRectF>

#include <functional>

class QPagedPaintDevice;
class QPainter;

namespace quenlor {

class Paper {
public:
  // Sets the device to A4 with the margins.
  explicit Paper(QPagedPaintDevice& device,
                 QPageLayout::Orientation orientation = QPageLayout::Portrait);

  // The area inside the margins, in the device's units, its top left at 0.
  QRectF page() const;
  double pixelsPerMillimetre() const;
  // The height of a font's text on this paper, and of a line of it with
  // its spacing.
  double textHeight(const QFont& font) const;
  double lineHeight(const QFont& font) const;
  // How wide a text is in a font on this paper.
  double textWidth(const QFont& font, const QString& text) const;

  // Paints `pages` pages (at least one), each by `paint` with its number
  // from 1, then its foot in `font`. The pages painted; 0 when the device
  // cannot be painted on.
  int print(int pages, const QFont& font, const std::function<void(QPainter&, int)>& paint);

private:
  QPagedPaintDevice& device_;
};

} // namespace quenlor
