// Kamishibai: the demo show: 66 generated pictures and the manifest that packs them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kamishibai {

constexpr int kDemoSlideCount = 66;

// The effect codes of the demo slides in show order: 1 to 12, 15 to 24, 26 to 35, then 1 to 12,
// 15 to 24, 26 to 33, then 1 to 4.
std::vector<std::int32_t> demoEffectSequence();

// Writes picture-00.png to picture-65.png (200 by 200) and demo.toml into folder. Empty on
// success, otherwise what went wrong.
std::string writeDemoShow(const std::filesystem::path& folder);

}  // namespace kamishibai
