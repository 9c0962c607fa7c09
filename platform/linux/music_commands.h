// Kamishibai: the interpreter of the music command strings the show sends, over a small backend
// that plays one music file.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/audio.h"

namespace kamishibai {

// One music file at a time, played once from its beginning; the interpreter keeps the alias and
// the command grammar, the backend only the sound.
class MusicBackend {
 public:
  virtual ~MusicBackend() = default;
  // Opens the file, replacing any file open before; false when it cannot be played.
  virtual bool load(const std::string& path) = 0;
  // Starts the open file from its current position unless it is already playing.
  virtual void play() = 0;
  // True while the open file is sounding; false once it has played to its end or was stopped.
  virtual bool isPlaying() const = 0;
  // Stops playback and puts the position back to the beginning.
  virtual void rewind() = 0;
  // Stops playback and releases the file.
  virtual void close() = 0;
};

// Understands "open \"path\" alias NAME", "play NAME", "status NAME mode", "seek NAME to start"
// and "close NAME" (keywords and the alias in any letter case). Anything else, and any command
// for an alias that is not open, fails: the reply then holds no answer. One file is open at a
// time; opening another before closing the first fails.
class MusicCommandInterpreter final : public MusicDevice {
 public:
  explicit MusicCommandInterpreter(std::unique_ptr<MusicBackend> backend);

  void sendString(std::string_view command, char* reply, std::size_t length) override;

 private:
  // The reply text of a command that succeeded; nullopt when it failed.
  std::optional<std::string> execute(std::string_view command);

  std::unique_ptr<MusicBackend> backend_;
  std::optional<std::string> alias_;  // the alias of the open file, lower-cased
};

}  // namespace kamishibai
