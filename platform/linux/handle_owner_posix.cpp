// Kamishibai: writing a whole buffer to a file descriptor.
#include "platform/linux/handle_owner_posix.h"

#include <cerrno>

namespace kamishibai {

bool writeAll(int fd, const void* data, std::size_t size, WriteCall write) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = write(fd, bytes, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace kamishibai
