// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/utf8.h"

namespace quenlor {
namespace {

constexpr unsigned char kDelete = 0x7f;
constexpr unsigned char kFirstPrintable = 0x20;

bool isContinuation(unsigned char c) { return (c & 0xc0) == 0x80; }

bool isControl(unsigned char c) {
  return (c < kFirstPrintable && c != '\t' && c != '\r' && c != '\n') || c == kDelete;
}

// The bits a lead byte of a sequence of that length carries.
constexpr unsigned char kLeadBits[] = {0, 0x7f, 0x1f, 0x0f, 0x07};

} // namespace

std::size_t utf8Length(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[at + k]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80)
    return 1;
  std::size_t length = 0;
  // The second byte's bounds shut out overlong forms, surrogates and code
  // points beyond U+10FFFF.
  unsigned char low = 0x80, high = 0xbf;
  if (lead >= 0xc2 && lead <= 0xdf)
    length = 2;
  else if (lead >= 0xe0 && lead <= 0xef) {
    length = 3;
    low = lead == 0xe0 ? 0xa0 : 0x80;
    high = lead == 0xed ? 0x9f : 0xbf;
  } else if (lead >= 0xf0 && lead <= 0xf4) {
    length = 4;
    low = lead == 0xf0 ? 0x90 : 0x80;
    high = lead == 0xf4 ? 0x8f : 0xbf;
  } else
    return 0;
  if (at + length > text.size() || byte(1) < low || byte(1) > high)
    return 0;
  for (std::size_t k = 2; k < length; ++k)
    if (!isContinuation(byte(k)))
      return 0;
  return length;
}

char32_t codePointAt(std::string_view text, std::size_t at, std::size_t length) {
  char32_t code = static_cast<unsigned char>(text[at]) & kLeadBits[length];
  for (std::size_t k = 1; k < length; ++k)
    code = (code << 6) | (static_cast<unsigned char>(text[at + k]) & 0x3f);
  return code;
}

std::size_t firstCharacterLength(std::string_view text) {
  if (text.empty())
    return 0;
  const std::size_t length = utf8Length(text, 0);
  return length == 0 ? 1 : length;
}

std::size_t lastCharacterLength(std::string_view text) {
  const std::size_t size = text.size();
  for (std::size_t n = 1; n <= 4 && n <= size; ++n)
    if (!isContinuation(static_cast<unsigned char>(text[size - n])))
      return utf8Length(text, size - n) == n ? n : 1;
  return size == 0 ? 0 : 1;
}

std::string_view wholeCharacters(std::string_view text, std::size_t bytes) {
  if (text.size() <= bytes)
    return text;
  std::size_t end = bytes;
  while (end > 0 && isContinuation(static_cast<unsigned char>(text[end])))
    --end;
  return text.substr(0, end);
}

TextPosition positionOf(std::string_view text, std::size_t at) {
  TextPosition position;
  for (std::size_t i = 0; i < at && i < text.size();) {
    if (text[i] == '\n') {
      ++position.line;
      position.column = 1;
      ++i;
      continue;
    }
    ++position.column;
    i += firstCharacterLength(text.substr(i));
  }
  return position;
}

std::optional<NotText> firstNotText(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const auto c = static_cast<unsigned char>(text[at]);
    if (isControl(c))
      return NotText{NotText::Kind::Control, at, c};
    const std::size_t length = utf8Length(text, at);
    if (length == 0)
      return NotText{NotText::Kind::NotUtf8, at, c};
    at += length;
  }
  return std::nullopt;
}

} // namespace quenlor
