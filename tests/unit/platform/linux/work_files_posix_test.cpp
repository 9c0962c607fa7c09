// Kamishibai: work files on a disk that fills up while the show unpacks: a file that does not fit
// is removed, never left cut short for the show to find, and the files that fit are written.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include "platform/source_file.h"
#include "platform/work_files.h"
#include "tests/unit/scratch_folder.h"

namespace kamishibai {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A file system of 64 KiB mounted on a folder for the life of the object.
class SmallDisk {
 public:
  explicit SmallDisk(const std::filesystem::path& folder) : folder_(folder) {
    std::filesystem::create_directory(folder);
    mounted_ = ::mount("tmpfs", folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k") == 0;
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;
  bool mounted() const { return mounted_; }

 private:
  std::filesystem::path folder_;
  bool mounted_ = false;
};

TEST(WorkFilesOnAFullDisk, AFileThatDoesNotFitIsRemovedAndTheNextIsWritten) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
  ScratchFolder scratch;
  const SmallDisk disk(scratch.path() / "disk");
  ASSERT_TRUE(disk.mounted());
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
