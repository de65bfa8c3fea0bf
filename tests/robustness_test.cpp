// SPDX-License-Identifier: GPL-3.0-or-later
// Random sessions: texts of every kind typed, pasted and deleted in random
// boxes, random clicks. Every computation must return, and no box may show
// a non-number such as inf or nan.
#include "support/session.h"

#include <random>

namespace quenlor {
namespace {

const char* const kFragments[] = {"0",
                                  "1",
                                  "9",
                                  ".",
                                  "-",
                                  "+",
                                  "e",
                                  "E",
                                  "d",
                                  "5",
                                  "30",
                                  "60",
                                  "500",
                                  "1000",
                                  "1e999",
                                  "-1e999",
                                  "1e308",
                                  "1e-320",
                                  "1e-18",
                                  "&H",
                                  "&HFF",
                                  "&O7",
                                  "abc",
                                  " ",
                                  "1,5",
                                  "交点",
                                  "90.332055",
                                  "45.6",
                                  "359.5959",
                                  "-0",
                                  "1.7976931348623157e308",
                                  "2.5e-324",
                                  "12.5m",
                                  "0.0000001",
                                  "99999999999999999999",
                                  "1e20",
                                  "-30.152",
                                  "\t",
                                  "1.2.3",
                                  "e5"};

bool isNonNumberText(const std::string& text) {
  for (const char* bad : {"inf", "nan", "INF", "NAN", "Inf", "NaN"})
    if (text.find(bad) != std::string::npos)
      return true;
  return false;
}

TEST(Robustness, RandomSessionsNeverFaultVisibly) {
  std::mt19937 random(20261206);
  const auto& boxes = allBoxes();
  for (int session = 0; session < 20; ++session) {
    Form form;
    form.setObserver([](Box box, const std::string& text) {
      ASSERT_FALSE(isNonNumberText(text)) << boxName(box) << "=" << text;
    });
    for (int step = 0; step < 2000; ++step) {
      const Box box = boxes[random() % boxes.size()];
      const std::string fragment = kFragments[random() % std::size(kFragments)];
      switch (random() % 5) {
      case 0: form.edit(box, fragment); break;
      case 1: test::play(form, "type " + boxName(box) + " " + fragment); break;
      case 2: test::play(form, "back " + boxName(box) + " " + std::to_string(random() % 4)); break;
      case 3: form.edit(box, form.text(box) + fragment); break;
      default: form.click(static_cast<Button>(random() % kButtonCount)); break;
      }
    }
    for (const StateField& field : stateFields())
      ASSERT_TRUE(std::isfinite(form.state().*field.member)) << field.name;
  }
}

} // namespace
} // namespace quenlor
