// Kamishibai: what the Studio makes of a show: savers with their problems tied to slides, the
// preview's frames, thumbnails.
#include <gtest/gtest.h>

#include <CLI/CLI.hpp>
#include <condition_variable>
#include <mutex>

#include "formats/package.h"
#include "platform/headless/frame_recorder_headless.h"
#include "platform/picture.h"
#include "studio/saver_build.h"
#include "studio/show_opening.h"
#include "studio/thumbnail_queue.h"
#include "studio/transition_preview.h"
#include "tests/unit/picture_bytes.h"
#include "tests/unit/studio/studio_files.h"
#include "tests/unit/surfaces.h"
#include "tools/commands.h"

namespace kamishibai {
namespace {

namespace fs = std::filesystem;

class StudioOutput : public ::testing::Test {
 protected:
  StudioOutput() {
    writeText(dir() / "player", "#!/bin/sh\n# a stand-in for the Linux player\n");
    writeText(dir() / "player.exe", "MZ a stand-in for the Windows player\n");
  }

  fs::path dir() const { return scratch_.path(); }

  // A show of the pictures on a small area, each left through a random transition.
  ShowDocument showOf(const std::vector<fs::path>& pictures, PictureFit fit) {
    std::vector<std::string> problems;
    ShowDocument document(64, 48);
    ManifestShow& show = document.editableShow();
    show.slides = slidesForPaths(pictures, problems);
    show.settings.areaFit = fit;
    show.settings.defaults.effect = kRandomEffect;
    EXPECT_TRUE(problems.empty());
    return document;
  }

  PackageRecord recordOf(const fs::path& saver) {
    return inspectPackage(readFileBytes(saver)).record;
  }
  static std::vector<std::uint8_t> readFileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  ScratchFolder scratch_;
};

TEST_F(StudioOutput, ProblemsNameTheirSlidesAndBothSaversShowTheSameShow) {
  const fs::path red = paint(dir() / "red.png", 40, 30, {1, 0, 0});
  const fs::path blue = paint(dir() / "blue.png", 30, 40, {0, 0, 1});
  // Stored as they are, the pictures come back from the saver byte for byte.
  ShowDocument document = showOf({red, blue, red}, PictureFit::None);
  document.editableShow().slides[1].picture = dir() / "missing.png";
  document.editableShow().slides[2].time = 100'000'000;
  const std::vector<SaverTarget> targets = {{dir() / "show.scr", dir() / "player"},
                                            {dir() / "show-windows.scr", dir() / "player.exe"}};
  BuildReport report = buildSavers(document, targets, {});
  ASSERT_EQ(report.problems.size(), 2u);
  EXPECT_EQ(report.problems[0].slide, 1u);
  EXPECT_NE(report.problems[0].message.find("missing.png"), std::string::npos);
  EXPECT_EQ(report.problems[1].slide, 2u);
  EXPECT_TRUE(report.written.empty());
  EXPECT_FALSE(fs::exists(targets[0].saver));

  document.editableShow().slides[1].picture = blue;
  document.editableShow().slides[2].time.reset();
  std::vector<BuildProgress> progress;
  std::mutex mutex;
  report = buildSavers(document, targets, [&](const BuildProgress& p) {
    const std::lock_guard lock(mutex);
    progress.push_back(p);
  });
  ASSERT_TRUE(report.problems.empty()) << report.problems[0].message;
  EXPECT_EQ(report.written, (std::vector<fs::path>{targets[0].saver, targets[1].saver}));
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(progress.back().target, 1u);
  EXPECT_EQ(progress.back().stage, "writing");
  EXPECT_EQ(progress.back().filesDone, progress.back().files);
  // The random effects were drawn once for both savers.
  const PackageRecord linux = recordOf(targets[0].saver), windows = recordOf(targets[1].saver);
  ASSERT_EQ(linux.Pictures.entries.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(linux.Pictures.entries[i].EffectNo, windows.Pictures.entries[i].EffectNo);
    EXPECT_GE(linux.Pictures.entries[i].EffectNo, 1);
  }
  EXPECT_EQ(linux.Pictures.entries[1].FileName, "blue.png");

  // Opened again through extract, the show keeps the stored pictures byte for byte, and saved
  // elsewhere it keeps them beside its manifest after the Studio's folder is gone.
  const fs::path saved = dir() / "saved" / "show.toml";
  fs::create_directories(saved.parent_path());
  writeText(saved.parent_path() / "red.png", "another file of that name");
  {
    StudioScratch studio;
    OpenedShow opened = openPath(targets[0].saver, 1, 1, studio);
    ASSERT_TRUE(opened.document);
    ASSERT_EQ(opened.document->show().slides.size(), 3u);
    EXPECT_TRUE(studio.holds(opened.document->show().slides[0].picture));
    saveShow(*opened.document, saved, studio);
  }
  const OpenedShow reopened = openManifest(saved);
  ASSERT_TRUE(reopened.document);
  const ShowDocument& copy = *reopened.document;
  EXPECT_EQ(readFileBytes(copy.show().slides[0].picture), readFileBytes(dir() / "red.png"));
  EXPECT_EQ(copy.show().slides[0].picture.filename(), "red-2.png");
  EXPECT_EQ(copy.show().slides[0].name, "red.png");
  EXPECT_EQ(copy.show().slides[2].picture, copy.show().slides[0].picture);
  report = buildSavers(copy, {{dir() / "again.scr", dir() / "player"}}, {});
  ASSERT_TRUE(report.problems.empty()) << report.problems[0].message;
  EXPECT_EQ(readFileBytes(dir() / "again.scr"), readFileBytes(targets[0].saver));
}

TEST_F(StudioOutput, PreviewFramesAreTheFramesOfRender) {
  const fs::path red = paint(dir() / "red.png", 40, 30, {1, 0, 0});
  const fs::path blue = paint(dir() / "blue.jpg", 30, 40, {0, 0, 1});
  ShowDocument document = showOf({blue, red}, PictureFit::Contain);
  document.editableShow().slides[1].effect = 19;  // wipe-from-left, from red to blue
  std::vector<Surface> frames;
  std::vector<std::int32_t> times;
  const PreviewInfo info =
      previewTransition(document, 1, [&](const Surface& frame, int index, std::int32_t atMs) {
        EXPECT_EQ(index, static_cast<int>(frames.size()));
        frames.push_back(frame);
        times.push_back(atMs);
      });
  ASSERT_EQ(info.problem, "");
  EXPECT_EQ(info.effect, 19);
  ASSERT_GT(info.frames, 2);
  ASSERT_EQ(frames.size(), static_cast<std::size_t>(info.frames) + 1);
  EXPECT_TRUE(std::is_sorted(times.begin(), times.end()));
  EXPECT_EQ(times.back(), info.totalMs);

  CLI::App app;
  addRenderCommands(app);
  const std::vector<std::string> args = {"render",      "--effect",   "19",
                                         "--from",      red.string(), "--to",
                                         blue.string(), "--out",      (dir() / "frames").string(),
                                         "--area",      "64x48",      "--fit",
                                         "contain"};
  std::vector<const char*> argv = {"kamishibai-pack"};
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  app.parse(static_cast<int>(argv.size()), argv.data());
  for (int i = 0; i <= info.frames; ++i) {
    Surface rendered;
    loadPicture((dir() / "frames" / (i < info.frames ? frameFileName(i) : "final.png")).string(),
                rendered);
    EXPECT_TRUE(samePixels(frames[static_cast<std::size_t>(i)], rendered)) << "frame " << i;
  }
  EXPECT_FALSE(fs::exists(dir() / "frames" / frameFileName(info.frames)));

  // A stop request ends the drawing at the next step.
  std::stop_source stop;
  int seen = 0;
  previewTransition(
      document, 1,
      [&](const Surface&, int, std::int32_t) {
        ++seen;
        stop.request_stop();
      },
      stop.get_token());
  EXPECT_LE(seen, 2);
}

TEST_F(StudioOutput, ThumbnailsComeUprightFromTheCameraThumbnailOnWorkerThreads) {
  const fs::path large = paint(dir() / "large.jpg", 64, 32, {1, 0, 0});
  const fs::path small = paint(dir() / "small.jpg", 16, 8, {0, 0, 1});
  const fs::path photo = dir() / "photo.jpg";
  writeBytes(photo, withExifThumbnail(StudioOutput::readFileBytes(large),
                                      StudioOutput::readFileBytes(small), 6));
  const fs::path plain = paint(dir() / "plain.png", 100, 50, {0, 1, 0});

  std::mutex mutex;
  std::condition_variable delivered;
  std::vector<Thumbnail> thumbnails;
  std::vector<std::uint64_t> tickets;
  {
    ThumbnailQueue queue(32, [&](Thumbnail thumbnail) {
      const std::lock_guard lock(mutex);
      thumbnails.push_back(std::move(thumbnail));
      delivered.notify_all();
    });
    for (const fs::path& picture : {photo, plain, dir() / "missing.jpg"})
      tickets.push_back(queue.request(picture));
    std::unique_lock lock(mutex);
    delivered.wait_for(lock, std::chrono::minutes(1), [&] { return thumbnails.size() == 3; });
  }
  ASSERT_EQ(thumbnails.size(), 3u);
  std::sort(thumbnails.begin(), thumbnails.end(),
            [](const Thumbnail& a, const Thumbnail& b) { return a.ticket < b.ticket; });
  EXPECT_EQ(thumbnails[0].ticket, tickets[0]);
  // The blue camera thumbnail, turned a quarter as the photo is.
  EXPECT_EQ(thumbnails[0].width, 8);
  EXPECT_EQ(thumbnails[0].height, 16);
  ASSERT_EQ(thumbnails[0].rgba.size(), 8u * 16 * 4);
  EXPECT_GT(thumbnails[0].rgba[2], 200);
  EXPECT_LT(thumbnails[0].rgba[0], 60);
  // Without one, the picture itself scaled down.
  EXPECT_EQ(thumbnails[1].width, 32);
  EXPECT_EQ(thumbnails[1].height, 16);
  EXPECT_GT(thumbnails[1].rgba[1], 200);
  EXPECT_NE(thumbnails[2].problem, "");
}

}  // namespace
}  // namespace kamishibai
