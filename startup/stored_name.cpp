// Kamishibai: the plain-file-name rule for stored names.
#include "startup/stored_name.h"

namespace kamishibai {

std::string_view storedNameProblem(std::string_view name) {
  if (name.find_first_not_of(" \t\r\n") == std::string_view::npos) return "the name is empty";
  if (name.front() == '/') return "the name is an absolute path";
  if (name.find_first_of("/\\") != std::string_view::npos) return "the name holds a path separator";
  if (name.find("..") != std::string_view::npos) return "the name holds \"..\"";
  if (name.find('\0') != std::string_view::npos) return "the name holds a NUL character";
  return {};
}

}  // namespace kamishibai
