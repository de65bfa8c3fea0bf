// Which computation each box's change and each button's click starts.
#pragma once

#include "main/controls.h"

namespace quenlor {

class Form;

using Handler = void (*)(Form&);

// The change handler of a box, or nullptr for a box that has none.
Handler changeHandler(Box box);

// The click handler of a button, or nullptr for one that has none.
Handler clickHandler(Button button);

// Text18 and Text19 start each other; a write that would start one of them
// while this many of the two are already running changes the box's text but
// starts no handler, so that the exchange comes to rest whatever the angles.
inline constexpr int kExchangeDepthLimit = 3;

bool isExchangeBox(Box box);

} // namespace quenlor

namespace quenlor {

// "方位角计算": its click does nothing.
void Command1_Click(Form& form);

} // namespace quenlor
