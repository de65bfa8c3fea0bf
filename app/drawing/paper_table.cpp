// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/drawing/paper_table.h"

#include "app/drawing/paper.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace quenlor {
namespace {

constexpr double kLeastPoints = 5;     // a font no smaller than this
constexpr double kLeastBandPoints = 7; // nor this, for more than one band
constexpr int kFittings = 6;           // tries at a smaller font
constexpr double kTitleScale = 1.5;    // the title's font, in the text's
constexpr double kTitleSpacing = 1.4;  // the title's height, in its font's
constexpr double kPadding = 0.25;      // round a cell's text, in the line's height
constexpr double kBandGap = 1.0;       // between bands, in the line's height
constexpr double kRuleMillimetres = 0.15;

// Where the columns stand and how the rows fall on the pages.
class Layout {
public:
  Layout(const Paper& paper, const PaperTable& table, QFont font)
      : paper_(paper), table_(table), font_(std::move(font)) {
    // As many bands as fit at a readable size; one at any size.
    const double natural = font_.pointSizeF(), page = paper.page().width();
    const double gap = kBandGap * line();
    for (bands_ = std::max(1, table.mostBands); bands_ > 1; --bands_) {
      fitTo((page - (bands_ - 1) * gap) / bands_);
      if (font_.pointSizeF() >= kLeastBandPoints)
        break;
      font_.setPointSizeF(natural);
    }
    if (bands_ == 1)
      fitTo(page);
    const double total = measure();
    // Widen the columns to fill the page's width.
    const double band = (page - (bands_ - 1) * kBandGap * line()) / bands_;
    if (total < band)
      for (double& w : widths_)
        w *= band / total;
    bandWidth_ = std::accumulate(widths_.begin(), widths_.end(), 0.0);
    const bool between = std::ranges::any_of(table.columns, &PaperColumn::between);
    const double rows = paper.page().height() - top() - headingRows() * line() -
                        (between ? 2 : 1.5) * line(); // the foot
    rowsPerBand_ = std::max(1, int(rows / line()));
  }

  const QFont& font() const { return font_; }
  double line() const { return paper_.lineHeight(font_); }
  int headingRows() const {
    return std::ranges::any_of(table_.columns,
                               [](const PaperColumn& c) { return !c.group.isEmpty(); })
               ? 2
               : 1;
  }
  QFont titleFont() const {
    QFont title = font_;
    title.setPointSizeF(font_.pointSizeF() * kTitleScale);
    title.setBold(true);
    return title;
  }
  // Where the headings start, below the title and the header lines.
  double top() const {
    return paper_.textHeight(titleFont()) * kTitleSpacing +
           (double(table_.header.size()) + 0.5) * line();
  }
  int bands() const { return bands_; }
  int rowsPerBand() const { return rowsPerBand_; }
  int rowsPerPage() const { return rowsPerBand_ * bands_; }
  double width(std::size_t column) const { return widths_[column]; }
  double bandLeft(int band) const {
    return paper_.page().left() + band * (bandWidth_ + kBandGap * line());
  }

private:
  // The font shrunk until the columns fit a width, or to its least size.
  void fitTo(double width) {
    for (int i = 0; i < kFittings && measure() > width; ++i) {
      if (font_.pointSizeF() <= kLeastPoints)
        break;
      font_.setPointSizeF(
          std::max(kLeastPoints, std::floor(font_.pointSizeF() * width / measure() * 10) / 10));
    }
  }

  // The columns' widths in the font as it is, each its widest text's and
  // its group's share; their sum.
  double measure() {
    const auto& columns = table_.columns;
    const double pad = kPadding * line();
    widths_.assign(columns.size(), 0);
    for (std::size_t c = 0; c < columns.size(); ++c) {
      double w = paper_.textWidth(font_, columns[c].heading);
      for (const auto& row : table_.rows)
        if (c < row.size())
          w = std::max(w, paper_.textWidth(font_, row[c]));
      widths_[c] = w + 2 * pad;
    }
    for (std::size_t c = 0; c < columns.size();) {
      std::size_t end = c + 1;
      while (end < columns.size() && !columns[c].group.isEmpty() &&
             columns[end].group == columns[c].group)
        ++end;
      const double want = paper_.textWidth(font_, columns[c].group) + 2 * pad;
      const double have =
          std::accumulate(widths_.begin() + long(c), widths_.begin() + long(end), 0.0);
      for (std::size_t k = c; want > have && k < end; ++k)
        widths_[k] += (want - have) / double(end - c);
      c = end;
    }
    return std::accumulate(widths_.begin(), widths_.end(), 0.0);
  }

  const Paper& paper_;
  const PaperTable& table_;
  QFont font_;
  std::vector<double> widths_;
  double bandWidth_ = 0;
  int bands_ = 1, rowsPerBand_ = 1;
};

class TablePainter {
public:
  TablePainter(const Paper& paper, const PaperTable& table, const Layout& layout)
      : paper_(paper), table_(table), layout_(layout), h_(layout.line()) {}

  void page(QPainter& painter, int number) const {
    const QRectF area = paper_.page();
    double y = area.top();
    const QFont title = layout_.titleFont();
    const double titleHeight = paper_.textHeight(title) * kTitleSpacing;
    painter.setFont(title);
    painter.drawText(QRectF(area.left(), y, area.width(), titleHeight), Qt::AlignHCenter,
                     table_.title);
    y += titleHeight;
    painter.setFont(layout_.font());
    for (const QString& text : table_.header) {
      painter.drawText(QRectF(area.left(), y, area.width(), h_), Qt::AlignLeft, text);
      y += h_;
    }
    painter.setPen(QPen(Qt::black, kRuleMillimetres * paper_.pixelsPerMillimetre()));
    const std::size_t first = std::size_t(number - 1) * std::size_t(layout_.rowsPerPage());
    for (int band = 0; band < layout_.bands(); ++band) {
      const std::size_t from = first + std::size_t(band) * std::size_t(layout_.rowsPerBand());
      if (from >= table_.rows.size() && band > 0)
        break;
      const std::size_t to =
          std::min(table_.rows.size(), from + std::size_t(layout_.rowsPerBand()));
      headings(painter, layout_.bandLeft(band), layout_.top());
      rows(painter, layout_.bandLeft(band), layout_.top() + layout_.headingRows() * h_, from,
           std::max(from, to));
    }
  }

private:
  void cell(QPainter& painter, const QRectF& box, const QString& text, Qt::Alignment align) const {
    painter.drawRect(box);
    const double pad = kPadding * h_;
    painter.drawText(box.adjusted(pad, 0, -pad, 0), align | Qt::AlignVCenter, text);
  }

  void headings(QPainter& painter, double x, double y) const {
    QFont bold = layout_.font();
    bold.setBold(true);
    painter.setFont(bold);
    const auto& columns = table_.columns;
    const bool two = layout_.headingRows() == 2;
    for (std::size_t c = 0; c < columns.size(); ++c) {
      const double w = layout_.width(c);
      if (columns[c].group.isEmpty()) {
        cell(painter, QRectF(x, y, w, two ? 2 * h_ : h_), columns[c].heading, Qt::AlignHCenter);
      } else {
        cell(painter, QRectF(x, y + h_, w, h_), columns[c].heading, Qt::AlignHCenter);
        if (c == 0 || columns[c - 1].group != columns[c].group) {
          double span = 0;
          for (std::size_t k = c; k < columns.size() && columns[k].group == columns[c].group; ++k)
            span += layout_.width(k);
          cell(painter, QRectF(x, y, span, h_), columns[c].group, Qt::AlignHCenter);
        }
      }
      x += w;
    }
    painter.setFont(layout_.font());
  }

  // Rows [from, to) from the top of the band's rows down.
  void rows(QPainter& painter, double x, double y, std::size_t from, std::size_t to) const {
    const auto& columns = table_.columns;
    for (std::size_t c = 0; c < columns.size(); ++c) {
      const double w = layout_.width(c);
      const Qt::Alignment align = columns[c].left ? Qt::AlignLeft : Qt::AlignRight;
      if (columns[c].between) {
        // Its first half row above the first cell, and a last cell that
        // runs past the others only where it holds something.
        painter.drawRect(QRectF(x, y, w, h_ / 2));
        for (std::size_t r = from; r < to; ++r) {
          const QString text = c < table_.rows[r].size() ? table_.rows[r][c] : QString();
          const double top = y + (double(r - from) + 0.5) * h_;
          if (r + 1 < to || !text.isEmpty())
            cell(painter, QRectF(x, top, w, h_), text, align);
          else
            painter.drawRect(QRectF(x, top, w, h_ / 2));
        }
      } else {
        for (std::size_t r = from; r < to; ++r)
          cell(painter, QRectF(x, y + double(r - from) * h_, w, h_),
               c < table_.rows[r].size() ? table_.rows[r][c] : QString(), align);
      }
      x += w;
    }
  }

  const Paper& paper_;
  const PaperTable& table_;
  const Layout& layout_;
  double h_;
};

} // namespace

int printTable(QPagedPaintDevice& device, QPageLayout::Orientation orientation,
               const PaperTable& table, const QFont& font) {
  Paper paper(device, orientation);
  const Layout layout(paper, table, font);
  const TablePainter painter(paper, table, layout);
  const std::size_t perPage = std::size_t(layout.rowsPerPage());
  const int pages = int(std::max<std::size_t>(1, (table.rows.size() + perPage - 1) / perPage));
  return paper.print(pages, layout.font(),
                     [&](QPainter& p, int number) { painter.page(p, number); });
}

} // namespace quenlor
