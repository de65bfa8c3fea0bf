#include "main/form.h"

#include "main/fault.h"
#include "main/handlers.h"
#include "main/number_text.h"

#include <cmath>

namespace quenlor {
namespace {

// A fault ends only the computation in which it happened; the one whose write
// started it goes on with its next step.
void runWithinFaultBoundary(Handler handler, Form &form) {
  clearFaults();
  try {
    handler(form);
  } catch (const ArithmeticFault &) {
  }
  clearFaults();
}

} // namespace

void Form::edit(Box box, std::string text) {
  std::string &current = texts_[std::size_t(boxNumber(box))];
  if (current == text)
    return;
  current = std::move(text);
  if (observer_)
    observer_(box, current);
  runChangeHandler(box);
}

void Form::runChangeHandler(Box box) {
  const Handler handler = changeHandler(box);
  if (handler == nullptr)
    return;
  if (!isExchangeBox(box)) {
    runWithinFaultBoundary(handler, *this);
    return;
  }
  if (exchangeDepth_ >= kExchangeDepthLimit)
    return;
  struct Nesting {
    int& depth;
    explicit Nesting(int& d) : depth(++d) {}
    ~Nesting() { --depth; }
  } nesting(exchangeDepth_);
  runWithinFaultBoundary(handler, *this);
}

void Form::click(Button button) {
  if (const Handler handler = clickHandler(button))
    runWithinFaultBoundary(handler, *this);
}

double Form::read(Box box) const {
  const double value = parseNumber(text(box));
  if (std::isinf(value))
    throw ArithmeticFault{};
  return value;
}

void Form::write(Box box, double value) {
  checkFaults();
  if (!std::isfinite(value))
    throw ArithmeticFault{};
  edit(box, formatNumber(value));
}

} // namespace quenlor
