// Kamishibai: following folder patterns without ever leaving the folders they name.
#include "tools/picture_patterns.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <utility>

#include "base/file_names.h"

namespace kamishibai {
namespace {

namespace fs = std::filesystem;

// How many folder entries one pattern may look at before it is given up, so that a pattern
// such as "/**/*" ends with a clear message.
constexpr std::size_t kMaxEntriesSeen = 200000;

bool hasWildcard(std::string_view text) {
  return text.find_first_of("*?") != std::string_view::npos;
}

bool isHidden(const fs::path& path) {
  const std::string name = utf8Of(path.filename());
  return !name.empty() && name[0] == '.';
}

std::string lowerEnding(const fs::path& path) {
  std::string ending = utf8Of(path.extension());
  if (!ending.empty()) ending.erase(0, 1);
  std::transform(ending.begin(), ending.end(), ending.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ending;
}

class Walker {
 public:
  Walker(std::vector<std::string> parts, PatternMatch& match)
      : parts_(std::move(parts)), match_(match) {}

  // Matches parts_[index...] below folder.
  void walk(const fs::path& folder, std::size_t index) {
    if (!match_.problem.empty()) return;
    if (index == parts_.size()) {
      std::error_code error;
      if (fs::is_regular_file(folder, error)) match_.files.push_back(folder);
      return;
    }
    const std::string& part = parts_[index];
    if (part == "**") {
      if (!firstVisit(folder, index)) return;
      walk(folder, index + 1);
      for (const fs::path& child : children(folder)) {
        std::error_code error;
        if (fs::is_directory(child, error) && !isHidden(child)) walk(child, index);
      }
    } else if (hasWildcard(part)) {
      for (const fs::path& child : children(folder)) {
        if (matchesName(part, utf8Of(child.filename())) && !isHidden(child)) walk(child, index + 1);
      }
    } else {
      walk(folder / pathFromUtf8(part), index + 1);
    }
  }

 private:
  // Each real folder is walked once for each place in the pattern, so that a link to a folder
  // already walked (a link loop among them) adds nothing.
  bool firstVisit(const fs::path& folder, std::size_t index) {
    std::error_code error;
    const fs::path real = fs::canonical(folder, error);
    return !error && visited_.emplace(real, index).second;
  }

  std::vector<fs::path> children(const fs::path& folder) {
    std::vector<fs::path> found;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
      if (++seen_ > kMaxEntriesSeen) {
        match_.problem =
            "reaches more than " + std::to_string(kMaxEntriesSeen) + " files and folders";
        return {};
      }
      found.push_back(it->path());
    }
    // A name that is no folder has no entries; a folder that cannot be listed is a problem,
    // since its pictures would be missing without a word.
    if (error && error != std::errc::not_a_directory &&
        error != std::errc::no_such_file_or_directory && match_.problem.empty()) {
      match_.problem = "cannot be read: the folder " + utf8Of(folder) + " cannot be listed (" +
                       error.message() + ")";
    }
    std::sort(found.begin(), found.end());
    return found;
  }

  std::vector<std::string> parts_;
  PatternMatch& match_;
  std::size_t seen_ = 0;
  std::set<std::pair<fs::path, std::size_t>> visited_;
};

}  // namespace

bool matchesName(std::string_view pattern, std::string_view name) {
  // Greedy matching with one back-track point: the last "*" seen.
  std::size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool hasPictureEnding(const fs::path& file, const std::vector<std::string>& pictureEndings) {
  return std::binary_search(pictureEndings.begin(), pictureEndings.end(), lowerEnding(file));
}

PatternMatch matchPictures(const fs::path& base, std::string_view pattern,
                           const std::vector<std::string>& pictureEndings) {
  PatternMatch match;
  const fs::path full = base / pathFromUtf8(pattern);
  std::error_code error;
  if (!hasWildcard(pattern)) {
    if (!fs::is_directory(full, error)) {
      match.problem =
          fs::exists(fs::symlink_status(full, error)) ? "is not a folder" : "does not exist";
      return match;
    }
    Walker({"**", "*"}, match).walk(full, 0);
    std::erase_if(match.files,
                  [&](const fs::path& file) { return !hasPictureEnding(file, pictureEndings); });
  } else {
    std::vector<std::string> parts;
    fs::path start = full.root_path();
    for (const fs::path& part : full.relative_path()) parts.push_back(utf8Of(part));
    // The folders before the first wildcard are taken as they are.
    std::size_t first = 0;
    while (first < parts.size() && !hasWildcard(parts[first]) && parts[first] != "**") {
      start /= pathFromUtf8(parts[first++]);
    }
    Walker(
        std::vector<std::string>(parts.begin() + static_cast<std::ptrdiff_t>(first), parts.end()),
        match)
        .walk(start, 0);
  }
  std::sort(match.files.begin(), match.files.end());
  match.files.erase(std::unique(match.files.begin(), match.files.end()), match.files.end());
  if (match.problem.empty() && match.files.empty()) match.problem = "matches no picture";
  return match;
}

}  // namespace kamishibai
