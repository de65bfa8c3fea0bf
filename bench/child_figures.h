// SPDX-License-Identifier: GPL-3.0-or-later
// A benchmark that measures in a child process of its own, so that each
// measure starts from a fresh heap and its peak memory is its own: the child
// prints its figures on one line, which the parent reads here.
#pragma once

#include <cstdio>
#include <string>

namespace quenlor::bench {

// The first line the command prints; empty where it printed none.
inline std::string childFigures(const std::string& command) {
  FILE* child = popen(command.c_str(), "r");
  if (!child)
    return {};
  char line[512] = {};
  const bool got = std::fgets(line, sizeof line, child) != nullptr;
  pclose(child);
  return got ? line : "";
}

} // namespace quenlor::bench
