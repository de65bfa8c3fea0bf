// SPDX-License-Identifier: GPL-3.0-or-later
// The route's checks: one line for each thing that is wrong, naming the JD,
// element or chain break it concerns, in route order.
#include "geometry/angle_text.h"
#include "route/route.h"

#include <cmath>
#include <cstdio>

namespace quenlor::route {
namespace {

constexpr double kOverlapTolerance = 1e-6; // metres

std::string metres(double value) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%.3f m", value);
  return buffer;
}

std::string number(double value) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%.6g", value);
  return buffer;
}

constexpr const char* kAnglePoint = "; taken as an angle point without curve";

bool radiusUsable(double r) { return r == kNoRadius || (r > 0 && r <= kLargestValue); }

} // namespace

void Route::collectChecks() {
  checks_.clear();
  checkEnds();
  checkRowsUsed();
  if (!usable_)
    return;
  for (std::size_t i = 0; i < jds_.size(); ++i)
    checkJd(i);
  if (!byElements())
    checkLegs();
  for (std::size_t k = 0; k < chain_.size(); ++k)
    checkElement(k);
  checkBreaks();
}

void Route::addCheck(CheckKind kind, int jd, int chainBreak, std::string message, double amount) {
  checks_.push_back({kind, jd, chainBreak, -1, amount, std::move(message)});
}

void Route::addElementCheck(CheckKind kind, std::size_t element, double amount,
                            std::string message) {
  checks_.push_back({kind, -1, -1, static_cast<int>(element), amount, std::move(message)});
}

std::string Route::elementLabel(std::size_t index) const {
  const std::string& name = definition_.elements[index].name;
  return name.empty() ? "element #" + std::to_string(index + 1) : name;
}

void Route::checkRowsUsed() {
  const std::size_t jds = definition_.jds.size(), elements = definition_.elements.size();
  if (byElements() && jds > 0)
    checks_.push_back(
        {CheckKind::RowsNotUsed, -1, -1, -1, double(jds),
         "the route is given by elements: its " + std::to_string(jds) + " JDs are not used"});
  if (!byElements() && elements > 0)
    checks_.push_back(
        {CheckKind::RowsNotUsed, -1, -1, -1, double(elements),
         "the route is given by JDs: its " + std::to_string(elements) + " elements are not used"});
}

void Route::checkElement(std::size_t k) {
  const ElementRow& row = definition_.elements[k];
  const Chained& c = chain_[k];
  const std::string label = elementLabel(k);
  if (c.fault) {
    switch (*c.fault) {
    case CheckKind::LengthNotPositive:
      addElementCheck(*c.fault, k, row.length,
                      label + ": the length " + number(row.length) +
                          " is not a positive number within 1e9; left out");
      break;
    case CheckKind::UnusableNumber:
    case CheckKind::RadiusNotPositive: {
      const double radius = radiusUsable(row.startRadius) ? row.endRadius : row.startRadius;
      addElementCheck(*c.fault, k, radius,
                      label + ": the radius " + number(radius) +
                          " is not a positive number within 1e9; taken as a straight");
      break;
    }
    case CheckKind::ArcWithoutRadius:
      addElementCheck(*c.fault, k, 0, label + ": an arc without a radius; taken as a straight");
      break;
    case CheckKind::RadiiEqual:
      addElementCheck(*c.fault, k, row.startRadius,
                      label + ": a clothoid whose start and end radius are both " +
                          number(row.startRadius) + "; taken as " +
                          (row.startRadius == kNoRadius ? "a straight" : "an arc"));
      break;
    case CheckKind::TurnMissing:
      addElementCheck(*c.fault, k, 0,
                      label + ": a curve without its turning side; taken as a straight");
      break;
    default: break;
    }
  }
  const bool givenStart = row.x || row.y;
  if (givenStart && !(row.x && row.y && usablePoint(*row.x, *row.y)))
    addElementCheck(CheckKind::UnusableNumber, k, 0,
                    label + ": the X or Y of its start is not a number within 1e9; not used");
  if (c.gap && *c.gap > kGivenStartGap)
    addElementCheck(CheckKind::StartGap, k, *c.gap,
                    label + ": its start as given lies " + metres(*c.gap) +
                        " from where the elements before it end");
}

void Route::checkEnds() {
  const StartPoint& bp = definition_.start;
  const EndPoint& ep = definition_.end;
  if (byElements()) {
    if (!usablePoint(bp.x, bp.y) || !isUsableValue(bp.chainage) || !std::isfinite(bp.azimuth))
      addCheck(CheckKind::NoRoute, -1, -1,
               "BP: X, Y, its chainage or azimuth is not a number within 1e9; the route has no "
               "geometry");
    else if (!(endMeasure_ > 0))
      addCheck(CheckKind::NoRoute, -1, -1, "the route has no element of any length");
    return;
  }
  if (!usablePoint(bp.x, bp.y) || !isUsableValue(bp.chainage))
    addCheck(CheckKind::NoRoute, -1, -1,
             "BP: X, Y or its chainage is not a number within 1e9; the route has no geometry");
  if (!usablePoint(ep.x, ep.y))
    addCheck(CheckKind::NoRoute, -1, -1,
             "EP: X or Y is not a number within 1e9; the route has no geometry");
  if (usable_ && endMeasure_ <= 0)
    addCheck(CheckKind::NoRoute, -1, -1, "EP: the route has no length (EP on BP or behind it)");
}

void Route::checkJd(std::size_t i) {
  const Jd& jd = definition_.jds[i];
  const JdState& s = jds_[i];
  const int index = static_cast<int>(i);
  if (s.inRoute && s.curve.fault == CurveFault::None)
    return;
  const std::string label = jdLabel(i);
  if (!usablePoint(jd.x, jd.y)) {
    addCheck(CheckKind::UnusableNumber, index, -1,
             label + ": X or Y is not a number within 1e9; left out");
    return;
  }
  if (!s.inRoute) {
    const int before = vertexBefore_[i];
    const double toEnd =
        distanceBetween(local(jd.x, jd.y), local(definition_.end.x, definition_.end.y));
    const std::string other = toEnd < kSamePoint ? "EP" : (before < 0 ? "BP" : jdLabel(before));
    addCheck(CheckKind::SamePoint, index, -1,
             label + ": stands on " + other + " (within 1 mm); left out");
    return;
  }
  const Curve& c = s.curve;
  switch (c.fault) {
  case CurveFault::None: break;
  case CurveFault::UnusableNumber:
    addCheck(CheckKind::UnusableNumber, index, -1,
             label + ": R, Ls or ls2 is not a number within 1e9" + kAnglePoint);
    break;
  case CurveFault::RadiusNotPositive:
    addCheck(CheckKind::RadiusNotPositive, index, -1,
             label + ": the radius R = " + number(jd.radius) + " is not positive" + kAnglePoint,
             jd.radius);
    break;
  case CurveFault::NegativeTransition:
    addCheck(CheckKind::NegativeTransition, index, -1,
             label + ": a transition is negative (Ls = " + number(jd.ls1) +
                 ", ls2 = " + number(jd.secondTransition()) + ")" + kAnglePoint);
    break;
  case CurveFault::ZeroDeflection:
    addCheck(CheckKind::ZeroDeflection, index, -1,
             label + ": the straights meet without deflection" + kAnglePoint);
    break;
  case CurveFault::TransitionsTooLong: {
    const double beta = (jd.ls1 + jd.secondTransition()) / (2 * jd.radius);
    addCheck(CheckKind::TransitionsTooLong, index, -1,
             label + ": the transitions are too long for the deflection (beta1 + beta2 = " +
                 dmsText(beta) + " > alpha = " + dmsText(std::fabs(c.deflection)) + ")" +
                 kAnglePoint);
    break;
  }
  }
}

// Straights of negative length: curves that overlap, or run past BP or EP.
void Route::checkLegs() {
  int before = -1;
  for (std::size_t i = 0; i < jds_.size(); ++i) {
    const JdState& s = jds_[i];
    if (!s.inRoute)
      continue;
    const double from = before < 0 ? 0 : jds_[before].main().hz;
    const double overlap = from - s.main().zh;
    const int index = static_cast<int>(i);
    if (overlap > kOverlapTolerance && before < 0)
      addCheck(CheckKind::StartLegTooShort, index, -1,
               jdLabel(i) + ": the curve starts " + metres(overlap) + " before BP (ZH at " +
                   chainageText(chainages_.chainageAt(s.main().zh)) + ")",
               overlap);
    else if (overlap > kOverlapTolerance)
      addCheck(CheckKind::CurvesOverlap, before, -1,
               jdLabel(before) + " and " + jdLabel(i) + ": the curves overlap by " +
                   metres(overlap) + " (HZ of " + jdLabel(before) + " at " +
                   chainageText(chainages_.chainageAt(from)) + " beyond ZH of " + jdLabel(i) +
                   " at " + chainageText(chainages_.chainageAt(s.main().zh)) + ")",
               overlap);
    before = index;
  }
  if (before < 0)
    return;
  const double beyond = jds_[before].main().hz - endMeasure_;
  if (beyond > kOverlapTolerance)
    addCheck(CheckKind::EndLegTooShort, before, -1,
             jdLabel(before) + ": the curve ends " + metres(beyond) + " beyond EP", beyond);
}

void Route::checkBreaks() {
  const std::vector<BreakPlace>& places = chainages_.placesOfBreaks();
  for (std::size_t j = 0; j < places.size(); ++j) {
    if (places[j] == BreakPlace::Placed)
      continue;
    const ChainBreak& b = definition_.breaks[j];
    const std::string label = (b.name.empty() ? "chain break #" + std::to_string(j + 1) : b.name) +
                              " (" + chainageText(b.behind) + " = " + chainageText(b.ahead) + ")";
    if (places[j] == BreakPlace::OutsideRoute)
      addCheck(CheckKind::BreakOutsideRoute, -1, static_cast<int>(j),
               label + ": not inside the route; left out");
    else
      addCheck(CheckKind::BreakOutOfOrder, -1, static_cast<int>(j),
               label + ": not beyond the chain break before it; left out");
  }
}

} // namespace quenlor::route
