// Kamishibai: an environment variable set, or removed, for the life of an object, on either
// system; the value it had before comes back afterwards.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace kamishibai {

class ScopedVariable {
 public:
  // value: nullopt removes the variable.
  ScopedVariable(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* before = std::getenv(name)) before_ = before;
    set(value);
  }
  ~ScopedVariable() { set(before_); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  void set(const std::optional<std::string>& value) {
#ifdef _WIN32
    _putenv_s(name_, value ? value->c_str() : "");
#else
    if (value) {
      ::setenv(name_, value->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
#endif
  }

  const char* name_;
  std::optional<std::string> before_;
};

}  // namespace kamishibai
