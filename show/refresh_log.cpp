// Kamishibai: the show's opt-in refresh log.
#include "show/refresh_log.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "platform/running_program.h"

namespace kamishibai {
namespace {

// Room for some 30,000 lines: the file is written a few times an hour at most.
constexpr std::size_t kBufferBytes = 1 << 20;

long long monotonicMicroseconds() {
  using namespace std::chrono;
  return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

std::unique_ptr<RefreshLog> RefreshLog::fromEnvironment() {
  const char* path = std::getenv(kRefreshLogVariable);
  if (path == nullptr || *path == '\0') return nullptr;
  auto log = std::make_unique<RefreshLog>(path);
  if (!log->open()) return nullptr;
  return log;
}

RefreshLog::RefreshLog(const std::string& path) : path_(path) {
  file_ = std::fopen(path.c_str(), "w");
  if (file_ == nullptr) {
    std::cerr << programName() << ": cannot open the refresh log \"" << path_
              << "\": " << std::strerror(errno) << "; the show runs without it\n";
    return;
  }
  buffer_.resize(kBufferBytes);
  std::setvbuf(file_, buffer_.data(), _IOFBF, buffer_.size());
}

RefreshLog::~RefreshLog() {
  if (file_ == nullptr) return;
  const bool failedBefore = std::ferror(file_) != 0;
  if (std::fclose(file_) != 0 || failedBefore) {
    std::cerr << programName() << ": the refresh log \"" << path_
              << "\" could not be written in full\n";
  }
}

void RefreshLog::watch(Surface& surface, EventLoop& events) {
  if (file_ == nullptr) return;
  surface.setRefreshHook(
      [this, &events, present = surface.refreshHook()](const ChangedArea& changed) {
        if (present) present(changed);
        const int tick = events.tickCount();
        std::fprintf(file_, "refresh %lld %d %d\n", monotonicMicroseconds(), tick,
                     changed.bounds.empty() ? 0 : 1);
      });
}

void RefreshLog::transitionStarted(EventLoop& events, std::int32_t code, std::int32_t deadline,
                                   std::int32_t speedFactor) {
  if (file_ == nullptr) return;
  const int tick = events.tickCount();
  std::fprintf(file_, "transition %lld %d %d %d %d\n", monotonicMicroseconds(), tick,
               static_cast<int>(code), static_cast<int>(deadline), static_cast<int>(speedFactor));
}

}  // namespace kamishibai
