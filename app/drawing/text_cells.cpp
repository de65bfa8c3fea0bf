// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/drawing/text_cells.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QStyle>

namespace quenlor {
namespace {

// Texts kept at most: many screens of cells.
constexpr std::size_t kTextsKept = 8192;

// The colour group the style draws a cell's text in.
QPalette::ColorGroup groupOf(const QStyleOptionViewItem& o) {
  if (!(o.state & QStyle::State_Enabled))
    return QPalette::Disabled;
  return o.state & QStyle::State_Active ? QPalette::Normal : QPalette::Inactive;
}

} // namespace

const QStaticText& TextCells::laidOut(const QString& text, const QFont& font) const {
  if (font != font_ || texts_.size() >= kTextsKept || elided_.size() >= kTextsKept) {
    texts_.clear();
    elided_.clear();
    font_ = font;
  }
  const auto [kept, made] = texts_.try_emplace(text, text);
  if (made) {
    kept->second.setTextFormat(Qt::PlainText);
    kept->second.prepare(QTransform(), font);
  }
  return kept->second;
}

const QString& TextCells::elided(const QString& text, const QFont& font, Qt::TextElideMode mode,
                                 int width) const {
  laidOut(QString(), font); // drops what was kept for another font
  const QString key =
      text + QChar(0x1f) + QString::number(width) + QChar(0x1f) + QString::number(int(mode));
  const auto [kept, made] = elided_.try_emplace(key);
  if (made)
    kept->second = QFontMetricsF(font).elidedText(text, mode, width);
  return kept->second;
}

void TextCells::paint(QPainter* painter, const QStyleOptionViewItem& option,
                      const QModelIndex& index) const {
  QStyleOptionViewItem o = option;
  initStyleOption(&o, index);
  const bool plain = !(
      o.features & (QStyleOptionViewItem::HasDecoration | QStyleOptionViewItem::HasCheckIndicator));
  if (!plain || o.state & QStyle::State_Editing || o.text.contains(QLatin1Char('\n')))
    return QStyledItemDelegate::paint(painter, option, index);
  const QWidget* widget = o.widget;
  const QStyle* style = widget ? widget->style() : QApplication::style();
  // The text's room: the cell less the focus frame's margin and a pixel
  // each side, as the style leaves it.
  const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
  const QRect room = o.rect.adjusted(margin, 0, -margin, 0);
  const QStaticText* text = o.text.isEmpty() ? nullptr : &laidOut(o.text, o.font);
  if (text && text->size().width() > room.width()) // elided as the style elides it, and kept
    text = &laidOut(elided(o.text, o.font, o.textElideMode, room.width()), o.font);

  style->drawPrimitive(QStyle::PE_PanelItemViewItem, &o, painter, widget);
  if (text) {
    const QSizeF size = text->size();
    const Qt::Alignment align = QStyle::visualAlignment(o.direction, o.displayAlignment);
    const double x = align & Qt::AlignRight     ? room.left() + room.width() - size.width()
                     : align & Qt::AlignHCenter ? room.left() + (room.width() - size.width()) / 2
                                                : room.left();
    const int height = int(QFontMetricsF(o.font).height());
    const double y = align & Qt::AlignTop      ? room.top()
                     : align & Qt::AlignBottom ? room.top() + room.height() - height
                                               : room.top() + (room.height() - height) / 2;
    painter->save();
    painter->setPen(o.palette.color(
        groupOf(o), o.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setClipRect(o.rect);
    painter->drawStaticText(QPointF(x, y), *text);
    painter->restore();
  }
  if (o.state & QStyle::State_HasFocus) {
    QStyleOptionFocusRect focus;
    focus.QStyleOption::operator=(o);
    focus.rect = style->subElementRect(QStyle::SE_ItemViewItemFocusRect, &o, widget);
    focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
    focus.backgroundColor = o.palette.color(
        groupOf(o), o.state & QStyle::State_Selected ? QPalette::Highlight : QPalette::Window);
    style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
  }
}

} // namespace quenlor
