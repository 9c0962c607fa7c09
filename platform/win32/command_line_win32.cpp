// Kamishibai: the program name of a Windows command line and what follows it.
#include "platform/win32/command_line_win32.h"

#include <algorithm>

namespace kamishibai {

std::string argumentText(std::string_view commandLine) {
  std::size_t end = 0;
  if (!commandLine.empty() && commandLine.front() == '"') {
    const std::size_t closing = commandLine.find('"', 1);
    end = closing == std::string_view::npos ? commandLine.size() : closing + 1;
  } else {
    end = std::min(commandLine.find_first_of(" \t"), commandLine.size());
  }
  if (end < commandLine.size() && (commandLine[end] == ' ' || commandLine[end] == '\t')) ++end;
  return std::string(commandLine.substr(end));
}

}  // namespace kamishibai
