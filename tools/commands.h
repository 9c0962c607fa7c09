// Kamishibai: the subcommands of kamishibai-pack. Each adds itself to the application; the run
// functions do the work and return the exit status, so tests can call them directly.
#pragma once

#include <CLI/CLI.hpp>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "platform/display.h"

namespace kamishibai {

void addInitCommand(CLI::App& app);
void addBuildCommand(CLI::App& app);
void addInfoCommand(CLI::App& app);
void addExtractCommand(CLI::App& app);
// render (one transition to PNG frames and an optional animated GIF) and effects (the list of
// transitions).
void addRenderCommands(CLI::App& app);

// "1920x1080" as the size of a picture area. The pictures are fitted to it, so it may not be
// larger than a picture the player shows; nullopt for any other text.
std::optional<ScreenSize> parseAreaSize(const std::string& text);

// Writes a starting manifest at output for the pictures in a folder, with an area of size
// ("WIDTHxHEIGHT"), or of the screen's size when size is empty.
int runInit(const std::filesystem::path& pictures, const std::filesystem::path& output,
            const std::string& size, std::ostream& out, std::ostream& err);
// The systems a saver runs on, each with its own bare player.
enum class SaverSystem { Linux, Windows };
// The bare player for savers of that system: beside the running program (a build folder, and
// the installed player of the program's own system), else in lib/kamishibai/ beside the
// program's folder, where the package installs the Windows player.
std::filesystem::path playerFor(SaverSystem system);

// Validates the manifest and its files, then writes player + package to output atomically. A
// progress bar is drawn on terminal when one is given.
int runBuild(const std::filesystem::path& manifest, const std::filesystem::path& output,
             const std::filesystem::path& player, std::ostream& err,
             std::ostream* terminal = nullptr);
int runInfo(const std::filesystem::path& file, bool json, std::ostream& out, std::ostream& err);
// Writes every packaged file and show.toml into dir, which must be absent or empty; with a
// progress bar on terminal when one is given.
int runExtract(const std::filesystem::path& file, const std::filesystem::path& dir,
               std::ostream& out, std::ostream& err, std::ostream* terminal = nullptr);

// Ends the command with the exit status through CLI11, when it is not 0.
void finishCommand(int status);

}  // namespace kamishibai
