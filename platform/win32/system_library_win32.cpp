// Kamishibai: loading system modules at run time.
#include "platform/win32/system_library_win32.h"

namespace kamishibai {

UniqueModule loadSystemModule(const wchar_t* name) {
  return UniqueModule(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS));
}

}  // namespace kamishibai
