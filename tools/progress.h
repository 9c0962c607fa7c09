// Kamishibai: a progress bar of files and bytes done, drawn on a terminal only.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <string_view>

namespace kamishibai {

// How far a piece of work is, for a window's progress bar.
struct ProgressCounts {
  std::string_view what;
  std::size_t filesDone = 0;
  std::size_t files = 0;
  std::uint64_t bytesDone = 0;
  std::uint64_t bytes = 0;
};
// Called from the threads doing the work, one call at a time.
using ProgressListener = std::function<void(const ProgressCounts&)>;

class Progress {
 public:
  // terminal: where to draw, or nullptr to stay silent (output that is not a terminal);
  // listener, when given, hears of every file done.
  Progress(std::ostream* terminal, std::string what, std::size_t files, std::uint64_t bytes,
           ProgressListener listener = {});
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  // One more file of that many bytes is done; safe from any thread.
  void fileDone(std::uint64_t bytes);

 private:
  void draw();

  std::ostream* terminal_;
  ProgressListener listener_;
  std::string what_;
  std::size_t files_;
  std::uint64_t bytes_;
  std::size_t filesDone_ = 0;
  std::uint64_t bytesDone_ = 0;
  int lastPercent_ = -1;
  std::mutex mutex_;
};

// Where a command draws its progress: standard error when it is a terminal, else nowhere.
std::ostream* progressTerminal();

}  // namespace kamishibai
