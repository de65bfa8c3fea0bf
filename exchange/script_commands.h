// SPDX-License-Identifier: GPL-3.0-or-later
// The exports (and the LandXML import) as commands of the driver's session
// language, added to a ScriptSession's extensions:
//
//   export landxml FILE        the loaded route (landxml.h)
//   export elements FILE       the loaded route's element table, JD routes
//                              included, as a route file of element rows
//                              (route_file.h, element_table.h), which
//                              'route FILE' reads back with the same stakes
//   export csv FILE [full]     the last table asked for, as a stake sheet
//   export xlsx FILE [full]    (stake_sheet.h); field precision unless full
//   export coordinates FILE [full]
//                              the last table's stakes as a coordinate table
//                              (逐桩坐标表) in XLSX
//   export jdtable FILE [full] the loaded route's JD table (直线、曲线及转角表)
//                              in XLSX (stake_sheet.h)
//   export points FILE [yx]    the last table's stakes for a total station,
//                              X (north) first unless yx
//   export dxf FILE            the plan of the loaded route, or of the curve
//                              the boxes describe, with the last table's
//                              stakes (dxf.h)
//   import landxml FILE [NAME] loads the route of a LandXML file, the
//                              alignment named or the first; a file that
//                              cannot be read leaves the loaded route; what
//                              was skipped is said on standard error
//   each printing "wrote FILE", or "imported FILE: " and what was read
//   (landxml.h's importSummary), when done.
// The date on a sheet is today's, or SOURCE_DATE_EPOCH's (stamp.h).
#pragma once

namespace quenlor {
struct ScriptSession;
}

namespace quenlor::exchange {

void addExchangeCommands(ScriptSession& session);

} // namespace quenlor::exchange
