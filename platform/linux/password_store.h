// Kamishibai: reading the password file: the argon2id hash it must hold for a password to be
// verified against it, and what is wrong with it when it cannot be used.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kamishibai {

// The password file cannot be used: the verification service fails rather than reporting a
// wrong password, so a damaged file never locks the user out. The message names the file.
class PasswordStoreError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The contents without the blanks and line ends around them (what an editor or echo adds).
std::string_view storedHashText(std::string_view contents);

// What is wrong with the contents as a stored hash, completing "the password file ...";
// empty when they hold a usable argon2id hash as the saver writes it.
std::string storedHashProblem(std::string_view contents);

// The usable hash held by the file; a PasswordStoreError naming the file and the problem when
// it is missing, not a file, unreadable, too large or holds no usable hash.
std::string readStoredHash(const std::filesystem::path& file);

}  // namespace kamishibai
