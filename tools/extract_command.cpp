// Kamishibai: kamishibai-pack extract: the packaged files of a saver and a manifest that builds
// the same saver again.
#include <fstream>
#include <iostream>
#include <map>

#include "formats/package.h"
#include "formats/stored_name.h"
#include "platform/audio_probe.h"
#include "platform/source_file.h"
#include "tools/commands.h"
#include "tools/manifest.h"
#include "tools/progress.h"
#include "tools/utf8.h"

namespace kamishibai {
namespace {

namespace fs = std::filesystem;

constexpr const char* kManifestName = "show.toml";

// The files to write, by stored name; the same name must always carry the same bytes.
using FileSet = std::map<std::string, ByteBuffer>;

void collect(FileSet& files, const std::string& name, const ByteBuffer& bytes, bool present,
             std::vector<std::string>& problems) {
  if (name.empty()) {
    if (!bytes.empty()) problems.push_back("file bytes without a stored name cannot be extracted");
    return;
  }
  if (!present) return;
  if (const std::string_view trouble = storedNameProblem(name); !trouble.empty()) {
    problems.push_back("stored name '" + name + "': " + std::string(trouble));
  } else if (!isValidUtf8(name)) {
    problems.push_back("stored name '" + name + "' is not UTF-8 and cannot go into a manifest");
  } else if (name == kManifestName) {
    problems.push_back("stored name '" + name + "' is the manifest's own name");
  } else if (const auto [it, inserted] = files.try_emplace(name, bytes);
             !inserted && !it->second.sameBytesAs(bytes)) {
    problems.push_back("stored name '" + name + "' holds different files");
  }
}

FileSet filesOf(const PackageRecord& r, std::vector<std::string>& problems) {
  FileSet files;
  collect(files, r.BgmName, r.BgmData.data, true, problems);
  for (const PictureEntry& e : r.Pictures.entries) {
    collect(files, e.FileName, e.FileData.data, true, problems);
    collect(files, e.SoundName, e.SoundData.data, !e.SoundName.empty(), problems);
  }
  return files;
}

bool writeFile(const fs::path& path, std::span<const std::uint8_t> bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

// Files still in the saver are copied from there, without passing through memory.
bool writeFile(const fs::path& path, const ByteBuffer& bytes) {
  if (const SourceFile* file = bytes.sourceFile()) {
    return file->copyToFile(bytes.sourceOffset(), bytes.size(), path);
  }
  return writeFile(path, bytes.bytes());
}

bool writeFiles(const fs::path& dir, const FileSet& files, std::ostream& err,
                std::ostream* terminal) {
  std::uint64_t total = 0;
  for (const auto& entry : files) total += entry.second.size();
  Progress progress(terminal, "writing", files.size(), total);
  for (const auto& [name, bytes] : files) {
    if (!writeFile(dir / name, bytes)) {
      err << (dir / name).string() << ": cannot be written\n";
      return false;
    }
    progress.fileDone(bytes.size());
  }
  return true;
}

// The music and sounds, as written into dir, that the audio library cannot load: build takes
// them as they are (raw) so that it gives back the same file.
std::set<std::string> unplayable(const PackageRecord& r, const fs::path& dir) {
  std::set<std::string> names;
  const auto check = [&](const std::string& name, AudioUse use) {
    if (!name.empty() && !audioProblem(dir / name, use).empty()) names.insert(name);
  };
  check(r.BgmName, AudioUse::Music);
  for (const PictureEntry& e : r.Pictures.entries) check(e.SoundName, AudioUse::Sound);
  return names;
}

bool usableFolder(const fs::path& dir) {
  std::error_code error;
  if (!fs::exists(dir, error)) return fs::create_directories(dir, error);
  return fs::is_directory(dir, error) && fs::is_empty(dir, error);
}

}  // namespace

int runExtract(const fs::path& file, const fs::path& dir, std::ostream& out, std::ostream& err,
               std::ostream* terminal) {
  const PackageReading reading = inspectPackage(openSourceFile(file));
  if (!reading.found) {
    err << file.string() << (reading.opened ? ": holds no package\n" : ": cannot be read\n");
    return 1;
  }
  std::vector<std::string> problems;
  const FileSet files = filesOf(reading.record, problems);
  for (const std::string& problem : problems) err << file.string() << ": " << problem << "\n";
  if (!problems.empty()) {
    err << "nothing was extracted\n";
    return 1;
  }
  if (!usableFolder(dir)) {
    err << dir.string() << ": must be a new or empty folder\n";
    return 1;
  }
  if (!writeFiles(dir, files, err, terminal)) return 1;
  const std::string manifest = manifestFor(reading.record, unplayable(reading.record, dir));
  if (!writeFile(dir / kManifestName,
                 {reinterpret_cast<const std::uint8_t*>(manifest.data()), manifest.size()})) {
    err << (dir / kManifestName).string() << ": cannot be written\n";
    return 1;
  }
  out << files.size() << " files and " << kManifestName << " written to " << dir.string() << "\n";
  if (!reading.intact()) {
    err << file.string()
        << ": the package is damaged; building the manifest will not give the same "
           "file\n";
    return 1;
  }
  return 0;
}

void addExtractCommand(CLI::App& app) {
  auto* command =
      app.add_subcommand("extract", "Write the packaged files of a saver and a manifest for them");
  auto file = std::make_shared<std::string>();
  auto dir = std::make_shared<std::string>();
  command->add_option("file", *file, "The saver")->required();
  command->add_option("-o,--output", *dir, "A new or empty folder")->required();
  command->callback(
      [=] { finishCommand(runExtract(*file, *dir, std::cout, std::cerr, progressTerminal())); });
}

}  // namespace kamishibai
