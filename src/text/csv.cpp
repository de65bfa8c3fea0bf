// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/csv.h"

#include <utility>

namespace quenlor {
namespace {

bool needsQuotes(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  return text.find_first_of(",\"\r\n") != std::string_view::npos ||
         (!text.empty() && (blank(text.front()) || blank(text.back())));
}

} // namespace

std::string csvCell(std::string_view text) {
  if (!needsQuotes(text))
    return std::string(text);
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"')
      out += '"';
    out += c;
  }
  return out + '"';
}

std::string csvLine(std::initializer_list<std::string_view> cells) {
  std::string line;
  bool first = true;
  for (const std::string_view c : cells) {
    if (!std::exchange(first, false))
      line += ',';
    line += csvCell(c);
  }
  return line + "\r\n";
}

std::string_view CsvRow::cell(std::size_t column) const {
  return column < cells.size() ? std::string_view(cells[column]) : std::string_view();
}

bool CsvRow::blank() const {
  for (const std::string& c : cells)
    if (!c.empty())
      return false;
  return true;
}

bool CsvReader::stop(CsvProblem::Kind kind, int line, int column) {
  problem_ = CsvProblem{kind, line, column};
  return false;
}

int CsvReader::peek() const {
  return at_ < text_.size() ? static_cast<unsigned char>(text_[at_]) : -1;
}

bool CsvReader::next(CsvRow& row) {
  if (problem_ || at_ >= text_.size())
    return false;
  if (++rows_ > mostRows_)
    return stop(CsvProblem::Kind::TooManyRows, line_, 0);
  row.line = line_;
  row.cells.clear();
  for (bool more = true; more;) {
    const int column = static_cast<int>(row.cells.size());
    const std::size_t start = at_;
    std::string& cell = row.cells.emplace_back();
    if (!(peek() == '"' ? quotedCell(cell, row.line, column) : plainCell(cell, row.line, column)))
      return false;
    if (const auto bad = firstNotText(cell)) {
      // Where the byte stands in the file: the first such byte of the cell's
      // own text, found again from where the cell starts.
      const auto inText = firstNotText(text_.substr(start, at_ - start));
      const std::size_t at = start + (inText ? inText->at : 0);
      problem_ =
          CsvProblem{CsvProblem::Kind::NotText, row.line, column, *bad, positionOf(text_, at)};
      return false;
    }
    if (!endOfCell(more, row.line, column))
      return false;
  }
  return true;
}

bool CsvReader::plainCell(std::string& cell, int line, int column) {
  const std::size_t start = at_;
  while (at_ < text_.size() && text_[at_] != ',' && text_[at_] != '\n' && text_[at_] != '\r') {
    if (text_[at_] == '"')
      return stop(CsvProblem::Kind::StrayQuote, line, column);
    ++at_;
  }
  cell.assign(text_.substr(start, at_ - start));
  return true;
}

bool CsvReader::quotedCell(std::string& cell, int line, int column) {
  ++at_;
  for (;;) {
    if (at_ >= text_.size())
      return stop(CsvProblem::Kind::EndsInQuote, line, column);
    const char c = text_[at_++];
    if (c == '"') {
      if (peek() != '"')
        return true;
      ++at_;
    } else if (c == '\n')
      ++line_;
    cell += c;
  }
}

// After a cell: `more` when another cell of the row follows.
bool CsvReader::endOfCell(bool& more, int line, int column) {
  more = false;
  if (at_ >= text_.size())
    return true;
  const char c = text_[at_++];
  if (c == ',') {
    more = true;
    return true;
  }
  if (c == '\r' && peek() != '\n')
    return stop(CsvProblem::Kind::LoneCarriageReturn, line, column);
  if (c == '\r')
    ++at_;
  if (c != '\r' && c != '\n')
    return stop(CsvProblem::Kind::TextAfterQuote, line, column);
  ++line_;
  return true;
}

} // namespace quenlor
