// Kamishibai: the terminal test on POSIX.
#include "platform/terminal.h"

#include <unistd.h>

namespace kamishibai {

bool standardErrorIsTerminal() {
  return isatty(STDERR_FILENO) == 1;
}

void useUtf8Terminal() {}

}  // namespace kamishibai
