// Kamishibai: a stand-in for the system's "mpr.dll", for the tests: its PwdChangePasswordA shows
// no dialog but writes its arguments, and the foreground window of the moment, to a file.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

// Read through the system rather than the C runtime, whose copy of the environment is taken
// when the module loads.
std::string environment(const char* name) {
  char value[1024];
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  return length == 0 || length >= sizeof value ? std::string() : std::string(value, length);
}

long long handleNumber(HWND window) {
  return static_cast<long long>(reinterpret_cast<std::intptr_t>(window));
}

}  // namespace

// One line per call: "PROVIDER owner=N foreground=N reserved=N,N".
extern "C" __declspec(dllexport) DWORD WINAPI
    PwdChangePasswordA(LPCSTR provider, HWND owner, DWORD reserved1, void* reserved2) {
  const std::string path = environment("KAMISHIBAI_MPR_CALLS");
  if (path.empty()) return ERROR_SUCCESS;
  if (std::FILE* file = std::fopen(path.c_str(), "ab")) {
    std::fprintf(file, "%s owner=%lld foreground=%lld reserved=%lu,%lld\n",
                 provider != nullptr ? provider : "(null)", handleNumber(owner),
                 handleNumber(GetForegroundWindow()), static_cast<unsigned long>(reserved1),
                 static_cast<long long>(reinterpret_cast<std::intptr_t>(reserved2)));
    std::fclose(file);
  }
  return ERROR_SUCCESS;
}
