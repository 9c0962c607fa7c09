// Kamishibai: the per-user folders on Linux: every folder that may hold the work folders.
#pragma once

#include <string>
#include <vector>

namespace kamishibai {

// Every folder that may hold the work folders, in the order workFoldersParent tries them:
// the runtime one, then the cache one, each only when it can be had.
std::vector<std::string> workFoldersParents();

}  // namespace kamishibai
