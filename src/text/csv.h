// SPDX-License-Identifier: GPL-3.0-or-later
// CSV as RFC 4180 writes it, the text of the route file, the stake sheets
// and the point lists.
//
// Written: cells separated by commas, lines ending in CRLF; a cell with a
// comma, a quote, a line break, or a blank (space or tab) at either end is
// quoted, a quote inside doubled, so that every reader gives it back as it
// was.
//
// Read: rows one at a time, each the cells of one record with the line it
// starts on; lines may end in CRLF or LF; a quoted cell may hold commas,
// quotes (doubled) and line breaks. A reader stops at the first problem,
// which it gives as data (what, where) for the format to word:
//   a quote inside a cell that does not start with one   StrayQuote
//   text after a closing quote, before the next comma    TextAfterQuote
//   the text ends inside a quoted cell                   EndsInQuote
//   a carriage return not followed by a line feed        LoneCarriageReturn
//   a control character (NUL, DEL ...), or a byte that   NotText
//     starts no UTF-8 character, in a cell
//   more rows than the reader was told to take           TooManyRows
#pragma once

#include "text/utf8.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quenlor {

// The cell as a CSV line holds it, quoted where it has to be.
std::string csvCell(std::string_view text);
// The cells as one line, CRLF at its end.
std::string csvLine(std::initializer_list<std::string_view> cells);

struct CsvRow {
  int line = 0; // where the row starts
  std::vector<std::string> cells;

  // The cell's text, empty beyond the row's last cell.
  std::string_view cell(std::size_t column) const;
  // Every cell empty: a row a spreadsheet leaves between records.
  bool blank() const;
};

struct CsvProblem {
  enum class Kind {
    StrayQuote,
    TextAfterQuote,
    EndsInQuote,
    LoneCarriageReturn,
    NotText,
    TooManyRows
  };
  Kind kind;
  int line;
  int column;        // the cell, from 0
  NotText notText{}; // NotText: the byte
  TextPosition at{}; // NotText: where the byte stands in the whole text
};

class CsvReader {
public:
  CsvReader(std::string_view text, std::size_t mostRows) : text_(text), mostRows_(mostRows) {}

  // The next row; false at the end of the text or at a problem.
  bool next(CsvRow& row);
  const std::optional<CsvProblem>& problem() const { return problem_; }
  // The line the reader has come to.
  int line() const { return line_; }

private:
  bool stop(CsvProblem::Kind kind, int line, int column);
  int peek() const;
  bool plainCell(std::string& cell, int line, int column);
  bool quotedCell(std::string& cell, int line, int column);
  bool endOfCell(bool& more, int line, int column);

  std::string_view text_;
  std::size_t mostRows_;
  std::size_t at_ = 0;
  int line_ = 1;
  std::size_t rows_ = 0;
  std::optional<CsvProblem> problem_;
};

} // namespace quenlor
