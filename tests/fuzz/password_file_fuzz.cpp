// Kamishibai: fuzzing the password file's reader: any contents must be judged without a fault,
// and what it accepts must be a hash of the one form the saver writes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/linux/password_store.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kamishibai;
  const std::string_view contents(reinterpret_cast<const char*>(data), size);
  if (!storedHashProblem(contents).empty()) return 0;
  const std::string_view hash = storedHashText(contents);
  if (!hash.starts_with("$argon2id$v=19$m=") || hash.find_first_of(" \t\r\n") != hash.npos) {
    std::abort();
  }
  return 0;
}
