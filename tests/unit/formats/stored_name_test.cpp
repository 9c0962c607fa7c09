// Kamishibai: the stored-name rules: plain file names, and the names Windows does not store as
// plain files.
#include <gtest/gtest.h>

#include <string>

#include "base/file_names.h"
#include "formats/stored_name.h"

namespace kamishibai {
namespace {

TEST(StoredName, PlainNamesPassEveryRule) {
  for (const std::string name : {"0", "slide 1.jpg", "CONSOLE.jpg", "com10.png", "lpt0.gif",
                                 "nulled", "auxiliary.wav", ".hidden", "日本語.jpg", "a.b.c"}) {
    EXPECT_EQ(portableNameProblem(name), "") << name;
    EXPECT_EQ(storedNameProblem(name), "") << name;
  }
}

TEST(StoredName, NamesThatLeaveTheFolderAreRefusedEverywhere) {
  using namespace std::string_literals;
  for (const std::string& name :
       {""s, "   "s, "/etc/passwd"s, "a/b"s, "a\\b"s, ".."s, "x..y"s, "a\0b"s}) {
    EXPECT_NE(storedNameProblem(name), "") << name;
    EXPECT_NE(portableNameProblem(name), "") << name;
  }
}

TEST(StoredName, WindowsDeviceNamesInAnyCaseWithOrWithoutExtension) {
  for (const std::string name :
       {"CON", "con", "Prn", "AUX.txt", "nul", "NUL.tar.gz", "COM1", "com9.jpg", "LPT1", "lpt5.png",
        "CON .jpg", "conin$", "CONOUT$.log", "COM\xC2\xB9", "lpt\xC2\xB3.wav"}) {
    EXPECT_EQ(windowsNameProblem(name), "the name is a Windows device name") << name;
  }
}

TEST(StoredName, WindowsStreamsTrailingDotsBlanksAndControlCharacters) {
  EXPECT_EQ(windowsNameProblem("c:evil.jpg"), "the name holds a ':'");
  EXPECT_EQ(windowsNameProblem("pic.jpg:stream"), "the name holds a ':'");
  EXPECT_EQ(windowsNameProblem("trail.jpg."), "the name ends in a dot or a blank");
  EXPECT_EQ(windowsNameProblem("trail.jpg. "), "the name ends in a dot or a blank");
  EXPECT_EQ(windowsNameProblem("tab\there"), "the name holds a control character");
  EXPECT_EQ(windowsNameProblem("bell\x07"), "the name holds a control character");
  EXPECT_EQ(windowsNameProblem("del\x7F"), "the name holds a control character");
  for (const std::string name : {"what?.jpg", "star*.png", "a<b", "a>b", "a|b", "say\"hi\""}) {
    EXPECT_NE(windowsNameProblem(name), "") << name;
  }
}

TEST(StoredName, ThePlayerAppliesTheWindowsRulesOnlyOnWindows) {
  EXPECT_EQ(storedNameProblem("CON.jpg").empty(), !kWindowsFileNames);
  EXPECT_EQ(storedNameProblem("name.").empty(), !kWindowsFileNames);
  EXPECT_NE(portableNameProblem("CON.jpg"), "");
}

// Windows keeps one file for names that differ only in letter case: the later of two such names
// reaches the earlier one's file.
TEST(StoredName, NamesThatDifferOnlyInLetterCase) {
  EXPECT_EQ(foldedCase("Photo.jpg"), "PHOTO.JPG");
  EXPECT_EQ(foldedCase("café łódź σς жё ａ"), "CAFÉ ŁÓDŹ ΣΣ ЖЁ Ａ");
  EXPECT_EQ(foldedCase("写真÷ı\xFF"), "写真÷ı\xFF");  // the dotless i and stray bytes stay
  EXPECT_EQ(caseVariantsOfEarlierNames({"A.png", "b.png", "a.png", "A.png", "B.PNG", "a.png"}),
            (std::set<std::string>{"a.png", "B.PNG"}));
}

}  // namespace
}  // namespace kamishibai
