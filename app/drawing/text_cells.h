// SPDX-License-Identifier: GPL-3.0-or-later
// A table's cells of one line of text, drawn as the style draws them (the
// cell's background, selection and focus frame by the style) with their text
// laid out once and kept (QStaticText): a table of thousands of rows repaints
// the rows in view after every edit, and laying out each cell's text again
// cost nine tenths of that. A text too wide for its cell is elided as the
// style elides it (the elided text laid out once too). A text of several
// lines, a cell with an icon or a check box, or one being edited is left to
// the style as before (it places and frames them).
//
// The texts of the last few thousand cells are kept; all are dropped when the
// font changes.
#pragma once

#include <QFont>
#include <QStaticText>
#include <QString>
#include <QStyledItemDelegate>

#include <unordered_map>

namespace quenlor {

class TextCells : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;

private:
  const QStaticText& laidOut(const QString& text, const QFont& font) const;
  // The text elided to a width, kept by text, width and mode.
  const QString& elided(const QString& text, const QFont& font, Qt::TextElideMode mode,
                        int width) const;

  mutable QFont font_;
  mutable std::unordered_map<QString, QStaticText> texts_;
  mutable std::unordered_map<QString, QString> elided_;
};

} // namespace quenlor
