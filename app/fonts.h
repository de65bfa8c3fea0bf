// SPDX-License-Identifier: GPL-3.0-or-later
// The fonts of the window, from what this machine has installed.
#pragma once

#include <QFont>

namespace quenlor {

// The title's LiShu calligraphic face at 21.75 points, or the closest stand-in:
// a Kai calligraphic face, then any face that writes simplified Chinese.
QFont titleFont();

// One face for every other control: the first installed face that writes
// Chinese and lets every caption fit its box, preferring a clean sans face.
QFont controlFont();

// Whether every caption other than the title fits its box in this font, the
// notice of Label2 wrapped over its width.
bool captionsFit(const QFont& font);

} // namespace quenlor
