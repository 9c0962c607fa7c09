// Kamishibai: atomic replacement of a small file through a new file and MoveFileExW.
#include "platform/atomic_file.h"

#include <windows.h>

#include <string>
#include <system_error>

#include "platform/win32/handle_owner_win32.h"
#include "platform/win32/system_error_win32.h"

namespace kamishibai {

namespace {

[[noreturn]] void fail(DWORD error, const std::string& what) {
  throw std::system_error(static_cast<int>(error), windowsErrors(), what);
}

}  // namespace

// Windows gives the file the folder's inherited access rights; the permissions are a Linux
// notion and are not applied.
void replaceFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                           std::filesystem::perms) {
  const std::wstring target = path.wstring();
  const std::wstring temporary = target + L".new-" + std::to_wstring(GetCurrentProcessId());
  const std::u8string name = path.u8string();
  const std::string shown(name.begin(), name.end());
  bool written = false;
  {
    const UniqueHandle file = ownHandle(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr,
                                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) fail(GetLastError(), "cannot create a temporary file beside " + shown);
    DWORD count = 0;
    written =
        bytes.size() <= MAXDWORD &&
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &count, nullptr) &&
        count == bytes.size() && FlushFileBuffers(file.get());
  }
  if (!written || !MoveFileExW(temporary.c_str(), target.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD reason = GetLastError();
    DeleteFileW(temporary.c_str());
    fail(reason, written ? "cannot replace " + shown : "cannot write " + shown);
  }
}

}  // namespace kamishibai
