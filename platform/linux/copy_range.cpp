// Kamishibai: in-kernel range copies with their fallbacks.
#include "platform/linux/copy_range.h"

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/linux/unique_fd.h"

namespace kamishibai {

namespace {

// The most one call is asked to move; the kernel moves at most about 2 GiB per call anyway.
constexpr std::uint64_t kLargestCall = std::uint64_t{1} << 30;
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

std::size_t nextChunk(std::uint64_t remaining) {
  return static_cast<std::size_t>(std::min(remaining, kLargestCall));
}

// Repeats one in-kernel call until the range is copied. A call that copies nothing before the
// end counts as a refusal, so that the next way finds out whether the source really ends there.
template <class Call>
Outcome copyWith(Call call, std::uint64_t& offset, std::uint64_t& remaining) {
  while (remaining > 0) {
    const ssize_t copied = call(offset, nextChunk(remaining));
    if (copied < 0) {
      if (errno == EINTR) continue;
      return isRefusal(errno) ? Outcome::Refused : Outcome::Failed;
    }
    if (copied == 0) return Outcome::Refused;
    offset += static_cast<std::uint64_t>(copied);
    remaining -= static_cast<std::uint64_t>(copied);
  }
  return Outcome::Done;
}

bool copyThroughBuffer(const CopyCalls& calls, int from, std::uint64_t offset,
                       std::uint64_t remaining, int to) {
  std::vector<std::uint8_t> buffer(
      static_cast<std::size_t>(std::min<std::uint64_t>(remaining, kBufferBytes)));
  while (remaining > 0) {
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(remaining, buffer.size()));
    const ssize_t got = calls.readAt(from, buffer.data(), want, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;  // an error, or the source ends before the range
    if (!writeAll(to, buffer.data(), static_cast<std::size_t>(got), calls.write)) return false;
    offset += static_cast<std::uint64_t>(got);
    remaining -= static_cast<std::uint64_t>(got);
  }
  return true;
}

}  // namespace

bool copyRange(int from, std::uint64_t offset, std::uint64_t length, int to,
               const CopyCalls& calls) {
  const Outcome inKernel = copyWith(
      [&](std::uint64_t at, std::size_t count) {
        auto in = static_cast<off64_t>(at);
        return calls.copyFileRange(from, &in, to, nullptr, count, 0);
      },
      offset, length);
  if (inKernel != Outcome::Refused) return inKernel == Outcome::Done;
  const Outcome sent = copyWith(
      [&](std::uint64_t at, std::size_t count) {
        auto in = static_cast<off_t>(at);
        return calls.sendFile(to, from, &in, count);
      },
      offset, length);
  if (sent != Outcome::Refused) return sent == Outcome::Done;
  return copyThroughBuffer(calls, from, offset, length, to);
}

}  // namespace kamishibai
