// Kamishibai: user-visible texts on Windows in the language of the user's interface, from the
// catalogues built into the program.
#include "platform/translate.h"

#include <windows.h>

#include "platform/message_catalogue.h"

namespace kamishibai {

// The originals under a Japanese user interface; English, which every Windows user can choose,
// under any other.
const char* tr(const char* original) {
  static const MessageCatalogue catalogue =
      PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? MessageCatalogue()
                                                                 : builtInCatalogue("en");
  return catalogue.translate(original);
}

}  // namespace kamishibai
