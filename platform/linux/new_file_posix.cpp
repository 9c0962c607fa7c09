// Kamishibai: exclusive file creation with O_EXCL.
#include "platform/new_file.h"

#include <fcntl.h>
#include <unistd.h>

#include "platform/linux/handle_owner_posix.h"

namespace kamishibai {

// The permissions are those of any new file (0666 less the umask).
bool createNewFile(const std::filesystem::path& path) {
  return UniqueFd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666)).valid();
}

}  // namespace kamishibai
