// Kamishibai: the switches after the program name of a Windows command line.
#include <gtest/gtest.h>

#include "platform/win32/command_line_win32.h"

namespace kamishibai {
namespace {

TEST(WindowsCommandLine, TextAfterTheProgramName) {
  EXPECT_EQ(argumentText("C:\\WINDOWS\\demo.scr /s"), "/s");
  EXPECT_EQ(argumentText("\"C:\\My Savers\\demo.scr\" /c:1234"), "/c:1234");
  EXPECT_EQ(argumentText("\"C:\\My Savers\\demo.scr\"/S"), "/S");
  EXPECT_EQ(argumentText("demo.scr\t/p 42"), "/p 42");
  EXPECT_EQ(argumentText("demo.scr"), "");
  EXPECT_EQ(argumentText(""), "");
  EXPECT_EQ(argumentText("\"unclosed quote /s"), "");
}

TEST(WindowsCommandLine, OnlyTheOneSeparatingBlankIsDropped) {
  EXPECT_EQ(argumentText("demo.scr  /s"), " /s");
  EXPECT_EQ(argumentText("\"demo.scr\"  /s"), " /s");
}

}  // namespace
}  // namespace kamishibai
