// Kamishibai: the desktop's event loop over GLib and GTK.
#include "platform/linux/event_loop_gtk.h"

#include <glib-unix.h>
#include <sys/timerfd.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "platform/tick_base.h"

namespace kamishibai {

namespace {

constexpr std::int64_t kNanosecondsPerMillisecond = 1'000'000;

std::int64_t monotonicNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

std::uint64_t millisecondsOf(std::int64_t nanoseconds) {
  return static_cast<std::uint64_t>(nanoseconds / kNanosecondsPerMillisecond);
}

// Taken when the program starts, so the ticks of a show do not depend on the machine's uptime.
// It is a whole millisecond, so the tick count changes on the monotonic clock's millisecond
// boundaries.
const TickBase kProgramStart(millisecondsOf(monotonicNanoseconds()));

// Reading the expiration count clears the timer's readiness.
gboolean clearTimer(gint fd, GIOCondition, gpointer) {
  std::uint64_t expirations = 0;
  while (::read(fd, &expirations, sizeof expirations) < 0 && errno == EINTR) {
  }
  return G_SOURCE_CONTINUE;
}

}  // namespace

GtkEventLoop::~GtkEventLoop() {
  if (timerSource_ != 0) g_source_remove(timerSource_);
}

std::int32_t GtkEventLoop::tickCount() {
  return kProgramStart.ticksAt(millisecondsOf(monotonicNanoseconds()));
}

void GtkEventLoop::processPendingEvents() {
  while (g_main_context_pending(nullptr)) g_main_context_iteration(nullptr, FALSE);
}

void GtkEventLoop::waitForEventOrDeadline(std::int32_t deadline) {
  const std::int64_t now = monotonicNanoseconds();
  // The first tick reading later than the deadline starts at a millisecond boundary of the
  // monotonic clock: the wake is set to that boundary itself.
  const std::int64_t millisecondsToGo =
      static_cast<std::int64_t>(deadline) - kProgramStart.ticksAt(millisecondsOf(now)) + 1;
  if (millisecondsToGo <= 0) return;
  const std::int64_t wake = (static_cast<std::int64_t>(millisecondsOf(now)) + millisecondsToGo) *
                            kNanosecondsPerMillisecond;

  if (!timer_.valid()) {
    timer_ = UniqueFd(timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK));
    if (timer_.valid()) timerSource_ = g_unix_fd_add(timer_.get(), G_IO_IN, clearTimer, nullptr);
  }
  itimerspec at{};
  at.it_value.tv_sec = static_cast<time_t>(wake / 1'000'000'000);
  at.it_value.tv_nsec = static_cast<long>(wake % 1'000'000'000);
  if (!timer_.valid() || timerfd_settime(timer_.get(), TFD_TIMER_ABSTIME, &at, nullptr) != 0) {
    throw std::runtime_error("the wait's timer cannot be set");
  }
  g_main_context_iteration(nullptr, TRUE);
}

}  // namespace kamishibai
