// SPDX-License-Identifier: GPL-3.0-or-later
// What the panels beside the boxes say while it holds, in one line: things in
// the boxes that a surveyor should know before staking out from them, and,
// beside an open route, where the boxes' figures are not the route's. The
// boxes themselves report nothing; these notices do not change them. Each
// notice is worded here, in Chinese for the window and in English for the
// driver.
#pragma once

#include <string>
#include <vector>

namespace quenlor {

class Form;
class RouteModel;
struct FilledJd;

enum class NoticeKind {
  // The deflection typed into Text6 differs by more than a second from the
  // one the coordinates give in Text19.
  DeflectionDisagrees,
  // The transitions are too long for the deflection: the main points in
  // Text21 to Text25 come out of chainage order.
  TransitionsTooLong,
  // The radius in Text9 is zero or negative.
  RadiusNotPositive,
  // The transitions differ (Text10 and Text42): the point at a chainage in
  // the boxes treats the curve as symmetric, the plan and the field tools
  // follow the true curve.
  TransitionsDiffer,

  // Beside an open route, while the boxes hold a JD of it as filled (jd: its
  // name):
  // - filled for the chainage typed into Text26, whose stretch holds it;
  FilledForChainage,
  // - a chain break inside the curve (subject: "DL1 K2+500.000 =
  //   K2+480.000"): the boxes' main-point chainages do not count it;
  BreakInCurve,
  // - the boxes' formulas put a main point or an element (subject: "HZ",
  //   "T", "E", "L") more than a millimetre from the route's (amount: the
  //   largest difference, metres);
  FormulasDiffer,
  // - the route has no curve at the JD (an angle point, see its checks),
  //   the boxes compute one;
  CurveNotInRoute,
  // - the boxes' point at the chainage in Text26 lies more than a
  //   millimetre from the route's (amount, metres).
  PointDiffers,
  // Beside an open route, with a chainage in Text26 and the boxes holding no
  // JD of it as filled:
  // - the boxes hold a curve of the user's own: their point is not the
  //   route's;
  OwnCurve,
  // - the boxes are empty and no JD of the route takes the chainage in
  //   (subject: the chainage): a route by elements, a chainage off it.
  NoCurveForChainage,
};

struct Notice {
  NoticeKind kind;
  std::string jd{};      // the JD it concerns
  std::string subject{}; // the chain break, the main point or element, the chainage
  double amount = 0;     // metres

  bool operator==(const Notice&) const = default;
};

// The form's own notices.
std::vector<Notice> noticesOf(const Form& form);

// Beside an open route: the route's notices on the boxes, given the fill they
// hold (none where they hold none).
std::vector<Notice> routeNoticesOf(const Form& form, const RouteModel& route, const FilledJd* held);

// The notice as the panel says it, in Chinese, and as the driver says it,
// in English.
std::string noticeText(const Notice& notice);
std::string noticeMessage(const Notice& notice);

} // namespace quenlor
