// Kamishibai: copying file ranges when the file systems refuse splices (with each error that
// says so), when every call moves only a few bytes or is interrupted, when the source ends early,
// and when the disk fails.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <numeric>

#include "platform/linux/file_copy_linux.h"
#include "platform/linux/handle_owner_posix.h"
#include "tests/unit/scratch_folder.h"

namespace kamishibai {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Calls that fail with a chosen error, or move at most a few bytes per call. A splice with a
// source offset fills the copy's pipe from the file; one without empties the pipe into the target.
bool fillsThePipe(const off64_t* inOffset) {
  return inOffset != nullptr;
}
// Every error that says the file systems or file kinds take no splice.
template <int error>
ssize_t refuseSplice(int, off64_t*, int, off64_t*, std::size_t, unsigned) {
  errno = error;
  return -1;
}
ssize_t failSplice(int, off64_t*, int, off64_t*, std::size_t, unsigned) {
  errno = EIO;
  return -1;
}
ssize_t failWrite(int, const void*, std::size_t) {
  errno = ENOSPC;
  return -1;
}
ssize_t shortSplice(int in, off64_t* inOffset, int out, off64_t* outOffset, std::size_t length,
                    unsigned flags) {
  return ::splice(in, inOffset, out, outOffset, std::min<std::size_t>(length, 7), flags);
}
ssize_t shortWrite(int fd, const void* buffer, std::size_t count) {
  return ::write(fd, buffer, std::min<std::size_t>(count, 3));
}
// True on every other call: that call is interrupted by a signal.
bool interruptNow() {
  static bool interrupt = false;
  interrupt = !interrupt;
  if (interrupt) errno = EINTR;
  return interrupt;
}
ssize_t interruptedRead(int fd, void* buffer, std::size_t count, off_t offset) {
  return interruptNow() ? -1 : ::pread(fd, buffer, std::min<std::size_t>(count, 5), offset);
}
ssize_t interruptedWrite(int fd, const void* buffer, std::size_t count) {
  return interruptNow() ? -1 : shortWrite(fd, buffer, count);
}
// A target that takes no splices: what is already in the pipe must still reach it.
ssize_t refuseEmptying(int in, off64_t* inOffset, int out, off64_t* outOffset, std::size_t length,
                       unsigned flags) {
  if (!fillsThePipe(inOffset)) {
    return refuseSplice<EINVAL>(in, inOffset, out, outOffset, length, flags);
  }
  return shortSplice(in, inOffset, out, outOffset, length, flags);
}
// Empties the pipe only in part before the disk fills up.
ssize_t diskFullWhileEmptying(int in, off64_t* inOffset, int out, off64_t* outOffset,
                              std::size_t length, unsigned flags) {
  if (!fillsThePipe(inOffset) && length < 7) {
    errno = ENOSPC;
    return -1;
  }
  return ::splice(in, inOffset, out, outOffset, fillsThePipe(inOffset) ? length : 5, flags);
}
// Interrupted on every other call, and moves a little on the others: the copy goes on.
ssize_t interruptedSplice(int in, off64_t* inOffset, int out, off64_t* outOffset,
                          std::size_t length, unsigned flags) {
  return interruptNow() ? -1 : shortSplice(in, inOffset, out, outOffset, length, flags);
}
// Fills the pipe a first time, then refuses: the buffered way must go on from there.
ssize_t fillOnceThenRefuse(int in, off64_t* inOffset, int out, off64_t* outOffset,
                           std::size_t length, unsigned flags) {
  static int fills = 0;
  if (fillsThePipe(inOffset) && ++fills % 2 == 0) {
    return refuseSplice<EXDEV>(in, inOffset, out, outOffset, length, flags);
  }
  return shortSplice(in, inOffset, out, outOffset, length, flags);
}

struct Way {
  const char* name;
  CopyCalls calls;
};

std::vector<Way> waysThatWork() {
  CopyCalls shortEverywhere, shortBuffer, targetRefuses, interrupted, interruptedBuffer, switching;
  shortEverywhere.splice = shortSplice;
  shortBuffer.splice = refuseSplice<EINVAL>;
  shortBuffer.write = shortWrite;
  targetRefuses.splice = refuseEmptying;
  targetRefuses.write = shortWrite;
  interrupted.splice = interruptedSplice;
  interruptedBuffer.splice = refuseSplice<ENOSYS>;
  interruptedBuffer.readAt = interruptedRead;
  interruptedBuffer.write = interruptedWrite;
  switching.splice = fillOnceThenRefuse;
  std::vector<Way> ways = {{"through the pipe", {}},
                           {"seven bytes per splice", shortEverywhere},
                           {"three bytes per write", shortBuffer},
                           {"a target that takes no splices", targetRefuses},
                           {"interrupted splices", interrupted},
                           {"interrupted reads and writes", interruptedBuffer},
                           {"the pipe, then read and write", switching}};
  for (const auto& [name, refusal] : {std::pair{"ENOSYS", &refuseSplice<ENOSYS>},
                                      {"EOPNOTSUPP", &refuseSplice<EOPNOTSUPP>},
                                      {"EXDEV", &refuseSplice<EXDEV>},
                                      {"EBADF", &refuseSplice<EBADF>},
                                      {"EINVAL", &refuseSplice<EINVAL>}}) {
    CopyCalls bufferOnly;
    bufferOnly.splice = refusal;
    ways.push_back({name, bufferOnly});
  }
  return ways;
}

class CopyRangeTest : public ::testing::Test {
 protected:
  CopyRangeTest() : source_(3 * 4096 + 123) {
    std::iota(source_.begin(), source_.end(), std::uint8_t{1});
    writeBytes(scratch_.path() / "source", source_);
  }

  // Copies the range into a new file after a prefix, so that the target position counts too.
  bool copy(std::uint64_t offset, std::uint64_t length, const CopyCalls& calls) {
    const UniqueFd from(::open((scratch_.path() / "source").c_str(), O_RDONLY | O_CLOEXEC));
    const UniqueFd to(::open((scratch_.path() / "target").c_str(),
                             O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    writeAll(to.get(), "ab", 2);
    return copyRange(from.get(), offset, length, to.get(), calls);
  }
  Bytes target() const { return readBytes(scratch_.path() / "target"); }
  Bytes expected(std::size_t offset, std::size_t length) const {
    Bytes bytes{'a', 'b'};
    bytes.insert(bytes.end(), source_.begin() + static_cast<std::ptrdiff_t>(offset),
                 source_.begin() + static_cast<std::ptrdiff_t>(offset + length));
    return bytes;
  }

  ScratchFolder scratch_;
  Bytes source_;
};

TEST_F(CopyRangeTest, EveryWayCopiesExactlyTheRangeFromOddOffsets) {
  for (const Way& way : waysThatWork()) {
    for (const auto& [offset, length] : std::vector<std::pair<std::size_t, std::size_t>>{
             {0, 0}, {0, source_.size()}, {1, 1}, {4095, 4099}, {777, source_.size() - 777}}) {
      ASSERT_TRUE(copy(offset, length, way.calls)) << way.name << " at " << offset;
      EXPECT_EQ(target(), expected(offset, length)) << way.name << " at " << offset;
    }
  }
}

TEST_F(CopyRangeTest, ASourceThatEndsBeforeTheRangeFailsInEveryWay) {
  for (const Way& way : waysThatWork()) {
    EXPECT_FALSE(copy(source_.size() - 10, 11, way.calls)) << way.name;
    EXPECT_FALSE(copy(source_.size() + 5, 1, way.calls)) << way.name;
  }
}

TEST_F(CopyRangeTest, RealErrorsEndTheCopyInsteadOfFallingBack) {
  CopyCalls diskError;
  diskError.splice = failSplice;
  EXPECT_FALSE(copy(0, 100, diskError));
  EXPECT_EQ(target(), expected(0, 0));  // read and write were not tried after the error

  CopyCalls fullWhileEmptying;
  fullWhileEmptying.splice = diskFullWhileEmptying;
  EXPECT_FALSE(copy(0, 100, fullWhileEmptying));

  CopyCalls fullDisk;
  fullDisk.splice = refuseSplice<EINVAL>;
  fullDisk.write = failWrite;
  EXPECT_FALSE(copy(0, 100, fullDisk));
}

}  // namespace
}  // namespace kamishibai
