// Kamishibai: in-kernel range copies through a pipe, with a buffered fallback.
#include "platform/linux/file_copy_linux.h"

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/linux/handle_owner_posix.h"

namespace kamishibai {

namespace {

// The pipe's size asked for: the most an ordinary user may give one pipe by default. With the
// source at an offset off a page boundary, which package entries nearly always are, a copy
// through a pipe this large took about as long as `cp` here, where copy_file_range and
// sendfile, whose own pipe has sixteen slots, took half as long again.
constexpr int kPipeBytes = 1 << 20;
constexpr std::size_t kBufferBytes = 1 << 20;

// What one way of copying achieved: it copied everything, it could not go on and the next way
// should copy the rest, or a real error (or the end of the source) ended the copy.
enum class Outcome { Done, Refused, Failed };

// Errors that say a file system or file kind does not support the call, not that the data or
// the disk has a problem.
bool isRefusal(int error) {
  return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP ||
         error == EBADF;
}

struct Pipe {
  UniqueFd readEnd;
  UniqueFd writeEnd;
  std::size_t bytes = 0;  // what one splice into the empty pipe is asked to move
};

Pipe openPipe() {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) return {};
  Pipe pipe{UniqueFd(ends[0]), UniqueFd(ends[1])};
  // Where the system refuses the larger size the pipe keeps its own, which only copies slower.
  ::fcntl(ends[1], F_SETPIPE_SZ, kPipeBytes);
  const int size = ::fcntl(ends[1], F_GETPIPE_SZ);
  pipe.bytes = static_cast<std::size_t>(size > 0 ? size : 4096);
  return pipe;
}

// Reads `remaining` bytes with read(buffer, count) and writes them to `to`, a buffer at a time.
// False on an error, or when the reading ends early.
template <class Read>
bool copyThroughBuffer(Read read, std::uint64_t remaining, int to, const CopyCalls& calls) {
  std::vector<std::uint8_t> buffer(
      static_cast<std::size_t>(std::min<std::uint64_t>(remaining, kBufferBytes)));
  while (remaining > 0) {
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(remaining, buffer.size()));
    const ssize_t got = read(buffer.data(), want);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    if (!writeAll(to, buffer.data(), static_cast<std::size_t>(got), calls.write)) return false;
    remaining -= static_cast<std::uint64_t>(got);
  }
  return true;
}

Outcome emptyPipe(const CopyCalls& calls, int pipe, std::size_t bytes, int to) {
  while (bytes > 0) {
    const ssize_t moved = calls.splice(pipe, nullptr, to, nullptr, bytes, 0);
    if (moved < 0 && errno == EINTR) continue;
    if (moved < 0 && isRefusal(errno)) {
      // A target that refuses splice still gets what the pipe holds.
      const auto readPipe = [pipe](void* buffer, std::size_t count) {
        return ::read(pipe, buffer, count);
      };
      return copyThroughBuffer(readPipe, bytes, to, calls) ? Outcome::Refused : Outcome::Failed;
    }
    if (moved <= 0) return Outcome::Failed;
    bytes -= static_cast<std::size_t>(moved);
  }
  return Outcome::Done;
}

// Moves the range through the pipe a pipeful at a time, the pipe empty before each fill. The
// source's pages go into the pipe by reference and are copied once, into the target. A splice
// that moves nothing before the end counts as a refusal, so that the next way finds out whether
// the source really ends there.
Outcome spliceThroughPipe(const CopyCalls& calls, int from, std::uint64_t& offset,
                          std::uint64_t& remaining, int to) {
  const Pipe pipe = openPipe();
  if (!pipe.readEnd.valid()) return Outcome::Refused;
  while (remaining > 0) {
    auto at = static_cast<off64_t>(offset);
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(remaining, pipe.bytes));
    const ssize_t filled = calls.splice(from, &at, pipe.writeEnd.get(), nullptr, want, 0);
    if (filled < 0 && errno == EINTR) continue;
    if (filled < 0) return isRefusal(errno) ? Outcome::Refused : Outcome::Failed;
    if (filled == 0) return Outcome::Refused;
    const Outcome emptied =
        emptyPipe(calls, pipe.readEnd.get(), static_cast<std::size_t>(filled), to);
    if (emptied == Outcome::Failed) return emptied;
    offset += static_cast<std::uint64_t>(filled);
    remaining -= static_cast<std::uint64_t>(filled);
    if (emptied == Outcome::Refused) return remaining > 0 ? emptied : Outcome::Done;
  }
  return Outcome::Done;
}

}  // namespace

bool copyRange(int from, std::uint64_t offset, std::uint64_t length, int to,
               const CopyCalls& calls) {
  const Outcome spliced = spliceThroughPipe(calls, from, offset, length, to);
  if (spliced != Outcome::Refused) return spliced == Outcome::Done;
  const auto readSource = [&](void* buffer, std::size_t count) {
    const ssize_t got = calls.readAt(from, buffer, count, static_cast<off_t>(offset));
    if (got > 0) offset += static_cast<std::uint64_t>(got);
    return got;
  };
  return copyThroughBuffer(readSource, length, to, calls);
}

}  // namespace kamishibai
