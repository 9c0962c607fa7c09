// Kamishibai: the saver's password, kept as an argon2id hash in the user's configuration folder,
// and the desktop switch ScreenSaveUsePassword that says whether the show asks for it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

namespace kamishibai {

struct DesktopFiles {
  std::filesystem::path passwordFile;  // $XDG_CONFIG_HOME/kamishibai/password
  std::filesystem::path desktopIni;    // $XDG_CONFIG_HOME/kamishibai/desktop.ini
  // The files of the current user ($XDG_CONFIG_HOME, else $HOME/.config); nullopt when neither
  // names an absolute folder, since the files would then land wherever the program was started.
  static std::optional<DesktopFiles> forCurrentUser();
};

// The value ScreenSaveUsePassword of the group [Control Panel\desktop], read as a 32-bit value
// from its first bytes; nullopt when the file, the group or the value is missing or unreadable
// (no password is asked for then). A file larger than any settings file is not read: a
// std::runtime_error names it.
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

// A change of the password that was made in part only: what() says which file holds what.
class PasswordHalfChangedError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The two changes below go together: either the password file and ScreenSaveUsePassword both
// change, or neither does and a std::exception says why. Only when a change fails and putting
// the switch back fails too is a PasswordHalfChangedError thrown. A desktop settings file that
// exists but cannot be read is never replaced, since its other values would be lost.
// Stores the hash (readable only by the user) and switches ScreenSaveUsePassword on.
void setPassword(const DesktopFiles& files, const std::string& password);
// Removes the hash and switches ScreenSaveUsePassword off.
void clearPassword(const DesktopFiles& files);

}  // namespace kamishibai
