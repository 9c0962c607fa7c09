// Kamishibai: the Studio's show in memory: a manifest read and written back keeps its meaning, and
// every edit undoes and redoes.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "studio/edit_history.h"
#include "studio/show_opening.h"
#include "tests/unit/studio/studio_files.h"

namespace kamishibai {
namespace {

namespace fs = std::filesystem;

// What build makes of a plan: the record, every file with the way it is stored, the problems.
std::string meaning(const ShowPlan& plan) {
  std::ostringstream out;
  const PackageRecord& r = plan.record;
  out << r.HasSettings << " " << r.AreaWidth << "x" << r.AreaHeight << " " << r.AreaColor << " "
      << r.PictureCount << " " << r.BgmName << "\n";
  for (const PictureEntry& e : r.Pictures.entries) {
    out << e.FileName << " " << e.SoundName << " " << e.ShowTime << " " << e.PosX << "," << e.PosY
        << " " << e.EffectNo << " " << e.Speed << " " << e.Overlay << e.Transparent << "\n";
  }
  for (const PlannedFile& f : plan.files) {
    out << fs::absolute(f.path).lexically_normal() << " " << f.storedName << " "
        << static_cast<int>(f.fit.fit) << " " << f.fit.jpegQuality << f.rawContent << f.rawName
        << "\n";
  }
  for (const ShowPlan::Array& a : plan.arrays) {
    out << a.file << ":" << (a.shape ? a.shape->lowerBound : -9) << " ";
  }
  for (const ManifestProblem& p : plan.problems) out << "\nproblem: " << p.message;
  return out.str();
}

TEST(ShowModel, AHandWrittenManifestOpensAndIsWrittenBackWithItsMeaning) {
  ScratchFolder scratch;
  const fs::path dir = scratch.path();
  for (const char* name : {"pics/a.png", "pics/b.png", "c.png"}) paint(dir / name, 8, 6, {1, 0, 0});
  writeText(dir / "theme.wav", "stand-in");
  const std::string manifest = R"(settings = true
shuffle = true
seed = 7
picture_count = 3
[area]
width = 320
height = 200
colour = "#102030"
fit = "contain"
[defaults]
time = 2500
effect = "random"
random_except = [13, "zoom-through-black"]
speed = 1
quality = 80
[music]
file = "theme.wav"
name = "music.wav"
[[slide]]
pictures = "pics"
sound = "theme.wav"
[[slide]]
picture = "c.png"
name = "third.png"
raw = ["time"]
time = 100000000
effect = "clock"
fit = "none"
x = 5
y = 6
overlay = -1
picture_array = { dimensions = 1, lower_bound = 2 }
)";
  const ManifestShowReading read = readManifestShow(manifest, dir, "hand.toml");
  ASSERT_TRUE(read.problems.empty());
  EXPECT_EQ(stems(read.show), "abc");
  EXPECT_EQ(read.show.slides[2].effect, 32);
  EXPECT_TRUE(read.show.slides[2].overlay);
  EXPECT_EQ(slideEffect(read.show.settings, read.show.slides[0]), kRandomEffect);
  EXPECT_EQ(slideFit(read.show.settings, read.show.slides[1]), PictureFit::Contain);

  // Written in another folder, the files are named by their absolute paths.
  for (const fs::path& folder : {dir, dir / "elsewhere"}) {
    const std::string written = writeManifestShow(read.show, folder).text;
    const ManifestShowReading again = readManifestShow(written, folder, "written.toml");
    ASSERT_TRUE(again.problems.empty()) << written;
    EXPECT_EQ(again.show, read.show) << written;
    EXPECT_EQ(meaning(planShow(written, folder, "written.toml")),
              meaning(planShow(manifest, dir, "hand.toml")))
        << written;
  }
  EXPECT_NE(writeManifestShow(read.show, dir).text.find("picture = \"pics/a.png\""),
            std::string::npos);

  // A value that should be a table and is not is written back as it stands, for build to report.
  const ManifestShowReading odd = readManifestShow("music = \"theme.wav\"\n", dir, "odd.toml");
  const std::string oddText = writeManifestShow(odd.show, dir).text;
  EXPECT_NE(oddText.find("music = 'theme.wav'"), std::string::npos) << oddText;

  // A pattern that cannot be followed would drop slides when saved: such a manifest is not
  // opened.
  writeText(dir / "broken.toml", "[area]\nwidth = 9\nheight = 9\n[[slide]]\npictures = \"gone\"\n");
  const OpenedShow broken = openManifest(dir / "broken.toml");
  EXPECT_FALSE(broken.document);
  ASSERT_EQ(broken.problems.size(), 1u);
  EXPECT_NE(broken.problems[0].find("broken.toml:4"), std::string::npos);
}

ManifestSlide slideOf(const std::string& stem) {
  ManifestSlide slide;
  slide.picture = "/pictures/" + stem + ".jpg";
  return slide;
}

TEST(ShowModel, EveryEditUndoesAndRedoesWithItsSelection) {
  ShowDocument document;
  EditHistory history(document);
  struct Step {
    std::function<Selection()> edit;
    std::string order;
    Selection selected;
  };
  const std::vector<Step> steps = {
      {[&] {
         return history.addSlides(
             9, {slideOf("a"), slideOf("b"), slideOf("c"), slideOf("d"), slideOf("e")});
       },
       "abcde",
       {0, 1, 2, 3, 4}},
      // The first slide cannot go higher; the third passes the second. Down, the lower slide
      // moves first, so a block moves whole.
      {[&] {
         return history.moveUp({0, 2});
       },
       "acbde",
       {0, 1}},
      {[&] {
         return history.moveDown({1, 2});
       },
       "adcbe",
       {2, 3}},
      {[&] {
         return history.moveSlides({0, 3}, 1);
       },
       "dabce",
       {1, 2}},
      {[&] {
         return history.removeSlides({4, 1, 1});
       },
       "dbc",
       {1}},
      {[&] {
         return history.changeSlides({0, 2}, "Change time", [](ManifestSlide& s) { s.time = 9; });
       },
       "dbc",
       {0, 2}},
      {[&] {
         ManifestSettings settings = document.show().settings;
         settings.areaWidth = 640;
         history.setSettings(settings, "Change area");
         return Selection{};
       },
       "dbc",
       {}},
  };
  std::vector<ManifestShow> states = {document.show()};
  for (const Step& step : steps) {
    EXPECT_EQ(step.edit(), step.selected) << step.order;
    EXPECT_EQ(stems(document.show()), step.order);
    states.push_back(document.show());
  }
  EXPECT_EQ(document.show().slides[2].time, 9);
  EXPECT_TRUE(document.dirty());
  // A block at the end stays, and is no edit.
  EXPECT_EQ(history.moveDown({1, 2}), (Selection{1, 2}));
  EXPECT_EQ(history.undoName(), "Change area");

  for (std::size_t i = steps.size(); i > 0; --i) {
    history.undo();
    EXPECT_EQ(document.show(), states[i - 1]) << i;
  }
  EXPECT_FALSE(history.canUndo());
  EXPECT_FALSE(document.dirty());
  for (std::size_t i = 1; i <= steps.size(); ++i) {
    history.redo();
    EXPECT_EQ(document.show(), states[i]) << i;
  }
  history.undo();
  history.undo();
  history.removeSlides({0});
  EXPECT_FALSE(history.canRedo());
  EXPECT_EQ(stems(document.show()), "bc");
}

TEST(ShowModel, AFolderBecomesAShowThatSavesAndOpensAgain) {
  ScratchFolder scratch;
  const fs::path dir = scratch.path();
  paint(dir / "photos" / "b.jpg", 8, 6, {0, 0, 1});
  paint(dir / "photos" / "deeper" / "c.png", 8, 6, {0, 1, 0});
  paint(dir / "photos" / "a.png", 8, 6, {1, 0, 0});
  writeText(dir / "photos" / "notes.txt", "not a picture");
  StudioScratch studio;
  OpenedShow opened = openPath(dir / "photos", 1280, 720, studio);
  ASSERT_TRUE(opened.document);
  ShowDocument& document = *opened.document;
  EXPECT_EQ(stems(document.show()), "abc");
  // Never saved, it would be lost when closed.
  EXPECT_TRUE(document.dirty());
  EXPECT_TRUE(document.manifestPath().empty());

  EditHistory history(document);
  history.moveSlides({2}, 0);
  EXPECT_TRUE(document.dirty());
  saveShow(document, dir / "show.toml", studio);
  EXPECT_FALSE(document.dirty());
  const OpenedShow again = openPath(dir / "show.toml", 1, 1, studio);
  ASSERT_TRUE(again.document);
  EXPECT_EQ(again.document->show(), document.show());
  EXPECT_EQ(again.document->show().settings.areaWidth, 1280);
  EXPECT_TRUE(again.problems.empty());

  std::vector<std::string> problems;
  EXPECT_TRUE(slidesForPaths({dir / "photos" / "notes.txt", dir / "gone"}, problems).empty());
  EXPECT_EQ(problems.size(), 2u);
}

}  // namespace
}  // namespace kamishibai
