// Kamishibai: the language of the texts as the environment names it, whether or not its locale
// is installed.
#include <gtest/gtest.h>

#include "platform/linux/translate_posix.h"

namespace kamishibai {
namespace {

TEST(MessageLanguage, TheLocaleThenLanguageDecide) {
  struct Case {
    const char *lcAll, *lcMessages, *lang, *language, *expected;
  };
  const Case cases[] = {
      {nullptr, nullptr, nullptr, nullptr, "C"},
      {"C", nullptr, "en_US.UTF-8", "en", "C"},  // LC_ALL first; LANGUAGE not under C
      {"", "", "POSIX", "en", "POSIX"},          // empty values count as unset
      {nullptr, nullptr, "ja_JP.UTF-8", nullptr, "ja"},
      {nullptr, nullptr, "C.UTF-8", nullptr, "C"},
      {nullptr, nullptr, "C.UTF-8", "en_GB:ja", "en"},        // C.UTF-8 is not the plain C locale
      {nullptr, "en_US.UTF-8", "C.UTF-8", nullptr, "en"},     // LC_MESSAGES before LANG
      {nullptr, nullptr, "en_GB.UTF-8@euro", nullptr, "en"},  // whether installed or not
      {nullptr, nullptr, "en_US.UTF-8", "fr:ja:en", "ja"},    // the first language with texts
      {nullptr, nullptr, "ja_JP.UTF-8", "fr:de", "ja"},       // none: the locale's language
      {nullptr, nullptr, "fr_FR.UTF-8", nullptr, "fr"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(messageLanguage(c.lcAll, c.lcMessages, c.lang, c.language), c.expected)
        << (c.lcAll ? c.lcAll : "-") << " " << (c.lcMessages ? c.lcMessages : "-") << " "
        << (c.lang ? c.lang : "-") << " " << (c.language ? c.language : "-");
  }
}

}  // namespace
}  // namespace kamishibai
