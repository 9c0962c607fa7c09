// Kamishibai: reading and changing values of the desktop settings file.
#include "platform/linux/desktop_ini.h"

#include <algorithm>
#include <charconv>
#include <sstream>

namespace kamishibai {

namespace {

std::string trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

bool sameName(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

// The group named by a "[name]" line, if the line is one.
std::optional<std::string> groupOf(const std::string& line) {
  const std::string item = trimmed(line);
  if (item.size() < 2 || item.front() != '[' || item.back() != ']') return std::nullopt;
  return trimmed(item.substr(1, item.size() - 2));
}

// The value text of a "name=value" line with that name.
std::optional<std::string> valueOf(const std::string& line, const std::string& name) {
  const std::string item = trimmed(line);
  if (item.empty() || item.front() == ';' || item.front() == '#') return std::nullopt;
  const auto equals = item.find('=');
  if (equals == std::string::npos || !sameName(trimmed(item.substr(0, equals)), name)) {
    return std::nullopt;
  }
  return trimmed(item.substr(equals + 1));
}

std::optional<std::vector<std::uint8_t>> dataOf(const std::string& value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    std::vector<std::uint8_t> data(value.begin() + 1, value.end() - 1);
    data.push_back(0);
    return data;
  }
  std::int64_t number = 0;
  const char* end = value.data() + value.size();
  const auto [stop, error] = std::from_chars(value.data(), end, number);
  if (value.empty() || error != std::errc() || stop != end || number < INT32_MIN ||
      number > UINT32_MAX) {
    return std::nullopt;
  }
  const auto bits = static_cast<std::uint32_t>(number);
  return std::vector<std::uint8_t>{
      static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
      static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
}

}  // namespace

std::optional<std::vector<std::uint8_t>> iniValueData(const std::string& text,
                                                      const std::string& group,
                                                      const std::string& name) {
  bool inGroup = false;
  for (const std::string& line : linesOf(text)) {
    if (const auto lineGroup = groupOf(line)) {
      inGroup = sameName(*lineGroup, group);
    } else if (inGroup) {
      if (const auto value = valueOf(line, name)) return dataOf(*value);
    }
  }
  return std::nullopt;
}

std::string withIniValue(const std::string& text, const std::string& group, const std::string& name,
                         const std::string& valueText) {
  std::vector<std::string> lines = linesOf(text);
  const std::string entry = name + "=" + valueText;
  std::optional<std::size_t> groupEnd;
  bool inGroup = false;
  bool done = false;
  for (std::size_t i = 0; i < lines.size() && !done; ++i) {
    if (const auto lineGroup = groupOf(lines[i])) {
      if (inGroup) break;
      inGroup = sameName(*lineGroup, group);
      if (inGroup) groupEnd = i + 1;
    } else if (inGroup) {
      if (valueOf(lines[i], name)) {
        lines[i] = entry;
        done = true;
      } else if (!trimmed(lines[i]).empty()) {
        groupEnd = i + 1;
      }
    }
  }
  if (!done && groupEnd) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*groupEnd), entry);
  } else if (!done) {
    lines.push_back("[" + group + "]");
    lines.push_back(entry);
  }
  std::string result;
  for (const std::string& line : lines) result += line + "\n";
  return result;
}

}  // namespace kamishibai
