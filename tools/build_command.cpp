// Kamishibai: kamishibai-pack build: a manifest and its files become a saver.
#include <fstream>
#include <iostream>
#include <map>

#include "platform/running_program.h"
#include "tools/commands.h"
#include "tools/manifest.h"
#include "tools/progress.h"
#include "tools/show_files.h"

namespace kamishibai {
namespace {

namespace fs = std::filesystem;

// The player beside the packer, with the packer's own ending (".exe" on Windows).
fs::path defaultPlayer() {
  const fs::path packer(runningExecutablePath());
  fs::path player = packer.parent_path() / "kamishibai";
  player += packer.extension();
  return player;
}

bool sameFile(const fs::path& a, const fs::path& b) {
  std::error_code error;
  if (fs::equivalent(a, b, error)) return true;
  return fs::weakly_canonical(a, error) == fs::weakly_canonical(b, error);
}

// Writing over an input would lose it: the output may be none of them.
void checkOutput(ShowPlan& plan, const fs::path& manifest, const fs::path& output,
                 const fs::path& player) {
  const std::string told = "the output " + output.string() + " is ";
  if (sameFile(output, manifest)) plan.problems.push_back({0, told + "the manifest itself"});
  if (sameFile(output, player)) plan.problems.push_back({0, told + "the player"});
  for (const PlannedFile& file : plan.files) {
    if (sameFile(output, file.path)) {
      plan.problems.push_back({file.line, told + "the file " + file.shownPath + " named here"});
    }
  }
}

void report(const fs::path& manifest, const std::vector<ManifestProblem>& lines,
            std::ostream& err) {
  for (const ManifestProblem& p : lines) {
    err << manifest.string();
    if (p.line > 0) err << ":" << p.line;
    err << ": " << p.message << "\n";
  }
}

// The player, then the package with each file streamed in as its place comes.
void writeSaver(const fs::path& temporary, const fs::path& player, const ShowPlan& plan,
                const std::vector<PreparedFile>& prepared, std::ostream* terminal) {
  std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
  PreparedFile playerFile;
  playerFile.source = player;
  playerFile.size = fs::file_size(player);
  if (!copyPrepared(playerFile, out)) throw std::runtime_error("the player cannot be read");
  std::uint64_t total = 0;
  for (const PreparedFile& file : prepared) total += file.size;
  Progress progress(terminal, "writing ", prepared.size(), total);
  // Arrays written without elements never reach the writer, so each is found by its place.
  std::map<const ByteArray*, int> fileOf;
  const PackageRecord& r = plan.record;
  fileOf[&r.BgmData] = plan.arrays[0].file;
  for (std::size_t e = 0; e < r.Pictures.entries.size(); ++e) {
    fileOf[&r.Pictures.entries[e].FileData] = plan.arrays[1 + 2 * e].file;
    fileOf[&r.Pictures.entries[e].SoundData] = plan.arrays[2 + 2 * e].file;
  }
  writePackage(r, out, [&](const ByteArray& array, std::ostream& to) {
    const int index = fileOf.at(&array);
    if (index < 0) return;
    if (!copyPrepared(prepared[index], to)) {
      throw std::runtime_error(plan.files[index].shownPath + " changed while the saver was built");
    }
    progress.fileDone(prepared[index].size);
  });
  out.close();
  if (out.fail()) throw std::runtime_error("the disk refused the bytes");
}

}  // namespace

int runBuild(const fs::path& manifest, const fs::path& output, const fs::path& player,
             std::ostream& err, std::ostream* terminal) {
  ShowPlan plan = planShowFile(manifest);
  checkOutput(plan, manifest, output, player);
  std::error_code error;
  if (!fs::is_regular_file(player, error)) {
    plan.problems.push_back({0, "the player " + player.string() + " cannot be read"});
  }
  Spool spool(output);
  const std::vector<PreparedFile> prepared = prepareFiles(plan, spool, terminal);
  completePlan(plan, prepared);
  report(manifest, plan.notes, err);
  if (!plan.problems.empty()) {
    report(manifest, plan.problems, err);
    err << plan.problems.size() << " problem(s); nothing was written\n";
    return 1;
  }
  const fs::path temporary = createTemporaryBeside(output);
  if (temporary.empty()) {
    err << "cannot create a file beside " << output << "\n";
    return 1;
  }
  try {
    writeSaver(temporary, player, plan, prepared, terminal);
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
                           player->empty() ? defaultPlayer() : fs::path(*player), std::cerr,
                           progressTerminal()));
  });
}

void finishCommand(int status) {
  if (status != 0) throw CLI::RuntimeError(status);
}

}  // namespace kamishibai
