// SPDX-License-Identifier: GPL-3.0-or-later
// The one place where the form reaches the computations above it: which
// handler a box's change or a button's click starts. Declared here, defined
// with the handler table on the floor that wires the subsystems together, so
// that the form includes none of them.
#pragma once

#include "form/controls.h"

namespace quenlor {

class Form;

using Handler = void (*)(Form&);

// The change handler of a box, or nullptr for a box that has none.
Handler changeHandler(Box box);

// The click handler of a button, or nullptr for one that has none.
Handler clickHandler(Button button);

} // namespace quenlor
