// Kamishibai: ownership of Win32 kernel handles.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace kamishibai {

struct HandleCloser {
  void operator()(HANDLE handle) const {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

// CreateFileW reports failure as INVALID_HANDLE_VALUE, the other calls as nullptr: both become
// an empty UniqueHandle.
inline UniqueHandle ownHandle(HANDLE handle) {
  return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

}  // namespace kamishibai
