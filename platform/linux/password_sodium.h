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

// True when the candidate matches the stored hash; a PasswordStoreError when the password file
// cannot be used (missing, damaged, ...), which is a failure of the check, not a wrong password.
bool verifyPassword(const DesktopFiles& files, const std::string& candidate);
// True when the candidate matches the hash (one that readStoredHash returned).
bool passwordMatches(const std::string& hash, const std::string& candidate);

// What the password file holds for the change of the password: no password (no file), a usable
// hash (the old password is asked for) or one that cannot be used (problem says why; a new
// password can be set without the old one).
struct PasswordState {
  enum class Kind { NotSet, Usable, Unusable };
  Kind kind = Kind::NotSet;
  std::string problem;
};
PasswordState passwordState(const DesktopFiles& files);
// Stores the hash atomically (readable only by the user) and switches ScreenSaveUsePassword on.
void setPassword(const DesktopFiles& files, const std::string& password);
// Removes the hash and switches ScreenSaveUsePassword off.
void clearPassword(const DesktopFiles& files);

}  // namespace kamishibai
