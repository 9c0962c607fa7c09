// Kamishibai: the password file's reader. The hash must have exactly the form the saver writes
// ($argon2id$v=19$m=M,t=T,p=1$salt$hash with a 16-byte salt and a 32-byte hash), so that a file
// cut short or followed by other text is reported instead of failing every password.
#include "platform/linux/password_store.h"

#include <sodium.h>

#include <charconv>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

namespace kamishibai {

namespace {

constexpr std::string_view kBlanks = " \t\r\n\v\f";
constexpr std::string_view kPrefix = "$argon2id$v=19$m=";
constexpr std::size_t kSaltChars = 22;  // 16 bytes in unpadded base64
constexpr std::size_t kHashChars = 43;  // 32 bytes in unpadded base64
// Far more than any hash; a larger file is not read.
constexpr std::uintmax_t kLargestFile = 4096;
// The costs the saver can verify in a few seconds: the library's "sensitive" limits.
constexpr std::uint64_t kLargestMemoryKiB = crypto_pwhash_MEMLIMIT_SENSITIVE / 1024;
constexpr std::uint64_t kLargestWork = kLargestMemoryKiB * crypto_pwhash_OPSLIMIT_SENSITIVE;

// Reads a decimal number at the start of text and moves text past it.
std::optional<std::uint64_t> takeNumber(std::string_view& text) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end == text.data()) return std::nullopt;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()));
  return value;
}

bool takePrefix(std::string_view& text, std::string_view prefix) {
  if (!text.starts_with(prefix)) return false;
  text.remove_prefix(prefix.size());
  return true;
}

bool isBase64(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
         c == '/';
}

// The length of the run of base64 characters at the start of text.
std::size_t base64Run(std::string_view text) {
  std::size_t length = 0;
  while (length < text.size() && isBase64(text[length])) ++length;
  return length;
}

std::string problemOfHash(std::string_view hash) {
  const std::string damaged = "holds a damaged password hash";
  std::string_view rest = hash;
  if (!takePrefix(rest, kPrefix)) return damaged;
  const auto memory = takeNumber(rest);
  if (!memory || !takePrefix(rest, ",t=")) return damaged;
  const auto passes = takeNumber(rest);
  if (!passes || !takePrefix(rest, ",p=1$")) return damaged;
  if (base64Run(rest) != kSaltChars || rest.size() <= kSaltChars || rest[kSaltChars] != '$') {
    return damaged;
  }
  rest.remove_prefix(kSaltChars + 1);
  const std::size_t hashChars = base64Run(rest);
  if (hashChars < kHashChars) return damaged + " (cut short)";
  if (hashChars > kHashChars || rest.size() > kHashChars) {
    return "has other text after the password hash";
  }
  if (*memory == 0 || *passes == 0 || *memory > kLargestMemoryKiB ||
      *passes > kLargestWork / *memory) {
    return "asks for more memory or time than a password check may take";
  }
  // The library's own reading of the same text, which also checks the encoding's last bits.
  const std::string text(hash);
  if (sodium_init() < 0 ||
      crypto_pwhash_str_needs_rehash(text.c_str(), *passes, *memory * 1024) < 0) {
    return damaged;
  }
  return {};
}

}  // namespace

std::string_view storedHashText(std::string_view contents) {
  const auto first = contents.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return contents.substr(first, contents.find_last_not_of(kBlanks) - first + 1);
}

std::string storedHashProblem(std::string_view contents) {
  const std::string_view hash = storedHashText(contents);
  if (hash.empty()) return "is empty";
  if (!hash.starts_with("$argon2id$")) return "does not hold an argon2id password hash";
  return problemOfHash(hash);
}

std::string readStoredHash(const std::filesystem::path& file) {
  const std::string name = "the password file " + file.string() + " ";
  std::error_code error;
  const auto status = std::filesystem::status(file, error);
  if (status.type() == std::filesystem::file_type::not_found) {
    throw PasswordStoreError(name + "is missing");
  }
  if (status.type() == std::filesystem::file_type::directory) {
    throw PasswordStoreError(name + "is a folder, not a file");
  }
  if (error || status.type() != std::filesystem::file_type::regular) {
    throw PasswordStoreError(name + "is not a readable file");
  }
  if (std::filesystem::file_size(file, error) > kLargestFile || error) {
    throw PasswordStoreError(name + "is too large to hold a password hash");
  }
  std::ifstream in(file, std::ios::binary);
  std::string contents((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.is_open() || in.bad()) throw PasswordStoreError(name + "cannot be read");
  if (const std::string problem = storedHashProblem(contents); !problem.empty()) {
    throw PasswordStoreError(name + problem);
  }
  return std::string(storedHashText(contents));
}

}  // namespace kamishibai
