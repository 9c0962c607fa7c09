// Kamishibai: the subcommands of kamishibai-pack, each group registered by its own file.
#pragma once

#include <CLI/CLI.hpp>

namespace kamishibai {

// render (one transition to PNG frames and an optional animated GIF) and effects (the list of
// transitions).
void addRenderCommands(CLI::App& app);

}  // namespace kamishibai
