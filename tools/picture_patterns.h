// Kamishibai: the picture files a slide entry names with a folder or a pattern such as
// "photos/**/*.jpg" ("*" and "?" within a name, "**" for any depth of folders).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kamishibai {

struct PatternMatch {
  std::vector<std::filesystem::path> files;  // sorted, so that builds are repeatable
  std::string problem;                       // empty when the pattern could be followed
};

// A folder gives every picture in it and below it (by the endings given, hidden files left
// out); a pattern gives every regular file it matches. Relative patterns start at base.
PatternMatch matchPictures(const std::filesystem::path& base, std::string_view pattern,
                           const std::vector<std::string>& pictureEndings);

// True when the file's ending is one of pictureEndings (sorted, lower case), in any letter case.
bool hasPictureEnding(const std::filesystem::path& file,
                      const std::vector<std::string>& pictureEndings);

// True when name matches the pattern of one path component ("*" any run, "?" one byte).
bool matchesName(std::string_view pattern, std::string_view name);

}  // namespace kamishibai
