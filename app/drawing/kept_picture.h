// SPDX-License-Identifier: GPL-3.0-or-later
// A drawing made once and kept, painted again as it is until what it shows
// changes: a view repaints a small part of itself (a moving mark, the cursor
// of a box over it) for the cost of a copy. It is made again after drop(),
// and when the widget's size or pixel ratio is not the one it was made at.
#pragma once

#include <QPixmap>

class QPainter;
class QWidget;

namespace quenlor {

class KeptPicture {
public:
  void drop() { dropped_ = true; }
  bool stale(const QWidget& widget) const;
  // A white picture of the widget's size to draw anew; kept from then on.
  QPixmap& remake(const QWidget& widget);
  // Paints what is kept over the widget, its top left at the widget's.
  void paint(QPainter& painter) const;

private:
  QPixmap picture_;
  bool dropped_ = true;
};

} // namespace quenlor
