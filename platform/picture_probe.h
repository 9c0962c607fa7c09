// Kamishibai: checks that a picture file can be decoded by the system picture loader, without
// keeping the picture.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kamishibai {

// Empty when the bytes decode to a picture; otherwise the loader's reason.
std::string pictureProblem(std::span<const std::uint8_t> bytes);

}  // namespace kamishibai
