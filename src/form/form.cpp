// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/form.h"

#include "form/handler_hook.h"
#include "numeric/fault.h"
#include "numeric/number_text.h"

#include <algorithm>
#include <cmath>

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

void Form::edit(Box box, std::string_view text) {
  std::string& current = texts_[std::size_t(boxNumber(box))];
  if (current == text)
    return;
  current.assign(text); // into the box's own storage, which keeps its capacity
  numberKnown_[std::size_t(boxNumber(box))] = false;
  if (observer_)
    observer_(box, current);
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

double Form::read(Box box) const {
  const std::size_t i = std::size_t(boxNumber(box));
  if (!numberKnown_[i]) {
    numbers_[i] = parseNumber(texts_[i]);
    numberKnown_[i] = true;
  }
  const double value = numbers_[i];
  if (std::isinf(value))
    throw ArithmeticFault{};
  return value;
}

void Form::write(Box box, double value) {
  checkFaults();
  if (!isWritableNumber(value))
    throw ArithmeticFault{};
  char text[kNumberTextCapacity];
  edit(box, std::string_view(text, formatNumberTo(text, value)));
}

} // namespace quenlor
