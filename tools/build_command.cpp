// Kamishibai: kamishibai-pack build: a manifest and its files become a saver.
#include <cstdio>
#include <iostream>
#include <map>

#include "base/file_names.h"
#include "platform/running_program.h"
#include "tools/commands.h"
#include "tools/manifest.h"
#include "tools/progress.h"
#include "tools/saver_build.h"
#include "tools/utf8.h"

namespace kamishibai {
namespace {

namespace fs = std::filesystem;

// The names --for takes.
const std::map<std::string, SaverSystem> kSystems = {{"linux", SaverSystem::Linux},
                                                     {"windows", SaverSystem::Windows}};

void report(const fs::path& manifest, const std::vector<ManifestProblem>& lines,
            std::ostream& err) {
  for (const ManifestProblem& p : lines) {
    std::string line = utf8Of(manifest);
    if (p.line > 0) line += ":" + std::to_string(p.line);
    err << terminalText(line + ": " + p.message, Backslashes::Kept) << "\n";
  }
}

// One line for the saver written, and the seed that repeats a build whose order was drawn.
void reportWritten(const fs::path& manifest, const fs::path& output, const SaverBuild& build,
                   std::ostream& err) {
  std::error_code error;
  const std::uintmax_t bytes = fs::file_size(output, error);
  const std::size_t slides = build.slides;
  char size[32];
  std::snprintf(size, sizeof size, "%.1f MB", error ? 0.0 : static_cast<double>(bytes) / 1e6);
  err << terminalText(utf8Of(fs::absolute(output)), Backslashes::Kept) << ": " << slides
      << (slides == 1 ? " slide, " : " slides, ") << size << "\n";
  if (build.drawnSeed) {
    report(
        manifest,
        {{0, "the random order and effects came from seed = " + std::to_string(*build.drawnSeed) +
                 " (add it to the manifest to repeat this build)"}},
        err);
  }
}

}  // namespace

int runBuild(const fs::path& manifest, const fs::path& output, const fs::path& player,
             std::ostream& err, std::ostream* terminal) {
  const SaverBuild build = buildSaver(planShowFile(manifest), manifest, output, player, terminal);
  // Warnings about a saver that is not written would only hide the problems.
  if (!build.problems.empty()) {
    report(manifest, build.problems, err);
    err << build.problems.size() << " problem(s); nothing was written\n";
    return 1;
  }
  report(manifest, build.notes, err);
  if (!build.failure.empty()) {
    err << terminalText(build.failure, Backslashes::Kept) << "; nothing was written\n";
    return 1;
  }
  reportWritten(manifest, output, build, err);
  return 0;
}

void addBuildCommand(CLI::App& app) {
  auto* command = app.add_subcommand("build", "Pack the pictures of a show manifest into a saver");
  auto manifest = std::make_shared<std::string>();
  auto output = std::make_shared<std::string>();
  auto player = std::make_shared<std::string>();
  // The packer's own system unless told otherwise.
  auto system = std::make_shared<std::string>(kWindowsFileNames ? "windows" : "linux");
  command->add_option("manifest", *manifest, "The show manifest (TOML)")->required();
  command->add_option("-o,--output", *output, "The saver to write, e.g. NAME.scr")->required();
  CLI::Option* forSystem =
      command
          ->add_option("--for", *system,
                       "The system the saver runs on: linux or windows (default: this one's); "
                       "its player is found beside this tool or in ../lib/kamishibai/")
          ->check(CLI::IsMember(kSystems));
  command
      ->add_option("--player", *player, "The bare player to copy (default: the player --for names)")
      ->excludes(forSystem);
  command->callback([=] {
    finishCommand(
        runBuild(pathFromUtf8(*manifest), pathFromUtf8(*output),
                 player->empty() ? playerFor(kSystems.at(*system)) : pathFromUtf8(*player),
                 std::cerr, progressTerminal()));
  });
}

fs::path playerFor(SaverSystem system) {
  const fs::path program = pathFromUtf8(runningExecutablePath());
  const fs::path name = system == SaverSystem::Windows ? "kamishibai.exe" : "kamishibai";
  const fs::path beside = program.parent_path() / name;
  const fs::path installed = program.parent_path().parent_path() / "lib" / "kamishibai" / name;
  std::error_code error;
  return fs::exists(beside, error) || !fs::exists(installed, error) ? beside : installed;
}

void finishCommand(int status) {
  if (status != 0) throw CLI::RuntimeError(status);
}

}  // namespace kamishibai
