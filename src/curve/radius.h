// SPDX-License-Identifier: GPL-3.0-or-later
// The radius for a wanted tangent length or external distance.
#pragma once

namespace quenlor {

class Form;

// Both buttons take the curve as symmetric, with two transitions of the length
// in Text10, solve a quadratic in R and write the radius into Text9. That
// write recomputes the curve elements (Text9's own change), and the button
// then writes its remaining results from the state as that left it. A zero
// deflection makes the quadratic's leading coefficient 0: a fault, and
// nothing is written.

// "切线T": R from the wanted tangent length in Text11.
void Command3_Click(Form& form);

// "外距E": R from the wanted external distance in Text12.
void Command4_Click(Form& form);

} // namespace quenlor
