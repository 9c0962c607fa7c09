// Kamishibai: the per-user folders the saver keeps its transient files in.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kamishibai {

// The folder that holds the numbered work folders: $XDG_RUNTIME_DIR/kamishibai, else the
// kamishibai folder in the user's cache folder, each created for the user only when missing and
// used only when it is a real folder of the user's own. Without a trailing separator; nullopt
// when neither can be had.
std::optional<std::string> workFoldersParent();

// The saver's folder among the user's configuration ($XDG_CONFIG_HOME/kamishibai, else
// ~/.config/kamishibai), not created here; nullopt when neither is known.
std::optional<std::string> userConfigFolder();

// Every folder that may hold the work folders, in the order workFoldersParent tries them:
// the runtime one, then the cache one, each only when it can be had.
std::vector<std::string> workFoldersParents();

}  // namespace kamishibai
