// Kamishibai: the command-line text a screen saver is started with on Windows, where the system
// hands over one line: the program name, then the switches.
#pragma once

#include <string>
#include <string_view>

namespace kamishibai {

// The text after the program name: the name is quoted ("C:\My Savers\a.scr") or runs to the
// first blank or tab; the one blank or tab that separates it from the rest is dropped, so a
// line with more blanks before the switch keeps the others.
std::string argumentText(std::string_view commandLine);

}  // namespace kamishibai
