// Kamishibai: the saver's password, kept as an argon2id hash in the user's configuration folder,
// and the desktop switch ScreenSaveUsePassword that says whether the show asks for it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace kamishibai {

struct DesktopFiles {
  std::filesystem::path passwordFile;  // $XDG_CONFIG_HOME/kamishibai/password
  std::filesystem::path desktopIni;    // $XDG_CONFIG_HOME/kamishibai/desktop.ini
  // The files of the current user ($XDG_CONFIG_HOME, else $HOME/.config).
  static DesktopFiles forCurrentUser();
};

// The value ScreenSaveUsePassword of the group [Control Panel\desktop], read as a 32-bit value
// from its first bytes; nullopt when the file, the group or the value is missing or unreadable
// (no password is asked for then).
std::optional<std::int32_t> readScreenSaveUsePassword(const DesktopFiles& files);

// True when the password file exists and the candidate matches its hash.
bool verifyPassword(const DesktopFiles& files, const std::string& candidate);
bool hasPassword(const DesktopFiles& files);
// Stores the hash atomically (readable only by the user) and switches ScreenSaveUsePassword on.
void setPassword(const DesktopFiles& files, const std::string& password);
// Removes the hash and switches ScreenSaveUsePassword off.
void clearPassword(const DesktopFiles& files);

}  // namespace kamishibai
