// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/flow_layout.h"

#include <QWidget>

#include <algorithm>

namespace quenlor {

FlowLayout::FlowLayout(QWidget* parent, int spacing) : QLayout(parent), spacing_(spacing) {
  setContentsMargins(0, 0, 0, 0);
}

FlowLayout::~FlowLayout() {
  while (QLayoutItem* item = takeAt(0))
    delete item;
}

void FlowLayout::addItem(QLayoutItem* item) { items_.append(item); }

QLayoutItem* FlowLayout::takeAt(int index) {
  return index >= 0 && index < items_.size() ? items_.takeAt(index) : nullptr;
}

int FlowLayout::heightForWidth(int width) const { return arrange(QRect(0, 0, width, 0), false); }

// At least the widest item, so that it is never cut.
QSize FlowLayout::minimumSize() const {
  QSize least;
  for (const QLayoutItem* item : items_)
    least = least.expandedTo(item->minimumSize());
  return least;
}

QSize FlowLayout::sizeHint() const {
  int width = 0, height = 0;
  for (const QLayoutItem* item : items_) {
    width += item->sizeHint().width() + (width > 0 ? spacing_ : 0);
    height = std::max(height, item->sizeHint().height());
  }
  return {width, height};
}

void FlowLayout::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  arrange(rect, true);
}

int FlowLayout::arrange(const QRect& rect, bool place) const {
  int x = rect.x(), y = rect.y(), lineHeight = 0;
  for (QLayoutItem* item : items_) {
    const QSize size = item->sizeHint();
    if (x > rect.x() && x + size.width() > rect.right() + 1) {
      x = rect.x();
      y += lineHeight + spacing_;
      lineHeight = 0;
    }
    if (place)
      item->setGeometry(QRect(QPoint(x, y), size));
    x += size.width() + spacing_;
    lineHeight = std::max(lineHeight, size.height());
  }
  return y + lineHeight - rect.y();
}

} // namespace quenlor
