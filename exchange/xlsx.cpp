// SPDX-License-Identifier: GPL-3.0-or-later
// The sheets as XLSX, through libxlsxwriter (stake_sheet.h says what each
// holds).
#include "exchange/stake_sheet.h"

#include "files/file_error.h"
#include "numeric/number_text.h"
#include "numeric/strict_number.h"
#include "session/field_tools.h"
#include "session/jd_sheet.h"
#include "text/catalogue.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cmath>

namespace quenlor::exchange {
namespace {

constexpr std::uint8_t kA4 = 9; // libxlsxwriter's paper index
// Columns a text takes in a spreadsheet's default font: a wide (CJK)
// character two, any other one; a column one wider than its widest text.
constexpr double kWideCharacter = 2, kNarrowCharacter = 1, kColumnMargin = 1.5;
// The chainage and main point read from the left, the figures from the right.
constexpr std::size_t kLeftColumns = 2;

double textWidth(std::string_view text) {
  double width = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if ((byte & 0xC0) == 0x80)
      continue; // inside a character
    width += byte >= 0xE0 ? kWideCharacter : kNarrowCharacter;
  }
  return width;
}

class Sheet {
public:
  // Written row by row in constant memory, unless the sheet merges cells
  // (which that mode cannot do).
  enum class Memory { Constant, Merging };
  // The workbook at `path`; its scratch files in `folder` (never the
  // system's temporary folder).
  Sheet(const std::string& path, const std::string& folder, std::string_view name,
        Precision precision, Memory memory = Memory::Constant) {
    lxw_workbook_options options{};
    options.constant_memory = memory == Memory::Constant ? LXW_TRUE : LXW_FALSE;
    options.tmpdir = const_cast<char*>(folder.c_str()); // only read
    book_ = workbook_new_opt(path.c_str(), &options);
    if (!book_)
      return;
    sheet_ = workbook_add_worksheet(book_, std::string(name).c_str());
    bold_ = workbook_add_format(book_);
    format_set_bold(bold_);
    heading_ = workbook_add_format(book_);
    format_set_bold(heading_);
    format_set_align(heading_, LXW_ALIGN_CENTER);
    format_set_align(heading_, LXW_ALIGN_VERTICAL_CENTER);
    length_ = workbook_add_format(book_);
    format_set_num_format(length_, precision == Precision::Field ? "0.000" : "0.0#########");
    right_ = workbook_add_format(book_);
    format_set_align(right_, LXW_ALIGN_RIGHT);
  }
  ~Sheet() {
    if (book_)
      workbook_close(book_);
  }
  Sheet(const Sheet&) = delete;
  Sheet& operator=(const Sheet&) = delete;

  bool ok() const { return sheet_ != nullptr; }

  enum class Style { Plain, Bold, Right };
  void text(lxw_row_t row, lxw_col_t col, std::string_view text, Style style = Style::Plain) {
    if (text.empty())
      return;
    lxw_format* format = style == Style::Bold ? bold_ : style == Style::Right ? right_ : nullptr;
    keep(worksheet_write_string(sheet_, row, col, std::string(text).c_str(), format));
  }
  void number(lxw_row_t row, lxw_col_t col, double value) {
    keep(worksheet_write_number(sheet_, row, col, value, length_));
  }
  // A heading over the cells from (row, col) to (lastRow, lastCol).
  void heading(lxw_row_t row, lxw_col_t col, lxw_row_t lastRow, lxw_col_t lastCol,
               std::string_view text) {
    const std::string t(text);
    if (row == lastRow && col == lastCol)
      keep(worksheet_write_string(sheet_, row, col, t.c_str(), heading_));
    else
      keep(worksheet_merge_range(sheet_, row, col, lastRow, lastCol, t.c_str(), heading_));
  }

  // A cell of a table as shown at the sheet's precision: a length reads as
  // a plain number at field precision, and its value is taken with every
  // digit; chainages, angles and names stay text, those of the columns on
  // the left read from the left.
  void tableCell(lxw_row_t row, lxw_col_t col, const std::string& shown, const std::string& field,
                 const std::string& full, bool left) {
    widen(col, shown);
    const auto value = !left && strictNumber(field) ? strictNumber(full) : std::nullopt;
    if (value)
      number(row, col, *value);
    else
      text(row, col, shown, left ? Style::Plain : Style::Right);
  }

  // The header block from the first row on, each line's caption and its
  // cells (numbers as numbers); the row after it.
  lxw_row_t headerBlock(const std::vector<HeaderLine>& lines, lxw_row_t row = 0) {
    for (const HeaderLine& line : lines) {
      text(row, 0, line.caption);
      for (std::size_t c = 0; c < line.cells.size(); ++c) {
        const auto at = lxw_col_t(c + 1);
        if (line.cells[c].number)
          number(row, at, *line.cells[c].number);
        else
          text(row, at, line.cells[c].text);
      }
      ++row;
    }
    return row;
  }

  // Each column as wide as its widest text.
  void widen(std::size_t col, std::string_view text) {
    if (widths_.size() <= col)
      widths_.resize(col + 1, 0);
    widths_[col] = std::max(widths_[col], textWidth(text));
  }
  void setWidths() {
    for (std::size_t c = 0; c < widths_.size(); ++c)
      worksheet_set_column(sheet_, lxw_col_t(c), lxw_col_t(c), widths_[c] + kColumnMargin, nullptr);
  }

  // The grid printed, as on a table drawn for print.
  void printGrid() { worksheet_gridlines(sheet_, LXW_SHOW_PRINT_GRIDLINES); }

  // A4 landscape, as many pages down as it takes and one across, the
  // headings (from the row given to the last) on every page.
  void page(lxw_row_t headingRow, lxw_row_t lastHeadingRow) {
    worksheet_freeze_panes(sheet_, lastHeadingRow + 1, 1);
    worksheet_repeat_rows(sheet_, headingRow, lastHeadingRow);
    worksheet_set_paper(sheet_, kA4);
    worksheet_set_landscape(sheet_);
    worksheet_fit_to_pages(sheet_, 1, 0);
  }

  // Writes the file; the first failure met on the way, if any, is the answer:
  // one of the file (creating, zipping) with the system's reason.
  Expected<Done> close(const std::string& path) {
    errno = 0;
    const lxw_error closed = workbook_close(std::exchange(book_, nullptr));
    const int system = errno;
    if (error_ == LXW_NO_ERROR)
      error_ = closed;
    if (error_ == LXW_NO_ERROR)
      return Done{};
    if (system != 0 && error_ >= LXW_ERROR_CREATING_XLSX_FILE && error_ <= LXW_ERROR_ZIP_CLOSE)
      return fileFailure(systemError(FileAct::Write, path, system));
    return Failure{"cannot write " + path + ": " + lxw_strerror(error_),
                   "无法写入工作簿（" + path + "）：" + lxw_strerror(error_)};
  }

private:
  void keep(lxw_error e) {
    if (error_ == LXW_NO_ERROR)
      error_ = e;
  }

  lxw_workbook* book_ = nullptr;
  lxw_worksheet* sheet_ = nullptr;
  lxw_format *bold_ = nullptr, *heading_ = nullptr, *length_ = nullptr, *right_ = nullptr;
  lxw_error error_ = LXW_NO_ERROR;
  std::vector<double> widths_;
};

// The workbook at `path` through the save path, its scratch files beside it;
// `fill` writes the sheet. A workbook that cannot be made says so.
template <class Fill>
Expected<Done> saveSheet(const std::string& path, std::string_view name, Precision precision,
                         Sheet::Memory memory, Fill fill) {
  return saveThroughPath(path, [&](const std::string& scratch) -> Expected<Done> {
    Sheet sheet(scratch, scratch.substr(0, scratch.rfind('/')), name, precision, memory);
    if (!sheet.ok())
      return Failure{"cannot write " + path + ": the workbook cannot be made",
                     "无法新建工作簿（" + path + "）"};
    fill(sheet);
    sheet.setWidths();
    return sheet.close(path);
  });
}

Expected<Done> noTable(const TableAnswer& table) {
  return Failure{"there is no stake table to write" +
                 (table.note.empty() ? std::string() : ": " + table.note)};
}

// A stake table's sheet in the columns given: the header block, an empty
// row, the headings, one row a stake.
void fillStakes(Sheet& sheet, const TableAnswer& table, const std::vector<StakeColumn>& columns,
                const std::vector<HeaderLine>& header, Precision precision, lxw_row_t first = 0) {
  const lxw_row_t headingRow = sheet.headerBlock(header, first) + 1;
  sheet.page(headingRow, headingRow);
  for (std::size_t c = 0; c < columns.size(); ++c) {
    sheet.text(headingRow, lxw_col_t(c), columns[c].heading, Sheet::Style::Bold);
    sheet.widen(c, columns[c].heading);
  }
  for (std::size_t i = 0; i < table.size(); ++i) {
    const StakeRow row = table.row(i);
    const auto r = lxw_row_t(headingRow + 1 + i);
    for (std::size_t c = 0; c < columns.size(); ++c)
      sheet.tableCell(r, lxw_col_t(c), columns[c].cell(row, precision),
                      columns[c].cell(row, Precision::Field), columns[c].cell(row, Precision::Full),
                      c < kLeftColumns);
  }
}

// The JD table's two rows of headings: a group's over its columns, then
// theirs; a column on its own down both.
void jdHeadings(Sheet& sheet, lxw_row_t row) {
  const std::vector<JdSheetColumn>& columns = jdSheetColumns();
  for (std::size_t c = 0; c < columns.size(); ++c) {
    const auto at = lxw_col_t(c);
    sheet.widen(c, columns[c].heading);
    if (columns[c].group.empty()) {
      sheet.heading(row, at, row + 1, at, columns[c].heading);
      continue;
    }
    sheet.heading(row + 1, at, row + 1, at, columns[c].heading);
    if (c > 0 && columns[c - 1].group == columns[c].group)
      continue;
    std::size_t last = c;
    while (last + 1 < columns.size() && columns[last + 1].group == columns[c].group)
      ++last;
    sheet.heading(row, at, row, lxw_col_t(last), columns[c].group);
  }
}

} // namespace

Expected<Done> saveStakeXlsx(const std::string& path, const TableAnswer& table,
                             const SheetHeader& header) {
  if (table.size() == 0)
    return noTable(table);
  return saveSheet(path, "放样表", header.precision, Sheet::Memory::Constant, [&](Sheet& sheet) {
    fillStakes(sheet, table, table.columns(), headerLines(header), header.precision);
  });
}

Expected<Done> saveCoordinateXlsx(const std::string& path, const TableAnswer& table,
                                  const SheetHeader& header) {
  if (table.size() == 0)
    return noTable(table);
  const std::string_view title = coordinateSheetTitle();
  return saveSheet(path, title, header.precision, Sheet::Memory::Constant, [&](Sheet& sheet) {
    sheet.text(0, 0, title, Sheet::Style::Bold);
    sheet.printGrid();
    fillStakes(sheet, table, coordinateColumns(table.hasDesign()), routeHeaderLines(header),
               header.precision, 1);
  });
}

Expected<Done> saveJdSheetXlsx(const std::string& path, const route::Route& route,
                               const SheetHeader& header) {
  const std::vector<JdSheetRow> rows = jdSheetRows(route);
  if (rows.empty())
    return failure(Say::JdSheetWithoutJds);
  const std::string_view title = jdSheetTitle();
  return saveSheet(path, title, header.precision, Sheet::Memory::Merging, [&](Sheet& sheet) {
    sheet.text(0, 0, title, Sheet::Style::Bold);
    const lxw_row_t headingRow = sheet.headerBlock(routeHeaderLines(header), 1) + 1;
    sheet.page(headingRow, headingRow + 1);
    sheet.printGrid();
    jdHeadings(sheet, headingRow);
    const std::vector<JdSheetColumn>& columns = jdSheetColumns();
    for (std::size_t i = 0; i < rows.size(); ++i)
      for (std::size_t c = 0; c < columns.size(); ++c)
        sheet.tableCell(lxw_row_t(headingRow + 2 + i), lxw_col_t(c),
                        columns[c].cell(rows[i], header.precision),
                        columns[c].cell(rows[i], Precision::Field),
                        columns[c].cell(rows[i], Precision::Full), c == 0);
  });
}

} // namespace quenlor::exchange
