// Kamishibai: the files of a planned show, checked and converted on every core, then streamed
// into the package one at a time.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "platform/output_file.h"
#include "tools/manifest.h"
#include "tools/progress.h"

namespace kamishibai {

// The converted pictures until the saver is written: a temporary file beside the output, made
// with the first picture and removed when the spool goes (or an end signal ends the program).
class Spool {
 public:
  explicit Spool(std::filesystem::path beside);
  Spool(const Spool&) = delete;
  Spool& operator=(const Spool&) = delete;

  // Where the appended bytes can be read; valid once something was appended.
  std::filesystem::path path() const;
  // Appends the bytes (from any thread) and gives their offset; throws std::runtime_error naming
  // the cause when they cannot be written.
  std::uint64_t append(std::span<const std::uint8_t> bytes);

 private:
  std::filesystem::path beside_;
  std::unique_ptr<OutputFile> file_;
  std::uint64_t size_ = 0;
  mutable std::mutex mutex_;
};

// Where the bytes of a planned file are, once it is checked.
struct PreparedFile {
  std::string problem;           // empty when the file can go into the package
  std::filesystem::path source;  // the input itself, or the spool
  std::uint64_t offset = 0;
  std::uint64_t size = 0;
  bool converted = false;
  bool png = false;
  int width = 0;  // the stored picture's size; 0 when not known
  int height = 0;
  int orientation = 1;
};

// Reads the whole file into bytes; false when it cannot be read.
bool readWhole(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes);

// Checks every file of the plan: pictures are read from their header first (a picture too large
// is refused before decoding), decoded, and fitted or converted where the plan asks; music and
// sounds must load. Converted pictures go to the spool.
std::vector<PreparedFile> prepareFiles(const ShowPlan& plan, Spool& spool, std::ostream* terminal,
                                       const ProgressListener& listener = {});

// Completes the plan with what the files showed: sizes, array shapes, centred positions of
// fitted pictures, names of converted pictures, unique stored names; adds problems and notes.
void completePlan(ShowPlan& plan, const std::vector<PreparedFile>& prepared);

// Copies the file's bytes to out; false when the file no longer holds what was checked.
bool copyPrepared(const PreparedFile& file, std::ostream& out);

}  // namespace kamishibai
