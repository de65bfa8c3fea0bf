// SPDX-License-Identifier: GPL-3.0-or-later
// Coverage-guided fuzzing of whole sessions. The input is a session in the
// scripted-session language, so that the seeds are readable sessions and the
// fuzzer mutates commands, boxes and texts alike; lines that are no command
// are skipped. After every line the form must hold:
//   - handlers nested no deeper than the deepest chain of the program (4);
//   - every text a computation wrote is a number as the number text writes
//     it, never inf or nan, and empty only in the tangent offsets;
//   - the backsight elevation box, once written, shows the stored elevation;
//   - no state value is infinite or not a number.
// A broken invariant aborts, and the fuzzer keeps the input that broke it.
#include "form/calc_state.h"
#include "form/form.h"
#include "numeric/number_text.h"
#include "session/script.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

namespace {

using namespace quenlor;

constexpr int kDeepestChain = 4;

[[noreturn]] void broken(const std::string& what) {
  std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
  std::abort();
}

bool isWrittenNumber(const std::string& text) {
  const double value = parseNumber(text);
  return std::isfinite(value) && formatNumber(value) == text;
}

// Every change made while a handler runs is a computation's write.
void checkWrite(const Form& form, Box box, const std::string& text) {
  if (form.handlerDepth() == 0)
    return;
  if (text.empty() && (box == Box::Text44 || box == Box::Text45))
    return;
  if (!isWrittenNumber(text))
    broken("a computation wrote '" + text + "' into " + boxName(box));
}

void checkForm(const Form& form) {
  if (form.deepestHandlerDepth() > kDeepestChain)
    broken("handlers nested " + std::to_string(form.deepestHandlerDepth()) + " deep");
  for (const StateField& field : stateFields())
    if (!std::isfinite(form.state().*field.member))
      broken(std::string(field.name) + " is not finite");
  const std::string& shown = form.text(Box::Text2);
  const std::string stored = formatNumber(form.state().backsightElevation);
  if (!shown.empty() && shown != stored)
    broken("Text2 shows '" + shown + "' beside the stored elevation " + stored);
}

// A stake table of up to 100,000 rows is real work, not a hang; the fuzzer
// keeps tables small so that its time goes into many different sessions.
bool isLongTable(std::string_view line) {
  if (!line.starts_with("table "))
    return false;
  double numbers[3] = {};
  std::size_t at = 6;
  for (double& n : numbers) {
    const std::size_t end = std::min(line.find(' ', at), line.size());
    n = parseNumber(line.substr(at, end - at));
    at = std::min(end + 1, line.size());
  }
  const double rows = std::fabs(numbers[1] - numbers[0]) / numbers[2];
  return !(rows <= 2000);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  Form form;
  form.setObserver([&form](Box box, const std::string& text) { checkWrite(form, box, text); });
  std::ostringstream discard;
  for (std::size_t start = 0; start < input.size();) {
    const std::size_t end = std::min(input.find('\n', start), input.size());
    const std::string_view line = input.substr(start, end - start);
    if (!isLongTable(line))
      runScriptLine(form, line, discard, discard);
    checkForm(form);
    discard.str({});
    start = end + 1;
  }
  return 0;
}
