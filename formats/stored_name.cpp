// Kamishibai: the plain-file-name rule and the Windows name rules for stored names.
#include "formats/stored_name.h"

#include <array>

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

}  // namespace

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
