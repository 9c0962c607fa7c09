// Kamishibai Studio: "Play show": a saver of the current show runs in a window of the Studio's,
// in the saver's hosted mode, until the window is closed.
#pragma once

#include <filesystem>

namespace kamishibai::studio {

// Opens the window and starts the saver inside it. The saver file is the player's to remove: it
// is deleted once the show in it has ended (the window closed, or the show ended by itself).
void playSaver(const std::filesystem::path& saver);

}  // namespace kamishibai::studio
