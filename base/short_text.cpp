// Kamishibai: shortening texts for messages by UTF-8 characters.
#include "base/short_text.h"

#include <vector>

namespace kamishibai {

namespace {

constexpr std::string_view kEllipsis = "…";

bool startsCharacter(char byte) {
  return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
}

// The byte offsets at which the text's characters start.
std::vector<std::size_t> characterStarts(std::string_view text) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (startsCharacter(text[i])) starts.push_back(i);
  }
  return starts;
}

// Runs of one kind are shortened as a whole; line ends are kept as they are.
enum class CharacterKind { Visible, Blank, LineEnd };

CharacterKind kindOf(char c) {
  if (c == '\r' || c == '\n') return CharacterKind::LineEnd;
  return c == ' ' || c == '\t' ? CharacterKind::Blank : CharacterKind::Visible;
}

}  // namespace

std::string shortenedForMessage(std::string_view text, std::size_t limit) {
  const std::vector<std::size_t> starts = characterStarts(text);
  if (starts.size() <= limit || limit < 3) return std::string(text);
  // Two thirds from the start, the rest from the end, where a file's extension stands.
  const std::size_t kept = limit - 1;
  const std::size_t head = kept * 2 / 3;
  const std::size_t tail = kept - head;
  return std::string(text.substr(0, starts[head])) + std::string(kEllipsis) +
         std::string(text.substr(starts[starts.size() - tail]));
}

std::string readableMessage(std::string_view text) {
  std::string result;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t end = i;
    const CharacterKind kind = kindOf(text[i]);
    while (end < text.size() && kindOf(text[end]) == kind) ++end;
    const std::string_view run = text.substr(i, end - i);
    result += kind == CharacterKind::LineEnd ? std::string(run) : shortenedForMessage(run);
    i = end;
  }
  return shortenedForMessage(result, kLongestMessageText);
}

}  // namespace kamishibai
