// SPDX-License-Identifier: GPL-3.0-or-later
// The fonts of the window, from what this machine has installed.
#pragma once

#include <QFont>

namespace quenlor {

// The title's LiShu calligraphic face at 21.75 points, or the closest stand-in
// (a Kai calligraphic face, then any face that writes simplified Chinese),
// after a serif face for its Latin letters.
QFont titleFont();

// One family list for every other control: a clear Latin sans face for the
// letters and digits, then the first face that writes Chinese, at the
// largest of 9, 8.5 and 8 points at which every caption fits its box; a
// Chinese face alone where no such pair fits.
QFont controlFont();

// Whether every caption other than the title fits its box in this font, the
// notice of Label2 wrapped over its width.
bool captionsFit(const QFont& font);

} // namespace quenlor
