// Kamishibai: user-visible texts on Linux in the language the environment names, from the
// catalogues built into the program.
#include "platform/translate.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "platform/linux/translate_posix.h"
#include "platform/message_catalogue.h"

namespace kamishibai {
namespace {

// "en_GB.UTF-8@euro" -> "en".
std::string_view languageOf(std::string_view locale) {
  return locale.substr(0, locale.find_first_of("_.@"));
}

bool isSet(const char* value) {
  return value != nullptr && *value != '\0';
}

bool hasTexts(std::string_view language) {
  return language == "ja" || builtInCatalogue(language).translates();
}

}  // namespace

std::string messageLanguage(const char* lcAll, const char* lcMessages, const char* lang,
                            const char* language) {
  const char* locale = isSet(lcAll) ? lcAll : isSet(lcMessages) ? lcMessages : lang;
  const std::string_view named = isSet(locale) ? locale : "C";
  if (isSet(language) && named != "C" && named != "POSIX") {
    std::string_view list = language;
    while (!list.empty()) {
      const std::string_view item = list.substr(0, list.find(':'));
      list.remove_prefix(std::min(list.size(), item.size() + 1));
      if (hasTexts(languageOf(item))) return std::string(languageOf(item));
    }
  }
  return std::string(languageOf(named));
}

const char* tr(const char* original) {
  static const MessageCatalogue catalogue =
      builtInCatalogue(messageLanguage(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                                       std::getenv("LANG"), std::getenv("LANGUAGE")));
  return catalogue.translate(original);
}

}  // namespace kamishibai
