// Kamishibai: kamishibai-pack, the tool that makes, lists and unpacks savers.
#include "base/version.h"
#include "platform/image_memory.h"
#include "platform/running_program.h"
#include "platform/terminal.h"
#include "raster/image_memory.h"
#include "tools/commands.h"

int main(int argc, char** argv) {
  kamishibai::setImageMemory(kamishibai::systemImageMemory());
  kamishibai::useUtf8Terminal();
  // Every text is UTF-8 from here on; paths are made from it where the system is called.
  std::vector<std::string> arguments = kamishibai::programArguments(argc, argv);
  std::vector<char*> pointers;
  for (std::string& argument : arguments) pointers.push_back(argument.data());
  CLI::App app("Makes slide-show screen savers that carry their own pictures.", "kamishibai-pack");
  app.require_subcommand(1);
  app.set_version_flag("--version",
                       std::string("kamishibai-pack (Kamishibai) ") + kamishibai::kVersion);
  kamishibai::addInitCommand(app);
  kamishibai::addBuildCommand(app);
  kamishibai::addInfoCommand(app);
  kamishibai::addExtractCommand(app);
  kamishibai::addRenderCommands(app);
  CLI11_PARSE(app, static_cast<int>(pointers.size()), pointers.data());
  return 0;
}
