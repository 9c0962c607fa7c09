// Kamishibai: the system's error codes with their texts in UTF-8, in the user's language.
#pragma once

#include <system_error>

namespace kamishibai {

// The category of GetLastError's codes. Its messages come from FormatMessageW, converted to
// UTF-8 as every text of the program is: the narrow messages of std::system_category are in the
// ANSI code page, which cannot hold every language's text.
const std::error_category& windowsErrors();

}  // namespace kamishibai
