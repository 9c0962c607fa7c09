// Kamishibai: the running program as the system started it: where its executable lives and the
// command-line text it was given.
#pragma once

#include <string>
#include <vector>

namespace kamishibai {

// The full path of the running executable; empty when the system cannot tell.
std::string runningExecutablePath();

// The text after the program's name on its command line, from which a screen saver takes its
// switch; argc and argv as main received them. Linux hands a program its arguments one by one:
// they are joined by single blanks. Windows hands over one line, which is taken as it was typed
// (blanks and quotes kept).
std::string commandLineText(int argc, char** argv);

// The program's arguments one by one, in UTF-8 whatever the system's code page: Windows hands
// argv over in its ANSI code page, which cannot hold every name, so there they are read from the
// wide command line.
std::vector<std::string> programArguments(int argc, char** argv);

}  // namespace kamishibai
