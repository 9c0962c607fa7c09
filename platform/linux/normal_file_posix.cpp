// Kamishibai: a normal file on Linux is a regular file.
#include "platform/normal_file.h"

#include <system_error>

namespace kamishibai {

bool isNormalFile(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

}  // namespace kamishibai
