// Kamishibai: what counts as a normal file where the settings file is looked up: a folder, a
// FIFO and a dangling link do not; a link to a normal file does.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "platform/normal_file.h"
#include "tests/unit/scratch_folder.h"

namespace kamishibai {
namespace {

TEST(NormalFile, OnlyNormalFilesAndLinksToThemCount) {
  ScratchFolder folder;
  const std::filesystem::path file = folder.path() / "file", fifo = folder.path() / "fifo";
  writeBytes(file, {1});
  std::filesystem::create_directory(folder.path() / "folder");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::filesystem::create_symlink(file, folder.path() / "to-file");
  std::filesystem::create_symlink(folder.path() / "missing", folder.path() / "dangling");
  EXPECT_TRUE(isNormalFile(file));
  EXPECT_TRUE(isNormalFile(folder.path() / "to-file"));
  for (const char* name : {"folder", "fifo", "dangling", "missing"}) {
    EXPECT_FALSE(isNormalFile(folder.path() / name)) << name;
  }
}

}  // namespace
}  // namespace kamishibai
