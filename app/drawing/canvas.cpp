// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/drawing/canvas.h"

#include <QWidget>

namespace quenlor {
namespace {

constexpr int kLeastSide = 120; // pixels

} // namespace

void makeCanvas(QWidget& widget, const char* name) {
  widget.setObjectName(QString::fromUtf8(name));
  widget.setAutoFillBackground(true);
  QPalette palette = widget.palette();
  palette.setColor(QPalette::Window, Qt::white);
  widget.setPalette(palette);
  widget.setMinimumSize(kLeastSide, kLeastSide);
}

} // namespace quenlor
