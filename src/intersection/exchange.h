// SPDX-License-Identifier: GPL-3.0-or-later
// The exchange between the outgoing azimuth and the deflection at the JD:
// outgoing azimuth = incoming azimuth (Text17) + deflection, whichever of the
// two the surveyor types. Neither angle is reduced to a circle.
#pragma once

namespace quenlor {

class Form;

// The deflection (Text19) from the outgoing azimuth in Text18.
void Text18_Change(Form& form);

// The outgoing azimuth (Text18) from the deflection in Text19.
void Text19_Change(Form& form);

} // namespace quenlor
