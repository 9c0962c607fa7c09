// Kamishibai: modal message boxes with an OK button.
#pragma once

#include <string>

namespace kamishibai {

enum class MessageIcon { Information, Exclamation };

// Shows the prompt under the title with the icon and blocks until the box is closed.
void showMessageBox(const std::string& prompt, const std::string& title, MessageIcon icon);

}  // namespace kamishibai
