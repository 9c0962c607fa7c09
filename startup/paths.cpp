// Kamishibai: the own-file and settings-file rule.
#include "startup/paths.h"

#include <filesystem>

namespace kamishibai {

ProgramPaths programPaths(const std::string& folder, const std::string& name) {
  std::string base = folder;
  if (base.empty() || base.back() != '/') base += '/';
  base += name;
  return {base + ".scr", base + ".set"};
}

ProgramPaths programPathsFor(const std::string& executablePath) {
  const std::filesystem::path exe(executablePath);
  return programPaths(exe.parent_path().string(), exe.stem().string());
}

}  // namespace kamishibai
