// SPDX-License-Identifier: GPL-3.0-or-later
// The route file: plain UTF-8 text in CSV (RFC 4180), which opens in a
// spreadsheet and in a text editor. Version 1:
//
//   quenlor-route,1,Route name           format, version, the route's name (optional)
//   kind,name,X,Y,chainage,R,Ls,ls2,ahead,elevation,Rv
//   BP,BP,3456789.123,512345.678,0,,,,,,
//   JD,JD1,3457328.921,512659.331,,800,120,,,,
//   JD,JD2,3457573.654,513815.103,,600,100,80,,,
//   EP,EP,3458202.514,514688.449,,,,,,,
//   break,DL1,,,3100,,,,3080.5,,         K3+100 = K3+080.5
//   PVI,SJD1,,,1200,,,,,132.5,12000
//
// One row a record, each of the eleven columns the header names:
//   kind  name  X  Y  chainage  R  Ls  ls2  ahead  elevation  Rv
//   BP    name  X  Y  chainage                                     where the route starts
//   JD    name  X  Y            R  Ls  [ls2]                       ls2 empty: equal to Ls
//   EP    name  X  Y                                               where it ends
//   break name        behind                  ahead                a chain break
//   PVI   name        chainage                       elevation Rv  a grade point (Rv 0: none)
// Every other cell is empty. The BP row comes first; the JDs follow in route
// order, then EP; break and PVI rows may stand anywhere after BP, in their own
// order. Rows whose cells are all empty are skipped; a row may stop before
// its trailing empty cells (spreadsheets keep or drop them).
//
// Text: UTF-8, with or without a byte-order mark (one is written: spreadsheets
// need it to read Chinese names); lines end in CRLF (written) or LF; a cell
// with a comma, a quote or a line break is quoted, a quote inside doubled.
// Numbers are plain decimal numbers within +-1e9 (an exponent is allowed);
// spaces around a number are ignored. Numbers are written as the shortest
// text that reads back to the same double (std::to_chars), so a route saved
// and opened is the same route, and saved again the same bytes.
//
// Reading is strict: any deviation from the layout above is an error, and a
// file that cannot be read gives one message naming the line and column:
//   line 7, column 6 (R): 'abc' is not a number
// Files larger than 64 MiB or with more than a million rows are refused
// before they are parsed. Control characters other than tab and line breaks,
// or bytes that are not UTF-8, mean the file is not text.
#pragma once

#include "route/definition.h"
#include "numeric/expected.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace quenlor::route {

inline constexpr int kRouteFileVersion = 1;
inline constexpr std::size_t kMostRouteFileBytes = 64u << 20;
inline constexpr std::size_t kMostRouteFileRows = 1'000'000;

// The route in a file's bytes, or the one message that says why not.
Expected<RouteDefinition> readRouteText(std::string_view bytes);

// The file's text for a route (what saveRouteFile writes).
std::string routeText(const RouteDefinition& route);

// Whether the route's text reads back as the same route: every name UTF-8
// text without control characters (tab and line breaks allowed), every
// number finite and within +-1e9. The message names the record.
Expected<Done> checkWritable(const RouteDefinition& route);

// Reads a route file; a file that cannot be opened or read, or is too large,
// is a message naming it.
Expected<RouteDefinition> openRouteFile(const std::string& path);

// Writes the route atomically: its text goes to a temporary file beside the
// target, which is flushed to the disk (fsync) and then renamed over the
// target, so the target is either the old route or the new one, never half
// of either, whatever happens (a crash, a full disk). A file that existed
// keeps its permissions; a new one is made readable by all. Any failure is
// a message naming the file, and the temporary file is removed.
Expected<Done> saveRouteFile(const std::string& path, const RouteDefinition& route);

} // namespace quenlor::route
