// Kamishibai: output files on Linux: never through a FIFO, a device or a link, the system's own
// cause on a full or read-only disk, and no temporary file left by an end signal.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <stdexcept>

#include "platform/output_file.h"
#include "tests/unit/scratch_folder.h"
#include "tests/unit/small_disk.h"

namespace kamishibai {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

std::string errorOf(const fs::path& target) {
  try {
    OutputFile file(target, ExistingTarget::Replace);
    file.write(std::vector<std::uint8_t>(200'000, 7));
    file.commit();
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return {};
}

TEST(OutputFilePosix, NodesAndLinksAreRefusedAndStayAsTheyWere) {
  ScratchFolder folder;
  const fs::path fifo = folder.path() / "fifo", link = folder.path() / "link";
  const fs::path device = folder.path() / "null";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  writeBytes(folder.path() / "saver", {1, 2, 3});
  fs::create_symlink("saver", link);
  const bool root = ::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
  EXPECT_THAT(errorOf(fifo), HasSubstr("is a FIFO, not a regular file"));
  EXPECT_THAT(errorOf(link), HasSubstr("is a symbolic link"));
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(readBytes(folder.path() / "saver"), (std::vector<std::uint8_t>{1, 2, 3}));
  if (root) {
    EXPECT_THAT(errorOf(device), HasSubstr("is a device, not a regular file"));
    EXPECT_TRUE(fs::is_character_file(device));
  }
  EXPECT_EQ(namesIn(folder.path()).size(), root ? 4u : 3u);
  if (!root) GTEST_SKIP() << "a device node needs root to be made";
}

TEST(OutputFilePosix, AFullOrReadOnlyDiskIsNamedAndLeavesNothing) {
  ScratchFolder folder;
  const SmallDisk full(folder.path() / "full", 64 * 1024);
  const SmallDisk readOnly(folder.path() / "ro", 64 * 1024, SmallDisk::Mode::ReadOnly);
  if (!full.mounted()) GTEST_SKIP() << full.reason();
  EXPECT_THAT(errorOf(full.path() / "out.scr"),
              HasSubstr("cannot write " + (full.path() / "out.scr").string() +
                        ": No space left on device"));
  EXPECT_TRUE(namesIn(full.path()).empty());
  EXPECT_THAT(errorOf(readOnly.path() / "out.scr"), HasSubstr("Read-only file system"));
}

TEST(OutputFilePosix, AnEndSignalRemovesTheTemporaryFile) {
  ScratchFolder folder;
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    EXPECT_EXIT(
        {
          OutputFile file(folder.path() / "out.scr", ExistingTarget::Replace);
          file.write(std::vector<std::uint8_t>{1, 2, 3});
          ::raise(signal);
        },
        ::testing::KilledBySignal(signal), "");
    EXPECT_TRUE(namesIn(folder.path()).empty()) << "signal " << signal;
  }
}

}  // namespace
}  // namespace kamishibai
