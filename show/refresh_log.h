// Kamishibai: an opt-in log of the show's pace for the live benchmark: when each Refresh came
// back from the platform and each transition began, on the monotonic clock and the tick count.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/event_loop.h"
#include "raster/raster.h"

namespace kamishibai {

// The variable that names the log file; without it the show keeps no log and pays nothing.
inline constexpr const char* kRefreshLogVariable = "KAMISHIBAI_REFRESH_LOG";

// Lines, one per event, written through a large buffer so that logging costs the show almost
// nothing:
//   refresh MICROSECONDS TICK PRESENTED     (PRESENTED 1 when the Refresh put pixels on screen)
//   transition MICROSECONDS TICK CODE DEADLINE SPEED-FACTOR
// MICROSECONDS is read after TICK, on the monotonic clock. The transition line comes when the
// wait for the display deadline is over, just before the transition's first step.
class RefreshLog {
 public:
  // The log the environment asks for, or nullptr. A file that cannot be opened is reported on
  // stderr once and the show runs without a log.
  static std::unique_ptr<RefreshLog> fromEnvironment();

  // Opens the file for writing; open() tells whether that worked.
  explicit RefreshLog(const std::string& path);
  // Writes out what is buffered; a failed write is reported on stderr.
  ~RefreshLog();
  RefreshLog(const RefreshLog&) = delete;
  RefreshLog& operator=(const RefreshLog&) = delete;

  bool open() const { return file_ != nullptr; }

  // Logs every Refresh of the surface once the hook the platform installed has returned, that is
  // once the present has been handed to the display. The log must outlive the surface's use.
  void watch(Surface& surface, EventLoop& events);
  void transitionStarted(EventLoop& events, std::int32_t code, std::int32_t deadline,
                         std::int32_t speedFactor);

 private:
  std::string path_;
  std::FILE* file_ = nullptr;
  std::vector<char> buffer_;
};

}  // namespace kamishibai
