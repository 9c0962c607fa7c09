// Kamishibai: the files the tools write. Each is written under a temporary name in its target's
// folder and takes the target's name only once every write, the flush to disk and the close have
// succeeded, so a target is either as it was or complete. The temporary file is removed on any
// failure and when the program is ended by SIGINT, SIGTERM or SIGHUP (Ctrl+C or a closed console
// on Windows).
#pragma once

#include <cstdint>
#include <exception>
#include <filesystem>
#include <memory>
#include <ostream>
#include <span>
#include <streambuf>
#include <string>

#include "formats/source_file.h"

namespace kamishibai {

// Why a tool may not write to target: it exists and is not a regular file (a folder, a device, a
// FIFO, a socket) or it is a symbolic link, which is never followed. Empty when it may.
std::string outputTargetProblem(const std::filesystem::path& target);

// True when both paths lead to one file, through links or other spellings: an output that is an
// input would lose the input.
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// What becomes of an entry of the target's name when the file is committed.
enum class ExistingTarget {
  Replace,  // a regular file of that name is replaced
  Refuse,   // the file is made only where no entry of that name exists
};

// A new file beside its target, removed again unless it is committed. Every failure throws
// std::runtime_error naming the file and the system's own cause (no space left on the device, a
// read-only file system, no permission).
class OutputFile {
 public:
  // Refuses what outputTargetProblem refuses (and, with Refuse, any entry of the target's name),
  // then creates the temporary file.
  OutputFile(std::filesystem::path target, ExistingTarget existing);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  const std::filesystem::path& target() const { return target_; }
  // Where the bytes are until the commit; what was written can be read back from there.
  const std::filesystem::path& temporaryPath() const { return temporary_; }

  void write(std::span<const std::uint8_t> bytes);
  // Copies length bytes from offset on of the source, inside the system where it can.
  void copyFrom(const SourceFile& source, std::uint64_t offset, std::uint64_t length);
  // The file as a buffered stream, for writers of std::ostream. A failing write sets its badbit;
  // commit() then throws that write's error.
  std::ostream& stream();

  // Flushes the bytes to disk, closes the file, adds the permissions and gives it the target's
  // name.
  void commit(std::filesystem::perms add = std::filesystem::perms::none);

 private:
  friend class OutputBuffer;

  // The system's part: the temporary file opened, written, closed and renamed.
  void open();
  void writeBytes(std::span<const std::uint8_t> bytes);
  void finish(std::filesystem::perms add);
  void discard() noexcept;
  [[noreturn]] void fail(const std::string& doing) const;

  std::filesystem::path target_;
  std::filesystem::path temporary_;
  ExistingTarget existing_;
  std::intptr_t handle_ = -1;  // the open temporary file; -1 once closed
  int slot_ = -1;              // where the end-signal handler finds the temporary file
  bool committed_ = false;
  std::unique_ptr<std::streambuf> buffer_;
  std::unique_ptr<std::ostream> stream_;
  std::exception_ptr streamError_;
};

}  // namespace kamishibai
