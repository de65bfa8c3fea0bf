// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/stake_sheet_print.h"

#include "app/captions.h"
#include "app/drawing/paper.h"
#include "app/fonts.h"
#include "app/said.h"
#include "files/save_file.h"
#include "session/field_tools.h"

#include <QFile>
#include <QIODevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>

#include <cmath>

namespace quenlor {
namespace {

constexpr double kTextPoints = 8.5, kTitlePoints = 13;
constexpr double kTitleSpacing = 1.4; // the title's height, in its font's

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// A device onto the save path's sink: what the PDF writer writes goes on to
// the file as it is written, every write checked there.
class SinkDevice final : public QIODevice {
public:
  explicit SinkDevice(FileSink& sink) : sink_(sink) { open(QIODevice::WriteOnly); }

protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 size) override {
    return sink_.write(std::string_view(data, std::size_t(size))) ? size : -1;
  }

private:
  FileSink& sink_;
};

// The columns of the sheet and their share of the page's width.
struct Column {
  const char* heading;
  double share;
};
constexpr Column kColumns[] = {{"桩号", 0.15},    {"点", 0.07},       {"X", 0.16},
                               {"Y", 0.16},       {"设计高程", 0.12}, {"放线方位角", 0.18},
                               {"放线距离", 0.16}};

using Line = std::array<QString, std::size(kColumns)>;

// A cell of the engine's stake table by its heading, as the table shows it.
QString cell(const StakeRow& row, std::string_view heading, Precision p) {
  for (const StakeColumn& column : stakeColumns(true, true))
    if (column.heading == heading)
      return qs(column.cell(row, p));
  return {};
}

// One line a point of a stake: the centre, then the sides standing off it.
void addLines(std::vector<Line>& lines, const StakeRow& row, Precision p) {
  if (!row.centre)
    return;
  const PlanePoint c = row.centre->point;
  lines.push_back({qs(row.label), row.mainPoint.empty() ? QStringLiteral("中") : qs(row.mainPoint),
                   cell(row, "X", p), cell(row, "Y", p), cell(row, "设计高程", p),
                   cell(row, "放线方位角", p), cell(row, "放线距离", p)});
  const auto side = [&](const std::optional<PlanePoint>& at, const std::string& name) {
    if (!at || std::hypot(at->x - c.x, at->y - c.y) < kSideOnCentre)
      return;
    const auto of = [&](const char* what) { return cell(row, name + "桩" + what, p); };
    // Under the chainage: how far out it stands, and its side's fall.
    QString where = of("边距");
    if (const QString fall = cell(row, name + "横坡%", p); !fall.isEmpty())
      where += QStringLiteral("  ") + fall + QStringLiteral("%");
    lines.push_back({where, qs(name), of("X"), of("Y"), of("设计高程"), of("方位角"), of("距离")});
  };
  side(row.left, "左");
  side(row.right, "右");
}

// The header block below the title (which names the route), its lines
// joined in groups to spare the page: the station with its heights, the
// backsight, the orientation, the date and precision.
std::vector<QString> headerBlock(const exchange::SheetHeader& header) {
  const std::vector<exchange::HeaderLine> lines = exchange::headerLines(header);
  constexpr std::size_t kGroups[][2] = {{1, 4}, {4, 5}, {5, 7}, {7, 9}}; // [from, to)
  std::vector<QString> block;
  for (const auto& [from, to] : kGroups) {
    QString text;
    for (std::size_t i = from; i < std::min(to, lines.size()); ++i)
      text += (text.isEmpty() ? QString() : QStringLiteral("      ")) + headerText(lines[i]);
    block.push_back(text);
  }
  return block;
}

// The sheet's pages: the title, the header, the column headings and the
// lines that fit above the paper's foot.
class SheetPainter {
public:
  SheetPainter(const Paper& paper, const exchange::SheetHeader& header)
      : page_(paper.page()), header_(header) {
    font_ = controlFont();
    font_.setPointSizeF(kTextPoints);
    title_ = font_;
    title_.setPointSizeF(kTitlePoints);
    title_.setBold(true);
    lineHeight_ = paper.lineHeight(font_);
    titleHeight_ = paper.textHeight(title_) * kTitleSpacing;
  }

  const QFont& font() const { return font_; }

  // Lines that fit below the header and headings, above the foot.
  int linesPerPage() const {
    return std::max(1, int((page_.height() - 9 * lineHeight_) / lineHeight_));
  }

  void page(QPainter& painter, const std::vector<Line>& lines, std::size_t from) const {
    double y = page_.top();
    painter.setFont(title_);
    painter.drawText(QRectF(page_.left(), y, page_.width(), titleHeight_), Qt::AlignHCenter,
                     caption(captions::kSheetTitle) + QStringLiteral("  ") + qs(header_.route));
    y += titleHeight_;
    painter.setFont(font_);
    for (const QString& text : headerBlock(header_)) {
      painter.drawText(QRectF(page_.left(), y, page_.width(), lineHeight_), Qt::AlignLeft, text);
      y += lineHeight_;
    }
    y += lineHeight_ / 2;
    QFont bold = font_;
    bold.setBold(true);
    painter.setFont(bold);
    Line headings;
    for (std::size_t c = 0; c < std::size(kColumns); ++c)
      headings[c] = QString::fromUtf8(kColumns[c].heading);
    row(painter, headings, y);
    y += lineHeight_;
    painter.drawLine(QPointF(page_.left(), y), QPointF(page_.right(), y));
    painter.setFont(font_);
    const std::size_t to = std::min(lines.size(), from + std::size_t(linesPerPage()));
    for (std::size_t i = from; i < to; ++i, y += lineHeight_)
      row(painter, lines[i], y);
  }

private:
  void row(QPainter& painter, const Line& cells, double y) const {
    double x = page_.left();
    for (std::size_t c = 0; c < cells.size(); ++c) {
      const double width = kColumns[c].share * page_.width();
      const auto align = c < 2 ? Qt::AlignLeft : Qt::AlignRight;
      painter.drawText(QRectF(x, y, width - 4, lineHeight_), align | Qt::AlignVCenter, cells[c]);
      x += width;
    }
  }

  QRectF page_;
  const exchange::SheetHeader& header_;
  QFont font_, title_;
  double lineHeight_ = 0, titleHeight_ = 0;
};

} // namespace

QString headerText(const exchange::HeaderLine& line) {
  QString text = qs(line.caption);
  for (const exchange::HeaderCell& cell : line.cells)
    text += QStringLiteral("  ") + (cell.text.empty() ? QStringLiteral("—") : qs(cell.text));
  return text;
}

int paintStakeSheet(QPagedPaintDevice& device, const TableAnswer& table,
                    const exchange::SheetHeader& header) {
  Paper paper(device);
  std::vector<Line> lines;
  for (std::size_t i = 0; i < table.size(); ++i)
    addLines(lines, table.row(i), header.precision);
  const SheetPainter sheet(paper, header);
  const std::size_t perPage = std::size_t(sheet.linesPerPage());
  const int pages = int(std::max<std::size_t>(1, (lines.size() + perPage - 1) / perPage));
  return paper.print(pages, sheet.font(), [&](QPainter& painter, int number) {
    sheet.page(painter, lines, std::size_t(number - 1) * perPage);
  });
}

QString savePdfPages(const QString& path, const QString& title,
                     const std::function<int(QPagedPaintDevice&)>& paint) {
  int pages = 0;
  const auto saved =
      saveFile(QFile::encodeName(path).toStdString(), [&](FileSink& sink) -> Expected<Done> {
        SinkDevice device(sink);
        QPdfWriter pdf(&device);
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("Quenlor"));
        pages = paint(pdf);
        if (pages == 0)
          return failure(Say::WindowSheetNotPainted, {title.toStdString()});
        return Done{};
      });
  if (!saved)
    return said(Say::WindowCannotWrite, {QString::fromStdString(saved.notice())});
  return said(Say::WindowPrinted, {path, QString::number(pages)});
}

QString saveStakeSheetPdf(const QString& path, const TableAnswer& table,
                          const exchange::SheetHeader& header) {
  if (table.size() == 0)
    return said(Say::WindowNoSheetToPrint);
  return savePdfPages(path, caption(captions::kSheetTitle) + QStringLiteral(" ") + qs(header.route),
                      [&](QPagedPaintDevice& pdf) { return paintStakeSheet(pdf, table, header); });
}

QString printStakeSheet(QWidget* parent, const TableAnswer& table,
                        const exchange::SheetHeader& header) {
  if (table.size() == 0)
    return said(Say::WindowNoSheetToPrint);
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageOrientation(QPageLayout::Portrait);
  QPrintDialog dialog(&printer, parent);
  dialog.setWindowTitle(caption(captions::kPrintSheetTitle));
  if (dialog.exec() != QDialog::Accepted)
    return {};
  // Printed to a PDF file: written through the one save path.
  if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
    return saveStakeSheetPdf(printer.outputFileName(), table, header);
  const int pages = paintStakeSheet(printer, table, header);
  if (pages == 0)
    return said(Say::WindowCannotPrint);
  const QString where =
      printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
  return said(Say::WindowPrinted, {where, QString::number(pages)});
}

} // namespace quenlor
