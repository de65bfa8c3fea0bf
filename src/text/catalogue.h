// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue: every sentence the program says about a problem, worded
// once, in English for the driver and in Chinese for the window. Code names a
// sentence by its kind and fills its blanks with the data ({0}, {1}, ... in
// the order given: file names, numbers already written as text, element
// names); a blank without data stays empty.
//
//   failure(Say::FileCannotWrite, {"a.csv", english(Say::FileReadOnlySystem, ...)})
//   english(Say::FileLargerThan, {"64 MiB"}) -> "it is larger than 64 MiB"
//   chinese(Say::FileLargerThan, {"64 MiB"}) -> "文件大于 64 MiB"
//
// The catalogue grows a kind at a time; a module that words its own kinds
// (route checks, profile checks, notices) does so through it.
#pragma once

#include "numeric/expected.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace quenlor {

enum class Say : std::uint16_t {
  // A file that cannot be read or written: {0} the file, {1} the problem
  // (one of the problems below, in the same language).
  FileCannotRead,
  FileCannotWrite,
  FileCannotWriteAtAll, // {0} the file, no reason known
  // The problems. The operating system's: {0} its own words (strerror).
  FileNoSpace,
  FileNoPermissionToRead,
  FileNoPermissionToWrite,
  FileReadOnlySystem,
  FileMissing,
  FileNotAFolderOnThePath,
  FileSymbolicLinkLoop,
  FileNameTooLong,
  FileTooBigForTheSystem,
  FileInputOutput,
  FileTooManyOpen,
  FileSystemOther,
  // Not a regular file, or too large: {0} the most taken ("64 MiB").
  FileFolder,
  FileFifo,
  FileCharacterDevice,
  FileBlockDevice,
  FileSocket,
  FileNotRegular,
  FileLargerThan,
  // A route's element table that cannot be written: it has no geometry, or
  // its direction jumps at {0} (a place and its chainage).
  ElementsWithoutGeometry,
  ElementsDirectionJumps,
  // A LandXML file that is not read, and what an import read.
  LandXmlAt, // framed: {0} line, {1} column, {2} the sentence
  LandXmlNul,
  LandXmlNotWellFormed, // {2} the XML reader's words
  LandXmlNotLandXml,
  LandXmlTooLarge,
  LandXmlNumberTooSmall, // {0} what, {1} the word
  LandXmlNumberBeyond,
  LandXmlNotANumber,
  LandXmlImperialWithoutUnit,
  LandXmlUnknownLengthUnit,
  LandXmlGeometryUnsupported,
  LandXmlProfileUnsupported,
  LandXmlTooManyElements, // {0} the most, {1} the most JDs
  LandXmlTooManyEquations,
  LandXmlTooManyGradePoints,
  LandXmlTooManyJds,
  LandXmlPointByReference,
  LandXmlPointNeedsTwoNumbers,
  LandXmlGradePointNeedsTwoNumbers,
  LandXmlSpiralRadiusNotRadius,
  LandXmlElementNeedsPositive,
  LandXmlElementHasNo,
  LandXmlElementLengthNegative,
  LandXmlNoGeometryElements,
  LandXmlNoGeometry,
  LandXmlNoElementOfLength,
  LandXmlSpiralLeadsNowhere,
  LandXmlSpiralWithoutTurn,
  LandXmlSpiralBetweenArcs, // {0}, {1} the radii at its ends
  LandXmlSpiralOutOfRun,
  LandXmlCompoundCurve, // {0} the radius, {1} the radius before it
  LandXmlEquationIncomplete,
  LandXmlParallelStraights,
  LandXmlNoCurve,           // {0} the JD, {1} the route's check (English only)
  LandXmlMainPointOff,      // {0} the JD, {1} the main point, {2} metres
  LandXmlElementsDoNotJoin, // {0} Start or End, {1} metres
  LandXmlNoAlignment,
  LandXmlNoAlignmentNamed,
  LandXmlNoRoute, // {0} the route's check (English only)
  LandXmlReadJds, // what was read: {0} rows, {1} grade points, {2} the alignment, {3} its number,
                  // {4} how many
  LandXmlReadElements,
  LandXmlConvertedFrom, // {0} one of the units below
  LandXmlIgnored,
  LandXmlApart,                    // what parts two sentences of a summary
  LandXmlReadSuperelevation,       // {0} curves
  LandXmlSuperelevationSkipped,    // framed: {0} line, {1} the sentence below
  LandXmlSuperelevationNotANumber, // {0} the element, {1} its text
  LandXmlSuperelevationNoRate,
  LandXmlSuperelevationNoFullSection,
  LandXmlSuperelevationOutOfOrder,
  LandXmlSuperelevationNoCurve,
  LandXmlSuperelevationOverlaps,
  LandXmlSuperelevationAdverse,
  LandXmlTooManySuperelevations, // {0} line, {1} the most
  UnitMetres,
  UnitMillimetres,
  UnitCentimetres,
  UnitKilometres,
  UnitInternationalFeet,
  UnitUsSurveyFeet,
  UnitInches,

  // The notice line's notices about the boxes: {0} the JD, {1} the subject
  // (a chain break, a main point or element, a chainage), {2} the amount in
  // metres as text.
  NoticeDeflectionDisagrees,
  NoticeTransitionsTooLong,
  NoticeRadiusNotPositive,
  NoticeTransitionsDiffer,
  NoticeFilledForChainage,
  NoticeBreakInCurve,
  NoticeFormulasDiffer,
  NoticeCurveNotInRoute,
  NoticePointDiffers,
  NoticeOwnCurve,
  NoticeNoCurveForChainage,

  // A pasted design table's EP without X and Y (session/design_table.h): {0}
  // EP, {1} its distance from the last JD (metres as text), {2} that JD,
  // {3} what the table gives (the chainage, the straight), {4} the straight
  // beyond the curve's end EP is placed on where the table places it nowhere.
  PasteEndBySpacing,
  PasteEndByStraight,
  PasteEndByChainage,
  PasteEndBeyondCurve,
  PasteEndChainageBehindCurve,
  PasteEndDistanceBehindCurve,
  PasteEndNotPlaced,
};

// The sentence in English, its blanks filled.
std::string english(Say say, std::initializer_list<std::string_view> blanks = {});
// The sentence in Chinese, its blanks filled.
std::string chinese(Say say, std::initializer_list<std::string_view> blanks = {});
// Both, as the failure the driver and the window report.
Failure failure(Say say, std::initializer_list<std::string_view> blanks = {});
// A failure framed by another sentence: `frame`'s {0} is `subject`, its {1}
// the sentence `say` with `blanks`, each in its own language.
Failure failure(Say frame, std::string_view subject, Say say,
                std::initializer_list<std::string_view> blanks = {});

} // namespace quenlor
