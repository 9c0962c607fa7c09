// Kamishibai: a file that parts are read from at given offsets and copied out of, so that a large
// file can be used without holding it in memory. The platform opens files of the system
// (platform/source_file.h); the package reader only reads them.
#pragma once

#include <cstdint>
#include <span>

namespace kamishibai {

class SourceFile {
 public:
  virtual ~SourceFile() = default;

  // The file's size when it was opened.
  virtual std::uint64_t size() const = 0;
  // The system's handle of the open file, for the platform's own copying.
  virtual std::intptr_t handle() const = 0;

  // Reads out.size() bytes from offset on; false when the file does not hold them (any more).
  virtual bool readAt(std::uint64_t offset, std::span<std::uint8_t> out) const = 0;
  // Tells the system that the range will not be read again soon, so that it need not keep the
  // range's pages in memory.
  virtual void release(std::uint64_t offset, std::uint64_t length) const = 0;
};

}  // namespace kamishibai
