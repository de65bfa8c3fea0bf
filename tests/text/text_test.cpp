// SPDX-License-Identifier: GPL-3.0-or-later
// The text floor: characters as a strict UTF-8 reader sees them, and CSV
// written so that it reads back cell for cell.
#include "text/catalogue.h"
#include "text/csv.h"
#include "text/utf8.h"

#include <gtest/gtest.h>

#include <random>

namespace quenlor {
namespace {

// Each text's first and last character, as a keystroke takes them: a byte
// that starts no well-formed character is one of its own.
TEST(Utf8, CharactersAsAKeystrokeTakesThem) {
  const struct {
    const char* text;
    std::size_t first, last;
  } cases[] = {
      {"", 0, 0},
      {"x交", 1, 3},
      {"交x", 3, 1},
      {"😀", 4, 4},
      {"\xff", 1, 1},
      {"\xe4\xba", 1, 1},         // cut short
      {"\xc0\x80", 1, 1},         // an overlong NUL
      {"\xed\xa0\x80", 1, 1},     // a surrogate
      {"\xf4\x90\x80\x80", 1, 1}, // beyond U+10FFFF
      {"\xf4\x8f\xbf\xbf", 4, 4}, // U+10FFFF itself
  };
  for (const auto& c : cases) {
    EXPECT_EQ(firstCharacterLength(c.text), c.first) << c.text;
    EXPECT_EQ(lastCharacterLength(c.text), c.last) << c.text;
  }
}

// Every code point written by hand as UTF-8 reads back as itself.
TEST(Utf8, EveryCodePointReadsBack) {
  for (char32_t code = 0; code <= 0x10ffff; code += code < 0x800 ? 1 : 97) {
    if (code >= 0xd800 && code <= 0xdfff)
      continue;
    std::string text;
    if (code < 0x80)
      text = {char(code)};
    else if (code < 0x800)
      text = {char(0xc0 | (code >> 6)), char(0x80 | (code & 0x3f))};
    else if (code < 0x10000)
      text = {char(0xe0 | (code >> 12)), char(0x80 | ((code >> 6) & 0x3f)),
              char(0x80 | (code & 0x3f))};
    else
      text = {char(0xf0 | (code >> 18)), char(0x80 | ((code >> 12) & 0x3f)),
              char(0x80 | ((code >> 6) & 0x3f)), char(0x80 | (code & 0x3f))};
    ASSERT_EQ(utf8Length(text, 0), text.size()) << unsigned(code);
    ASSERT_EQ(codePointAt(text, 0, text.size()), code);
  }
}

TEST(Utf8, WholeCharactersAndPositions) {
  EXPECT_EQ(wholeCharacters("交点", 4), "交");
  EXPECT_EQ(wholeCharacters("交点", 6), "交点");
  EXPECT_EQ(wholeCharacters("ab", 1), "a");
  // Lines from 1 after each LF, columns from 1 in characters.
  const std::string_view text = "ab\n交点x\r\n\0";
  const struct {
    std::size_t at, line, column;
  } cases[] = {{0, 1, 1}, {2, 1, 3}, {3, 2, 1}, {6, 2, 2}, {9, 2, 3}, {12, 3, 1}};
  for (const auto& c : cases) {
    const TextPosition p = positionOf(text, c.at);
    EXPECT_EQ(p.line, c.line) << c.at;
    EXPECT_EQ(p.column, c.column) << c.at;
  }
  const auto nul = firstNotText(std::string_view("a\tb\0", 4));
  ASSERT_TRUE(nul);
  EXPECT_EQ(nul->at, 3u);
  EXPECT_EQ(nul->kind, NotText::Kind::Control);
  EXPECT_EQ(firstNotText("a\xc4z")->kind, NotText::Kind::NotUtf8);
  EXPECT_FALSE(firstNotText("交点\r\n\t"));
}

// Random cells of the characters CSV must take care of come back as they
// were, one row a line.
TEST(Csv, CellsReadBackAsTheyWereWritten) {
  std::mt19937 random(7);
  const std::string_view pieces[] = {"a", ",", "\"", "\r\n", "\n", " ", "\t", "交", ""};
  for (int round = 0; round < 200; ++round) {
    std::vector<std::string> cells(1 + random() % 4);
    for (std::string& cell : cells)
      for (unsigned n = random() % 5; n > 0; --n)
        cell += pieces[random() % std::size(pieces)];
    std::string text;
    for (std::size_t i = 0; i < cells.size(); ++i)
      text += (i ? "," : "") + csvCell(cells[i]);
    text += "\r\n";
    CsvReader reader(text, 10);
    CsvRow row;
    ASSERT_TRUE(reader.next(row)) << text;
    EXPECT_EQ(row.cells, cells) << text;
    EXPECT_FALSE(reader.next(row));
    EXPECT_FALSE(reader.problem());
  }
  EXPECT_EQ(csvLine({"线路", "A, \"B\"", " x"}), "线路,\"A, \"\"B\"\"\",\" x\"\r\n");
}

TEST(Csv, ProblemsAreTheirKindAndPlace) {
  using K = CsvProblem::Kind;
  const struct {
    std::string text;
    K kind;
    int line, column;
  } cases[] = {
      {"a,b\"c\n", K::StrayQuote, 1, 1}, {"a\n\"b\"c\n", K::TextAfterQuote, 2, 0},
      {"a,\"b\n", K::EndsInQuote, 1, 1}, {"a\rb", K::LoneCarriageReturn, 1, 0},
      {"a\n\n\n", K::TooManyRows, 3, 0}, {std::string("a\nb,\"c\n\0\"", 9), K::NotText, 2, 1},
  };
  for (const auto& c : cases) {
    CsvReader reader(c.text, 2);
    CsvRow row;
    while (reader.next(row)) {
    }
    ASSERT_TRUE(reader.problem()) << c.text;
    EXPECT_EQ(reader.problem()->kind, c.kind) << c.text;
    EXPECT_EQ(reader.problem()->line, c.line) << c.text;
    EXPECT_EQ(reader.problem()->column, c.column) << c.text;
  }
  // The NUL stands at line 3, column 1 of the text, inside a quoted cell.
  CsvReader reader(std::string_view("a\nb,\"c\n\0\"", 9), 9);
  CsvRow row;
  while (reader.next(row)) {
  }
  EXPECT_EQ(reader.problem()->at.line, 3u);
  EXPECT_EQ(reader.problem()->at.column, 1u);
}

// Blanks are filled by their number wherever they stand in each language, and
// a blank without data stays empty rather than showing "{1}".
TEST(Catalogue, BlanksAreFilledByNumberInEachLanguage) {
  const Failure framed = failure(Say::FileCannotWrite, "r.csv", Say::FileLargerThan, {"64 MiB"});
  EXPECT_EQ(framed.message, "cannot write r.csv: it is larger than 64 MiB");
  EXPECT_EQ(framed.notice, "文件大于 64 MiB（r.csv）");
  EXPECT_EQ(english(Say::FileCannotRead, {"a.csv"}), "cannot read a.csv: ");
  EXPECT_EQ(chinese(Say::FileSystemOther, {"Stale file handle"}), "系统错误：Stale file handle");
}

} // namespace
} // namespace quenlor
