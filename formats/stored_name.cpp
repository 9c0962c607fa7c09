// Kamishibai: the plain-file-name rule and the Windows name rules for stored names.
#include "formats/stored_name.h"

#include <array>
#include <cstdint>
#include <map>

#include "base/file_names.h"

namespace kamishibai {

namespace {

std::string_view plainNameProblem(std::string_view name) {
  if (name.find_first_not_of(" \t\r\n") == std::string_view::npos) return "the name is empty";
  if (name.front() == '/') return "the name is an absolute path";
  if (name.find_first_of("/\\") != std::string_view::npos) return "the name holds a path separator";
  if (name.find("..") != std::string_view::npos) return "the name holds \"..\"";
  if (name.find('\0') != std::string_view::npos) return "the name holds a NUL character";
  return {};
}

char upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}

// COM and LPT take a digit 1 to 9, or a superscript one, two or three (UTF-8), which Windows
// also reads as a device.
bool isDeviceNumber(std::string_view text) {
  if (text.size() == 1) return text[0] >= '1' && text[0] <= '9';
  return text == "\xC2\xB9" || text == "\xC2\xB2" || text == "\xC2\xB3";
}

// Windows reads the part before the first dot, blanks at its end dropped, as the device name.
bool isDeviceName(std::string_view name) {
  std::string_view base = name.substr(0, name.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  constexpr std::array<std::string_view, 6> kDevices{"CON", "PRN",    "AUX",
                                                     "NUL", "CONIN$", "CONOUT$"};
  for (const std::string_view device : kDevices) {
    if (equalIgnoringCase(base, device)) return true;
  }
  return base.size() > 3 &&
         (equalIgnoringCase(base.substr(0, 3), "COM") ||
          equalIgnoringCase(base.substr(0, 3), "LPT")) &&
         isDeviceNumber(base.substr(3));
}

// The upper-case letter of a lower-case one in the scripts foldedCase covers; other characters
// are their own.
std::uint32_t upperOf(std::uint32_t code) {
  const auto inside = [code](std::uint32_t first, std::uint32_t last) {
    return code >= first && code <= last;
  };
  if (inside('a', 'z') || (inside(0xE0, 0xFE) && code != 0xF7)) return code - 0x20;
  // Latin Extended-A pairs its letters upper then lower, in two runs that start on even codes
  // and two that start on odd ones.
  if (inside(0x100, 0x12F) || inside(0x132, 0x137) || inside(0x14A, 0x177)) return code & ~1u;
  if (inside(0x139, 0x148) || inside(0x179, 0x17E)) return (code & 1u) != 0 ? code : code - 1;
  if (code == 0x3C2) return 0x3A3;               // the final sigma
  if (inside(0x3B1, 0x3C9)) return code - 0x20;  // Greek
  if (inside(0x430, 0x44F)) return code - 0x20;  // Cyrillic
  if (inside(0x450, 0x45F)) return code - 0x50;
  if (inside(0xFF41, 0xFF5A)) return code - 0x20;  // full-width Latin
  return code;
}

void appendUtf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | code >> 6);
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | code >> 12);
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// The code of the one- to three-byte UTF-8 character at name[at] and its length; 0 and 1 for a
// byte that starts none of them, which is kept as it is.
std::pair<std::uint32_t, std::size_t> characterAt(std::string_view name, std::size_t at) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(name[at + k]); };
  const auto follows = [&](std::size_t k) {
    return at + k < name.size() && (byte(k) & 0xC0) == 0x80;
  };
  if (byte(0) < 0x80) return {byte(0), 1};
  if ((byte(0) & 0xE0) == 0xC0 && follows(1))
    return {(byte(0) & 0x1Fu) << 6 | (byte(1) & 0x3Fu), 2};
  if ((byte(0) & 0xF0) == 0xE0 && follows(1) && follows(2)) {
    return {(byte(0) & 0x0Fu) << 12 | (byte(1) & 0x3Fu) << 6 | (byte(2) & 0x3Fu), 3};
  }
  return {0, 1};
}

}  // namespace

std::string foldedCase(std::string_view name) {
  std::string out;
  for (std::size_t at = 0; at < name.size();) {
    const auto [code, length] = characterAt(name, at);
    const std::uint32_t upper = code == 0 ? 0 : upperOf(code);
    if (upper == code) {
      out.append(name.substr(at, length));
    } else {
      appendUtf8(out, upper);
    }
    at += length;
  }
  return out;
}

std::set<std::string> caseVariantsOfEarlierNames(const std::vector<std::string>& names) {
  std::map<std::string, std::string> firstOfFolded;
  std::set<std::string> variants;
  for (const std::string& name : names) {
    const auto [first, inserted] = firstOfFolded.try_emplace(foldedCase(name), name);
    if (!inserted && first->second != name) variants.insert(name);
  }
  return variants;
}

std::string_view windowsNameProblem(std::string_view name) {
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return "the name holds a control character";
  }
  if (name.find(':') != std::string_view::npos) return "the name holds a ':'";
  if (name.find_first_of("<>\"|?*") != std::string_view::npos)
    return "the name holds a character Windows does not allow in file names (< > \" | ? *)";
  if (!name.empty() && (name.back() == '.' || name.back() == ' '))
    return "the name ends in a dot or a blank";
  if (isDeviceName(name)) return "the name is a Windows device name";
  return {};
}

std::string_view portableNameProblem(std::string_view name) {
  if (const std::string_view problem = plainNameProblem(name); !problem.empty()) return problem;
  return windowsNameProblem(name);
}

std::string_view storedNameProblem(std::string_view name) {
  return kWindowsFileNames ? portableNameProblem(name) : plainNameProblem(name);
}

}  // namespace kamishibai
