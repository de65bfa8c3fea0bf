// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue: every sentence the program says about a problem, a notice
// or a tip, and the short words its answers are written with (sides, cut
// and fill), worded once, in English for the driver and in Chinese for the
// window. Code names a
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
#include <span>
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
  // A route with no JD table to print: given by elements, or without geometry.
  JdSheetWithoutJds,
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

  // Joins two sentences of one notice.
  Then,
  // The field tools. A chainage that gives no point: {0} the chainage as
  // typed; on the boxes' curve, as written.
  FieldNoPoint,
  FieldNoPointOfCurve,
  // A located point past the route's end: {0} metres; another foot almost as
  // near: {0} its chainage, {1} its offset, {2} its side.
  FieldBeyondEnd,
  FieldBeyondStart,
  FieldAlsoNear,
  // A table's end past the route's: {0} as typed, {1} the end, {2} its chainage.
  FieldTableStopsAtEnd,
  FieldTableStartsAtStart,
  FieldRows,     // {0} how many
  FieldRowsUpTo, // {0} the last row listed, {1} how many
  FieldStakeBreakBehind,
  FieldStakeBreakAhead,
  FieldSideLeft,
  FieldSideRight,
  FieldFill, // {0} the height
  FieldCut,
  FieldByRoute, // {0} the route's name
  FieldByBoxes,
  FieldPrecision, // heading of the copied table, then the precision it is in
  FieldPrecisionField,
  FieldPrecisionFull,
  // The profile where it gives no design elevation: {0} the chainage asked,
  // {1} where the profile starts or ends; a table's gap: {0} that place.
  ProfileStartsAt,
  ProfileEndsAt,
  ProfileGapBefore,
  ProfileGapBeyond,
  // The profile's checks: {0} the grade point, {1} the check; a point with
  // no name by its number {0}; an amount {0} in metres.
  ProfileCheckAt,
  ProfileGradePointNumbered,
  ProfileNotFinite,
  ProfileOutOfOrder,
  ProfileSameMeasure,
  ProfileNegativeRadius,
  ProfilePointOutsideRoute,
  ProfileCurvesOverlap,
  ProfileCurvePastStart,
  ProfileCurvePastEnd,
  ProfileLineStartsLate,
  ProfileLineEndsEarly,
  // The cross section view: {0} the chainage; its labels {0} the elevation,
  // {1} the distance from the centre line.
  SectionTitle,
  SectionNoTemplate,
  SectionNoPoint,
  SectionNoDesign,
  SectionLeftEdge,
  SectionRightEdge,
  SectionCentre,
  SectionGround,
  // The cross section's checks: what each concerns ({0} its number, {1} a
  // row's chainage or a part's name), then the check ({0} an amount as text,
  // {1} the other curve, {2} a place).
  SectionCheckAt,
  SectionJdNumbered,
  SectionElementNumbered,
  SectionStationRow,
  SectionLeftPart,
  SectionRightPart,
  SectionPartNamed,
  SectionPartUnusable,
  SectionPartOutOfOrder,
  SectionPartFallUnlikeLanes,
  SectionPartFlatterThanLanes,
  SectionMainPointsUnusable,
  SectionSuperelevationUnusable,
  SectionSuperelevationBelowCrown,
  SectionWideningUnusable,
  SectionRunoffUnusable,
  SectionNoRunoff,
  SectionRunoffLongerThanTransition,
  SectionRunoffBeforeStart,
  SectionRunoffBeyondEnd,
  SectionRunoffsOverlap,
  SectionRowUnusable,
  SectionRowOutOfOrder,
  // The window's notices about files: {0} the file, {1} the problem.
  WindowSaved,
  WindowNotSaved,
  WindowElementsNotExported,
  WindowNotImported,
  WindowImported,
  WindowCopyNotKept,
  WindowUndone,
  WindowRedone,
  WindowCannotOpen,
  WindowOpenElsewhere,
  WindowOpened,
  WindowChangedOnDisk,
  WindowRouteClosed,
  WindowNotRestored,
  WindowRestored,
  WindowRestoredModified,
  WindowUnsavedKept,
  WindowKeptCopyFull,
  WindowNoSheetToPrint,
  WindowSheetNotPainted,
  WindowCannotWrite,
  WindowPrinted,
  WindowCannotPrint,
  WindowPageOf,
  WindowNoStakeTable,
  WindowPointLevel,
  WindowPointNoLevel,
  WindowNoProfile,
  WindowNoRouteOpen,
  WindowCellNotChanged,
  WindowEditCell,
  WindowRowNumbered,
  TipTableOffset,
  TipTableFall,
  TipFullPrecision,
  TipFold,
  TipProfileScale,
  TipReadout,
  // The route's checks as its tables show them: the row's name, then the check.
  CheckAt,
  CheckJdNumbered,
  CheckElementNumbered,
  CheckBreakNumbered,
  CheckUnusableNumber,
  CheckSamePoint,
  CheckRadiusNotPositive,
  CheckNegativeTransition,
  CheckZeroDeflection,
  CheckTransitionsTooLong,
  CheckCurvesOverlap,
  CheckStartLegTooShort,
  CheckEndLegTooShort,
  CheckBreakOutsideRoute,
  CheckBreakOutOfOrder,
  CheckNoRoute,
  CheckLengthNotPositive,
  CheckRadiiEqual,
  CheckTurnMissing,
  CheckArcWithoutRadius,
  CheckStartGap,
  CheckRowsNotUsed,
  CheckNotPlaced,
  CheckChainageDiffers,
  CheckDeflectionDiffers,
  CheckElementUnusableNumber,
  CheckElementRadiusNotPositive,
  CheckChainageGiven,
  CheckDeflectionGiven,
  CheckTurnLeft,
  CheckTurnRight,
  // A cell or a pasted row refused: {0} the text as typed.
  CellNotANumber,
  CellBeyondRange,
  CellNotAChainage,
  CellControlCharacter,
  CellMissing,
  CellNotAnAngle,
  CellTwoSides,
  CellNoColumn,
  CellTwoColumns,
  CellNotAnElementKind,
  CellNotATurn,
  CellNotAnAzimuth,
  CellNotAChoice,
  PasteHeadingRow,
  PasteCell,
  PasteElementMissing,
  PasteRowShouldBe,
  PasteListJoin,
  PasteNotReadComputed,
  PasteNotReadUnknown,
  PastedJds,
  PastedAndStart,
  PastedAndEnd,
  PastedAlsoEnd,
  // The route panel: its notices, its tips, and the names of its steps in the history.
  AskSaveUnkept,
  TipAlignments,
  WindowNoRouteToExport,
  TipExportElements,
  WindowNameControlCharacter,
  TipFillWindow,
  TipWriteBack,
  TipStartByElements,
  TipStartByJds,
  TipUseStation,
  TipStationAxis,
  WindowRowsWithProblems,
  TipUndo,
  TipUndoStep,
  TipRedo,
  TipRedoStep,
  WindowNoRouteOpened,
  WindowFileModified,
  WindowFileSaved,
  WindowChooseJd,
  WindowJdNotInRoute,
  WindowFilled,
  WindowTransitionsDiffer,
  WindowSameAsJd,
  StepWriteBack,
  WindowWrittenBack,
  StepAddJd,
  StepInsertJd,
  WindowChooseJdsToDelete,
  StepDeleteJds,
  WindowDeletedJds,
  StepJdUp,
  StepJdDown,
  WindowChooseJdsToCopy,
  WindowCopiedJds,
  WindowNoJdRows,
  StepPasteJds,
  StepAddBreak,
  StepDeleteBreaks,
  StepAddGradePoint,
  WindowNoGradeRows,
  StepPasteGradePoints,
  WindowPastedGradePoints,
  StepDeleteGradePoints,
  WindowChooseStation,
  WindowStationDropped,
  WindowStationUsed,
  StepByElements,
  StepByJds,
  WindowByElements,
  WindowByJds,
  StepAddElement,
  StepInsertElement,
  WindowChooseElementsToDelete,
  StepDeleteElements,
  WindowDeletedElements,
  StepElementUp,
  StepElementDown,
  WindowChooseElementsToCopy,
  WindowCopiedElements,
  WindowNoElementRows,
  StepPasteElements,
  WindowPastedElements,
  WindowChooseRowsToCopy,
  WindowCopiedRows,
  WindowNoRows,
  WindowPastedCurveUnknown,
  WindowPasted,
  WindowJdSheetTip,
  WindowCoordinateSheetTip,
  WindowSectionNoRoute,
  WindowSectionNoChainage,
  WindowSectionOutside,
  WindowSectionTitle,
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
  // The chain breaks' paste: {0} how many.
  WindowNoBreakRows,
  StepPasteBreaks,
  WindowPastedBreaks,
};

// The sentence in English, its blanks filled.
std::string english(Say say, std::initializer_list<std::string_view> blanks = {});
// The sentence in Chinese, its blanks filled.
std::string chinese(Say say, std::initializer_list<std::string_view> blanks = {});
// The same, its blanks made at run time (the window's own strings).
std::string chineseFrom(Say say, std::span<const std::string_view> blanks);
// Both, as the failure the driver and the window report.
Failure failure(Say say, std::initializer_list<std::string_view> blanks = {});
// A failure framed by another sentence: `frame`'s {0} is `subject`, its {1}
// the sentence `say` with `blanks`, each in its own language.
Failure failure(Say frame, std::string_view subject, Say say,
                std::initializer_list<std::string_view> blanks = {});

} // namespace quenlor
