// Kamishibai: translations through gettext, from the message catalogues beside the build or of
// the installation.
#include "platform/translate.h"

#include <libintl.h>

#include <clocale>
#include <filesystem>
#include <mutex>

#include "platform/running_program.h"

namespace kamishibai {

namespace {

const char* const kDomain = "kamishibai";

// The catalogue folder: "locale" beside the executable (the build folder), else "share/locale"
// of the installation the executable belongs to, else the folder the build was configured for.
std::string catalogueFolder() {
  const std::filesystem::path exeFolder =
      std::filesystem::path(runningExecutablePath()).parent_path();
  std::error_code error;
  for (const auto& candidate : {exeFolder / "locale", exeFolder / ".." / "share" / "locale"}) {
    if (std::filesystem::exists(candidate / "en" / "LC_MESSAGES" / "kamishibai.mo", error)) {
      return candidate.string();
    }
  }
  return KAMISHIBAI_LOCALEDIR;
}

void bindCatalogue() {
  // Only the messages and the character set follow the user's locale; numbers keep the C rules.
  std::setlocale(LC_MESSAGES, "");
  std::setlocale(LC_CTYPE, "");
  bindtextdomain(kDomain, catalogueFolder().c_str());
  bind_textdomain_codeset(kDomain, "UTF-8");
}

}  // namespace

const char* tr(const char* original) {
  static std::once_flag bound;
  std::call_once(bound, bindCatalogue);
  return dgettext(kDomain, original);
}

}  // namespace kamishibai
