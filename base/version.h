// Kamishibai: the version of the player and the tools, set by the build.
#pragma once

namespace kamishibai {

inline constexpr const char* kVersion = KAMISHIBAI_VERSION;

}  // namespace kamishibai
