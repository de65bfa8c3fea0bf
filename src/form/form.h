// SPDX-License-Identifier: GPL-3.0-or-later
// The form: the texts of every box, the calculation state, and the rules by
// which an edit starts the computations that depend on it.
//
// Every change of a box's text, typed by the user or written by a computation,
// goes through edit(). A text that differs from the one the box holds is
// stored, shown to the observer and then runs the box's change handler at
// once, inside the edit; the same text again raises nothing, which is what
// ends every chain of computations. The form knows no toolkit: a window is
// only a view that forwards the user's edits and shows what the observer hears.
#pragma once

#include "form/calc_state.h"
#include "form/controls.h"
#include "form/handler_hook.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>

namespace quenlor {

class Form {
public:
  using Observer = std::function<void(Box, const std::string&)>;

  const std::string& text(Box box) const { return texts_[std::size_t(boxNumber(box))]; }
  const CalcState& state() const { return state_; }

  // One edit that replaces the box's whole text.
  void edit(Box box, std::string_view text);

  // A press of a button; Command2 and Command5 do nothing.
  void click(Button button);

  // Hears every change of a box's text, before the box's handler runs. The
  // observer must not edit the form from inside the call.
  void setObserver(Observer observer) { observer_ = std::move(observer); }

  // How many handlers are running, one inside the other: 0 while the user
  // edits, 1 inside the handler that an edit or a click starts, and so on.
  int handlerDepth() const { return handlerDepth_; }
  // The deepest that handlers have nested since the form was made.
  int deepestHandlerDepth() const { return deepestHandlerDepth_; }

  // For the computations.
  CalcState& state() { return state_; }
  // The leading number of the box's text; a number beyond the double range is
  // an arithmetic fault of the computation that reads it.
  double read(Box box) const;
  // Writes a number in the box's number text; a number that has no such
  // text (isWritableNumber) is an overflow.
  void write(Box box, double value);

private:
  void runChangeHandler(Box box);
  void run(Handler handler);

  std::array<std::string, kHighestBoxNumber + 1> texts_{};
  // Each box's text read as a number, kept until the text changes: most
  // boxes a computation reads have not changed since it last read them.
  mutable std::array<double, kHighestBoxNumber + 1> numbers_{};
  mutable std::array<bool, kHighestBoxNumber + 1> numberKnown_{};
  CalcState state_{};
  Observer observer_;
  int exchangeDepth_ = 0;
  int handlerDepth_ = 0;
  int deepestHandlerDepth_ = 0;
};

} // namespace quenlor
