// Kamishibai: the language of the texts on Linux, as the user's environment names it.
#pragma once

#include <string>

namespace kamishibai {

// The language whose built-in catalogue translates the texts ("en"), or another code (C, ja,
// fr, ...) that has none, for which the originals stand. Any argument may be null (unset).
// The locale that names the messages is LC_ALL, else LC_MESSAGES, else LANG, as the C library
// reads them, whether or not the locale is installed. LANGUAGE, a list of languages in order
// of preference, comes first unless that locale is the plain C one; its first language with
// texts (Japanese, the originals, or one with a catalogue) wins.
std::string messageLanguage(const char* lcAll, const char* lcMessages, const char* lang,
                            const char* language);

}  // namespace kamishibai
