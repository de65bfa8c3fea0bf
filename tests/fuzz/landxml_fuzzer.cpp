// SPDX-License-Identifier: GPL-3.0-or-later
// Coverage-guided fuzzing of the LandXML reader, on any bytes at all. It must
// give a route, or a message (in English and in Chinese) and no route; a
// route of curves it reads without checks must be one the writer writes
// again, and that file must read back to a route of as many JDs. A broken invariant
// aborts, and the fuzzer keeps the input.
#include "exchange/landxml.h"
#include "session/route_model.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace quenlor;

// Lengths read back from the file's digits agree to this, relative.
constexpr double kSameLength = 1e-6;

[[noreturn]] void broken(const std::string& what) {
  std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
  std::abort();
}

// Only for routes of curves: an angle point (a JD without a curve) whose
// Lines the reader finds shorter than a metre is not told from a kink.
void checkWrittenAgain(const route::RouteDefinition& definition) {
  for (const route::Jd& jd : definition.jds)
    if (!(jd.radius > 0))
      return;
  const RouteModel model(definition);
  if (!model.route().checks().empty())
    return;
  const auto text = exchange::landXmlText(model, {"2024-05-01", "00:00:00"});
  if (!text)
    broken("a route read does not write: " + text.error());
  const auto again = exchange::readLandXml(*text);
  if (!again.route)
    broken("a route written does not read back: " + again.message);
  // A route by elements whose elements fit the JD pattern reads back by JDs:
  // the same centre line, told by its length.
  const double length = model.route().length(), back = route::Route(*again.route).length();
  if (!(std::fabs(back - length) <= kSameLength * std::max(1.0, length)))
    broken("a route written reads back with another length");
  if (definition.method == route::Method::Jds && again.route->jds.size() != definition.jds.size())
    broken("a route written reads back with other JDs");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto read = exchange::readLandXml(bytes);
  if (!read.route) {
    if (read.message.empty() || read.notice.empty())
      broken("a file refused without a message");
    return 0;
  }
  if (!read.message.empty())
    broken("a route read with a message: " + read.message);
  checkWrittenAgain(*read.route);
  return 0;
}
