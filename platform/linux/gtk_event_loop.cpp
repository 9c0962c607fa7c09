// Kamishibai: the desktop's event loop over GLib and GTK.
#include "platform/linux/gtk_event_loop.h"

#include <gtk/gtk.h>
#include <time.h>

#include <algorithm>

#include "platform/tick_base.h"

namespace kamishibai {

namespace {

std::uint64_t monotonicMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint64_t>(now.tv_sec) * 1000u +
         static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
}

// Taken when the program starts, so the ticks of a show do not depend on the machine's uptime.
const TickBase kProgramStart(monotonicMilliseconds());

}  // namespace

std::int32_t GtkEventLoop::tickCount() {
  return kProgramStart.ticksAt(monotonicMilliseconds());
}

void GtkEventLoop::processPendingEvents() {
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

void GtkEventLoop::waitForEventOrDeadline(std::int32_t deadline) {
  // The first tick reading later than the deadline comes one millisecond after it.
  const std::int64_t remaining = static_cast<std::int64_t>(deadline) - tickCount() + 1;
  if (remaining <= 0) return;
  bool fired = false;
  const guint timer = g_timeout_add(
      static_cast<guint>(std::min<std::int64_t>(remaining, G_MAXINT32)),
      [](gpointer data) -> gboolean {
        *static_cast<bool*>(data) = true;
        return G_SOURCE_REMOVE;
      },
      &fired);
  g_main_context_iteration(nullptr, TRUE);
  if (!fired) g_source_remove(timer);
}

}  // namespace kamishibai
