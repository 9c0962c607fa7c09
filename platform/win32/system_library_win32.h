// Kamishibai: functions of system modules that may be missing, loaded when they are called.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace kamishibai {

struct ModuleFreer {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};
using UniqueModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFreer>;

// Loads the module from the program's folder or the system folders, never from the current
// folder, so a file dropped where the saver happens to run is not loaded; empty when missing.
UniqueModule loadSystemModule(const wchar_t* name);

// The exported function of that name as the given pointer type; nullptr when missing.
template <typename Function>
Function findFunction(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace kamishibai
