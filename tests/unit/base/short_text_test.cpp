// Kamishibai: shortening names and values for messages: by characters, never inside a UTF-8
// character, keeping the start and the end.
#include <gtest/gtest.h>

#include <string>

#include "base/short_text.h"

namespace kamishibai {
namespace {

std::size_t characters(const std::string& text) {
  std::size_t count = 0;
  for (const char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return count;
}

TEST(ShortText, ShortTextsStayAndLongOnesKeepTheirStartAndEnd) {
  EXPECT_EQ(shortenedForMessage("picture.jpg"), "picture.jpg");
  const std::string exact(kLongestNameInMessage, 'a');
  EXPECT_EQ(shortenedForMessage(exact), exact);
  const std::string longName = "start" + std::string(5000, 'x') + "end.jpg";
  const std::string shortened = shortenedForMessage(longName);
  EXPECT_EQ(characters(shortened), kLongestNameInMessage);
  EXPECT_EQ(shortened.rfind("start", 0), 0u);
  EXPECT_TRUE(shortened.ends_with("end.jpg"));
  EXPECT_NE(shortened.find("…"), std::string::npos);
}

TEST(ShortText, CutsFallBetweenUtf8Characters) {
  std::string kanji;
  for (int i = 0; i < 30; ++i) kanji += "写真";
  for (std::size_t limit = 3; limit < 60; ++limit) {
    const std::string shortened = shortenedForMessage(kanji, limit);
    EXPECT_EQ(characters(shortened), limit);
    EXPECT_EQ(shortened.size() % 3, 0u);  // whole three-byte characters only
  }
}

TEST(ShortText, MessagesShortenEachLongWordAndTheirWholeLength) {
  const std::string message =
      "cannot read the picture " + std::string(65535, 'n') + " of picture entry 3\r\nnext line";
  const std::string readable = readableMessage(message);
  EXPECT_EQ(readable.rfind("cannot read the picture nnn", 0), 0u);
  EXPECT_TRUE(readable.ends_with(" of picture entry 3\r\nnext line"));
  EXPECT_LT(characters(readable), 200u);

  std::string spaced;
  for (int i = 0; i < 10000; ++i) spaced += "word ";
  EXPECT_EQ(characters(readableMessage(spaced)), kLongestMessageText);
  EXPECT_EQ(readableMessage("short  text\r\n"), "short  text\r\n");
}

}  // namespace
}  // namespace kamishibai
