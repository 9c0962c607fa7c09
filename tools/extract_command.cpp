// Kamishibai: kamishibai-pack extract: the packaged files of a saver and a manifest that builds
// the same saver again.
#include <iostream>
#include <map>

#include "base/file_names.h"
#include "formats/package.h"
#include "formats/stored_name.h"
#include "platform/audio_probe.h"
#include "platform/output_file.h"
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

class FileCollector {
 public:
  explicit FileCollector(std::vector<std::string>& problems) : problems_(problems) {}

  void collect(const std::string& name, const ByteBuffer& bytes, bool present) {
    if (name.empty()) {
      if (!bytes.empty())
        problems_.push_back("file bytes without a stored name cannot be extracted");
      return;
    }
    if (!present) return;
    if (const std::string_view trouble = storedNameProblem(name); !trouble.empty()) {
      problems_.push_back("stored name '" + name + "': " + std::string(trouble));
    } else if (!isValidUtf8(name)) {
      problems_.push_back("stored name '" + name + "' is not UTF-8 and cannot go into a manifest");
    } else if (sameFileName(name, kManifestName)) {
      problems_.push_back("stored name '" + name + "' is the manifest's own name");
    } else if (const auto [it, inserted] = files_.try_emplace(name, bytes);
               !inserted && !it->second.sameBytesAs(bytes)) {
      problems_.push_back("stored name '" + name + "' holds different files");
    } else if (const auto [first, unseen] = firstOfFolded_.try_emplace(folded(name), name);
               first->second != name) {
      problems_.push_back("stored name '" + name + "' differs only in letter case from '" +
                          first->second + "', and this system keeps one file for both");
    }
  }

  FileSet files() && { return std::move(files_); }

 private:
  // Where names differ only in letter case, they are one file (Windows).
  static std::string folded(const std::string& name) {
    return kWindowsFileNames ? foldedCase(name) : name;
  }
  static bool sameFileName(const std::string& a, const std::string& b) {
    return folded(a) == folded(b);
  }

  std::vector<std::string>& problems_;
  FileSet files_;
  std::map<std::string, std::string> firstOfFolded_;
};

FileSet filesOf(const PackageRecord& r, std::vector<std::string>& problems) {
  FileCollector files(problems);
  files.collect(r.BgmName, r.BgmData.data, true);
  for (const PictureEntry& e : r.Pictures.entries) {
    files.collect(e.FileName, e.FileData.data, true);
    files.collect(e.SoundName, e.SoundData.data, !e.SoundName.empty());
  }
  return std::move(files).files();
}

// A file that did not exist, written whole or not at all. Files still in the saver are copied
// from there, without passing through memory.
void writeFile(const fs::path& path, const ByteBuffer& bytes) {
  OutputFile file(path, ExistingTarget::Refuse);
  if (const SourceFile* source = bytes.sourceFile()) {
    file.copyFrom(*source, bytes.sourceOffset(), bytes.size());
  } else {
    file.write(bytes.bytes());
  }
  file.commit();
}

// What extract made, removed again when it fails, so that the folder is as it was.
class Written {
 public:
  explicit Written(fs::path dir, bool madeFolder) : dir_(std::move(dir)), madeFolder_(madeFolder) {}
  ~Written() {
    if (kept_) return;
    std::error_code error;
    for (const fs::path& file : files_) fs::remove(file, error);
    if (madeFolder_) fs::remove(dir_, error);
  }
  Written(const Written&) = delete;
  Written& operator=(const Written&) = delete;

  void write(const std::string& name, const ByteBuffer& bytes) {
    const fs::path path = dir_ / pathFromUtf8(name);
    writeFile(path, bytes);
    files_.push_back(path);
  }
  void keep() { kept_ = true; }

 private:
  fs::path dir_;
  bool madeFolder_;
  std::vector<fs::path> files_;
  bool kept_ = false;
};

// The music and sounds, as written into dir, that the audio library cannot load: build takes
// them as they are (raw) so that it gives back the same file.
std::set<std::string> unplayable(const PackageRecord& r, const fs::path& dir) {
  std::set<std::string> names;
  const auto check = [&](const std::string& name, AudioUse use) {
    if (!name.empty() && !audioProblem(dir / pathFromUtf8(name), use).empty()) names.insert(name);
  };
  check(r.BgmName, AudioUse::Music);
  for (const PictureEntry& e : r.Pictures.entries) check(e.SoundName, AudioUse::Sound);
  return names;
}

// Empty when dir is an empty folder, made when it is missing; else why it cannot be used.
std::string folderProblem(const fs::path& dir, bool& made) {
  std::error_code error;
  if (!fs::exists(fs::symlink_status(dir, error))) {
    made = fs::create_directories(dir, error);
    return made ? "" : "cannot be made: " + error.message();
  }
  if (!fs::is_directory(dir, error)) return "is not a folder";
  if (!fs::is_empty(dir, error))
    return error ? "cannot be read: " + error.message()
                 : "is not empty; give a new or empty folder";
  return {};
}

}  // namespace

int runExtract(const fs::path& file, const fs::path& dir, std::ostream& out, std::ostream& err,
               std::ostream* terminal) {
  const std::string saver = terminalText(utf8Of(file), Backslashes::Kept);
  const PackageReading reading = inspectPackage(openSourceFile(file));
  if (!reading.found) {
    err << saver << (reading.opened ? ": holds no package\n" : ": cannot be read\n");
    return 1;
  }
  std::vector<std::string> problems;
  const FileSet files = filesOf(reading.record, problems);
  for (const std::string& problem : problems)
    err << saver << ": " << terminalText(problem, Backslashes::Kept) << "\n";
  if (!problems.empty()) {
    err << "nothing was extracted\n";
    return 1;
  }
  bool made = false;
  if (const std::string problem = folderProblem(dir, made); !problem.empty()) {
    err << terminalText(utf8Of(dir) + " " + problem, Backslashes::Kept) << "\n";
    return 1;
  }
  Written written(dir, made);
  try {
    std::uint64_t total = 0;
    for (const auto& entry : files) total += entry.second.size();
    Progress progress(terminal, "writing", files.size(), total);
    for (const auto& [name, bytes] : files) {
      written.write(name, bytes);
      progress.fileDone(bytes.size());
    }
    const std::string manifest = manifestFor(reading.record, unplayable(reading.record, dir));
    written.write(kManifestName,
                  ByteBuffer(std::vector<std::uint8_t>(manifest.begin(), manifest.end())));
  } catch (const std::exception& e) {
    err << terminalText(e.what(), Backslashes::Kept) << "; nothing was extracted\n";
    return 1;
  }
  written.keep();
  out << files.size() << " files and " << kManifestName << " written to "
      << terminalText(utf8Of(dir), Backslashes::Kept) << "\n";
  if (!reading.intact()) {
    err << saver
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
  command->callback([=] {
    finishCommand(runExtract(pathFromUtf8(*file), pathFromUtf8(*dir), std::cout, std::cerr,
                             progressTerminal()));
  });
}

}  // namespace kamishibai
