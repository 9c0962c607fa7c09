// Kamishibai: the running-copy test as a named mutex of the session, one per own file.
#include "platform/instance_lock.h"

#include <windows.h>

#include "platform/win32/path_mutex.h"
#include "platform/win32/wide_text.h"

namespace kamishibai {

namespace {

// Of the session: one per own file, so two different savers may run at once.
const wchar_t* const kOwnFileMutexPrefix = L"Local\\Kamishibai-";

}  // namespace

InstanceLock::InstanceLock(const std::string& ownFile) {
  HANDLE mutex =
      CreateMutexW(nullptr, FALSE, pathMutexName(kOwnFileMutexPrefix, toWide(ownFile)).c_str());
  const DWORD error = GetLastError();
  // A mutex that exists but may not be opened belongs to a copy running with other rights.
  if (mutex == nullptr) {
    if (error == ERROR_ACCESS_DENIED) state_ = State::HeldByAnotherCopy;
    return;
  }
  if (error == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    state_ = State::HeldByAnotherCopy;
    return;
  }
  mutex_ = mutex;
  state_ = State::Held;
}

InstanceLock::~InstanceLock() {
  if (mutex_ != nullptr) CloseHandle(mutex_);
}

}  // namespace kamishibai
