// Kamishibai: the running executable's path from /proc/self/exe.
#include "platform/executable_path.h"

#include <filesystem>
#include <system_error>

namespace kamishibai {

std::string runningExecutablePath() {
  std::error_code error;
  const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : path.string();
}

}  // namespace kamishibai
