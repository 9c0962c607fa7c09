// Kamishibai: reading the compiled message catalogues built into the programs.
#include "platform/message_catalogue.h"

#include <cstring>

namespace kamishibai {
namespace {

constexpr std::uint32_t kMagic = 0x950412de;
constexpr std::uint32_t kSwappedMagic = 0xde120495;
constexpr std::size_t kHeaderBytes = 20;
constexpr std::size_t kEntryBytes = 8;

}  // namespace

MessageCatalogue::MessageCatalogue(std::span<const std::uint8_t> bytes) : bytes_(bytes) {
  if (bytes_.size() < kHeaderBytes) return;
  const std::uint32_t magic = word(0);
  if (magic != kMagic && magic != kSwappedMagic) return;
  swapped_ = magic == kSwappedMagic;
  const std::uint64_t count = word(8), originals = word(12), translations = word(16);
  // Both tables lie whole inside the bytes; the strings are checked as they are read.
  if (originals + count * kEntryBytes > bytes_.size() ||
      translations + count * kEntryBytes > bytes_.size()) {
    return;
  }
  count_ = static_cast<std::uint32_t>(count);
  originals_ = static_cast<std::uint32_t>(originals);
  translations_ = static_cast<std::uint32_t>(translations);
}

std::uint32_t MessageCatalogue::word(std::size_t offset) const {
  std::uint32_t value = 0;
  std::memcpy(&value, bytes_.data() + offset, sizeof value);
  if (swapped_) {
    value = (value >> 24) | (value >> 8 & 0xFF00u) | (value << 8 & 0xFF0000u) | (value << 24);
  }
  return value;
}

std::string_view MessageCatalogue::entryText(std::size_t entry) const {
  const std::uint64_t length = word(entry), offset = word(entry + 4);
  // The string is followed by its terminating NUL, which the translation hands out with it.
  if (offset + length >= bytes_.size() || bytes_[offset + length] != 0) return {};
  return {reinterpret_cast<const char*>(bytes_.data() + offset), static_cast<std::size_t>(length)};
}

const char* MessageCatalogue::translate(const char* original) const {
  const std::string_view wanted(original);
  std::uint32_t low = 0, high = count_;
  while (low < high) {
    const std::uint32_t middle = low + (high - low) / 2;
    const std::string_view candidate = entryText(originals_ + middle * kEntryBytes);
    if (candidate == wanted) {
      const std::string_view translation = entryText(translations_ + middle * kEntryBytes);
      return translation.empty() ? original : translation.data();
    }
    if (candidate < wanted) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return original;
}

MessageCatalogue builtInCatalogue(std::string_view language) {
  for (std::size_t k = 0; k < kBuiltInCatalogueCount; ++k) {
    if (language == kBuiltInCatalogues[k].language) {
      return MessageCatalogue({kBuiltInCatalogues[k].bytes, kBuiltInCatalogues[k].size});
    }
  }
  return {};
}

}  // namespace kamishibai
