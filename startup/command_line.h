// Kamishibai: the saver's command line: the screen-saver switches, the options of a program that
// runs inside a screen-saver host's window, and the help and version options.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/hosted_window.h"

namespace kamishibai {

struct Invocation {
  enum class Kind {
    Switch,   // no option: start-up reads the switch text ("/S", "/C", ...)
    Hosted,   // the show inside host
    Help,     // print the help text
    Version,  // print the version
    Invalid,  // problem says what is wrong with the options
  };
  Kind kind = Kind::Switch;
  HostWindow host;
  std::string problem;
};

// The first argument decides: "-window-id ID" (decimal or 0x hexadecimal), "-root", "--help" and
// "--version" (each also with two dashes or one); anything else is a screen saver's switch.
Invocation parseInvocation(const std::vector<std::string>& arguments);

// The text of --help for the program's name.
std::string helpText(const std::string& programName);

// The text of --version for the program's name.
std::string versionText(const std::string& programName);

}  // namespace kamishibai
