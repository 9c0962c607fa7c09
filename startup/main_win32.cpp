// Kamishibai: the Windows saver's entry point: the command-line text after the program name and
// the own file go to start-up.
#include <windows.h>

#include "platform/executable_path.h"
#include "platform/win32/wide_text.h"
#include "startup/module1.h"
#include "startup/system_services.h"
#include "startup/windows_command_line.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const std::string commandLine = kamishibai::argumentText(kamishibai::toUtf8(GetCommandLineW()));
  kamishibai::SystemServices services;
  kamishibai::StartupState state;
  return kamishibai::runModule1(commandLine, kamishibai::runningExecutablePath(), services, state);
}
