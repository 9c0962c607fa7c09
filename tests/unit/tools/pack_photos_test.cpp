// Kamishibai: kamishibai-pack with folders of photos: fitting and EXIF orientation, patterns,
// name collisions, shuffling and random effects, the checks before writing, the round trip of
// unusual packages, init and info.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "formats/package.h"
#include "platform/canvas.h"
#include "platform/picture.h"
#include "tests/unit/picture_bytes.h"
#include "tests/unit/scratch_folder.h"
#include "tools/commands.h"
#include "tools/gif_writer.h"

namespace kamishibai {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using ::testing::HasSubstr;
using ::testing::Not;

Bytes readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const fs::path& path, std::span<const std::uint8_t> bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

void writeText(const fs::path& path, std::string_view text) {
  writeBytes(path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

bool reddish(Colour c) {
  return (c & 0xFF) > 180 && (c >> 16 & 0xFF) < 80;
}
bool bluish(Colour c) {
  return (c & 0xFF) < 80 && (c >> 16 & 0xFF) > 180;
}

class PackPhotos : public ::testing::Test {
 protected:
  PackPhotos() { writeText(dir() / "player", "#!/bin/sh\n# a stand-in for the bare player\n"); }

  fs::path dir() const { return scratch_.path(); }

  // A JPEG of width x height, its left half red and its right half blue.
  Bytes halves(int width, int height, double shade = 1.0) {
    Canvas canvas(width, height);
    const fs::path file = dir() / "canvas.jpg";
    canvas.fillPolygon(
        std::vector<PointF>{
            {0, 0}, {width / 2.0, 0}, {width / 2.0, double(height)}, {0, double(height)}},
        {shade, 0, 0}, 1);
    canvas.fillPolygon(std::vector<PointF>{{width / 2.0, 0},
                                           {double(width), 0},
                                           {double(width), double(height)},
                                           {width / 2.0, double(height)}},
                       {0, 0, 1}, 1);
    EXPECT_EQ(canvas.saveJpeg(file, 95), "");
    Bytes bytes = readAll(file);
    fs::remove(file);
    return bytes;
  }

  Bytes png(int width, int height) {
    const fs::path file = dir() / "canvas.png";
    EXPECT_EQ(Canvas(width, height).savePng(file), "");
    Bytes bytes = readAll(file);
    fs::remove(file);
    return bytes;
  }

  int build(std::string_view manifest, const fs::path& output = {}) {
    writeText(dir() / "show.toml", manifest);
    errors_.str("");
    return runBuild(dir() / "show.toml", output.empty() ? dir() / "out.scr" : output,
                    dir() / "player", errors_);
  }

  PackageRecord built() { return inspectPackage(readAll(dir() / "out.scr")).record; }

  // The stored picture of an entry, decoded.
  Surface decoded(const PictureEntry& entry) {
    writeBytes(dir() / "decoded", entry.FileData.data.bytes());
    Surface surface(1, 1);
    loadPicture((dir() / "decoded").string(), surface);
    return surface;
  }

  ScratchFolder scratch_;
  std::ostringstream errors_;
};

TEST_F(PackPhotos, FittingTurnsPortraitPhotosUprightScalesAndCentresThem) {
  // Stored 80 x 40 with the red half on the left; EXIF 6 turns it a quarter clockwise, so it
  // stands 40 x 80 with the red half on top.
  writeBytes(dir() / "portrait.jpg", withOrientation(halves(80, 40), 6));
  writeBytes(dir() / "small.jpg", halves(20, 10));
  {
    GifWriter gif(dir() / "still.gif", 20, 10, 640);
    gif.addFrame(Surface(20, 10, makeColour(0, 0, 255)), 0);
    gif.finish(0);
  }
  ASSERT_EQ(build(R"([area]
width = 100
height = 100
fit = "contain"
[[slide]]
picture = "portrait.jpg"
[[slide]]
picture = "portrait.jpg"
fit = "cover"
name = "cover.jpg"
[[slide]]
picture = "small.jpg"
fit = "shrink"
[[slide]]
picture = "small.jpg"
transparent = true
[[slide]]
picture = "still.gif"
fit = "shrink"
)"),
            0)
      << errors_.str();
  const PackageRecord r = built();
  ASSERT_EQ(r.Pictures.entries.size(), 5u);
  struct Expected {
    int width, height, x, y;
  };
  const Expected expected[] = {
      {50, 100, 25, 0}, {100, 100, 0, 0}, {20, 10, 40, 45}, {100, 50, 0, 25}, {20, 10, 40, 45}};
  for (std::size_t i = 0; i < 5; ++i) {
    const PictureEntry& e = r.Pictures.entries[i];
    const Surface picture = decoded(e);
    SCOPED_TRACE(e.FileName);
    EXPECT_EQ(picture.width(), expected[i].width);
    EXPECT_EQ(picture.height(), expected[i].height);
    EXPECT_EQ(e.PosX, expected[i].x);
    EXPECT_EQ(e.PosY, expected[i].y);
  }
  const Surface upright = decoded(r.Pictures.entries[0]);
  EXPECT_TRUE(reddish(upright.pixel(25, 5)));
  EXPECT_TRUE(bluish(upright.pixel(25, 95)));
  // Cover keeps the middle of the 100 x 200 scaled picture: both halves, red above.
  const Surface covered = decoded(r.Pictures.entries[1]);
  EXPECT_TRUE(reddish(covered.pixel(50, 5)));
  EXPECT_TRUE(bluish(covered.pixel(50, 95)));
  // Re-encoded JPEG for photos, PNG where colours must stay exact.
  EXPECT_EQ(r.Pictures.entries[0].FileName, "portrait.jpg");
  EXPECT_EQ(r.Pictures.entries[3].FileName, "small.png");
  EXPECT_EQ(r.Pictures.entries[3].FileData.data.bytes()[1], 'P');
  // A picture the fit leaves unchanged is stored as it is, not re-encoded.
  const auto gif = r.Pictures.entries[4].FileData.data.bytes();
  EXPECT_EQ(r.Pictures.entries[4].FileName, "still.gif");
  EXPECT_EQ(Bytes(gif.begin(), gif.end()), readAll(dir() / "still.gif"));
}

TEST_F(PackPhotos, FoldersAndPatternsBecomeSlidesWithUniqueNames) {
  writeBytes(dir() / "photos/cam1/IMG_0001.jpg", halves(8, 6, 0.9));
  writeBytes(dir() / "photos/cam2/IMG_0001.jpg", halves(8, 6, 0.5));
  writeBytes(dir() / "photos/cam2/IMG_0002.JPG", halves(8, 6, 0.7));
  writeBytes(dir() / "photos/cam2/img_0002.jpg", halves(8, 6, 0.3));
  writeBytes(dir() / "photos/.hidden.jpg", halves(8, 6));
  writeBytes(dir() / "photos/.thumbnails/IMG_0003.jpg", halves(8, 6));
  writeText(dir() / "photos/notes.txt", "not a picture");
  fs::create_directory_symlink("..", dir() / "photos/cam1/loop");  // photos again, and again
  ASSERT_EQ(build(R"([area]
width = 8
height = 6
[[slide]]
pictures = "photos"
time = 2500
[[slide]]
pictures = "photos/*/IMG_0001.jpg"
effect = "clock"
)"),
            0)
      << errors_.str();
  std::vector<std::string> names;
  for (const PictureEntry& e : built().Pictures.entries)
    names.push_back(e.FileName + " " + std::to_string(e.ShowTime) + " " +
                    std::to_string(e.EffectNo));
  // Windows keeps one file for names that differ only in letter case: they are numbered too.
  EXPECT_EQ(names, (std::vector<std::string>{"IMG_0001.jpg 2500 0", "IMG_0001-2.jpg 2500 0",
                                             "IMG_0002.JPG 2500 0", "img_0002-2.jpg 2500 0",
                                             "IMG_0001.jpg 1000 32", "IMG_0001-2.jpg 1000 32"}));
  EXPECT_THAT(
      errors_.str(),
      HasSubstr("show.toml:5: picture 'photos/cam2/IMG_0001.jpg' is stored as 'IMG_0001-2.jpg'"));
  EXPECT_THAT(errors_.str(), HasSubstr("is stored as 'img_0002-2.jpg': another file is stored as "
                                       "'IMG_0002.JPG'"));

  EXPECT_EQ(build(R"([area]
width = 8
height = 6
[[slide]]
pictures = "photos/**/*.png"
[[slide]]
pictures = "elsewhere"
name = "one"
)"),
            1);
  EXPECT_THAT(errors_.str(), HasSubstr(":5: 'pictures' 'photos/**/*.png' matches no picture"));
  EXPECT_THAT(errors_.str(), HasSubstr(":7: 'pictures' 'elsewhere' does not exist"));
  EXPECT_THAT(errors_.str(), HasSubstr(":8: 'name' names one picture"));
}

// A pattern starts at the manifest's folder, also when the manifest is named without one.
TEST_F(PackPhotos, PatternsWithoutAFolderStartBesideTheManifest) {
  writeBytes(dir() / "big1.jpg", halves(8, 6, 0.2));
  writeBytes(dir() / "big2.jpg", halves(8, 6, 0.4));
  writeBytes(dir() / "sub/deep.jpg", halves(8, 6, 0.6));
  writeText(dir() / "show.toml", R"([area]
width = 8
height = 6
[[slide]]
pictures = "*.jpg"
[[slide]]
pictures = "big?.jpg"
[[slide]]
pictures = "**/deep.jpg"
)");
  const fs::path here = fs::current_path();
  fs::current_path(dir());
  const int status = runBuild("show.toml", "out.scr", "player", errors_);
  fs::current_path(here);
  ASSERT_EQ(status, 0) << errors_.str();
  EXPECT_EQ(built().Pictures.entries.size(), 5u);
}

TEST_F(PackPhotos, ShuffleAndRandomEffectsRepeatWithTheirSeed) {
  for (int i = 0; i < 12; ++i)
    writeBytes(dir() / "p" / ("n" + std::to_string(10 + i) + ".jpg"), halves(8, 6, i / 12.0));
  const std::string manifest = R"(shuffle = true
seed = 7
[area]
width = 8
height = 6
[defaults]
effect = "random"
random_except = [)" + [] {
    std::string list;
    for (int code = 1; code <= 35; ++code)
      if (code != 4 && code != 32) list += std::to_string(code) + ",";
    return list;
  }() + R"(]
[[slide]]
pictures = "p"
)";
  ASSERT_EQ(build(manifest), 0) << errors_.str();
  const Bytes first = readAll(dir() / "out.scr");
  ASSERT_EQ(build(manifest), 0) << errors_.str();
  EXPECT_EQ(readAll(dir() / "out.scr"), first);
  std::vector<std::string> order;
  std::set<std::int32_t> effects;
  for (const PictureEntry& e : built().Pictures.entries) {
    order.push_back(e.FileName);
    effects.insert(e.EffectNo);
  }
  EXPECT_FALSE(std::is_sorted(order.begin(), order.end()));
  EXPECT_EQ(effects, (std::set<std::int32_t>{4, 32}));
  EXPECT_THAT(errors_.str(), Not(HasSubstr("seed =")));

  std::string everyEffect = manifest;
  everyEffect.replace(everyEffect.find("random_except = ["), 17, "random_except = [4, 32, ");
  EXPECT_EQ(build(everyEffect), 1);
  EXPECT_THAT(errors_.str(), HasSubstr(":8: 'random_except' leaves no transition to pick"));

  // A seed the build drew is named after the saver's line, and only when the saver was written.
  std::string unseeded = manifest;
  unseeded.erase(unseeded.find("seed = 7\n"), 9);
  ASSERT_EQ(build(unseeded), 0) << errors_.str();
  const std::string told = errors_.str();
  EXPECT_THAT(told, HasSubstr("came from seed = "));
  EXPECT_LT(told.find("out.scr: 12 slides, "), told.find("show.toml: the random order and effects "
                                                         "came from seed = "))
      << told;
  unseeded.replace(unseeded.find("[area]"), 6, "[area]\nfit = \"fill\"");
  EXPECT_EQ(build(unseeded), 1);
  EXPECT_THAT(errors_.str(), Not(HasSubstr("seed =")));
}

TEST_F(PackPhotos, ShowsThatCannotRunAreRefusedWithTheirLinesBeforeAnythingIsWritten) {
  writeBytes(dir() / "bomb.png", pngHeaderOnly(20000, 20000));
  writeBytes(dir() / "ok.jpg", halves(8, 6));
  // Pictures cut short, which the players show half grey or not at all.
  const Bytes jpeg = halves(8, 6), whole = png(8, 6);
  writeBytes(dir() / "cut.jpg", std::span(jpeg).first(jpeg.size() - 20));
  writeBytes(dir() / "no-end.png", std::span(whole).first(whole.size() - 12));
  writeBytes(dir() / "cut.png", std::span(whole).first(whole.size() / 2));
  writeText(dir() / "huge.ppm", "P6\n16000 16000\n255\n" + std::string(300, 'x'));
  // A name extract could not write back, and names of 255 bytes, the second made longer.
  const std::string longest = std::string(251, 'n') + ".jpg";
  writeBytes(dir() / "names" / "caf\xE9.jpg", halves(8, 6, 0.2));
  writeBytes(dir() / "names/a" / longest, halves(8, 6, 0.4));
  writeBytes(dir() / "names/b" / longest, halves(8, 6, 0.6));
  ASSERT_EQ(build("[area]\nwidth = 8\nheight = 6\n"), 1);
  EXPECT_THAT(errors_.str(), HasSubstr("show.toml: the manifest has no slides"));
  // A slide that cannot be made says only what is wrong with it.
  ASSERT_EQ(::mkfifo((dir() / "fifo").c_str(), 0600), 0);
  ASSERT_EQ(build("[area]\nwidth = 8\nheight = 6\n[[slide]]\npicture = \"fifo\"\n"), 1);
  EXPECT_THAT(errors_.str(), HasSubstr(":5: picture 'fifo' is not a regular file"));
  EXPECT_THAT(errors_.str(), Not(HasSubstr("no slides")));

  ASSERT_EQ(build(R"([area]
width = 100000
height = 2147483647
[[slide]]
picture = "ok.jpg"
time = 2147483647
[[slide]]
picture = "ok.jpg"
name = "."
[[slide]]
picture = "ok.jpg"
name = ")" + std::string(256, 'n') +
                  R"("
[[slide]]
picture = "ok.jpg"
name = "a\u001b[31m"
[[slide]]
picture = "bomb.png"
[[slide]]
picture = "ok.jpg"
fit = "stretch"
[[slide]]
picture = "ok.jpg"
fit = "cover"
x = 3
[[slide]]
picture = "cut.jpg"
[[slide]]
picture = "no-end.png"
[[slide]]
picture = "cut.png"
[[slide]]
picture = "huge.ppm"
[[slide]]
pictures = "names"
)"),
            1);
  const std::string report = errors_.str();
  EXPECT_THAT(report, HasSubstr(":2: 'width' is 100000, outside 1 to 16384"));
  EXPECT_THAT(report, HasSubstr(":3: 'height' is 2147483647, outside 1 to 16384"));
  EXPECT_THAT(report, HasSubstr(":6: 'time' is 2147483647, outside 0 to 86400000"));
  EXPECT_THAT(report, HasSubstr(":9: stored name '.': the name is \".\""));
  EXPECT_THAT(report, HasSubstr(":12: stored name 'nnn"));
  EXPECT_THAT(report, HasSubstr("256 bytes long, more than 255"));
  EXPECT_THAT(report,
              HasSubstr(":15: stored name 'a\\x1B[31m': the name holds a control character"));
  EXPECT_THAT(report, Not(HasSubstr("\x1b")));
  EXPECT_THAT(report, HasSubstr(":17: picture 'bomb.png' is too large: 20000 x 20000 pixels"));
  EXPECT_THAT(report, HasSubstr(":20: 'fit' must be"));
  EXPECT_THAT(report, HasSubstr(":24: 'x' cannot be used with 'fit'"));
  EXPECT_THAT(report, HasSubstr(":26: picture 'cut.jpg' cannot be loaded: the JPEG file ends "
                                "before its end-of-image marker"));
  for (const char* at : {":28: picture 'no-end.png'", ":30: picture 'cut.png'"})
    EXPECT_THAT(report, HasSubstr(std::string(at) +
                                  " cannot be loaded: the PNG file ends before its IEND chunk"));
  EXPECT_THAT(report, HasSubstr(":32: picture 'huge.ppm' cannot be loaded: too large: 16000 x "
                                "16000 pixels, more than 100 megapixels"));
  EXPECT_THAT(report, HasSubstr(":34: stored name 'caf\\xE9.jpg': the name is not UTF-8"));
  EXPECT_THAT(report, HasSubstr(":34: picture 'names/b/" + longest + "' would be stored as '" +
                                std::string(251, 'n') + "-2.jpg': the name is 257 bytes long"));
  EXPECT_THAT(report, Not(HasSubstr("255 bytes long")));
  EXPECT_THAT(report, HasSubstr("16 problem(s); nothing was written"));
  EXPECT_FALSE(fs::exists(dir() / "out.scr"));

  // A fitted picture over the player's size limit, refused before it is decoded.
  writeBytes(dir() / "wide.jpg", halves(101, 100));
  ASSERT_EQ(build("[area]\nwidth = 10100\nheight = 10000\nfit = \"contain\"\n[[slide]]\n"
                  "picture = \"wide.jpg\"\n"),
            1);
  EXPECT_THAT(errors_.str(), HasSubstr(":6: picture 'wide.jpg' is too large once fitted: 10100 x "
                                       "10000 pixels, more than 100 megapixels"));
}

TEST_F(PackPhotos, AnOutputThatIsAnInputIsRefusedAndTheInputKept) {
  writeBytes(dir() / "ok.jpg", halves(8, 6));
  const std::string manifest = "[area]\nwidth = 8\nheight = 6\n[[slide]]\npicture = \"ok.jpg\"\n";
  const Bytes picture = readAll(dir() / "ok.jpg");
  EXPECT_EQ(build(manifest, dir() / "show.toml"), 1);
  EXPECT_THAT(errors_.str(), HasSubstr("is the manifest itself"));
  EXPECT_EQ(build(manifest, dir() / "." / "ok.jpg"), 1);
  EXPECT_THAT(errors_.str(), HasSubstr("show.toml:5: the output"));
  EXPECT_EQ(readAll(dir() / "ok.jpg"), picture);
  EXPECT_EQ(readAll(dir() / "show.toml").size(), manifest.size());
  errors_.str("");
  EXPECT_EQ(runBuild(dir() / "show.toml", dir() / "player", dir() / "player", errors_), 1);
  EXPECT_THAT(errors_.str(), HasSubstr("is the player"));
  EXPECT_THAT(readAll(dir() / "player"), Not(::testing::IsEmpty()));
}

TEST_F(PackPhotos, PicturesOutsideTheAreaOrTurnedGiveWarningsOnly) {
  writeBytes(dir() / "wide.jpg", halves(40, 6));
  writeBytes(dir() / "turned.jpg", withOrientation(halves(8, 6), 8));
  ASSERT_EQ(build(R"([area]
width = 20
height = 10
[[slide]]
picture = "wide.jpg"
[[slide]]
picture = "turned.jpg"
x = 15
)"),
            0);
  EXPECT_THAT(
      errors_.str(),
      HasSubstr(":5: warning: picture 'wide.jpg' (40 x 6) is larger than the area (20 x 10)"));
  EXPECT_THAT(errors_.str(),
              HasSubstr(":7: warning: picture 'turned.jpg' (8 x 6) lies partly outside"));
  EXPECT_THAT(errors_.str(),
              HasSubstr(":7: warning: picture 'turned.jpg' is stored turned (EXIF orientation 8)"));
}

// A manifest without the new keys stores every file as it is, in the package the in-memory
// writer makes from the same record.
TEST_F(PackPhotos, AManifestWithoutTheNewKeysBuildsTheSameBytesAsBefore) {
  const Bytes photo = withOrientation(halves(30, 20), 6);
  writeBytes(dir() / "a.jpg", photo);
  ASSERT_EQ(build(R"([area]
width = 10
height = 10
[[slide]]
picture = "a.jpg"
x = -3
[[slide]]
picture = "a.jpg"
effect = 7
)"),
            0);
  PackageRecord r;
  r.AreaWidth = r.AreaHeight = 10;
  r.PictureCount = 2;
  r.Pictures.shape = {1, 0};
  for (int i = 0; i < 2; ++i) {
    PictureEntry& e = r.Pictures.entries.emplace_back();
    e.FileName = "a.jpg";
    e.ShowTime = 1000;
    e.PosX = i == 0 ? -3 : 0;
    e.EffectNo = i == 0 ? 0 : 7;
    e.FileData = {{1, 0}, ByteBuffer(photo)};
  }
  Bytes expected = readAll(dir() / "player");
  const Bytes package = writePackage(r);
  expected.insert(expected.end(), package.begin(), package.end());
  EXPECT_EQ(readAll(dir() / "out.scr"), expected);
}

// Packages made elsewhere hold values a written manifest may not (and files that cannot be
// shown or played): extract lists them as raw, and build gives back the same file.
TEST_F(PackPhotos, EveryReadablePackageComesBackFromItsExtractedManifest) {
  const Bytes player = readAll(dir() / "player");
  const auto saver = [&](const PackageRecord& r, const std::string& name) {
    Bytes file = player;
    const Bytes package = writePackage(r);
    file.insert(file.end(), package.begin(), package.end());
    writeBytes(dir() / name, file);
    return file;
  };
  PackageRecord odd;
  odd.AreaWidth = 0;
  odd.AreaHeight = 70000;
  odd.PictureCount = 3;
  odd.Pictures.shape = {1, 0};
  const std::int32_t values[][3] = {{-5, 36, 31}, {2147483647, -1, -1}, {100, 0, 0}};
  const std::string names[] = {"esc\x1b[2Jape.jpg", "garbage.bin", "bomb.png"};
  const Bytes contents[] = {halves(8, 6), Bytes{1, 2, 3}, pngHeaderOnly(20000, 20000)};
  for (int i = 0; i < 3; ++i) {
    PictureEntry& e = odd.Pictures.entries.emplace_back();
    e.FileName = names[i];
    e.ShowTime = values[i][0];
    e.EffectNo = values[i][1];
    e.Speed = values[i][2];
    e.FileData = {{1, 0}, ByteBuffer(contents[i])};
  }
  odd.BgmName = "tune.ogg";
  odd.BgmData = {{1, 0}, ByteBuffer(Bytes{9, 9, 9})};
  odd.Pictures.entries[0].SoundName = "ding.wav";
  odd.Pictures.entries[0].SoundData = {{1, 0}, ByteBuffer(Bytes{8, 8})};
  PackageRecord empty;
  empty.AreaWidth = 640;
  empty.AreaHeight = 480;
  for (const auto& [record, name] : {std::pair{odd, "odd"}, std::pair{empty, "empty"}}) {
    SCOPED_TRACE(name);
    const Bytes original = saver(record, std::string(name) + ".scr");
    std::ostringstream out, err;
    ASSERT_EQ(runExtract(dir() / (std::string(name) + ".scr"), dir() / name, out, err), 0)
        << err.str();
    errors_.str("");
    ASSERT_EQ(runBuild(dir() / name / "show.toml", dir() / "again.scr", dir() / "player", errors_),
              0)
        << errors_.str();
    EXPECT_EQ(readAll(dir() / "again.scr"), original);
  }
  const Bytes manifest = readAll(dir() / "odd/show.toml");
  const std::string text(manifest.begin(), manifest.end());
  EXPECT_THAT(text, HasSubstr("raw = [\"width\", \"height\"]\nwidth = 0\nheight = 70000"));
  EXPECT_THAT(text, HasSubstr("raw = [\"sound\", \"name\", \"time\", \"effect\", \"speed\"]"));
  EXPECT_THAT(text, HasSubstr("[music]\nraw = [\"file\"]"));
  EXPECT_THAT(text, HasSubstr("raw = [\"picture\", \"time\", \"effect\", \"speed\"]"));
}

TEST_F(PackPhotos, InfoEscapesNamesFitsItsColumnsAndFailsOnDamage) {
  PackageRecord r;
  r.PictureCount = 2;
  r.Pictures.shape = {1, 0};
  for (const std::string name : {"a\x1b]0;owned\x07.jpg", "a-rather-long-name-for-a-picture.jpg"}) {
    PictureEntry& e = r.Pictures.entries.emplace_back();
    e.FileName = name;
    e.FileData.data = ByteBuffer(Bytes{1, 2, 3});
  }
  Bytes file = writePackage(r);
  writeBytes(dir() / "s.scr", file);
  std::ostringstream out, err;
  ASSERT_EQ(runInfo(dir() / "s.scr", false, out, err), 0) << err.str();
  const std::string text = out.str();
  EXPECT_THAT(text, Not(HasSubstr("\x1b")));
  EXPECT_THAT(text, HasSubstr("a\\x1B]0;owned\\x07.jpg"));
  EXPECT_THAT(text, HasSubstr("a-rather-long-name-for-a-picture.jpg  3 "));

  // A negative count of pictures is damage, not an empty list.
  Bytes negative = file;
  std::fill_n(negative.begin() + 24, 4, 0xFF);
  writeBytes(dir() / "s.scr", negative);
  std::ostringstream negativeOut, negativeErr;
  EXPECT_EQ(runInfo(dir() / "s.scr", false, negativeOut, negativeErr), 1);
  EXPECT_THAT(negativeErr.str(), HasSubstr("error: the package is damaged"));

  // Cut short, with a length that still points at the start: the record runs out.
  file.resize(40);
  for (const std::uint8_t byte : {44, 0, 0, 0}) file.push_back(byte);
  writeBytes(dir() / "s.scr", file);
  for (const bool json : {false, true}) {
    std::ostringstream damagedOut, damagedErr;
    EXPECT_EQ(runInfo(dir() / "s.scr", json, damagedOut, damagedErr), 1);
    EXPECT_THAT(damagedErr.str(), HasSubstr("error: the package is damaged"));
  }
}

TEST_F(PackPhotos, InitWritesAManifestThatBuildsTheFolder) {
  writeBytes(dir() / "photos/a.jpg", halves(40, 30));
  writeBytes(dir() / "photos/b/c.jpg", withOrientation(halves(40, 30), 6));
  std::ostringstream out, err;
  const fs::path here = fs::current_path();
  fs::current_path(dir());
  const int status = runInit("photos", dir() / "show.toml", "64x48", out, err);
  std::ostringstream refused;
  EXPECT_EQ(runInit("photos", dir() / "show.toml", "64x48", out, refused), 1);  // never overwrites
  EXPECT_THAT(refused.str(), HasSubstr("show.toml exists already"));
  // Outside the manifest's folder the pictures are named by their absolute path, so that the
  // manifest can move; a folder that is not there is named as such.
  fs::create_directories(dir() / "elsewhere");
  EXPECT_EQ(runInit("photos", dir() / "elsewhere" / "show.toml", "64x48", out, err), 0);
  fs::create_directories(dir() / "moved" / "deeper");
  fs::rename(dir() / "elsewhere" / "show.toml", dir() / "moved" / "deeper" / "show.toml");
  EXPECT_EQ(runBuild(dir() / "moved" / "deeper" / "show.toml", dir() / "moved.scr",
                     dir() / "player", errors_),
            0)
      << errors_.str();
  EXPECT_EQ(runInit("nothing", dir() / "other.toml", "64x48", out, refused), 1);
  EXPECT_THAT(refused.str(), HasSubstr("nothing: does not exist"));
  // Every picture is fitted to the area, so it may not be larger than a picture the player shows.
  for (const char* size : {"64x0", "16384x16384"})
    EXPECT_EQ(runInit("photos", dir() / "other.toml", size, out, err), 1) << size;
  fs::current_path(here);
  ASSERT_EQ(status, 0) << err.str();
  ASSERT_EQ(runBuild(dir() / "show.toml", dir() / "out.scr", dir() / "player", errors_), 0)
      << errors_.str();
  const PackageRecord r = built();
  EXPECT_EQ(r.AreaWidth, 64);
  ASSERT_EQ(r.Pictures.entries.size(), 2u);
  for (const PictureEntry& e : r.Pictures.entries) {
    EXPECT_EQ(e.ShowTime, 5000);
    EXPECT_GE(e.EffectNo, 1);
    EXPECT_LE(e.EffectNo, 35);
    const Surface picture = decoded(e);
    EXPECT_TRUE(picture.width() == 64 || picture.height() == 48) << e.FileName;
  }
}

}  // namespace
}  // namespace kamishibai
