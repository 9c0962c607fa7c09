// Kamishibai: frmSetting on Windows is not built yet: the dialog closes at once as if cancelled,
// so "/C" changes nothing.
#include "platform/settings_dialog.h"

namespace kamishibai {

std::optional<SettingsChoice> runFrmSetting(SettingsChoice) {
  return std::nullopt;
}

}  // namespace kamishibai
