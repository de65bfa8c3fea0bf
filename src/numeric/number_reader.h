// SPDX-License-Identifier: GPL-3.0-or-later
// The leading number of a text that grows and shrinks at its end, as a box's
// text does under typing and Backspace.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quenlor {

// Reads a text exactly as parseNumber reads it, while the text is built and
// cut at its end. append() and removeLast() cost the characters they add or
// remove and value() a bounded amount, however long the text: a megabyte of
// digits typed one at a time is read in time proportional to the megabyte.
//
// It keeps only what decides the number: where the number ended, its first
// kKeptDigits significant digits, how many digits stand before and after the
// point, the exponent, and how many of the digits beyond the kept ones are
// not zero (the rest of a long number only decides the rounding through
// whether it is zero: no double lies nearer to another than 767 significant
// digits can tell apart). Likewise for &H and &O integers.
class NumberReader {
public:
  static constexpr std::size_t kKeptDigits = 800;

  // Starts over on a whole text.
  void reset(std::string_view text);
  // The text grew by these characters at its end.
  void append(std::string_view characters);
  // The text lost these characters, which were its last ones.
  void removeLast(std::string_view characters);
  // parseNumber of the text as it now stands.
  double value() const;

private:
  // How far the number has come, the character that ended it not counted.
  enum class Phase : unsigned char {
    Start,
    Sign,        // + or -
    Mantissa,    // digits and at most one point
    ExpLetter,   // E, e, D or d after a mantissa with a digit
    ExpSign,     // the exponent's sign
    ExpDigits,   // the exponent's digits
    Ampersand,   // & at the start
    BasedDigits, // &H or &O and the digits after it
  };

  // Digits in the order they stand, the leading zeros counted apart.
  struct Digits {
    std::size_t leadingZeros = 0;
    std::size_t significant = 0; // from the first non-zero digit on
    std::size_t nonZeroDropped = 0;
    std::string kept; // the first `keep` significant digits

    std::size_t count() const { return leadingZeros + significant; }
    void push(char digit, std::size_t keep);
    void pop(char digit, std::size_t keep);
  };

  bool advance(char c);
  void retreat(char c);
  void take(char c);
  void untake(char c);
  double decimalValue() const;
  double basedValue() const;
  std::size_t keep() const;

  std::size_t length_ = 0;
  bool ended_ = false;
  std::size_t endedAt_ = 0; // the byte that ended the number
  Phase phase_ = Phase::Start;
  bool signed_ = false, negative_ = false, point_ = false;
  std::size_t fractionDigits_ = 0;
  Digits mantissa_; // integer and fraction digits, or the &H/&O digits
  int base_ = 10;
  bool exponentSigned_ = false, exponentNegative_ = false;
  std::size_t exponentDigits_ = 0, exponentLeadingZeros_ = 0, exponentSignificant_ = 0;
  std::uint64_t exponentValue_ = 0; // of its first 18 significant digits
};

} // namespace quenlor
