// Kamishibai: user-visible texts in the user's language. Every text is written in the program as
// its Japanese original; a translation for the user's locale replaces it where one exists.
#pragma once

namespace kamishibai {

// The text for the user's language, as UTF-8; the original itself when there is no translation
// (the C and POSIX locales, Japanese locales, and any language without one). The result stays
// valid until the program ends.
const char* tr(const char* original);

// Marks an original that is stored now and passed through tr() where it is shown, so that the
// catalogue check finds it.
constexpr const char* N_(const char* original) {
  return original;
}

}  // namespace kamishibai
