// SPDX-License-Identifier: GPL-3.0-or-later
// The stake sheet as XLSX, through libxlsxwriter (stake_sheet.h says what
// the sheet holds).
#include "exchange/stake_sheet.h"

#include "files/file_error.h"
#include "numeric/number_text.h"
#include "numeric/strict_number.h"
#include "session/field_tools.h"

#include <xlsxwriter.h>

#include <cerrno>
#include <cmath>

namespace quenlor::exchange {
namespace {

constexpr lxw_row_t kHeadingRow = 6;
constexpr std::uint8_t kA4 = 9; // libxlsxwriter's paper index
constexpr double kChainageWidth = 15, kColumnWidth = 13;

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
  }
  ~Sheet() {
    if (book_)
      workbook_close(book_);
  }
  Sheet(const Sheet&) = delete;
  Sheet& operator=(const Sheet&) = delete;

  bool ok() const { return sheet_ != nullptr; }

  void text(lxw_row_t row, lxw_col_t col, std::string_view text, bool bold = false) {
    if (!text.empty())
      keep(worksheet_write_string(sheet_, row, col, std::string(text).c_str(),
                                  bold ? bold_ : nullptr));
  }
  void number(lxw_row_t row, lxw_col_t col, double value) {
    keep(worksheet_write_number(sheet_, row, col, value, length_));
  }
  void point(lxw_row_t row, const char* name, const std::optional<PlanePoint>& p) {
    text(row, 0, name);
    if (p) {
      number(row, 1, p->x);
      number(row, 2, p->y);
    }
  }

  void layout(std::size_t columns) {
    worksheet_set_column(sheet_, 0, 0, kChainageWidth, nullptr);
    worksheet_set_column(sheet_, 1, lxw_col_t(columns - 1), kColumnWidth, nullptr);
    worksheet_freeze_panes(sheet_, kHeadingRow + 1, 1);
    worksheet_repeat_rows(sheet_, kHeadingRow, kHeadingRow);
    worksheet_set_paper(sheet_, kA4);
    worksheet_set_landscape(sheet_);
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
  lxw_format *bold_ = nullptr, *length_ = nullptr;
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
    sheet.text(0, 0, "线路");
    sheet.text(0, 1, header.route);
    sheet.point(1, "测站", header.station);
    sheet.point(2, "后视", header.backsight);
    sheet.text(3, 0, "日期");
    sheet.text(3, 1, header.date);
    sheet.text(4, 0, "精度");
    sheet.text(4, 1, precisionText(header.precision));
    const std::vector<StakeColumn>& columns = stakeColumns(table.hasDesign());
    sheet.layout(columns.size());
    for (std::size_t c = 0; c < columns.size(); ++c)
      sheet.text(kHeadingRow, lxw_col_t(c), columns[c].heading, true);
    for (std::size_t i = 0; i < table.size(); ++i) {
      const StakeRow row = table.row(i);
      const auto r = lxw_row_t(kHeadingRow + 1 + i);
      for (std::size_t c = 0; c < columns.size(); ++c) {
        // A length reads as a plain number at field precision; its value is
        // taken with every digit. Chainages and angles stay text.
        const auto value = strictNumber(columns[c].cell(row, Precision::Field))
                               ? strictNumber(columns[c].cell(row, Precision::Full))
                               : std::nullopt;
        if (value)
          sheet.number(r, lxw_col_t(c), *value);
        else
          sheet.text(r, lxw_col_t(c), columns[c].cell(row, header.precision));
      }
    }
    return sheet.close(path);
  });
}

} // namespace quenlor::exchange
