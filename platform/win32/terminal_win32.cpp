// Kamishibai: the terminal test on Windows: a console, not a file or a pipe.
#include "platform/terminal.h"

#include <windows.h>

namespace kamishibai {

bool standardErrorIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != FALSE;
}

void useUtf8Terminal() {
  SetConsoleOutputCP(CP_UTF8);
}

}  // namespace kamishibai
