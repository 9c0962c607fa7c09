// Kamishibai: kamishibai-pack: building from a manifest, the checks that stop a build, and the
// extract/build round trip.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "formats/package.h"
#include "platform/canvas.h"
#include "tests/unit/small_disk.h"
#include "tests/unit/wav_file.h"
#include "tools/commands.h"
#include "tools/progress.h"

namespace kamishibai {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using ::testing::HasSubstr;

Bytes readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeAll(const fs::path& path, std::string_view text) {
  std::ofstream(path) << text;
}

void writeBytes(const fs::path& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

Bytes wavFile() {
  return squareWaveWav(64);
}

class PackTool : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("kamishibai-pack-test-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    writeAll(dir_ / "player", "#!/bin/sh\n# a stand-in for the bare player\n");
  }
  void TearDown() override { fs::remove_all(dir_); }

  void picture(const std::string& name, double shade) {
    Canvas canvas(8, 6);
    canvas.fillGradient({0, 0}, {shade, 0.2, 0.4}, {8, 6}, {0.1, shade, 0.9});
    ASSERT_EQ(canvas.saveJpeg(dir_ / name, 90), "");
  }

  int build(const fs::path& manifest, const fs::path& output) {
    errors_.str("");
    return runBuild(manifest, output, dir_ / "player", errors_);
  }

  std::vector<fs::path> filesIn(const fs::path& folder) {
    std::vector<fs::path> names;
    for (const auto& entry : fs::directory_iterator(folder))
      names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path dir_;
  std::ostringstream errors_;
};

TEST_F(PackTool, BuildAppendsThePackageToThePlayerAndSetsTheRunBits) {
  picture("a.jpg", 0.9);
  picture("b.jpg", 0.3);
  writeBytes(dir_ / "tune.wav", wavFile());
  writeBytes(dir_ / "ding.wav", wavFile());
  writeAll(dir_ / "show.toml", R"(settings = true
[area]
width = 320
height = 200
colour = "#102030"
[music]
file = "tune.wav"
[[slide]]
picture = "a.jpg"
name = "first"
sound = "ding.wav"
time = 1500
x = 5
y = -7
effect = "clock"
speed = 2
overlay = true
transparent = 1
[[slide]]
picture = "b.jpg"
effect = 35
)");
  ASSERT_EQ(build(dir_ / "show.toml", dir_ / "out.scr"), 0) << errors_.str();
  const Bytes saver = readAll(dir_ / "out.scr");
  const Bytes player = readAll(dir_ / "player");
  ASSERT_TRUE(std::equal(player.begin(), player.end(), saver.begin()));
  const PackageReading reading = inspectPackage(saver);
  ASSERT_TRUE(reading.wellFormed());
  EXPECT_EQ(reading.start, player.size());
  const PackageRecord& r = reading.record;
  EXPECT_EQ(r.AreaWidth, 320);
  EXPECT_EQ(r.AreaColor, 0x302010);
  EXPECT_EQ(r.HasSettings, -1);
  EXPECT_EQ(r.BgmName, "tune.wav");
  EXPECT_EQ(r.BgmData.data.size(), wavFile().size());
  ASSERT_EQ(r.PictureCount, 2);
  const PictureEntry& first = r.Pictures.at(0);
  EXPECT_EQ(first.FileName, "first");
  EXPECT_EQ(first.SoundName, "ding.wav");
  EXPECT_EQ(first.ShowTime, 1500);
  EXPECT_EQ(first.PosY, -7);
  EXPECT_EQ(first.EffectNo, 32);
  EXPECT_EQ(first.Speed, 2);
  EXPECT_EQ(first.Overlay, -1);
  EXPECT_EQ(first.Transparent, 1);
  EXPECT_EQ(r.Pictures.at(1).FileName, "b.jpg");
  EXPECT_EQ(r.Pictures.at(1).ShowTime, 1000);
  EXPECT_EQ(r.Pictures.at(1).SoundData.shape.dimensions, 0);
  const auto perms = fs::status(dir_ / "out.scr").permissions();
  EXPECT_NE(perms & fs::perms::owner_exec, fs::perms::none);
  EXPECT_NE(perms & fs::perms::others_exec, fs::perms::none);
  EXPECT_EQ(filesIn(dir_).size(), 7u);  // no temporary file left beside the saver
}

TEST_F(PackTool, EveryManifestProblemIsReportedWithItsLineAndNothingIsWritten) {
  picture("a.jpg", 0.5);
  picture("b.jpg", 0.6);
  writeAll(dir_ / "notes.txt", "not a picture");
  writeAll(dir_ / "show.toml", R"([area]
width = 0
height = 200
colour = "blue"
[[slide]]
picture = "missing.jpg"
[[slide]]
picture = "notes.txt"
[[slide]]
picture = "a.jpg"
name = "../a.jpg"
[[slide]]
picture = "a.jpg"
name = ""
[[slide]]
picture = "a.jpg"
name = "x"
[[slide]]
picture = "b.jpg"
name = "x"
effect = 36
speed = 31
time = -1
[[slide]]
picture = "a.jpg"
effect = "sparkle"
colour = 3
[[slide]]
time = 10
sound = "notes.txt"
)");
  ASSERT_EQ(build(dir_ / "show.toml", dir_ / "out.scr"), 1);
  const std::string report = errors_.str();
  const std::string at = (dir_ / "show.toml").string() + ":";
  EXPECT_THAT(report, HasSubstr(at + "2: 'width' is 0"));
  EXPECT_THAT(report, HasSubstr(at + "4: 'colour' must be"));
  EXPECT_THAT(report, HasSubstr(at + "6: picture 'missing.jpg' cannot be read"));
  EXPECT_THAT(report, HasSubstr(at + "8: picture 'notes.txt' cannot be loaded"));
  EXPECT_THAT(report,
              HasSubstr(at + "11: stored name '../a.jpg': the name holds a path separator"));
  EXPECT_THAT(report, HasSubstr(at + "14: stored name '': the name is empty"));
  EXPECT_THAT(
      report,
      HasSubstr(at + "20: stored name 'x' is already used for a different file on line 17"));
  EXPECT_THAT(report, HasSubstr(at + "21: 'effect' is 36, outside 0 to 35"));
  EXPECT_THAT(report, HasSubstr(at + "22: 'speed' is 31, outside 0 to 30"));
  EXPECT_THAT(report, HasSubstr(at + "23: 'time' is -1, outside 0 to"));
  EXPECT_THAT(report, HasSubstr(at + "26: unknown effect 'sparkle'"));
  EXPECT_THAT(report, HasSubstr(at + "27: unknown key 'colour'"));
  EXPECT_THAT(report, HasSubstr(at + "28: the slide needs 'picture'"));
  EXPECT_THAT(report, HasSubstr(at + "30: sound 'notes.txt' cannot be loaded"));
  EXPECT_THAT(report, HasSubstr("14 problem(s); nothing was written"));
  EXPECT_FALSE(fs::exists(dir_ / "out.scr"));
  EXPECT_EQ(filesIn(dir_).size(), 5u);
}

// A saver made here must unpack on Windows too: names Windows reads as devices or changes, or
// takes for another name, are refused for every saver.
TEST_F(PackTool, NamesWindowsWouldNotStoreAreRefused) {
  picture("a.jpg", 0.5);
  std::string manifest = "[area]\nwidth = 10\nheight = 10\n";
  for (const char* name :
       {"CON.jpg", "nul", "a:b.jpg", "trail.jpg. ", "lpt9.png", "Photo.jpg", "PHOTO.jpg"})
    manifest += "[[slide]]\npicture = \"a.jpg\"\nname = \"" + std::string(name) + "\"\n";
  writeAll(dir_ / "show.toml", manifest);
  ASSERT_EQ(build(dir_ / "show.toml", dir_ / "out.scr"), 1);
  const std::string report = errors_.str();
  const std::string at = (dir_ / "show.toml").string() + ":";
  EXPECT_THAT(report,
              HasSubstr(at + "6: stored name 'CON.jpg': the name is a Windows device name"));
  EXPECT_THAT(report, HasSubstr(at + "9: stored name 'nul': the name is a Windows device name"));
  EXPECT_THAT(report, HasSubstr(at + "12: stored name 'a:b.jpg': the name holds a ':'"));
  EXPECT_THAT(report, HasSubstr(at + "15: stored name 'trail.jpg. ': the name ends in a dot"));
  EXPECT_THAT(report, HasSubstr(at + "18: stored name 'lpt9.png': the name is a Windows device"));
  EXPECT_THAT(report, HasSubstr(at + "24: stored name 'PHOTO.jpg' differs only in letter case "
                                     "from 'Photo.jpg' on line 21"));
  EXPECT_FALSE(fs::exists(dir_ / "out.scr"));
}

TEST_F(PackTool, SyntaxErrorsAndAMissingPlayerWriteNothing) {
  writeAll(dir_ / "show.toml", "[area]\nwidth = 10\nheight = = 3\n");
  ASSERT_EQ(build(dir_ / "show.toml", dir_ / "out.scr"), 1);
  EXPECT_THAT(errors_.str(), HasSubstr("show.toml:3: "));
  picture("a.jpg", 0.5);
  writeAll(dir_ / "show.toml", "[area]\nwidth = 10\nheight = 3\n[[slide]]\npicture = \"a.jpg\"\n");
  std::ostringstream err;
  EXPECT_EQ(runBuild(dir_ / "show.toml", dir_ / "out.scr", dir_ / "no-player", err), 1);
  EXPECT_FALSE(fs::exists(dir_ / "out.scr"));
}

TEST_F(PackTool, ExtractThenBuildGivesTheIdenticalFile) {
  picture("a.jpg", 0.9);
  writeBytes(dir_ / "s.wav", wavFile());
  writeAll(dir_ / "show.toml",
           "[area]\nwidth = 9\nheight = 9\n[[slide]]\npicture = \"a.jpg\"\nsound = \"s.wav\"\n"
           "effect = \"spiral\"\n[[slide]]\npicture = \"a.jpg\"\n");
  ASSERT_EQ(build(dir_ / "show.toml", dir_ / "one.scr"), 0) << errors_.str();
  std::ostringstream out, err;
  ASSERT_EQ(runExtract(dir_ / "one.scr", dir_ / "unpacked", out, err), 0) << err.str();
  EXPECT_EQ(filesIn(dir_ / "unpacked"), (std::vector<fs::path>{"a.jpg", "s.wav", "show.toml"}));
  ASSERT_EQ(build(dir_ / "unpacked" / "show.toml", dir_ / "two.scr"), 0) << errors_.str();
  EXPECT_EQ(readAll(dir_ / "one.scr"), readAll(dir_ / "two.scr"));
}

// Details a manifest does not normally spell out survive the round trip: lower bounds, empty
// arrays with one dimension, a PictureCount that differs, switches other than -1, a colour with
// its high byte set, music.
TEST_F(PackTool, ExtractKeepsStoredDetailsForTheRoundTrip) {
  picture("p.jpg", 0.4);
  PackageRecord r;
  r.AreaWidth = 64;
  r.AreaHeight = 48;
  r.AreaColor = static_cast<std::int32_t>(0xFF00FF00u);
  r.HasSettings = 7;
  r.PictureCount = 9;
  r.BgmName = "m.wav";
  r.BgmData = {{1, 4}, ByteBuffer(wavFile())};
  r.Pictures.shape = {1, -3};
  PictureEntry e;
  e.FileName = "p";
  e.ShowTime = 250;
  e.EffectNo = 13;
  e.Speed = 30;
  e.Overlay = 2;
  e.FileData = {{1, 1}, ByteBuffer(readAll(dir_ / "p.jpg"))};
  e.SoundData.shape = {1, 0};
  r.Pictures.entries = {e, e};
  Bytes saver = readAll(dir_ / "player");
  const Bytes package = writePackage(r);
  saver.insert(saver.end(), package.begin(), package.end());
  writeBytes(dir_ / "raw.scr", saver);

  std::ostringstream out, err;
  ASSERT_EQ(runExtract(dir_ / "raw.scr", dir_ / "unpacked", out, err), 0) << err.str();
  ASSERT_EQ(build(dir_ / "unpacked" / "show.toml", dir_ / "again.scr"), 0) << errors_.str();
  EXPECT_EQ(readAll(dir_ / "again.scr"), saver);
}

TEST_F(PackTool, ExtractRefusesUnsafeNamesAndFoldersInUse) {
  PackageRecord r;
  r.Pictures.shape = {1, 0};
  PictureEntry e;
  e.FileName = "../escape";
  e.FileData.data = ByteBuffer(Bytes{1});
  r.Pictures.entries = {e};
  writeBytes(dir_ / "bad.scr", writePackage(r));
  std::ostringstream out, err;
  EXPECT_EQ(runExtract(dir_ / "bad.scr", dir_ / "unpacked", out, err), 1);
  EXPECT_THAT(err.str(), HasSubstr("'../escape'"));
  EXPECT_FALSE(fs::exists(dir_ / "unpacked"));
  EXPECT_FALSE(fs::exists(dir_.parent_path() / "escape"));

  r.Pictures.entries[0].FileName = "fine";
  writeBytes(dir_ / "good.scr", writePackage(r));
  fs::create_directories(dir_ / "busy");
  writeAll(dir_ / "busy" / "keep.txt", "user file");
  EXPECT_EQ(runExtract(dir_ / "good.scr", dir_ / "busy", out, err), 1);
  EXPECT_EQ(filesIn(dir_ / "busy"), (std::vector<fs::path>{"keep.txt"}));
}

TEST_F(PackTool, InfoPrintsTheRecordAsJsonAndSaysWhenThereIsNoPackage) {
  PackageRecord r;
  r.AreaWidth = 250;
  r.HasSettings = -1;
  r.PictureCount = 1;
  r.Pictures.shape = {1, 0};
  PictureEntry e;
  e.FileName = "0";
  e.EffectNo = 4;
  e.FileData.data = ByteBuffer(Bytes{1, 2, 3});
  r.Pictures.entries = {e};
  writeBytes(dir_ / "s.scr", writePackage(r));
  std::ostringstream out, err;
  ASSERT_EQ(runInfo(dir_ / "s.scr", true, out, err), 0);
  EXPECT_EQ(out.str(),
            "{\"AreaWidth\":250,\"AreaHeight\":0,\"AreaColor\":0,\"HasSettings\":-1,"
            "\"PictureCount\":1,\"BgmName\":\"\",\"BgmSize\":0,\"Pictures\":[{\"FileName\":\"0\","
            "\"SoundName\":\"\",\"ShowTime\":0,\"PosX\":0,\"PosY\":0,\"EffectNo\":4,\"Speed\":0,"
            "\"Overlay\":0,\"Transparent\":0,\"FileSize\":3,\"SoundSize\":0}],"
            "\"PackageLength\":80}\n");
  std::ostringstream text;
  ASSERT_EQ(runInfo(dir_ / "s.scr", false, text, err), 0);
  EXPECT_THAT(text.str(), HasSubstr("blinds"));
  std::ostringstream none;
  EXPECT_EQ(runInfo(dir_ / "player", false, out, none), 1);
  EXPECT_THAT(none.str(), HasSubstr("holds no package"));
}

// Stored names are bytes: JSON escapes what is not UTF-8, and extract refuses it because a
// manifest could not name it.
TEST_F(PackTool, NamesThatAreNotUtf8) {
  PackageRecord r;
  r.Pictures.shape = {1, 0};
  PictureEntry e;
  e.FileName = "caf\xE9\"\n";
  e.FileData.data = ByteBuffer(Bytes{1});
  r.Pictures.entries = {e};
  writeBytes(dir_ / "latin.scr", writePackage(r));
  std::ostringstream out, err;
  ASSERT_EQ(runInfo(dir_ / "latin.scr", true, out, err), 0);
  EXPECT_THAT(out.str(), HasSubstr(R"("FileName":"caf\u00e9\"\u000a")"));
  EXPECT_EQ(runExtract(dir_ / "latin.scr", dir_ / "unpacked", out, err), 1);
  EXPECT_THAT(err.str(), HasSubstr("is not UTF-8"));
}

// Nothing is written through a FIFO, a device, a link or a folder given as the output.
TEST_F(PackTool, AnOutputThatIsNoRegularFileIsRefusedAndKept) {
  picture("a.jpg", 0.5);
  writeAll(dir_ / "show.toml", "[area]\nwidth = 8\nheight = 6\n[[slide]]\npicture = \"a.jpg\"\n");
  ASSERT_EQ(::mkfifo((dir_ / "fifo").c_str(), 0600), 0);
  fs::create_directory(dir_ / "folder");
  fs::create_symlink("a.jpg", dir_ / "link");
  const bool root = ::mknod((dir_ / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
  for (const std::string name : {"fifo", "folder", "link", "null"}) {
    if (name == "null" && !root) continue;
    EXPECT_EQ(build(dir_ / "show.toml", dir_ / name), 1) << name;
    EXPECT_THAT(errors_.str(), HasSubstr("the output " + (dir_ / name).string() + " is a")) << name;
  }
  EXPECT_TRUE(fs::is_fifo(dir_ / "fifo"));
  EXPECT_TRUE(fs::is_symlink(dir_ / "link"));
  EXPECT_TRUE(!root || fs::is_character_file(dir_ / "null"));
  EXPECT_EQ(filesIn(dir_).size(), root ? 7u : 6u);
}

// Ends the program with the signal as soon as the build's progress says that it writes.
class SignalOnWriting : public std::streambuf {
 public:
  explicit SignalOnWriting(int signal) : signal_(signal) {}

 protected:
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    if (std::string_view(text, static_cast<std::size_t>(count)).starts_with("writing"))
      ::raise(signal_);
    return count;
  }
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }

 private:
  int signal_;
};

// The saver and the spool of converted pictures are both removed, whichever end signal comes.
TEST_F(PackTool, AnEndSignalWhileTheSaverIsWrittenLeavesNoFile) {
  picture("a.jpg", 0.5);
  writeAll(dir_ / "show.toml",
           "[area]\nwidth = 8\nheight = 6\nfit = \"cover\"\n[[slide]]\npicture = \"a.jpg\"\n");
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    EXPECT_EXIT(
        {
          SignalOnWriting raiser(signal);
          std::ostream terminal(&raiser);
          runBuild(dir_ / "show.toml", dir_ / "out.scr", dir_ / "player", errors_, &terminal);
        },
        ::testing::KilledBySignal(signal), "");
  }
  EXPECT_EQ(filesIn(dir_), (std::vector<fs::path>{"a.jpg", "player", "show.toml"}));
}

// A disk that fills up, or cannot be written at all, is named as the cause, and no tool leaves
// a half-written file.
TEST_F(PackTool, OnAFullOrReadOnlyDiskNothingIsLeftHalfWritten) {
  const SmallDisk disk(dir_ / "disk", 64 * 1024);
  const SmallDisk readOnly(dir_ / "ro", 64 * 1024, SmallDisk::Mode::ReadOnly);
  if (!disk.mounted()) GTEST_SKIP() << disk.reason();
  const Bytes large(200 * 1024, 0x5A);
  writeBytes(dir_ / "player", large);
  picture("a.jpg", 0.5);
  writeAll(dir_ / "show.toml", "[area]\nwidth = 8\nheight = 6\n[[slide]]\npicture = \"a.jpg\"\n");
  EXPECT_EQ(build(dir_ / "show.toml", disk.path() / "out.scr"), 1);
  EXPECT_THAT(errors_.str(), HasSubstr(": No space left on device; nothing was written"));
  EXPECT_EQ(build(dir_ / "show.toml", readOnly.path() / "out.scr"), 1);
  EXPECT_THAT(errors_.str(), HasSubstr(": Read-only file system; nothing was written"));

  PackageRecord r;
  r.Pictures.shape = {1, 0};
  PictureEntry& e = r.Pictures.entries.emplace_back();
  e.FileName = "large.bin";
  e.FileData.data = ByteBuffer(large);
  writeBytes(dir_ / "large.scr", writePackage(r));
  std::ostringstream out, err;
  EXPECT_EQ(runExtract(dir_ / "large.scr", disk.path() / "files", out, err), 1);
  EXPECT_THAT(err.str(), HasSubstr("No space left on device"));
  EXPECT_EQ(runExtract(dir_ / "large.scr", readOnly.path() / "files", out, err), 1);
  EXPECT_THAT(err.str(), HasSubstr("cannot be made: Read-only file system"));
  EXPECT_TRUE(filesIn(disk.path()).empty());

  std::ofstream(disk.path() / "filler") << std::string(128 * 1024, 'f');  // fills the disk
  EXPECT_EQ(runInit(dir_, disk.path() / "show.toml", "8x6", out, err), 1);
  EXPECT_THAT(err.str(), HasSubstr("cannot write " + (disk.path() / "show.toml").string() +
                                   ": No space left on device"));
  EXPECT_EQ(filesIn(disk.path()), std::vector<fs::path>{"filler"});
}

// A folder the user may not list is named, rather than said to hold no picture.
TEST_F(PackTool, AFolderThatCannotBeListedIsNamed) {
  picture("a.jpg", 0.5);
  fs::create_directory(dir_ / "locked");
  fs::rename(dir_ / "a.jpg", dir_ / "locked" / "a.jpg");
  fs::permissions(dir_ / "locked", fs::perms::none);
  writeAll(dir_ / "show.toml", "[area]\nwidth = 8\nheight = 6\n[[slide]]\npictures = \"locked\"\n");
  // Root may list any folder: the build runs as another user.
  const auto buildAsUser = [this] {
    if (::geteuid() == 0 && ::setuid(65534) != 0) std::exit(2);
    std::exit(runBuild(dir_ / "show.toml", dir_ / "out.scr", dir_ / "player", std::cerr));
  };
  EXPECT_EXIT(buildAsUser(), ::testing::ExitedWithCode(1),
              "'pictures' 'locked' cannot be read: the folder .*locked cannot be listed");
  fs::permissions(dir_ / "locked", fs::perms::owner_all);
}

TEST(Progress, BytesBeyondTheTotalKeepTheBarFull) {
  std::ostringstream terminal;
  {
    Progress progress(&terminal, "checking", 1, 10);
    progress.fileDone(25);  // a file that grew while it was read
  }
  EXPECT_THAT(terminal.str(), HasSubstr("[" + std::string(30, '#') + "] 1/1 files"));
}

}  // namespace
}  // namespace kamishibai
