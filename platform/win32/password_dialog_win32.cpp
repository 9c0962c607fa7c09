// Kamishibai: the registry switch and the password modules, loaded at run time.
#include "platform/win32/password_dialog_win32.h"

#include "platform/password_dialog.h"
#include "platform/win32/system_library_win32.h"

namespace kamishibai {

// The ANSI calls, so that a text value is tested on its ANSI bytes.
std::optional<std::int32_t> readRegistryInt32(HKEY root, const char* subkey, const char* value) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, subkey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return std::nullopt;
  std::uint32_t data = 0;
  DWORD type = REG_DWORD;
  DWORD size = sizeof data;
  const LONG result =
      RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS) return std::nullopt;
  return static_cast<std::int32_t>(data);
}

std::optional<std::int32_t> readScreenSaveUsePassword() {
  return readRegistryInt32(HKEY_CURRENT_USER, "Control Panel\\desktop", "ScreenSaveUsePassword");
}

bool verifyScreenSaverPassword(const wchar_t* module, HWND owner) {
  using Verify = BOOL(WINAPI*)(HWND);
  const UniqueModule library = loadSystemModule(module);
  const auto verify =
      library ? findFunction<Verify>(library.get(), "VerifyScreenSavePwd") : nullptr;
  if (verify == nullptr) return true;
  return (verify(owner) & 0xFFFF) != 0;
}

void changeScreenSaverPassword(HWND owner) {
  using Change = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, void*);
  const UniqueModule library = loadSystemModule(L"mpr.dll");
  const auto change = library ? findFunction<Change>(library.get(), "PwdChangePasswordA") : nullptr;
  if (change != nullptr) change("SCRSAVE", owner, 0, nullptr);
}

void runPasswordChangeDialog(std::int32_t ownerWindow) {
  changeScreenSaverPassword(reinterpret_cast<HWND>(static_cast<std::intptr_t>(ownerWindow)));
}

}  // namespace kamishibai
