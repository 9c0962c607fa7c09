// Kamishibai: the per-user folders on Linux: every folder that may hold the work folders, and the
// saver's folder among the user's configuration.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kamishibai {

// Every folder that may hold the work folders, in the order workFoldersParent tries them:
// the runtime one, then the cache one, each only when it can be had.
std::vector<std::string> workFoldersParents();

// $XDG_CONFIG_HOME/kamishibai, else $HOME/.config/kamishibai, not created here; nullopt when
// neither names an absolute folder (relative values are ignored, as XDG says).
std::optional<std::string> userConfigFolder();

}  // namespace kamishibai
