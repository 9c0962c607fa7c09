// Kamishibai: keeping names and values in messages short enough for a message box to fit on
// the screen.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kamishibai {

// The longest name or value, in characters, that a message shows whole.
constexpr std::size_t kLongestNameInMessage = 80;
// The longest description a message shows whole.
constexpr std::size_t kLongestMessageText = 1000;

// The text itself when it has at most limit characters; otherwise its start and its end joined
// by an ellipsis, limit characters in all. Cuts fall between UTF-8 characters.
std::string shortenedForMessage(std::string_view text, std::size_t limit = kLongestNameInMessage);

// The text with every run of visible characters, and every run of blanks, that is longer than
// kLongestNameInMessage shortened, then the whole shortened to kLongestMessageText: so a name
// of any length, with or without blanks, keeps the message readable.
std::string readableMessage(std::string_view text);

}  // namespace kamishibai
