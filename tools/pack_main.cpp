// Kamishibai: kamishibai-pack, the tool that makes, lists and unpacks savers.
#include "base/version.h"
#include "platform/image_memory.h"
#include "raster/image_memory.h"
#include "tools/commands.h"

int main(int argc, char** argv) {
  kamishibai::setImageMemory(kamishibai::systemImageMemory());
  CLI::App app("Makes slide-show screen savers that carry their own pictures.", "kamishibai-pack");
  app.require_subcommand(1);
  app.set_version_flag("--version",
                       std::string("kamishibai-pack (Kamishibai) ") + kamishibai::kVersion);
  kamishibai::addInitCommand(app);
  kamishibai::addBuildCommand(app);
  kamishibai::addInfoCommand(app);
  kamishibai::addExtractCommand(app);
  kamishibai::addRenderCommands(app);
  CLI11_PARSE(app, argc, argv);
  return 0;
}
