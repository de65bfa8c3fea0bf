// SPDX-License-Identifier: GPL-3.0-or-later
// A layout that sets its widgets side by side and wraps to a new line where
// the width runs out: a row of buttons that stays whole in a narrow panel.
#pragma once

#include <QLayout>
#include <QList>

namespace quenlor {

class FlowLayout : public QLayout {
public:
  explicit FlowLayout(QWidget* parent = nullptr, int spacing = 4);
  ~FlowLayout() override;

  void addItem(QLayoutItem* item) override;
  int count() const override { return int(items_.size()); }
  QLayoutItem* itemAt(int index) const override { return items_.value(index); }
  QLayoutItem* takeAt(int index) override;
  Qt::Orientations expandingDirections() const override { return {}; }
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;
  QSize minimumSize() const override;
  QSize sizeHint() const override;
  void setGeometry(const QRect& rect) override;

private:
  // Places the items in the rectangle (when `place`); the height they take.
  int arrange(const QRect& rect, bool place) const;

  QList<QLayoutItem*> items_;
  int spacing_;
};

} // namespace quenlor
