// SPDX-License-Identifier: GPL-3.0-or-later
// Tangent azimuths, deflection and the chainage of the next intersection point.
#pragma once

namespace quenlor {

class Form;

// From the JD (Text13, Text14), the next JD (Text15, Text16) and the incoming
// azimuth (Text17): the outgoing azimuth into Text18 (which starts the
// exchange with the deflection), the deflection into Text19 and the next JD's
// chainage, HZ plus the straight from HZ to the next JD, into Text20. The
// coordinate boxes share one body.
void tangentAzimuthFromCoordinates(Form& form);
inline void Text13_Change(Form& form) { tangentAzimuthFromCoordinates(form); }
inline void Text14_Change(Form& form) { tangentAzimuthFromCoordinates(form); }
inline void Text15_Change(Form& form) { tangentAzimuthFromCoordinates(form); }
inline void Text16_Change(Form& form) { tangentAzimuthFromCoordinates(form); }

// The same, with the tangent length nudged by 1e-10, so the next JD's
// chainage differs from the coordinate boxes' in its last digits.
void Text17_Change(Form& form);

} // namespace quenlor
