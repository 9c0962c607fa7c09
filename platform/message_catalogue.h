// Kamishibai: the message catalogues built into the programs, so that a saver copied anywhere
// speaks its user's language with nothing installed beside it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace kamishibai {

// The translations of one language, read from the bytes of a compiled catalogue (the .mo form:
// a header, then the originals and their translations as tables of lengths and offsets, the
// originals sorted). A catalogue whose bytes do not hold that form translates nothing.
class MessageCatalogue {
 public:
  MessageCatalogue() = default;
  explicit MessageCatalogue(std::span<const std::uint8_t> bytes);

  // The translation of the original; the original itself when the catalogue has none.
  const char* translate(const char* original) const;
  // Whether the catalogue holds any translation.
  bool translates() const { return count_ > 0; }

 private:
  std::uint32_t word(std::size_t offset) const;
  // The string whose length and offset stand at `entry` of a table; empty when it does not fit.
  std::string_view entryText(std::size_t entry) const;

  std::span<const std::uint8_t> bytes_;
  bool swapped_ = false;  // written on a machine of the other byte order
  std::uint32_t count_ = 0;
  std::uint32_t originals_ = 0;
  std::uint32_t translations_ = 0;
};

// A compiled catalogue built into the program: made at build time from po/LANGUAGE.po
// (cmake/Translations.cmake).
struct BuiltInCatalogue {
  const char* language;
  const std::uint8_t* bytes;
  std::size_t size;
};
extern const BuiltInCatalogue kBuiltInCatalogues[];
extern const std::size_t kBuiltInCatalogueCount;

// The catalogue built in for the language ("en"); an empty one for any other (the originals).
MessageCatalogue builtInCatalogue(std::string_view language);

}  // namespace kamishibai
