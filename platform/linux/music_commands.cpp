// Kamishibai: the interpreter of the music command strings.
#include "platform/linux/music_commands.h"

#include <algorithm>
#include <initializer_list>
#include <utility>
#include <vector>

namespace kamishibai {
namespace {

std::string asciiLower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return lower;
}

// Splits a command at blanks; a word between double quotes may hold blanks and loses its quotes.
// nullopt when a quote is left open.
std::optional<std::vector<std::string>> splitWords(std::string_view command) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < command.size()) {
    if (command[i] == ' ') {
      ++i;
    } else if (command[i] == '"') {
      const std::size_t close = command.find('"', i + 1);
      if (close == std::string_view::npos) return std::nullopt;
      words.emplace_back(command.substr(i + 1, close - i - 1));
      i = close + 1;
    } else {
      const std::size_t end = std::min(command.find(' ', i), command.size());
      words.emplace_back(command.substr(i, end - i));
      i = end;
    }
  }
  return words;
}

// True when the words are exactly the keywords given, with the alias in second place; the first
// and the alias are compared by the caller.
bool matches(const std::vector<std::string>& words, std::initializer_list<std::string_view> tail) {
  if (words.size() != 2 + tail.size()) return false;
  return std::equal(tail.begin(), tail.end(), words.begin() + 2,
                    [](std::string_view keyword, const std::string& word) {
                      return asciiLower(word) == keyword;
                    });
}

}  // namespace

MusicCommandInterpreter::MusicCommandInterpreter(std::unique_ptr<MusicBackend> backend)
    : backend_(std::move(backend)) {}

void MusicCommandInterpreter::sendString(std::string_view command, char* reply,
                                         std::size_t length) {
  const std::string answer = execute(command).value_or(std::string());
  if (reply == nullptr) return;
  const std::size_t copied = std::min(answer.size(), length);
  std::copy_n(answer.begin(), copied, reply);
  std::fill(reply + copied, reply + length, ' ');
}

std::optional<std::string> MusicCommandInterpreter::execute(std::string_view command) {
  const auto words = splitWords(command);
  if (!words || words->empty()) return std::nullopt;
  const std::string verb = asciiLower(words->front());

  if (verb == "open") {
    // open PATH alias NAME
    if (words->size() != 4 || asciiLower((*words)[2]) != "alias" || alias_) return std::nullopt;
    if (!backend_->load((*words)[1])) return std::nullopt;
    alias_ = asciiLower((*words)[3]);
    return std::string();
  }

  if (words->size() < 2 || !alias_ || asciiLower((*words)[1]) != *alias_) return std::nullopt;
  if (verb == "play" && matches(*words, {})) {
    backend_->play();
    return std::string();
  }
  if (verb == "status" && matches(*words, {"mode"}))
    return std::string(backend_->isPlaying() ? "playing" : "stopped");
  if (verb == "seek" && matches(*words, {"to", "start"})) {
    backend_->rewind();
    return std::string();
  }
  if (verb == "close" && matches(*words, {})) {
    backend_->close();
    alias_.reset();
    return std::string();
  }
  return std::nullopt;
}

}  // namespace kamishibai
