// Kamishibai: the saver's password as an argon2id hash (libsodium) and the desktop switch
// ScreenSaveUsePassword in the desktop settings file.
#include "platform/linux/password_sodium.h"

#include <fcntl.h>
#include <sodium.h>
#include <sys/stat.h>

#include <cerrno>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include "platform/linux/atomic_file_posix.h"
#include "platform/linux/desktop_ini.h"
#include "platform/linux/handle_owner_posix.h"
#include "platform/linux/password_store.h"
#include "platform/linux/user_folders_posix.h"

namespace kamishibai {

namespace {

namespace fs = std::filesystem;

constexpr const char* kDesktopGroup = "Control Panel\\desktop";
constexpr const char* kUsePasswordValue = "ScreenSaveUsePassword";
constexpr auto kUserOnly = fs::perms::owner_read | fs::perms::owner_write;
// Far more than the few values the file holds; a larger file is not read.
constexpr std::uintmax_t kLargestDesktopIni = 65536;

std::span<const std::uint8_t> bytesOf(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// The desktop settings file's text; nullopt when it cannot be read (missing, not a file, no
// permission).
std::optional<std::string> readDesktopIni(const fs::path& path) {
  std::error_code error;
  if (!fs::is_regular_file(path, error)) return std::nullopt;
  if (fs::file_size(path, error) > kLargestDesktopIni) {
    throw std::runtime_error("the desktop settings file " + path.string() +
                             " is too large to hold the desktop settings");
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return text;
}

// The desktop settings file's text before a change; nullopt when there is no file. One that is
// there but cannot be read is an error: replacing it would lose its other values.
std::optional<std::string> desktopIniToChange(const fs::path& path) {
  if (auto text = readDesktopIni(path)) return text;
  std::error_code error;
  if (fs::symlink_status(path, error).type() == fs::file_type::not_found) return std::nullopt;
  throw std::runtime_error("the desktop settings file " + path.string() +
                           " cannot be read, so it is left as it is");
}

// Makes the folder when missing and keeps it for the user alone. A folder reached through a
// symbolic link keeps its mode: the link's target may be shared on purpose.
void prepareFolder(const fs::path& folder) {
  fs::create_directories(folder);
  const UniqueFd real(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (real.valid() && ::fchmod(real.get(), 0700) != 0) {
    throw std::system_error(errno, std::generic_category(), "cannot protect " + folder.string());
  }
}

std::string withSwitch(const std::optional<std::string>& ini, bool on) {
  return withIniValue(ini.value_or(""), kDesktopGroup, kUsePasswordValue, on ? "1" : "0");
}

// Switches ScreenSaveUsePassword, then makes the change of the password file. When that fails,
// the desktop settings file is put back from a copy written before anything changed, so that
// putting it back needs only a rename (or the removal of a file that was not there).
void switchThenChange(const DesktopFiles& files, bool on, const std::function<void()>& change,
                      const std::string& changeFailed) {
  const std::optional<std::string> old = desktopIniToChange(files.desktopIni);
  StagedFile switched(files.desktopIni, bytesOf(withSwitch(old, on)), kUserOnly);
  std::optional<StagedFile> original;
  if (old) original.emplace(files.desktopIni, bytesOf(*old), kUserOnly);
  switched.commit();
  try {
    change();
  } catch (const std::exception& failure) {
    try {
      if (original) {
        original->commit();
      } else {
        fs::remove(files.desktopIni);
      }
    } catch (const std::exception& stuck) {
      throw PasswordHalfChangedError(std::string(kUsePasswordValue) + " is now " +
                                     (on ? "on" : "off") + " in " + files.desktopIni.string() +
                                     ", but " + changeFailed + ": " + failure.what() +
                                     "; setting the switch back failed too: " + stuck.what());
    }
    throw;
  }
}

void requireSodium() {
  if (sodium_init() < 0) throw std::runtime_error("the password library cannot be started");
}

}  // namespace

std::optional<DesktopFiles> DesktopFiles::forCurrentUser() {
  const auto folder = userConfigFolder();
  if (!folder) return std::nullopt;
  return DesktopFiles{fs::path(*folder) / "password", fs::path(*folder) / "desktop.ini"};
}

std::optional<std::int32_t> readScreenSaveUsePassword(const DesktopFiles& files) {
  const auto text = readDesktopIni(files.desktopIni);
  if (!text) return std::nullopt;
  const auto data = iniValueData(*text, kDesktopGroup, kUsePasswordValue);
  // The value is read into a 32-bit integer that starts at 0: longer data cannot be read,
  // shorter data fill its low bytes.
  if (!data || data->size() > 4) return std::nullopt;
  std::uint32_t bits = 0;
  for (std::size_t i = 0; i < data->size(); ++i) bits |= std::uint32_t{(*data)[i]} << (8 * i);
  return static_cast<std::int32_t>(bits);
}

PasswordState passwordState(const DesktopFiles& files) {
  std::error_code error;
  if (!std::filesystem::exists(std::filesystem::symlink_status(files.passwordFile, error))) {
    return {};
  }
  try {
    readStoredHash(files.passwordFile);
    return {PasswordState::Kind::Usable, {}};
  } catch (const PasswordStoreError& problem) {
    return {PasswordState::Kind::Unusable, problem.what()};
  }
}

bool passwordMatches(const std::string& hash, const std::string& candidate) {
  requireSodium();
  return crypto_pwhash_str_verify(hash.c_str(), candidate.data(), candidate.size()) == 0;
}

bool verifyPassword(const DesktopFiles& files, const std::string& candidate) {
  return passwordMatches(readStoredHash(files.passwordFile), candidate);
}

void setPassword(const DesktopFiles& files, const std::string& password) {
  requireSodium();
  char hash[crypto_pwhash_STRBYTES];
  if (crypto_pwhash_str(hash, password.data(), password.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                        crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0) {
    throw std::runtime_error("not enough memory to compute the password hash");
  }
  prepareFolder(files.passwordFile.parent_path());
  // Written out before the switch changes, so that storing it needs only a rename.
  StagedFile stored(files.passwordFile, bytesOf(hash), kUserOnly);
  switchThenChange(
      files, true, [&] { stored.commit(); },
      "the new password could not be stored in " + files.passwordFile.string());
}

void clearPassword(const DesktopFiles& files) {
  // Switched off first: a hash that is gone while the switch still says "in use" would ask for
  // a password that can never be given.
  prepareFolder(files.desktopIni.parent_path());
  switchThenChange(
      files, false, [&] { fs::remove(files.passwordFile); },
      "the password file " + files.passwordFile.string() + " could not be removed");
}

}  // namespace kamishibai
