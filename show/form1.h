// Kamishibai: the show window Form1: loading it runs the whole slide show.
#pragma once

#include <cstdint>
#include <string>

#include "startup/package.h"

namespace kamishibai {

// What start-up hands to the show: the package record, the work folder (ending in '/') and the
// two settings switches.
struct ShowInputs {
  const PackageRecord& record;
  std::string WorkDir;
  std::int16_t BgmOn = -1;
  std::int16_t SoundOn = -1;
};

// Creates the show window on the display and runs its load handler: the slide show, the end
// sequence with the password check, and the error message when something fails. Returns when
// the show has ended; the caller then removes the work folder.
void loadForm1(const ShowInputs& inputs);

}  // namespace kamishibai
