// Kamishibai: a stand-in for the system's password module "password.cpl", for the tests: its
// VerifyScreenSavePwd shows no dialog but answers from a file, and counts its calls in another.
#include <windows.h>

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

// The first character of the answer file: '1' accepts, anything else (or no file) refuses.
bool answerAccepts() {
  const std::string path = environment("KAMISHIBAI_PASSWORD_ANSWER");
  if (path.empty()) return false;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  const int answer = std::fgetc(file);
  std::fclose(file);
  return answer == '1';
}

// One line per call, naming whether an owner window was given.
void countCall(HWND owner) {
  const std::string path = environment("KAMISHIBAI_PASSWORD_CALLS");
  if (path.empty()) return;
  if (std::FILE* file = std::fopen(path.c_str(), "ab")) {
    std::fputs(IsWindow(owner) ? "owner window\n" : "no owner\n", file);
    std::fclose(file);
  }
}

}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND owner) {
  countCall(owner);
  return answerAccepts() ? TRUE : FALSE;
}
