// Kamishibai: the picture loader and the PNG frames agree pixel for pixel.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "platform/headless/frame_recorder_headless.h"
#include "platform/picture.h"
#include "platform/png_file.h"
#include "tests/unit/scratch_folder.h"
#include "tests/unit/surfaces.h"

namespace kamishibai {
namespace {

namespace fs = std::filesystem;

class PictureFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() / (std::string("kamishibai-") + test->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST_F(PictureFiles, LoadingAWrittenFrameResizesTheTargetAndKeepsEveryPixel) {
  const Surface written =
      codedSurface(5, 3, [](int x, int y) { return makeColour(40 * x, 70 * y, 200); });
  writeBytes(dir_ / frameFileName(7), encodePng(written));
  EXPECT_TRUE(fs::exists(dir_ / "frame-0007.png"));

  Surface loaded(1, 1);
  loadPicture((dir_ / "frame-0007.png").string(), loaded);
  EXPECT_TRUE(samePixels(loaded, written));
}

TEST_F(PictureFiles, AnUnreadablePictureIsAnErrorNamingTheFile) {
  const fs::path text = dir_ / "notes.jpg";
  std::ofstream(text) << "not a picture";
  Surface target(2, 2);
  for (const fs::path& path : {text, dir_ / "missing.png"}) {
    try {
      loadPicture(path.string(), target);
      ADD_FAILURE() << path << " was loaded";
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(path.string()), std::string::npos) << e.what();
    }
  }
  EXPECT_EQ(target.width(), 2);
}

}  // namespace
}  // namespace kamishibai
