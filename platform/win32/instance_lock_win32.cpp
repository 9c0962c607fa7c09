// Kamishibai: the running-copy test as a named mutex of the session, one per own file.
#include "platform/instance_lock.h"

#include <windows.h>

#include "platform/win32/handle_owner_win32.h"
#include "platform/win32/path_mutex_win32.h"
#include "platform/win32/wide_text_win32.h"

namespace kamishibai {

namespace {

// Of the session: one per own file, so two different savers may run at once.
const wchar_t* const kOwnFileMutexPrefix = L"Local\\Kamishibai-";

}  // namespace

struct InstanceLock::Held {
  UniqueHandle mutex;
};

InstanceLock::InstanceLock(const std::string& ownFile) {
  UniqueHandle mutex = ownHandle(
      CreateMutexW(nullptr, FALSE, pathMutexName(kOwnFileMutexPrefix, toWide(ownFile)).c_str()));
  const DWORD error = GetLastError();
  // A mutex that exists but may not be opened belongs to a copy running with other rights.
  if (!mutex) {
    if (error == ERROR_ACCESS_DENIED) state_ = State::HeldByAnotherCopy;
    return;
  }
  if (error == ERROR_ALREADY_EXISTS) {
    state_ = State::HeldByAnotherCopy;
    return;
  }
  held_ = std::make_unique<Held>(Held{std::move(mutex)});
  state_ = State::Held;
}

InstanceLock::~InstanceLock() = default;

}  // namespace kamishibai
