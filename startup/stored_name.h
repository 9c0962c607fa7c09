// Kamishibai: the rule for names stored in a package, which become file names in a folder.
#pragma once

#include <string_view>

namespace kamishibai {

// Empty when the name is a plain file name that stays inside the folder it is written to;
// otherwise why it is not: empty after trimming blanks, absolute, holding a path separator, or
// holding "..".
std::string_view storedNameProblem(std::string_view name);

}  // namespace kamishibai
