// Kamishibai: names of mutexes that stand for a file or folder path.
#pragma once

#include <string>

namespace kamishibai {

// The prefix (a namespace such as "Local\\" and a name) followed by a 64-bit FNV-1a hash of the
// full path in upper case: every spelling of the same path (relative, other letter case) gives
// the same name, and mutex names may hold no backslash and are limited in length.
std::wstring pathMutexName(const std::wstring& prefix, const std::wstring& path);

}  // namespace kamishibai
