// SPDX-License-Identifier: GPL-3.0-or-later
// UTF-8 text walked a character at a time: what the files, the driver's
// keystrokes and the DXF's escapes all read the same way.
//
// A character is a well-formed UTF-8 sequence (RFC 3629): one to four bytes,
// no overlong forms, no surrogates (U+D800..U+DFFF), nothing beyond
// U+10FFFF. Any other byte starts no character: a reader that must go on
// counts it as one character of its own.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace quenlor {

// The length of the character at text[at] (at < text.size()), or 0 when
// none starts there, a sequence cut short by the end of the text included.
std::size_t utf8Length(std::string_view text, std::size_t at);

// The code point of the character at text[at] of that length (a length
// utf8Length gave, not 0).
char32_t codePointAt(std::string_view text, std::size_t at, std::size_t length);

// The bytes a keystroke adds or removes: the first or the last character,
// a byte that starts none counting as one; 0 only for the empty text.
std::size_t firstCharacterLength(std::string_view text);
std::size_t lastCharacterLength(std::string_view text);

// The longest start of the text of at most `bytes` bytes that does not cut
// a character in two.
std::string_view wholeCharacters(std::string_view text, std::size_t bytes);

// Where a byte stands as a text editor counts it: lines from 1 (a line
// ends after LF), columns from 1 in characters.
struct TextPosition {
  std::size_t line = 1, column = 1;
};
TextPosition positionOf(std::string_view text, std::size_t at);

// Why a text is not plain text: the first byte that is a control character
// other than tab, CR and LF (NUL and DEL included), or that starts no
// character; nothing when every byte is text.
struct NotText {
  enum class Kind { Control, NotUtf8 } kind;
  std::size_t at; // the byte's index
  unsigned char byte;
};
std::optional<NotText> firstNotText(std::string_view text);

} // namespace quenlor
