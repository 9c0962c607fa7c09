// Kamishibai: stored names are bytes; the tools' text formats (JSON, TOML) need UTF-8.
#pragma once

#include <string_view>

namespace kamishibai {

// True when text is a sequence of well-formed UTF-8 characters (no overlong forms, no
// surrogates, nothing above U+10FFFF).
bool isValidUtf8(std::string_view text);

}  // namespace kamishibai
