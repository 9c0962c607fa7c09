// Kamishibai: work files on a disk that fills up while the show unpacks: a file that does not fit
// is removed, never left cut short for the show to find, and the files that fit are written.
#include <gtest/gtest.h>

#include "platform/source_file.h"
#include "platform/work_files.h"
#include "tests/unit/scratch_folder.h"
#include "tests/unit/small_disk.h"

namespace kamishibai {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(WorkFilesOnAFullDisk, AFileThatDoesNotFitIsRemovedAndTheNextIsWritten) {
  ScratchFolder scratch;
  const SmallDisk disk(scratch.path() / "disk", 64 * 1024);
  if (!disk.mounted()) GTEST_SKIP() << disk.reason();
  const std::string folder = (scratch.path() / "disk").string();
  const Bytes large(200000, 7);
  writeBytes(scratch.path() / "package", large);
  const auto package = openSourceFile(scratch.path() / "package");

  EXPECT_FALSE(createFileIn(folder, "in-memory.jpg", large));
  EXPECT_FALSE(createFileIn(folder, "copied.jpg", *package, 0, large.size()));
  EXPECT_TRUE(createFileIn(folder, "small.jpg", *package, 10, 1000));
  EXPECT_EQ(namesIn(folder), std::vector<std::string>{"small.jpg"});
  EXPECT_EQ(readBytes(scratch.path() / "disk" / "small.jpg"), Bytes(1000, 7));
}

}  // namespace
}  // namespace kamishibai
