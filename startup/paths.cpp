// Kamishibai: the own-file and settings-file rule.
#include "startup/paths.h"

#include "base/file_names.h"

namespace kamishibai {

namespace {

std::string utf8Text(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

}  // namespace

ProgramPaths programPaths(const std::string& folder, const std::string& name) {
  std::string base = folder;
  if (base.empty() || base.back() != kPathSeparator) base += kPathSeparator;
  base += name;
  return {base + ".scr", base + ".set"};
}

ProgramPaths programPathsFor(const std::string& executablePath) {
  const std::filesystem::path exe = pathFromUtf8(executablePath);
  return programPaths(utf8Text(exe.parent_path()), utf8Text(exe.stem()));
}

}  // namespace kamishibai
