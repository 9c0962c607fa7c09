// Kamishibai: COM for the calling thread and ownership of COM interface pointers, for the
// Windows Imaging Component.
#pragma once

#include <objbase.h>
#include <windows.h>

namespace kamishibai {

// COM on the calling thread for the length of one task.
class ComScope {
 public:
  ComScope() : initialized_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComScope() {
    if (initialized_) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool initialized_;
};

template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() {
    if (pointer_ != nullptr) pointer_->Release();
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  Interface* operator->() const { return pointer_; }
  Interface* get() const { return pointer_; }
  // For the calls that hand out a new interface pointer.
  Interface** put() { return &pointer_; }

 private:
  Interface* pointer_ = nullptr;
};

}  // namespace kamishibai
