// Kamishibai: the program's UTF-8 texts and the UTF-16 texts of the Win32 calls.
#pragma once

#include <string>
#include <string_view>

namespace kamishibai {

// Invalid sequences become U+FFFD, so a text always converts.
std::wstring toWide(std::string_view utf8);
std::string toUtf8(std::wstring_view wide);

}  // namespace kamishibai
