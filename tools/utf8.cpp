// Kamishibai: UTF-8 validation and the quoting of names for the tools' text formats.
#include "tools/utf8.h"

#include <cstdint>
#include <cstdio>

namespace kamishibai {

namespace {

// The length of the well-formed UTF-8 character at text[at], or 0 when none starts there.
std::size_t characterLength(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  std::size_t length = 0;
  std::uint32_t code = 0;
  if (lead < 0x80) {
    return 1;
  } else if ((lead >> 5) == 0x6) {
    length = 2;
    code = lead & 0x1Fu;
  } else if ((lead >> 4) == 0xE) {
    length = 3;
    code = lead & 0x0Fu;
  } else if ((lead >> 3) == 0x1E) {
    length = 4;
    code = lead & 0x07u;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[at + k]);
    if ((next >> 6) != 0x2) return 0;
    code = code << 6 | (next & 0x3Fu);
  }
  constexpr std::uint32_t kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

void appendEscaped(std::string& out, unsigned char byte) {
  char escaped[8];
  std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
  out += escaped;
}

}  // namespace

bool isValidUtf8(std::string_view text) {
  for (std::size_t i = 0, length = 0; i < text.size(); i += length) {
    length = characterLength(text, i);
    if (length == 0) return false;
  }
  return true;
}

std::string terminalText(std::string_view text, Backslashes backslashes) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const std::size_t length = characterLength(text, i);
    const bool c1 = length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
    if (length == 0 || byte < 0x20 || byte == 0x7F) {
      appendEscaped(out, byte);
      ++i;
    } else if (c1) {
      appendEscaped(out, static_cast<unsigned char>(text[i + 1]));
      i += 2;
    } else {
      if (byte == '\\' && backslashes == Backslashes::Escaped) out += '\\';
      out.append(text.substr(i, length));
      i += length;
    }
  }
  return out;
}

std::string quotedText(std::string_view text, bool (*escapeByte)(unsigned char)) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (escapeByte(byte)) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

}  // namespace kamishibai
