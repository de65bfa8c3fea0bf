// SPDX-License-Identifier: GPL-3.0-or-later
// quenlor-script: runs scripted sessions over the same form as the window.
// Reads the files named as arguments in order, or standard input when none is
// named ("-" names it among files); --help prints the usage, --version the
// version. Exits 2 at the first line that fails (not a command, or a file
// that cannot be read or written: the reason on standard error), 0
// otherwise. The files run as one session, which can also write the exports
// and read LandXML (exchange/script_commands.h).
#include "exchange/script_commands.h"
#include "form/form.h"
#include "session/script.h"

#include <fstream>
#include <iostream>
#include <string_view>

namespace {

// The short usage; quenlor-script(1) says the same at length.
constexpr std::string_view kUsage =
    "Usage: quenlor-script [FILE]...\n"
    "       quenlor-script --help | --version\n"
    "Runs Quenlor's scripted sessions: one command a line, from each FILE in\n"
    "order, or from standard input when no FILE is given (\"-\" names it).\n"
    "\n"
    "Commands: set, type, back, click, print, dump, state, route, save, jd,\n"
    "stake, locate, table, elevation, export, import. A line starting with #\n"
    "is a comment.\n"
    "\n"
    "  -h, --help     print this usage and exit\n"
    "      --version  print the version and exit\n"
    "\n"
    "Exit status: 0 when every line ran; 2 at the first line that fails (not a\n"
    "command, or a file that cannot be read or written: \"line N: reason\" on\n"
    "standard error) or a FILE that cannot be read.\n"
    "The language in full: man quenlor-script\n";

} // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
    std::cout << kUsage;
    return 0;
  }
  if (argc == 2 && std::string_view(argv[1]) == "--version") {
    std::cout << "quenlor-script " << QUENLOR_VERSION << '\n';
    return 0;
  }
  quenlor::Form form;
  quenlor::ScriptSession session{form};
  quenlor::exchange::addExchangeCommands(session);
  if (argc < 2)
    return quenlor::runScript(session, std::cin, std::cout, std::cerr) ? 0 : 2;
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "-") {
      if (!quenlor::runScript(session, std::cin, std::cout, std::cerr, "standard input"))
        return 2;
      continue;
    }
    std::ifstream file(argv[i], std::ios::binary);
    if (!file) {
      std::cerr << "quenlor-script: cannot read " << argv[i] << '\n';
      return 2;
    }
    if (!quenlor::runScript(session, file, std::cout, std::cerr, argv[i]))
      return 2;
  }
  return 0;
}
