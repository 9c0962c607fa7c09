// Kamishibai: exclusive file creation with CREATE_NEW.
#include "platform/new_file.h"

#include <windows.h>

#include "platform/win32/handle_owner_win32.h"

namespace kamishibai {

bool createNewFile(const std::filesystem::path& path) {
  return static_cast<bool>(ownHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                 CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)));
}

}  // namespace kamishibai
