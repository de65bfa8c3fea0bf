// SPDX-License-Identifier: GPL-3.0-or-later
// The route file: plain UTF-8 text in CSV (RFC 4180, text/csv.h), which
// opens in a spreadsheet and in a text editor. Version 2:
//
//   quenlor-route,2,Route name           format, version, the route's name (optional)
//   kind,name,X,Y,chainage,R,Ls,ls2,ahead,elevation,Rv
//   BP,BP,3456789.123,512345.678,0,,,,,,
//   JD,JD1,3457328.921,512659.331,,800,120,,,,
//   JD,JD2,3457573.654,513815.103,,600,100,80,,,
//   EP,EP,3458202.514,514688.449,,,,,,,
//   break,DL1,,,3100,,,,3080.5,,         K3+100 = K3+080.5
//   PVI,SJD1,,,1200,,,,,132.5,12000
//   end,6                                the records above: the file is whole
//
// One row a record, each of the columns the header names:
//   kind  name  X  Y  chainage  R  Ls  ls2  ahead  elevation  Rv  deflection  distance
//   BP    name  X  Y  chainage                                     where the route starts
//   JD    name [X Y][chainage] R  Ls  [ls2]            [deflection][distance]
//   EP    name [X Y][chainage]                                    [distance]   where it ends
//   break name        behind                  ahead                a chain break
//   PVI   name        chainage   [T1 T2]             elevation Rv  a grade point (Rv 0: none)
//   end   count                                                    the last row
// A JD's ls2 empty is equal to Ls. A JD's or EP's chainage is the one the
// design's table gives (a check), a JD's deflection its typed 转角 (packed
// DMS ddd.mmss, right positive), and a distance places the point that far
// from the JD before it along the straight that JD's deflection turns to
// (route/route.h): such a point has no X and Y, every other JD and EP has
// both. The last two columns came after the first version of the table: a
// file whose rows use neither leaves them off (route files written before
// them do too), and is written so.
// A PVI row's Ls and ls2 cells hold an asymmetric vertical curve's lengths
// before and after the point (profile.h), both or neither. Every other cell
// is empty. The BP row comes first; the JDs follow in route
// order, then EP; break and PVI rows may stand anywhere after BP, in their own
// order. Rows whose cells are all empty are skipped; a row may stop before
// its trailing empty cells (spreadsheets keep or drop them). The end row
// closes the file: it counts the records before it, and only empty rows may
// follow it. A file without it, or whose count is not the records', is cut
// short (or two files run together) and is refused as incomplete, naming
// the line where it stops: a file cut anywhere is never read as another
// route. Version 1 is the same without the end row; it is still read.
//
// Tables. The rows above form the route table, under its header. A file may
// hold further tables after it (version 2 only), each starting with a header
// row of its own, which names its columns and holds the rows of its kinds up
// to the next header or the end row; the end row counts the records of every
// table. A header names its table's columns in their order, and may leave
// off trailing columns its table gained after it was first written (an older
// file), but no others; each table stands in a file at most once, and tables
// without rows are not written (but the element table of a route by
// elements, so that it opens as one).
//
// The element table (线元表): a route by elements, and the table a field
// calculator is given (element_table.h), in one. A file holds JD rows or an
// element table, not both; with an element table the route is by elements,
// and its route table holds BP, EP, chain breaks and grade points only:
//
//   序号,类型,起点桩号,起点X,起点Y,起点方位角,起点半径,终点半径,长度,转向,名称
//   1,直线,K1+200.000,3456789.123,512345.678,30,,,100,,L1
//   2,缓和曲线,K1+300.000,,,30,,60,40,右,A1
//   3,圆曲线,K1+340.000,,,49.05549,60,60,60,右,C1
//
// One row an element in route order; its kind is its 类型, 直线 (a
// straight), 圆曲线 (an arc) or 缓和曲线 (a clothoid), and every cell but
// 长度 may be empty:
//   序号        the row's number; not read (the rows stand in route order)
//   起点桩号    its start chainage, as the chain computes it; written, not
//               read (a chainage if given: K1+200.000, 1200, "K1+190 (2)")
//   起点X 起点Y its start as a field table gives it: a check of the chain
//   起点方位角  packed DMS ddd.mmss (geometry/angle_text.h), 0 to 360: the
//               first row's is the azimuth the route starts along (needed);
//               the others' are the chain's, written, not read
//   起点半径 终点半径  radii in metres; empty is none (a straight's end)
//   长度        metres
//   转向        左 or 右
//   名称        the name of its start point
// EP's X and Y are where the last element ends (BP where that is beyond
// +-1e9): written for the reader, not read. The start azimuth is written to
// a millionth of a second, so a route by elements reads back the same to
// that (exactly, for an azimuth read or typed in ddd.mmss).
//
// The stations table: the instrument stations kept with the route, each
// with the backsight it is oriented on, one of them in use:
//   kind,name,X,Y,elevation,height,backsight,backsight X,backsight Y,in use
//   station,T1,3456700,512400,152.36,1.52,T2,3456900,512200,1
//   station name  X  Y  [elevation] [height]  [backsight name]  bX  bY  [1]
// elevation and instrument height empty where not known; "in use" is 1 on
// at most one station, empty on the others.
//
// The cross section's tables, each written only where it has rows:
//
//   kind,name,side,width,fall            the template (路幅)
//   lane,行车道,left,3.5,-2
//   hard-shoulder,硬路肩,left,0.75,-2
//   soil-shoulder,土路肩,left,0.75,-3
//   lane,行车道,right,3.5,-2
//   kind,name,superelevation,runoff,axis,widening,shape
//   curve,JD1,6,,inner-edge,0.8,linear  a curve's superelevation and widening
//   kind,chainage,left_fall,right_fall,left_widening,right_widening,axis
//   axis,,,,,,inner-edge                 the station table (超高加宽表)
//   station,1000,,,0,0
//   station,1060,6,-6,0,0.8
//
//   kind           name  side  width  fall
//   lane           name  side  width  fall       a part of the template, a
//   hard-shoulder  name  side  width  fall       side's parts from the centre
//   soil-shoulder  name  side  width  fall       line outwards in file order
// side is left or right; width in metres, fall in per cent, negative falling
// away from the centre line (section/road_template.h).
//
//   kind   name  superelevation  runoff  axis  widening  shape
//   curve  name  i_h             [L]     [a]   b         [s]
// The settings of the JD of that name (of the arc element, in a route by
// elements; section/runoff.h): i_h per cent, the
// runoff length L in metres at each end (empty: the transitions'), the axis
// of rotation centre, inner-edge or outer-edge (empty: centre), the widening
// b in metres, its shape linear or high-order (empty: linear). The rows stand
// in route order, one a curve at most: a name that several curves carry is
// the first of them after the row before's; a row that names no such curve
// is an error. A curve without superelevation or widening has no row, unless
// a later curve of its name has one (its row, of i_h and b 0, keeps the
// order).
//
//   kind     chainage  left_fall  right_fall  left_widening  right_widening  axis
//   station  chainage  [fall]     [fall]      [metres]       [metres]
//   axis                                                                     a
// A row of the station table at a chainage: the lanes' falls, signed as the
// template's (empty: the side's normal crown), and the widening of each side
// (empty: 0). The axis row, at most one, says what the station table's falls
// turn the road about (centre, inner-edge, outer-edge; none: centre).
//
// Text: UTF-8, with or without a byte-order mark (one is written: spreadsheets
// need it to read Chinese names); lines end in CRLF (written) or LF; a cell
// with a comma, a quote, a line break or a blank at either end is quoted, a
// quote inside doubled.
// Numbers are plain decimal numbers within +-1e9 (an exponent is allowed);
// spaces around a number are ignored. Numbers are written as the shortest
// text that reads back to the same double (std::to_chars), so a route saved
// and opened is the same route, and saved again the same bytes.
//
// Reading is strict: any deviation from the layout above is an error, and a
// file that cannot be read gives one message naming the line and column:
//   line 7, column 6 (R): 'abc' is not a number
//   line 7, column 3 (X): '1e-400' is too small (nearer 0 than a number can be)
//   a NUL character at line 2, column 8 (a binary file?)
// Control characters other than tab and line breaks, or bytes that are not
// UTF-8, mean the file is not text. Files larger than 96 MiB (from the file
// system, before a byte is read) or with more than a million rows are
// refused before they are parsed; the largest route the program supports,
// 100,000 JDs each with its superelevation and widening, as many grade points
// and chain breaks, a station table of 10,000 rows, names of 64 bytes and
// every number at its longest text, writes about 63 MiB.
#pragma once

#include "numeric/expected.h"
#include "route/definition.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace quenlor::route {

inline constexpr int kRouteFileVersion = 2; // written; 1 and 2 are read
inline constexpr std::size_t kMostRouteFileBytes = 96u << 20;
inline constexpr std::size_t kMostRouteFileRows = 1'000'000;

// The route in a file's bytes, or the one message that says why not.
Expected<RouteDefinition> readRouteText(std::string_view bytes);

// The file's text for a route (what saveRouteFile writes).
std::string routeText(const RouteDefinition& route);

// Whether the route's text reads back as the same route: every name UTF-8
// text without control characters (tab and line breaks allowed), every
// number finite and within +-1e9 (an element's radius may be none). The
// message names the record. The rows of the method the route is not given
// by are not written (a route's checks say they are not used).
Expected<Done> checkWritable(const RouteDefinition& route);

// Reads a route file (files/read_file.h: a regular file only, its size
// checked first); a file that cannot be read is a message naming it and the
// system's reason.
Expected<RouteDefinition> openRouteFile(const std::string& path);

// Writes the route through the one save path (files/save_file.h): the
// target is the old route or the new one, never half of either, and a
// failure names the file and the system's reason. A route that would not
// read back the same (checkWritable) is not written.
Expected<Done> saveRouteFile(const std::string& path, const RouteDefinition& route);

} // namespace quenlor::route
