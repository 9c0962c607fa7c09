// Kamishibai: a stand-in for the system's password module "password.cpl", for the tests: its
// VerifyScreenSavePwd shows no dialog but answers from a file, and counts its calls in another.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

// The first character of the answer file: '1' accepts, anything else (or no file) refuses.
bool answerAccepts() {
  const char* path = std::getenv("KAMISHIBAI_PASSWORD_ANSWER");
  if (path == nullptr) return false;
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  const int answer = std::fgetc(file);
  std::fclose(file);
  return answer == '1';
}

// One line per call, naming whether an owner window was given.
void countCall(HWND owner) {
  const char* path = std::getenv("KAMISHIBAI_PASSWORD_CALLS");
  if (path == nullptr) return;
  if (std::FILE* file = std::fopen(path, "ab")) {
    std::fputs(IsWindow(owner) ? "owner window\n" : "no owner\n", file);
    std::fclose(file);
  }
}

}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND owner) {
  countCall(owner);
  return answerAccepts() ? TRUE : FALSE;
}
