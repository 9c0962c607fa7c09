// Kamishibai: the per-user desktop settings file that stands in for the registry's
// "Control Panel\desktop" values.
//
// The file is plain text, one item a line:
//   [Control Panel\desktop]         a group; the values below belong to it
//   ScreenSaveUsePassword=1         an integer value: decimal, optionally signed, from
//                                   -2147483648 to 4294967295; its data are 4 bytes,
//                                   little-endian, like a registry DWORD
//   Wallpaper="text"                a text value in double quotes; its data are the bytes of the
//                                   text followed by a terminating NUL, like a registry string
//   ; comment, # comment            ignored, as are blank lines
// Group and value names compare without regard to ASCII case, as registry names do; blanks
// around names and values are ignored. A value of any other form cannot be read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kamishibai {

// The data of the value in the group; nullopt when the group or the value is missing or the
// value has no readable form. The first entry of that name counts.
std::optional<std::vector<std::uint8_t>> iniValueData(const std::string& text,
                                                      const std::string& group,
                                                      const std::string& name);

// The text with the value set to valueText (written as it stands after the '='): the first
// entry of that name in the group is replaced, else the entry is added at the group's end,
// and the group is added at the end of the text when missing. Everything else stays.
std::string withIniValue(const std::string& text, const std::string& group, const std::string& name,
                         const std::string& valueText);

}  // namespace kamishibai
