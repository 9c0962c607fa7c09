// Kamishibai: stored names are bytes; the tools' text formats (JSON, TOML) need UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace kamishibai {

// True when text is a sequence of well-formed UTF-8 characters (no overlong forms, no
// surrogates, nothing above U+10FFFF).
bool isValidUtf8(std::string_view text);

// The text between double quotes with '"' and '\\' escaped by a backslash and every byte for
// which escapeByte is true written as \\u followed by four hex digits (JSON and TOML share this).
std::string quotedText(std::string_view text, bool (*escapeByte)(unsigned char));

}  // namespace kamishibai
