// Kamishibai: stored names are bytes; the tools' text formats (JSON, TOML) need UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace kamishibai {

// True when text is a sequence of well-formed UTF-8 characters (no overlong forms, no
// surrogates, nothing above U+10FFFF).
bool isValidUtf8(std::string_view text);

enum class Backslashes { Kept, Escaped };

// The text as a terminal may show it: control characters (C0, DEL, C1) and bytes that are not
// part of a UTF-8 character are written as \xNN, so that no escape sequence reaches the
// terminal. With Escaped, a backslash is written as two, so that the form cannot be mistaken.
std::string terminalText(std::string_view text, Backslashes backslashes);

// The text between double quotes with '"' and '\\' escaped by a backslash and every byte for
// which escapeByte is true written as \\u followed by four hex digits (JSON and TOML share this).
std::string quotedText(std::string_view text, bool (*escapeByte)(unsigned char));

}  // namespace kamishibai
