// Kamishibai: kamishibai-pack build: a manifest and its files become a saver.
#include <fstream>
#include <iostream>
#include <random>

#include "platform/executable_path.h"
#include "platform/mapped_file.h"
#include "platform/new_file.h"
#include "tools/commands.h"
#include "tools/manifest.h"

namespace kamishibai {
namespace {

namespace fs = std::filesystem;

// Creates a file that did not exist beside target, so the finished saver can be renamed into
// place in one step.
fs::path createTemporaryBeside(const fs::path& target) {
  std::random_device seed;
  std::mt19937 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = target;
    candidate += ".tmp" + std::to_string(random() % 1000000);
    if (createNewFile(candidate)) return candidate;
  }
  return {};
}

bool writeSaver(const fs::path& temporary, std::span<const std::uint8_t> player,
                const PackageRecord& record) {
  std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(player.data()),
            static_cast<std::streamsize>(player.size()));
  writePackage(record, out);
  out.close();
  return !out.fail();
}

// The player beside the packer, with the packer's own ending (".exe" on Windows).
fs::path defaultPlayer() {
  const fs::path packer(runningExecutablePath());
  fs::path player = packer.parent_path() / "kamishibai";
  player += packer.extension();
  return player;
}

}  // namespace

int runBuild(const fs::path& manifest, const fs::path& output, const fs::path& player,
             std::ostream& err) {
  const LoadedShow show = loadShowManifest(manifest);
  if (!show.problems.empty()) {
    for (const ManifestProblem& p : show.problems) {
      err << manifest.string();
      if (p.line > 0) err << ":" << p.line;
      err << ": " << p.message << "\n";
    }
    err << show.problems.size() << " problem(s); nothing was written\n";
    return 1;
  }
  const auto playerFile = MappedFile::open(player);
  if (!playerFile) {
    err << "the player " << player << " cannot be read; nothing was written\n";
    return 1;
  }
  const fs::path temporary = createTemporaryBeside(output);
  if (temporary.empty()) {
    err << "cannot create a file beside " << output << "\n";
    return 1;
  }
  std::error_code error;
  try {
    if (!writeSaver(temporary, playerFile->bytes(), show.record))
      throw std::runtime_error("write failed");
    fs::permissions(temporary,
                    fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                    fs::perm_options::add);
    fs::rename(temporary, output);
  } catch (const std::exception& e) {
    fs::remove(temporary, error);
    err << "cannot write " << output << ": " << e.what() << "\n";
    return 1;
  }
  return 0;
}

void addBuildCommand(CLI::App& app) {
  auto* command = app.add_subcommand("build", "Pack the pictures of a show manifest into a saver");
  auto manifest = std::make_shared<std::string>();
  auto output = std::make_shared<std::string>();
  auto player = std::make_shared<std::string>();
  command->add_option("manifest", *manifest, "The show manifest (TOML)")->required();
  command->add_option("-o,--output", *output, "The saver to write, e.g. NAME.scr")->required();
  command->add_option("--player", *player,
                      "The bare player to copy (default: kamishibai beside this tool)");
  command->callback([=] {
    finishCommand(runBuild(*manifest, *output,
                           player->empty() ? defaultPlayer() : fs::path(*player), std::cerr));
  });
}

void finishCommand(int status) {
  if (status != 0) throw CLI::RuntimeError(status);
}

}  // namespace kamishibai
