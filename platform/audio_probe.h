// Kamishibai: checks that a music or sound file can be opened by the audio library the show
// plays it with.
#pragma once

#include <filesystem>
#include <string>

namespace kamishibai {

enum class AudioUse { Music, Sound };

// Empty when the file can be loaded for that use; otherwise the library's reason.
std::string audioProblem(const std::filesystem::path& file, AudioUse use);

}  // namespace kamishibai
