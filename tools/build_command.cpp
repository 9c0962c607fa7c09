// Kamishibai: kamishibai-pack build: a manifest and its files become a saver.
#include <iostream>
#include <map>

#include "base/file_names.h"
#include "platform/output_file.h"
#include "platform/running_program.h"
#include "tools/commands.h"
#include "tools/manifest.h"
#include "tools/progress.h"
#include "tools/show_files.h"
#include "tools/utf8.h"

namespace kamishibai {
namespace {

namespace fs = std::filesystem;

// The player beside the packer, with the packer's own ending (".exe" on Windows).
fs::path defaultPlayer() {
  const fs::path packer = pathFromUtf8(runningExecutablePath());
  fs::path player = packer.parent_path() / "kamishibai";
  player += packer.extension();
  return player;
}

// Writing over an input would lose it, and writing through a device, a FIFO or a link would
// reach what is not the user's saver: the output may be none of them. True when it is usable.
bool checkOutput(ShowPlan& plan, const fs::path& manifest, const fs::path& output,
                 const fs::path& player) {
  const std::size_t before = plan.problems.size();
  const std::string told = "the output " + utf8Of(output) + " ";
  if (const std::string problem = outputTargetProblem(output); !problem.empty()) {
    plan.problems.push_back({0, told + problem});
  }
  if (sameFile(output, manifest)) plan.problems.push_back({0, told + "is the manifest itself"});
  if (sameFile(output, player)) plan.problems.push_back({0, told + "is the player"});
  for (const PlannedFile& file : plan.files) {
    if (sameFile(output, file.path)) {
      plan.problems.push_back({file.line, told + "is the file " + file.shownPath + " named here"});
    }
  }
  return plan.problems.size() == before;
}

void report(const fs::path& manifest, const std::vector<ManifestProblem>& lines,
            std::ostream& err) {
  for (const ManifestProblem& p : lines) {
    std::string line = utf8Of(manifest);
    if (p.line > 0) line += ":" + std::to_string(p.line);
    err << terminalText(line + ": " + p.message, Backslashes::Kept) << "\n";
  }
}

// The player, then the package with each file streamed in as its place comes.
void writeSaver(OutputFile& saver, const fs::path& player, const ShowPlan& plan,
                const std::vector<PreparedFile>& prepared, std::ostream* terminal) {
  std::ostream& out = saver.stream();
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
}

}  // namespace

int runBuild(const fs::path& manifest, const fs::path& output, const fs::path& player,
             std::ostream& err, std::ostream* terminal) {
  ShowPlan plan = planShowFile(manifest);
  std::error_code error;
  if (!fs::is_regular_file(player, error)) {
    plan.problems.push_back({0, "the player " + utf8Of(player) + " cannot be read"});
  }
  // The converted pictures wait beside the output, so nothing is made there before the output
  // is known to be usable.
  Spool spool(output);
  std::vector<PreparedFile> prepared;
  if (checkOutput(plan, manifest, output, player)) {
    prepared = prepareFiles(plan, spool, terminal);
    completePlan(plan, prepared);
  }
  report(manifest, plan.notes, err);
  if (!plan.problems.empty()) {
    sortByLine(plan.problems);
    report(manifest, plan.problems, err);
    err << plan.problems.size() << " problem(s); nothing was written\n";
    return 1;
  }
  try {
    OutputFile saver(output, ExistingTarget::Replace);
    writeSaver(saver, player, plan, prepared, terminal);
    saver.commit(fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec);
  } catch (const std::exception& e) {
    err << terminalText(e.what(), Backslashes::Kept) << "; nothing was written\n";
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
    finishCommand(runBuild(pathFromUtf8(*manifest), pathFromUtf8(*output),
                           player->empty() ? defaultPlayer() : pathFromUtf8(*player), std::cerr,
                           progressTerminal()));
  });
}

void finishCommand(int status) {
  if (status != 0) throw CLI::RuntimeError(status);
}

}  // namespace kamishibai
