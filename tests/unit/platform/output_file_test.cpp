// Kamishibai: the files the tools write are complete or absent, never half-written, and never
// written through something that is not a regular file.
#include "platform/output_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/unit/scratch_folder.h"

namespace kamishibai {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

std::vector<std::uint8_t> bytesOf(std::string_view text) {
  return {text.begin(), text.end()};
}

TEST(OutputFile, TheTargetIsAsItWasUntilTheCommitAndNoTemporaryFileStays) {
  ScratchFolder folder;
  const fs::path target = folder.path() / "out.scr";
  writeBytes(target, bytesOf("old saver"));
  {
    OutputFile file(target, ExistingTarget::Replace);
    file.write(bytesOf("new "));
    file.stream() << "saver";
    EXPECT_EQ(readText(target), "old saver");
    EXPECT_EQ(namesIn(folder.path()).size(), 2u);
    file.commit();
  }
  EXPECT_EQ(readText(target), "new saver");
  {
    OutputFile dropped(target, ExistingTarget::Replace);
    dropped.write(bytesOf("half"));
  }
  EXPECT_EQ(readText(target), "new saver");
  EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"out.scr"});
}

TEST(OutputFile, RefusesWhatIsNotARegularFileAndAnExistingNameWhenAskedTo) {
  ScratchFolder folder;
  fs::create_directory(folder.path() / "folder");
  writeBytes(folder.path() / "kept", bytesOf("user file"));
  EXPECT_EQ(outputTargetProblem(folder.path() / "folder"), "is a folder");
  EXPECT_EQ(outputTargetProblem(folder.path() / "kept"), "");
  EXPECT_EQ(outputTargetProblem(folder.path() / "new"), "");
  try {
    OutputFile file(folder.path() / "folder", ExistingTarget::Replace);
    ADD_FAILURE() << "a folder was taken as an output";
  } catch (const std::runtime_error& e) {
    EXPECT_THAT(e.what(), HasSubstr("is a folder"));
  }
  try {
    OutputFile file(folder.path() / "kept", ExistingTarget::Refuse);
    ADD_FAILURE() << "an existing file was taken as a new output";
  } catch (const std::runtime_error& e) {
    EXPECT_THAT(e.what(), HasSubstr("exists already"));
  }
  // A file of the name made while the output was written is kept as well.
  OutputFile late(folder.path() / "late", ExistingTarget::Refuse);
  writeBytes(folder.path() / "late", bytesOf("user file"));
  EXPECT_THROW(late.commit(), std::runtime_error);
  EXPECT_EQ(readText(folder.path() / "late"), "user file");
  EXPECT_EQ(readText(folder.path() / "kept"), "user file");
  EXPECT_TRUE(fs::is_directory(folder.path() / "folder"));
}

}  // namespace
}  // namespace kamishibai
