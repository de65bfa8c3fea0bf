// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/form.h"

#include "form/handler_hook.h"
#include "geometry/angle.h"
#include "numeric/fault.h"
#include "numeric/number_text.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

namespace quenlor {
namespace {

// Counts one more level of nesting for as long as it lives, however the
// handler inside leaves.
class Nesting {
public:
  explicit Nesting(int& depth) : depth_(++depth) {}
  ~Nesting() { --depth_; }
  Nesting(const Nesting&) = delete;
  Nesting& operator=(const Nesting&) = delete;

private:
  int& depth_;
};

// Text18 and Text19 start each other; a write that would start one of them
// while this many of the two are already running changes the box's text but
// starts no handler, so that the exchange comes to rest whatever the angles.
constexpr int kExchangeDepthLimit = 3;

bool isExchangeBox(Box box) { return box == Box::Text18 || box == Box::Text19; }

} // namespace

void Form::edit(Box box, std::string_view text) { replace(box, text, nullptr); }

void Form::replace(Box box, std::string_view text, const double* number) {
  const std::size_t slot = std::size_t(boxNumber(box));
  std::string& current = texts_[slot];
  if (current == text)
    return;
  if (watching_)
    beforeReplace(slot);
  current.assign(text); // into the box's own storage, which keeps its capacity
  if (readerSlot_ == slot)
    readerSlot_ = kBoxSlots;
  changed(box, number);
}

void Form::append(Box box, std::string_view characters) {
  if (characters.empty())
    return;
  const std::size_t slot = std::size_t(boxNumber(box));
  touch(slot);
  std::string& current = texts_[slot];
  current.append(characters);
  if (readerSlot_ == slot) {
    reader_.append(characters);
  } else {
    reader_.reset(current);
    readerSlot_ = slot;
  }
  changed(box, nullptr);
}

void Form::removeLast(Box box, std::size_t bytes) {
  const std::size_t slot = std::size_t(boxNumber(box));
  std::string& current = texts_[slot];
  bytes = std::min(bytes, current.size());
  if (bytes == 0)
    return;
  const std::size_t newSize = current.size() - bytes;
  beforeRemove(slot, newSize);
  if (readerSlot_ == slot) {
    reader_.removeLast(std::string_view(current).substr(newSize));
    current.resize(newSize);
  } else {
    current.resize(newSize);
    reader_.reset(current);
    readerSlot_ = slot;
  }
  changed(box, nullptr);
}

// The box's text has changed: its number is the one given or is read afresh,
// the observer hears the new text, and the box's handler runs.
void Form::changed(Box box, const double* number) {
  const std::size_t slot = std::size_t(boxNumber(box));
  numberKnown_[slot] = number != nullptr;
  radiansKnown_[slot] = false;
  if (number != nullptr)
    numbers_[slot] = *number;
  if (observer_)
    observer_(box, texts_[slot]);
  runChangeHandler(box);
}

void Form::runChangeHandler(Box box) {
  const Handler handler = changeHandler(box);
  if (handler == nullptr)
    return;
  if (!isExchangeBox(box)) {
    run(handler);
    return;
  }
  if (exchangeDepth_ >= kExchangeDepthLimit)
    return;
  const Nesting exchange(exchangeDepth_);
  run(handler);
}

// A fault ends only the computation in which it happened; the one whose write
// started it goes on with its next step.
void Form::run(Handler handler) {
  const Nesting nesting(handlerDepth_);
  deepestHandlerDepth_ = std::max(deepestHandlerDepth_, handlerDepth_);
  clearFaults();
  try {
    handler(*this);
  } catch (const ArithmeticFault&) {
  }
  clearFaults();
}

void Form::click(Button button) {
  if (const Handler handler = clickHandler(button))
    run(handler);
}

double Form::number(Box box) const {
  const std::size_t slot = std::size_t(boxNumber(box));
  if (!numberKnown_[slot]) {
    numbers_[slot] = slot == readerSlot_ ? reader_.value() : parseNumber(texts_[slot]);
    numberKnown_[slot] = true;
  }
  return numbers_[slot];
}

double Form::read(Box box) const {
  const double value = number(box);
  if (std::isinf(value))
    throw ArithmeticFault{};
  return value;
}

double Form::readRadians(Box box) const {
  const std::size_t slot = std::size_t(boxNumber(box));
  if (!radiansKnown_[slot]) {
    radians_[slot] = radiansOf(read(box));
    radiansKnown_[slot] = true;
  }
  return radians_[slot];
}

void Form::write(Box box, double value) {
  checkFaults();
  if (!isWritableNumber(value))
    throw ArithmeticFault{};
  // The text's number comes with it, so a computation that reads the box next
  // does not parse the text just written.
  char text[kNumberTextCapacity];
  std::optional<double> number;
  const std::size_t length = formatNumberTo(text, value, number);
  replace(box, std::string_view(text, length), number ? &*number : nullptr);
}

void Form::startWatch() {
  watching_ = true;
  stateAtWatch_ = state_;
}

void Form::stopWatch() {
  watching_ = false;
  for (const std::size_t slot : touched_) {
    WatchedText& w = watched_[slot];
    w.touched = false;
    if (w.replaced)
      w.rest = std::string(); // a whole old text: let it go
    else
      w.rest.clear();
  }
  touched_.clear();
}

bool Form::changedSinceWatchStart() const {
  // Every member is a double and bitwise equality is the change wanted
  // (NaN equals itself, -0 differs from 0).
  // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison)
  if (std::memcmp(&state_, &stateAtWatch_, sizeof state_) != 0)
    return true;
  for (const std::size_t slot : touched_) {
    const WatchedText& w = watched_[slot];
    const std::string& now = texts_[slot];
    const bool same = w.replaced ? now == w.rest
                                 : now.size() == w.keptPrefix + w.rest.size() &&
                                       now.compare(w.keptPrefix, std::string::npos, w.rest) == 0;
    if (!same)
      return true;
  }
  return false;
}

// The box's entry of the watch, started on its first change: until then
// its whole text is the prefix kept.
Form::WatchedText* Form::touch(std::size_t slot) {
  if (!watching_)
    return nullptr;
  WatchedText& w = watched_[slot];
  if (!w.touched) {
    w = WatchedText{true, false, texts_[slot].size(), {}};
    touched_.push_back(slot);
  }
  return &w;
}

// The text is about to be replaced: the watch keeps what it was in full.
// A computation replaces a text with a short one, so a long text is copied
// at most once.
void Form::beforeReplace(std::size_t slot) {
  WatchedText* w = touch(slot);
  if (w == nullptr || w->replaced)
    return;
  w->rest.insert(0, texts_[slot], 0, w->keptPrefix);
  w->replaced = true;
}

// The text is about to be cut to newSize: the bytes cut from the prefix
// kept go in front of the rest.
void Form::beforeRemove(std::size_t slot, std::size_t newSize) {
  WatchedText* w = touch(slot);
  if (w == nullptr || w->replaced || newSize >= w->keptPrefix)
    return;
  w->rest.insert(0, texts_[slot], newSize, w->keptPrefix - newSize);
  w->keptPrefix = newSize;
}

} // namespace quenlor
