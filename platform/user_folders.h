// Kamishibai: the per-user folders the saver keeps its transient files in.
#pragma once

#include <optional>
#include <string>

namespace kamishibai {

// The folder that holds the numbered work folders: $XDG_RUNTIME_DIR/kamishibai, else the
// kamishibai folder in the user's cache folder, each created for the user only when missing and
// used only when it is a real folder of the user's own; on Windows the Windows folder. Without a
// trailing separator (but for a root such as C:\); nullopt when none can be had.
std::optional<std::string> workFoldersParent();

// Whether the folder above belongs to the program alone (Linux: its own kamishibai folder), so
// that work folders left there by a show that was killed may be removed; on Windows it is
// shared with every other program, which keep their own tempN entries there.
bool workFoldersParentIsOwn();

// Where the work folders go when none can be created in the folder above: on Windows the user's
// temporary folder; nullopt on Linux, whose folder above is the user's own already.
std::optional<std::string> fallbackWorkFoldersParent();

// Where a saver whose own folder is saverFolder keeps its settings when it cannot keep them beside
// itself (an installed saver, whose folder its user cannot write): the saver's folder among the
// user's configuration ($XDG_CONFIG_HOME/kamishibai, else ~/.config/kamishibai), not created
// here. nullopt when the saver's folder can be written, when neither configuration folder is
// known, and on Windows, where a saver keeps its settings beside itself.
std::optional<std::string> userSettingsFolder(const std::string& saverFolder);

}  // namespace kamishibai
