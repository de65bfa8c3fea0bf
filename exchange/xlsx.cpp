// SPDX-License-Identifier: GPL-3.0-or-later
// The stake sheet as XLSX, through libxlsxwriter (stake_sheet.h says what
// the sheet holds).
#include "exchange/stake_sheet.h"

#include "files/file_error.h"
#include "numeric/number_text.h"
#include "numeric/strict_number.h"
#include "session/field_tools.h"

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
  // The workbook at `path`; its scratch files in `folder` (never the
  // system's temporary folder).
  Sheet(const std::string& path, const std::string& folder, Precision precision) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = const_cast<char*>(folder.c_str()); // only read
    book_ = workbook_new_opt(path.c_str(), &options);
    if (!book_)
      return;
    sheet_ = workbook_add_worksheet(book_, "放样表");
    bold_ = workbook_add_format(book_);
    format_set_bold(bold_);
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

  // Each column as wide as its widest text.
  void widths(const std::vector<double>& widths) {
    for (std::size_t c = 0; c < widths.size(); ++c)
      worksheet_set_column(sheet_, lxw_col_t(c), lxw_col_t(c), widths[c] + kColumnMargin, nullptr);
  }

  // A4 landscape, as many pages down as it takes and one across, the
  // headings on every page.
  void page(lxw_row_t headingRow) {
    worksheet_freeze_panes(sheet_, headingRow + 1, 1);
    worksheet_repeat_rows(sheet_, headingRow, headingRow);
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
  lxw_format *bold_ = nullptr, *length_ = nullptr, *right_ = nullptr;
  lxw_error error_ = LXW_NO_ERROR;
};

} // namespace

Expected<Done> saveStakeXlsx(const std::string& path, const TableAnswer& table,
                             const SheetHeader& header) {
  if (table.size() == 0)
    return Failure{"there is no stake table to write" +
                   (table.note.empty() ? std::string() : ": " + table.note)};
  return saveThroughPath(path, [&](const std::string& scratch) -> Expected<Done> {
    Sheet sheet(scratch, scratch.substr(0, scratch.rfind('/')), header.precision);
    if (!sheet.ok())
      return Failure{"cannot write " + path + ": the workbook cannot be made",
                     "无法新建工作簿（" + path + "）"};
    const std::vector<StakeColumn>& columns = table.columns();
    std::vector<double> widths(columns.size(), 0);
    const auto widen = [&](std::size_t c, std::string_view text) {
      if (c < widths.size())
        widths[c] = std::max(widths[c], textWidth(text));
    };
    lxw_row_t r = 0;
    for (const HeaderLine& line : headerLines(header)) {
      sheet.text(r, 0, line.caption);
      for (std::size_t c = 0; c < line.cells.size(); ++c) {
        const auto at = lxw_col_t(c + 1);
        if (line.cells[c].number)
          sheet.number(r, at, *line.cells[c].number);
        else
          sheet.text(r, at, line.cells[c].text);
      }
      ++r;
    }
    const lxw_row_t headingRow = r + 1; // after an empty row
    sheet.page(headingRow);
    for (std::size_t c = 0; c < columns.size(); ++c) {
      sheet.text(headingRow, lxw_col_t(c), columns[c].heading, Sheet::Style::Bold);
      widen(c, columns[c].heading);
    }
    for (std::size_t i = 0; i < table.size(); ++i) {
      const StakeRow row = table.row(i);
      r = lxw_row_t(headingRow + 1 + i);
      for (std::size_t c = 0; c < columns.size(); ++c) {
        // A length reads as a plain number at field precision; its value is
        // taken with every digit. Chainages and angles stay text.
        const std::string shown = columns[c].cell(row, header.precision);
        widen(c, shown);
        const auto value = strictNumber(columns[c].cell(row, Precision::Field))
                               ? strictNumber(columns[c].cell(row, Precision::Full))
                               : std::nullopt;
        if (value)
          sheet.number(r, lxw_col_t(c), *value);
        else
          sheet.text(r, lxw_col_t(c), shown,
                     c < kLeftColumns ? Sheet::Style::Plain : Sheet::Style::Right);
      }
    }
    sheet.widths(widths);
    return sheet.close(path);
  });
}

} // namespace quenlor::exchange
