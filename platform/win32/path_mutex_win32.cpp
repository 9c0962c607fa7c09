// Kamishibai: names of mutexes that stand for a file or folder path.
#include "platform/win32/path_mutex_win32.h"

#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <vector>

namespace kamishibai {

namespace {

std::wstring canonicalPath(const std::wstring& path) {
  std::vector<wchar_t> full(GetFullPathNameW(path.c_str(), 0, nullptr, nullptr) + 1);
  const DWORD length =
      GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  std::wstring canonical =
      length == 0 || length >= full.size() ? path : std::wstring(full.data(), length);
  if (!canonical.empty()) CharUpperBuffW(canonical.data(), static_cast<DWORD>(canonical.size()));
  return canonical;
}

}  // namespace

std::wstring pathMutexName(const std::wstring& prefix, const std::wstring& path) {
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (const wchar_t c : canonicalPath(path)) {
    hash = (hash ^ static_cast<std::uint16_t>(c)) * 0x100000001b3u;
  }
  wchar_t digits[17];
  std::swprintf(digits, 17, L"%016llx", static_cast<unsigned long long>(hash));
  return prefix + digits;
}

}  // namespace kamishibai
