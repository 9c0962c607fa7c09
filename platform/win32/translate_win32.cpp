// Kamishibai: user-visible texts on Windows, shown as their Japanese originals (no catalogue is
// shipped with the Windows saver yet).
#include "platform/translate.h"

namespace kamishibai {

const char* tr(const char* original) {
  return original;
}

}  // namespace kamishibai
