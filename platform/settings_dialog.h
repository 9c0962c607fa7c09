// Kamishibai: the settings dialog frmSetting.
#pragma once

#include <optional>

namespace kamishibai {

struct SettingsChoice {
  bool bgmOn = true;
  bool soundOn = true;
};

// Shows frmSetting modally with the option buttons selected from initial and blocks until it
// closes. The choice when the user confirmed with OK; nullopt for Cancel, Esc and the close box.
std::optional<SettingsChoice> runFrmSetting(SettingsChoice initial);

}  // namespace kamishibai
