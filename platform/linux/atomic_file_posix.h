// Kamishibai: a file's new contents written out beside it before they replace it, so that several
// files can be changed together with nothing but renames left to fail.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace kamishibai {

class StagedFile {
 public:
  // Writes the bytes to a new temporary file in path's folder, gives it the permissions, flushes
  // it to disk and closes it, every step checked; a std::system_error names the reason when one
  // fails, and nothing is left behind.
  StagedFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
             std::filesystem::perms permissions);
  // Removes the temporary file unless it was committed.
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  // Renames the temporary file over path; a std::system_error when it cannot, and path is then
  // as it was.
  void commit();

 private:
  std::filesystem::path path_;
  std::string temporary_;
  bool committed_ = false;
};

}  // namespace kamishibai
