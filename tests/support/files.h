// SPDX-License-Identifier: GPL-3.0-or-later
// Files for tests: a folder of the running test's own, and a file's bytes
// read whole by the standard library rather than by the readers under test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

namespace quenlor::test {

// A folder under the system's temporary one named by `prefix`, the process
// and the test, so that tests running side by side never share one; not
// yet made.
inline std::filesystem::path testFolder(const std::string& prefix) {
  return std::filesystem::temp_directory_path() /
         (prefix + "-" + std::to_string(::getpid()) + "-" +
          ::testing::UnitTest::GetInstance()->current_test_info()->name());
}

// The file's bytes; empty where it cannot be read.
inline std::string fileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

} // namespace quenlor::test
