// SPDX-License-Identifier: GPL-3.0-or-later
// A widget that shows a drawing (a plan, a profile, a cross-section): white
// behind what it draws, named for the window's tests and pictures, and
// never smaller than a thumbnail.
#pragma once

class QWidget;

namespace quenlor {

void makeCanvas(QWidget& widget, const char* name);

} // namespace quenlor
