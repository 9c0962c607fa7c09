// Kamishibai: the running-copy test as a named mutex of the session, one per own file.
#include "platform/instance_lock.h"

#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <vector>

#include "platform/win32/wide_text.h"

namespace kamishibai {

namespace {

// The full path in upper case, so that every spelling of the same file (relative, other letter
// case) meets the same mutex.
std::wstring canonicalOwnFile(const std::string& ownFile) {
  const std::wstring wide = toWide(ownFile);
  std::vector<wchar_t> full(GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr) + 1);
  const DWORD length =
      GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  std::wstring canonical =
      length == 0 || length >= full.size() ? wide : std::wstring(full.data(), length);
  if (!canonical.empty()) CharUpperBuffW(canonical.data(), static_cast<DWORD>(canonical.size()));
  return canonical;
}

// Mutex names may not hold a backslash and are limited in length: the path is hashed (64-bit
// FNV-1a) into the name.
std::wstring mutexName(const std::string& ownFile) {
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (const wchar_t c : canonicalOwnFile(ownFile)) {
    hash = (hash ^ static_cast<std::uint16_t>(c)) * 0x100000001b3u;
  }
  wchar_t name[64];
  std::swprintf(name, 64, L"Local\\Kamishibai-%016llx", static_cast<unsigned long long>(hash));
  return name;
}

}  // namespace

InstanceLock::InstanceLock(const std::string& ownFile) {
  HANDLE mutex = CreateMutexW(nullptr, FALSE, mutexName(ownFile).c_str());
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
