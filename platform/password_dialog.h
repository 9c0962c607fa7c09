// Kamishibai: the dialog that sets, changes or clears the saver's password.
#pragma once

#include <cstdint>

namespace kamishibai {

// Shows the dialog modally, owned by the window with that handle when it exists, and blocks
// until the user has set, changed or cleared the current user's password, or cancelled.
void runPasswordChangeDialog(std::int32_t ownerWindow);

}  // namespace kamishibai
