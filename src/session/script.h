// SPDX-License-Identifier: GPL-3.0-or-later
// Scripted sessions: a form driven by a list of edits and clicks, one command
// a line, exactly as the window would drive it.
//
//   set BOX TEXT     one edit replacing BOX's whole text by TEXT (everything
//                    after the single space that follows BOX, verbatim)
//   type BOX TEXT    appends TEXT one character at a time, one edit each
//   back BOX [N]     N presses of Backspace (default 1), each deleting the
//                    box's last character; stops early at a press that
//                    changes no box's text and no state value
//   click BUTTON     Command1(0) (or Command1), Command2 ... Command6
//   print BOX        prints "BOX=TEXT"
//   dump             prints every box, Text1 ... Text45, that way
//   state            prints every state value as "name=%.17g"
//   stake K OFFSET   prints the side stake "X=.. Y=.. azimuth=.. distance=.."
//                    (offset right positive; azimuth and distance from the
//                    station boxes, empty when the station is not typed)
//   locate X Y       prints "chainage=.. offset=.." of a point
//   table START END STEP OFFSET
//                    prints the stake-out table at whole stations,
//                    tab-separated: a line naming the precision, the
//                    headings, one line a stake; where it stops at its row
//                    limit, a line on the error stream says so
// The last three write no box; the route is the one the boxes describe; their
// arguments are plain decimal numbers, one space apart, and a value that is
// not a finite number is printed empty.
//   # ...            a comment; empty lines are ignored too
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace quenlor {

class Form;

// Runs one line against the form, printing to out (and notes to err); gives
// the reason when the line is not a command of the language.
std::optional<std::string> runScriptLine(Form& form, std::string_view line, std::ostream& out,
                                         std::ostream& err);

// Runs every line of a session in order. At the first bad line it writes
// "line N: reason" (with " (source)" after it when a source is named) to err
// and stops; returns whether every line ran.
bool runScript(Form& form, std::istream& in, std::ostream& out, std::ostream& err,
               std::string_view source = {});

// Splitting texts into the characters a keystroke adds or removes (UTF-8; a
// byte that starts no valid sequence counts as one character).
std::size_t firstCharacterLength(std::string_view text);
std::size_t lastCharacterLength(std::string_view text);

} // namespace quenlor
