// Kamishibai: the saver's entry point on Linux: the help and version options, else the
// command-line text and the own file go to start-up.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "platform/end_signals.h"
#include "platform/image_memory.h"
#include "platform/running_program.h"
#include "raster/image_memory.h"
#include "startup/command_line.h"
#include "startup/module1.h"
#include "startup/system_services.h"

namespace {

constexpr int kBadOptions = 2;

}  // namespace

int main(int argc, char** argv) {
  const std::string programName = kamishibai::programName();
  const kamishibai::Invocation invocation =
      kamishibai::parseInvocation(std::vector<std::string>(argv + 1, argv + argc));
  switch (invocation.kind) {
    case kamishibai::Invocation::Kind::Help:
      std::cout << kamishibai::helpText(programName);
      return 0;
    case kamishibai::Invocation::Kind::Version:
      std::cout << kamishibai::versionText(programName);
      return 0;
    case kamishibai::Invocation::Kind::Invalid:
      std::cerr << programName << ": " << invocation.problem << '\n';
      return kBadOptions;
    case kamishibai::Invocation::Kind::Switch:
    case kamishibai::Invocation::Kind::Hosted:
      break;
  }
  std::optional<kamishibai::HostWindow> host;
  if (invocation.kind == kamishibai::Invocation::Kind::Hosted) host = invocation.host;
  kamishibai::setImageMemory(kamishibai::systemImageMemory());
  kamishibai::SystemServices services;
  kamishibai::StartupState state;
  const int status =
      kamishibai::runModule1(kamishibai::commandLineText(argc, argv),
                             kamishibai::runningExecutablePath(), services, state, host);
  // A show stopped by a signal has ended in order; the process now ends as the signal ends it.
  kamishibai::endAsSignalled();
  return status;
}
