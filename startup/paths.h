// Kamishibai: the paths built from the running executable: its own file (".scr", where the
// package is) and its settings file (".set").
#pragma once

#include <filesystem>
#include <string>

namespace kamishibai {

struct ProgramPaths {
  std::string ownFile;       // folder + name + ".scr", whatever the executable's own extension
  std::string settingsFile;  // folder + name + ".set"
};

// folder: the executable's folder; name: its file name without the extension. A separator is
// inserted unless the folder already ends with one (a root folder).
ProgramPaths programPaths(const std::string& folder, const std::string& name);

// The same from the executable's full path.
ProgramPaths programPathsFor(const std::string& executablePath);

}  // namespace kamishibai
