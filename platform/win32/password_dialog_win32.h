// Kamishibai: the screen-saver password services of Windows: the desktop switch
// ScreenSaveUsePassword, the verification at the end of the show and the password change.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

namespace kamishibai {

// The value under root and subkey, read into a 32-bit integer from the first bytes of its data
// whatever its type (a text by its ANSI bytes), as the show reads ScreenSaveUsePassword; nullopt
// when the key cannot be opened or the value is missing or longer than 4 bytes.
std::optional<std::int32_t> readRegistryInt32(HKEY root, const char* subkey, const char* value);

// HKEY_CURRENT_USER\Control Panel\desktop\ScreenSaveUsePassword.
std::optional<std::int32_t> readScreenSaveUsePassword();

// VerifyScreenSavePwd of the module (normally "password.cpl") with the owner window: true when
// the password was given. Current Windows has no such module and locks the session itself
// after a secure saver ends, so a module or function that cannot be loaded counts as verified.
bool verifyScreenSaverPassword(const wchar_t* module, HWND owner);

// PwdChangePasswordA("SCRSAVE", owner, 0, 0) of mpr.dll; nothing when it cannot be loaded.
void changeScreenSaverPassword(HWND owner);

}  // namespace kamishibai
