// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/said.h"

#include <string>
#include <string_view>
#include <vector>

namespace quenlor {

QString said(Say say, std::initializer_list<QString> blanks) {
  std::vector<std::string> texts;
  texts.reserve(blanks.size());
  for (const QString& blank : blanks)
    texts.push_back(blank.toStdString());
  const std::vector<std::string_view> views(texts.begin(), texts.end());
  return QString::fromStdString(chineseFrom(say, views));
}

} // namespace quenlor
