// Kamishibai: exclusive file creation with O_EXCL.
#include "platform/new_file.h"

#include <fcntl.h>
#include <unistd.h>

namespace kamishibai {

// The permissions are those of any new file (0666 less the umask).
bool createNewFile(const std::filesystem::path& path) {
  const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (file < 0) return false;
  ::close(file);
  return true;
}

}  // namespace kamishibai
