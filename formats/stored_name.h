// Kamishibai: the rules for names stored in a package, which become file names in a folder.
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace kamishibai {

// Empty when the name is a plain file name that stays inside the folder it is written to;
// otherwise why it is not: empty after trimming blanks, absolute, holding a path separator, or
// holding "..". On Windows the Windows rules below apply as well.
std::string_view storedNameProblem(std::string_view name);

// Empty when Windows stores the name as it stands as a plain file; otherwise why it does not:
// a ':' (a stream or a drive), a control character or a character Windows refuses in names,
// a trailing dot or blank (dropped by Windows), or a device name such as CON, NUL, COM1 or
// LPT1 in any case, with or without an extension (opens the device, not a file).
std::string_view windowsNameProblem(std::string_view name);

// Both rules at once: what a package must hold so that it is safe on every system.
std::string_view portableNameProblem(std::string_view name);

// The name with its letters in one case, as Windows compares file names: names with the same
// folded form are one file there. Folds the letters of ASCII, Latin-1, Latin Extended-A, Greek,
// Cyrillic and full-width Latin; other characters stay as they are.
std::string foldedCase(std::string_view name);

// The names of the list that differ only in letter case from an earlier, different name of it
// (a.png after A.png). Windows keeps one file for both, so there each such name would reach the
// earlier name's file.
std::set<std::string> caseVariantsOfEarlierNames(const std::vector<std::string>& names);

}  // namespace kamishibai
