// SPDX-License-Identifier: GPL-3.0-or-later
// Coverage-guided fuzzing of whole sessions. The input is a session in the
// scripted-session language, so that the seeds are readable sessions and the
// fuzzer mutates commands, boxes and texts alike; lines that are no command
// are skipped. After every line the form must hold:
//   - handlers nested no deeper than the deepest chain of the program (4);
//   - every text a computation wrote is a number as the number text writes
//     it, never inf or nan, and empty only in the tangent offsets;
//   - the backsight elevation box, once written, shows the stored elevation;
//   - no state value is infinite or not a number;
//   - no field tool prints inf or nan, whole or mangled (an answer that is
//     not a number is printed empty).
// A broken invariant aborts, and the fuzzer keeps the input that broke it.
// The work one input may ask for is bounded (Budget below).
#include "chainage/stakes.h"
#include "form/calc_state.h"
#include "form/form.h"
#include "numeric/number_text.h"
#include "session/script.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>

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

// The work one input may ask for, so that the fuzzer's timeout meets only a
// genuine hang, never a long but finite session (Backspace held on a box
// that the exchange rewrites at every press ran for twenty minutes). Each
// bound still lets an input reach every path: as many characters typed as
// an input holds (-max_len in scripts/fuzz), more presses than that, and one
// table longer than the engine shows, which it cuts (about a second of work
// under the sanitizers).
constexpr std::size_t kTypedPerInput = 4096;
constexpr unsigned long kPressesPerInput = kTypedPerInput + 1000;
constexpr double kRowsPerInput = double(kMaxStakeRows) + 16;

struct Budget {
  unsigned long presses = kPressesPerInput;
  std::size_t typed = kTypedPerInput;
  double rows = kRowsPerInput;
};

// The rows a table line asks the engine for, at most the ones it makes.
double tableRows(std::string_view arguments) {
  double numbers[3] = {};
  std::size_t at = 0;
  for (double& n : numbers) {
    const std::size_t end = std::min(arguments.find(' ', at), arguments.size());
    n = parseNumber(arguments.substr(at, end - at));
    at = std::min(end + 1, arguments.size());
  }
  const double steps = std::floor(std::fabs(numbers[1] - numbers[0]) / numbers[2]);
  const double rows =
      numbers[2] > 0 && !std::isnan(steps) ? std::min(steps + 1, double(kMaxStakeRows)) : 0;
  return rows + 6; // the last chainage and the main points
}

// Where the argument of "command BOX argument" starts, or npos.
std::size_t argumentStart(std::string_view line) {
  const std::size_t first = line.find(' ');
  const std::size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
  return second == std::string_view::npos ? second : second + 1;
}

// The line as it runs within what is left of the budget: a back count or a
// typed text cut to it, a table beyond it left out (nullopt). A line ending
// in a carriage return runs as the driver runs it, without.
std::optional<std::string> withinBudget(std::string_view line, Budget& budget) {
  if (line.ends_with('\r'))
    line.remove_suffix(1);
  const std::size_t at = argumentStart(line);
  if (line.starts_with("table ")) {
    const double rows = tableRows(line.substr(6));
    if (rows > budget.rows)
      return std::nullopt;
    budget.rows -= rows;
  } else if (line.starts_with("back ")) {
    unsigned long count = 1;
    if (at != std::string_view::npos) {
      const auto [end, ec] = std::from_chars(line.data() + at, line.data() + line.size(), count);
      if (ec != std::errc{} || end != line.data() + line.size())
        count = 0; // not a count: the driver refuses the line
    }
    if (count > budget.presses && at == std::string_view::npos)
      return std::nullopt;
    if (count > budget.presses)
      return std::string(line.substr(0, at)) + std::to_string(budget.presses);
    budget.presses -= count;
  } else if (line.starts_with("type ") && at != std::string_view::npos) {
    const std::size_t typed = std::min(line.size() - at, budget.typed);
    budget.typed -= typed;
    return std::string(line.substr(0, at + typed));
  }
  return std::string(line);
}

// What the field tools print for one line, never a non-number.
void checkFieldOutput(std::string_view line, const std::string& printed) {
  static constexpr std::string_view kTools[] = {"stake ", "locate ", "table ", "elevation "};
  if (std::none_of(std::begin(kTools), std::end(kTools),
                   [&](std::string_view tool) { return line.starts_with(tool); }))
    return;
  std::string lower = printed;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  for (const char* word : {"nan", "inf", "n.an", "i.nf"})
    if (lower.find(word) != std::string::npos)
      broken("'" + std::string(line) + "' printed '" + printed + "'");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  Form form;
  form.setObserver([&form](Box box, const std::string& text) { checkWrite(form, box, text); });
  std::ostringstream printed, discard;
  Budget budget;
  for (std::size_t start = 0; start < input.size();) {
    const std::size_t end = std::min(input.find('\n', start), input.size());
    if (const auto line = withinBudget(input.substr(start, end - start), budget)) {
      runScriptLine(form, *line, printed, discard);
      checkFieldOutput(*line, printed.str());
    }
    checkForm(form);
    printed.str({});
    discard.str({});
    start = end + 1;
  }
  return 0;
}
