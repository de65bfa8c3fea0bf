// SPDX-License-Identifier: GPL-3.0-or-later
// Coverage-guided fuzzing of the route file reader, on any bytes at all. It
// must give a route or one message naming the line; a route it reads must
// write and read back to itself, byte for byte; and the route computed from
// it must answer for its points, its nearest point and its stake table with
// finite numbers. A broken invariant aborts, and the fuzzer keeps the input.
#include "route/route.h"
#include "route/route_file.h"
#include "route/stakes.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace quenlor::route;
using quenlor::CentrePoint;
using quenlor::StakePosition;

[[noreturn]] void broken(const std::string& what) {
  std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
  std::abort();
}

void checkFinite(const CentrePoint& p, const char* what) {
  if (!std::isfinite(p.point.x) || !std::isfinite(p.point.y) || !std::isfinite(p.azimuth))
    broken(std::string(what) + " is not finite");
}

void checkRoundTrip(const RouteDefinition& route) {
  const std::string text = routeText(route);
  const auto again = readRouteText(text);
  if (!again)
    broken("a route written does not read back: " + again.error());
  if (!(*again == route))
    broken("a route written reads back as another route");
  if (routeText(*again) != text)
    broken("a route written twice gives other bytes");
}

// Only where the route's measures are ordinary numbers: a fuzzed file may
// hold curves whose tangents reach far beyond any survey.
void checkGeometry(const RouteDefinition& definition) {
  const Route route(definition);
  if (!route.hasGeometry() || !(route.length() < 1e12))
    return;
  for (const double measure : {0.0, route.length() / 3, route.length()}) {
    const auto point = route.pointAt(measure);
    if (!point)
      broken("no point on the route at a measure on it");
    checkFinite(*point, "a point of the route");
  }
  const auto location = route.locate({definition.start.x + 3, definition.start.y - 4});
  if (!location || !std::isfinite(location->offset))
    broken("no finite location of a point near BP");
  const StakeList list = stakePositions(route, {0, route.length(), route.length() / 64});
  for (const StakePosition& stake : list.stakes) {
    const auto centre = route.pointAt(stake.measure);
    if (!centre)
      broken("no point for a stake");
    checkFinite(*centre, "a stake");
    if (!isFinite(sideStake(*centre, 5)))
      broken("a side stake is not finite");
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto route = readRouteText(bytes);
  if (!route) {
    if (!route.error().starts_with("line ") && !route.error().starts_with("the file") &&
        !route.error().starts_with("a NUL character at line "))
      broken("a message that names no line: " + route.error());
    return 0;
  }
  checkRoundTrip(*route);
  checkGeometry(*route);
  return 0;
}
