// SPDX-License-Identifier: GPL-3.0-or-later
// Sessions for tests: a form driven by lines of the script language, the box
// texts read back as numbers, and the one worked curve most tests stand on.
#pragma once

#include "form/form.h"
#include "numeric/number_text.h"
#include "session/script.h"
#include "support/worked_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <string_view>

namespace quenlor::test {

// Runs the lines on the form; a bad line fails the test.
inline std::string play(Form& form, std::string_view script) {
  std::istringstream in{std::string(script)};
  std::ostringstream out, err;
  EXPECT_TRUE(runScript(form, in, out, err)) << err.str();
  return out.str();
}

inline double number(const Form& form, Box box) { return parseNumber(form.text(box)); }

// The box holds a number within tolerance of the expected one (the figures
// worked by hand are given to four decimals).
inline void expectNear(const Form& form, Box box, double expected, double tolerance = 5e-5) {
  EXPECT_FALSE(form.text(box).empty()) << boxName(box) << " is empty";
  EXPECT_NEAR(number(form, box), expected, tolerance) << boxName(box) << " = " << form.text(box);
}

// A station and a backsight beside it.
inline constexpr std::string_view kStation =
    "set Text35 900\nset Text36 1900\nset Text37 100\nset Text39 850\nset Text1 2100\n";

inline Form workedForm(bool right = true, std::string_view more = {}) {
  Form form;
  play(form, workedCurve(right) + std::string(more));
  return form;
}

} // namespace quenlor::test
