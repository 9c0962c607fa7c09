// Kamishibai: the compiled catalogues the programs carry: lookups in a catalogue laid out here
// byte by byte, the English one built in, and damaged bytes that translate nothing.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/message_catalogue.h"

namespace kamishibai {
namespace {

using Bytes = std::vector<std::uint8_t>;

void put32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  for (int k = 0; k < 4; ++k) bytes[at + k] = static_cast<std::uint8_t>(value >> (8 * k));
}

// A little-endian catalogue of the pairs, whose originals must be given sorted.
Bytes catalogueOf(const std::vector<std::pair<std::string, std::string>>& pairs) {
  const std::size_t count = pairs.size();
  Bytes bytes(20 + 16 * count);
  put32(bytes, 0, 0x950412de);
  put32(bytes, 8, static_cast<std::uint32_t>(count));
  put32(bytes, 12, 20);
  put32(bytes, 16, static_cast<std::uint32_t>(20 + 8 * count));
  for (std::size_t k = 0; k < count; ++k) {
    for (const auto& [table, text] :
         {std::pair{20 + 8 * k, pairs[k].first}, {20 + 8 * (count + k), pairs[k].second}}) {
      put32(bytes, table, static_cast<std::uint32_t>(text.size()));
      put32(bytes, table + 4, static_cast<std::uint32_t>(bytes.size()));
      bytes.insert(bytes.end(), text.begin(), text.end());
      bytes.push_back(0);
    }
  }
  return bytes;
}

TEST(MessageCatalogue, FindsEveryOriginalAndLeavesOthersAlone) {
  const Bytes bytes = catalogueOf({{"", "header"}, {"a", "A"}, {"b", "B"}, {"設定", "Settings"}});
  const MessageCatalogue catalogue(bytes);
  EXPECT_STREQ(catalogue.translate("a"), "A");
  EXPECT_STREQ(catalogue.translate("b"), "B");
  EXPECT_STREQ(catalogue.translate("設定"), "Settings");
  const char* missing = "c";
  EXPECT_EQ(catalogue.translate(missing), missing);
  EXPECT_EQ(MessageCatalogue().translate(missing), missing);
}

TEST(MessageCatalogue, TheEnglishCatalogueIsBuiltIn) {
  EXPECT_STREQ(builtInCatalogue("en").translate("設定"), "Settings");
  const char* original = "設定";
  EXPECT_EQ(builtInCatalogue("fr").translate(original), original);
  EXPECT_FALSE(builtInCatalogue("ja").translates());
}

TEST(MessageCatalogue, DamagedBytesTranslateNothing) {
  const Bytes whole = catalogueOf({{"a", "A"}, {"b", "B"}});
  Bytes badMagic = whole;
  badMagic[0] ^= 1;
  Bytes tableOutside = whole;
  put32(tableOutside, 16, static_cast<std::uint32_t>(whole.size() - 4));
  Bytes stringOutside = whole;
  put32(stringOutside, 20 + 8 * 2 + 4, static_cast<std::uint32_t>(whole.size()));
  Bytes unterminated = whole;
  unterminated.back() = 'x';
  for (const Bytes& bytes :
       {Bytes(whole.begin(), whole.begin() + 19), badMagic, tableOutside, unterminated}) {
    EXPECT_STREQ(MessageCatalogue(bytes).translate("b"), "b");
  }
  // A string that lies outside spoils its own entry only.
  EXPECT_STREQ(MessageCatalogue(stringOutside).translate("a"), "a");
  EXPECT_STREQ(MessageCatalogue(stringOutside).translate("b"), "B");
}

}  // namespace
}  // namespace kamishibai
