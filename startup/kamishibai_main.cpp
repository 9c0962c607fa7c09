// Kamishibai: the saver's entry point: the command-line text and the own file go to start-up.
#include <string>

#include "platform/end_signals.h"
#include "platform/executable_path.h"
#include "startup/module1.h"
#include "startup/system_services.h"

int main(int argc, char** argv) {
  // The text after the program's path, as the system hands it to a screen saver.
  std::string commandLine;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) commandLine += ' ';
    commandLine += argv[i];
  }
  kamishibai::SystemServices services;
  kamishibai::StartupState state;
  const int status =
      kamishibai::runModule1(commandLine, kamishibai::runningExecutablePath(), services, state);
  // A show stopped by a signal has ended in order; the process now ends as the signal ends it.
  kamishibai::endAsSignalled();
  return status;
}
