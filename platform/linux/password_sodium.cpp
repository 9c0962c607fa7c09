// Kamishibai: the saver's password as an argon2id hash (libsodium) and the desktop switch
// ScreenSaveUsePassword in the desktop settings file.
#include "platform/linux/password_sodium.h"

#include <sodium.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include "platform/atomic_file.h"
#include "platform/linux/desktop_ini.h"
#include "platform/linux/password_store.h"

namespace kamishibai {

namespace {

constexpr const char* kDesktopGroup = "Control Panel\\desktop";
constexpr const char* kUsePasswordValue = "ScreenSaveUsePassword";
constexpr auto kUserOnly = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;

std::optional<std::string> readWholeFile(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return text;
}

void writeUserFile(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::filesystem::permissions(path.parent_path(), std::filesystem::perms::owner_all);
  replaceFileAtomically(path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()},
                        kUserOnly);
}

void switchUsePassword(const DesktopFiles& files, bool on) {
  const std::string old = readWholeFile(files.desktopIni).value_or("");
  writeUserFile(files.desktopIni,
                withIniValue(old, kDesktopGroup, kUsePasswordValue, on ? "1" : "0"));
}

void requireSodium() {
  if (sodium_init() < 0) throw std::runtime_error("the password library cannot be started");
}

}  // namespace

DesktopFiles DesktopFiles::forCurrentUser() {
  std::filesystem::path config;
  const char* xdgConfig = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  if (xdgConfig != nullptr && xdgConfig[0] == '/') {
    config = xdgConfig;
  } else {
    config = std::filesystem::path(home != nullptr ? home : "") / ".config";
  }
  const auto folder = config / "kamishibai";
  return {folder / "password", folder / "desktop.ini"};
}

std::optional<std::int32_t> readScreenSaveUsePassword(const DesktopFiles& files) {
  const auto text = readWholeFile(files.desktopIni);
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
  writeUserFile(files.passwordFile, hash);
  switchUsePassword(files, true);
}

void clearPassword(const DesktopFiles& files) {
  // Switched off first: a hash that is gone while the switch still says "in use" would ask for
  // a password that can never be given.
  switchUsePassword(files, false);
  std::filesystem::remove(files.passwordFile);
}

}  // namespace kamishibai
