// SPDX-License-Identifier: GPL-3.0-or-later
// Labels with a white halo, so that they read over the lines beneath them:
// each line of the text in white a pixel off every way, then in black. A
// label is drawn once into a picture that later paints copy, since most
// labels outlive many paints; the pictures of the last few hundred texts are
// kept, and all are dropped when the font or the screen's pixel ratio
// changes.
//
// A label is measured by the advances of its characters, each looked up
// once (kerning aside, which only narrows a text): a view can weigh
// thousands of labels for the few it has room for.
#pragma once

#include <QFont>
#include <QPixmap>
#include <QSizeF>
#include <QString>

#include <unordered_map>

class QPainter;

namespace quenlor {

class HaloLabels {
public:
  // The font and pixel ratio of the labels to come.
  void setFont(const QFont& font, qreal pixelRatio);
  // The size of a label's text (its lines one below the other), without
  // the halo.
  QSizeF size(const QString& text);
  // The least size of any text of a pattern: each digit in it stands for
  // any digit, the narrowest taken; `lines` such lines.
  QSizeF leastSize(QStringView pattern, int lines);
  // Paints a label, its text's top left at `at`.
  void draw(QPainter& painter, const QString& text, const QPointF& at);

private:
  struct Label {
    QSizeF size;
    QPixmap picture; // null until first drawn
  };
  Label& label(const QString& text);
  QPixmap picture(const QString& text, const QSizeF& size) const;
  double advance(QChar c);
  double lineWidth(QStringView line);

  QFont font_;
  qreal pixelRatio_ = 1;
  std::unordered_map<char16_t, double> advances_;
  std::unordered_map<QString, Label> labels_;
  std::size_t pictures_ = 0;
};

} // namespace quenlor
