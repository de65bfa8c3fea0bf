// SPDX-License-Identifier: GPL-3.0-or-later
// A ruled table on paper (paper.h), page after page: on every page its title,
// lines of header text, the column headings and as many rows as fit above
// the page's foot.
//
// The headings take one row, or two where columns stand in groups: a
// group's heading over its columns, a column on its own down both. Each
// column is as wide as its widest text; where the columns together are wider
// than the page the font shrinks until they fit; where they are much
// narrower, the whole set of columns stands side by side in bands (up to the
// number asked), the rows running down the first band, then the next, as
// long lists of coordinates are printed. A column of what stands between two
// rows (the straight between two JDs) is drawn half a row lower, its cells
// ruled between those of the others.
#pragma once

#include <QFont>
#include <QPageLayout>
#include <QString>

#include <vector>

class QPagedPaintDevice;

namespace quenlor {

struct PaperColumn {
  QString group;        // empty: a column on its own
  QString heading;      //
  bool left = false;    // reads from the left; else from the right
  bool between = false; // drawn half a row lower
};

struct PaperTable {
  QString title;
  std::vector<QString> header; // lines under the title
  std::vector<PaperColumn> columns;
  std::vector<std::vector<QString>> rows; // a cell a column
  int mostBands = 1;
};

// Paints the table in `font` (its largest size) on A4 in the orientation
// given; the number of pages, 0 when nothing could be painted.
int printTable(QPagedPaintDevice& device, QPageLayout::Orientation orientation,
               const PaperTable& table, const QFont& font);

} // namespace quenlor
