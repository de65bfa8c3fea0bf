// SPDX-License-Identifier: GPL-3.0-or-later
// The form: the texts of every box, the calculation state, and the rules by
// which an edit starts the computations that depend on it.
//
// Every change of a box's text, typed by the user or written by a computation,
// goes through edit() (or append() and removeLast(), the same edit made at the
// end of the text). A text that differs from the one the box holds is
// stored, shown to the observer and then runs the box's change handler at
// once, inside the edit; the same text again raises nothing, which is what
// ends every chain of computations. The form knows no toolkit: a window is
// only a view that forwards the user's edits and shows what the observer hears.
#pragma once

#include "form/calc_state.h"
#include "form/controls.h"
#include "form/handler_hook.h"
#include "numeric/number_reader.h"

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quenlor {

class Form {
public:
  using Observer = std::function<void(Box, const std::string&)>;

  const std::string& text(Box box) const { return texts_[std::size_t(boxNumber(box))]; }
  const CalcState& state() const { return state_; }

  // One edit that replaces the box's whole text.
  void edit(Box box, std::string_view text);
  // One edit that adds characters at the end of the box's text, or takes its
  // last `bytes` bytes away (all of them where it has fewer): the same as
  // edit() with the longer or shorter text, but at a cost that does not grow
  // with the length of the text, which is extended and read on in place.
  void append(Box box, std::string_view characters);
  void removeLast(Box box, std::size_t bytes);

  // Runs `action` on the form and tells whether it left any box's text or
  // any state value other than it was, bit for bit. Cheap however long the
  // texts: only texts that changed are compared, and a text is copied only
  // where an edit replaces it, never where it grows or shrinks at its end.
  // Not nested.
  template <class Action> bool changedBy(Action&& action) {
    startWatch();
    const WatchEnd end{*this};
    action();
    return changedSinceWatchStart();
  }

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

  // The leading number of the box's text (parseNumber), kept until the text
  // changes: an infinity where the number is beyond the double range.
  double number(Box box) const;

  // For the computations.
  CalcState& state() { return state_; }
  // The leading number of the box's text; a number beyond the double range is
  // an arithmetic fault of the computation that reads it.
  double read(Box box) const;
  // read() of a packed angle, in radians (radiansOf), kept like the number
  // until the text changes: the angles a keystroke's cascade reads have
  // mostly not changed since it last read them.
  double readRadians(Box box) const;
  // Writes a number in the box's number text; a number that has no such
  // text (isWritableNumber) is an overflow.
  void write(Box box, double value);

private:
  static constexpr std::size_t kBoxSlots = kHighestBoxNumber + 1;

  // edit(), with the text's number where the caller knows it.
  void replace(Box box, std::string_view text, const double* number);
  void changed(Box box, const double* number);
  void runChangeHandler(Box box);
  void run(Handler handler);

  // What a box's text was when the watch started: while it is only extended
  // or cut at its end, its first `keptPrefix` bytes followed by `rest`;
  // once an edit replaces it, `rest` alone.
  struct WatchedText {
    bool touched = false;
    bool replaced = false;
    std::size_t keptPrefix = 0;
    std::string rest;
  };
  struct WatchEnd {
    Form& form;
    ~WatchEnd() { form.stopWatch(); }
  };
  void startWatch();
  void stopWatch();
  bool changedSinceWatchStart() const;
  WatchedText* touch(std::size_t slot);
  void beforeReplace(std::size_t slot);
  void beforeRemove(std::size_t slot, std::size_t newSize);

  std::array<std::string, kBoxSlots> texts_{};
  // Each box's text read as a number, kept until the text changes: most
  // boxes a computation reads have not changed since it last read them.
  mutable std::array<double, kBoxSlots> numbers_{};
  mutable std::array<bool, kBoxSlots> numberKnown_{};
  mutable std::array<double, kBoxSlots> radians_{};
  mutable std::array<bool, kBoxSlots> radiansKnown_{};
  // The box last typed into or deleted from at its end, read as it changes
  // there, so that its number costs no rescan of the whole text; kBoxSlots
  // for none.
  NumberReader reader_;
  std::size_t readerSlot_ = kBoxSlots;
  bool watching_ = false;
  std::array<WatchedText, kBoxSlots> watched_{};
  std::vector<std::size_t> touched_;
  CalcState stateAtWatch_{};
  CalcState state_{};
  Observer observer_;
  int exchangeDepth_ = 0;
  int handlerDepth_ = 0;
  int deepestHandlerDepth_ = 0;
};

} // namespace quenlor
