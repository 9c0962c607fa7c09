// Kamishibai: the saver's entry point on Windows: the command-line text after the program name
// and the own file go to start-up.
#include "platform/image_memory.h"
#include "platform/running_program.h"
#include "raster/image_memory.h"
#include "startup/module1.h"
#include "startup/system_services.h"

int main(int argc, char** argv) {
  kamishibai::setImageMemory(kamishibai::systemImageMemory());
  kamishibai::SystemServices services;
  kamishibai::StartupState state;
  return kamishibai::runModule1(kamishibai::commandLineText(argc, argv),
                                kamishibai::runningExecutablePath(), services, state);
}
