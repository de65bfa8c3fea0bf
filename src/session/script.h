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
//   route FILE       loads a whole route from its file
//   route check      prints the loaded route's checks, one a line: the
//                    centre line's, the profile's, the cross section's
//   save FILE        writes the loaded route as a route file (route_file.h),
//                    printing "wrote FILE"; a failure names the file and why
//   jd NAME          fills the boxes from a JD of the loaded route, as typed
//                    (a route given by elements has none, and says so)
// With a route loaded, an edit of Text26 (set, type, back) first fills the
// boxes from the JD whose stretch holds its chainage, where they are empty
// or hold a JD of the route as filled (route_boxes.h); and after every
// command that edits the boxes (set, type, back, click, jd) the route's
// notices on them (notices.h) that were not said before are said on the
// error stream, one a line: "notice: ...".
//   stake K OFFSET   prints the side stake "X=.. Y=.. azimuth=.. distance=.."
//                    (offset right positive; azimuth and distance from the
//                    station boxes, empty when the station is not typed)
//   locate X Y       prints "chainage=.. offset=.." of a point, "(2)" after
//                    a chainage a long chain break repeats; then
//                    " beyond=EP 355.012" where the foot lies on the last
//                    straight extended (BP: the first), and
//                    " also=CHAINAGE OFFSET" for a second foot nearly as
//                    near (within a metre: a hairpin's other leg)
//   table START END STEP [OFFSET]
//                    prints the stake-out table at whole stations,
//                    tab-separated: a line naming the precision, the
//                    headings, one line a stake; where it stops at its row
//                    limit, or has no rows, a line on the error stream says
//                    so. The side stakes stand OFFSET from the centre line;
//                    without it at the edges of the route's template, with
//                    their widening (on the centre line without a
//                    template). Their design elevations and the lanes'
//                    cross falls are on the template.
//   elevation K      prints "design=.. grade=.." (per cent) of the loaded
//                    route's vertical alignment: the profile's design
//                    elevation, the centre line's under the normal crown
//   elevation K OFFSET
//                    prints "design=.. grade=.." at an offset on the route's
//                    template (right positive, left negative): the design
//                    elevation there, with superelevation and widening, and
//                    the profile's grade; at offset 0 the centre line's,
//                    which leaves the profile's where the road turns about
//                    an edge
//   section K        prints "left_fall=.. right_fall=.. left_width=..
//                    right_width=.. left_edge=.. right_edge=.." of the
//                    route's cross section: the lanes' cross falls in per
//                    cent, negative falling away from the centre line; each
//                    side's width from the centre line to its edge, widening
//                    included; the edges' design elevations
// Where a value cannot be had (no route, no template, no profile, an offset
// beyond the edge) it is printed empty and standard error says why.
// The last six write no box and work on the loaded route, or on the curve
// the boxes describe when none is; their arguments are one space apart,
// numbers plain decimal numbers and chainages as numbers or K1+234.5, with
// "(2)" after a chainage that a long chain break repeats for its second
// occurrence. A value that is not a finite number is printed empty.
//   # ...            a comment; empty lines are ignored too
#pragma once

#include "session/field_tools.h"
#include "session/route_boxes.h"

#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quenlor {

class Form;
class RouteModel;
struct ScriptSession;

// A command the program adds to the language (the window's picture maker,
// the driver's exports): the words after its name, and where to print.
using ScriptCommand = std::function<std::optional<std::string>(
    ScriptSession& session, std::optional<std::string_view> rest, std::ostream& out,
    std::ostream& err)>;

// What a session works on beyond the form: the route loaded, the last table
// asked for (what an export writes), and the commands added to the language.
struct ScriptSession {
  Form& form;
  std::shared_ptr<const RouteModel> route{};
  std::optional<TableQuery> lastTable{};
  std::map<std::string, ScriptCommand, std::less<>> extensions{};
  RouteBoxes boxes{};         // the JD the boxes hold, filled from the route
  std::vector<Notice> said{}; // the route's notices said so far, still holding
};

// Runs one line of a session, printing to out (and notes to err); gives the
// reason when the line is not a command of the language.
std::optional<std::string> runScriptLine(ScriptSession& session, std::string_view line,
                                         std::ostream& out, std::ostream& err);

// Runs every line of a session in order. At the first bad line it writes
// "line N: reason" (with " (source)" after it when a source is named) to err
// and stops; returns whether every line ran.
bool runScript(ScriptSession& session, std::istream& in, std::ostream& out, std::ostream& err,
               std::string_view source = {});

// The same on a form alone, a session of its own for each call.
std::optional<std::string> runScriptLine(Form& form, std::string_view line, std::ostream& out,
                                         std::ostream& err);
bool runScript(Form& form, std::istream& in, std::ostream& out, std::ostream& err,
               std::string_view source = {});

} // namespace quenlor
