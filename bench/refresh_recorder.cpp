// Kamishibai: records when the show's window changes on the X server: the time of every damage
// report, in microseconds of the monotonic clock, one per line. Every drawing request is reported
// on its own, so a change that comes while the recorder is still busy with the one before is not
// merged into it. It waits for the largest mapped top-level window (the show), watches it and
// every window inside it, and stops after the given number of seconds.
//
//   kamishibai-refresh-recorder SECONDS > times.txt
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>
#include <time.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

std::int64_t nowMicroseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1'000'000 + now.tv_nsec / 1000;
}

std::vector<Window> childrenOf(Display* display, Window window) {
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  std::vector<Window> result;
  if (XQueryTree(display, window, &root, &parent, &children, &count) && children) {
    result.assign(children, children + count);
    XFree(children);
  }
  return result;
}

// The mapped child of the root window with the largest area, or 0.
Window largestMappedWindow(Display* display) {
  Window best = 0;
  long bestArea = 0;
  for (Window window : childrenOf(display, DefaultRootWindow(display))) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable) {
      continue;
    }
    const long area = static_cast<long>(attributes.width) * attributes.height;
    if (area > bestArea) {
      best = window;
      bestArea = area;
    }
  }
  return best;
}

// Input-only windows show nothing and take no damage.
void watch(Display* display, Window window) {
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(display, window, &attributes) || attributes.c_class != InputOutput) {
    return;
  }
  XDamageCreate(display, window, XDamageReportRawRectangles);
  for (Window child : childrenOf(display, window)) watch(display, child);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s SECONDS\n", argv[0]);
    return 2;
  }
  const std::int64_t end = nowMicroseconds() + std::atoll(argv[1]) * 1'000'000;
  Display* display = XOpenDisplay(nullptr);
  int damageEvent = 0, damageError = 0;
  if (!display || !XDamageQueryExtension(display, &damageEvent, &damageError)) {
    std::fprintf(stderr, "no X display with the damage extension\n");
    return 1;
  }
  Window show = 0;
  while (!(show = largestMappedWindow(display))) {
    if (nowMicroseconds() > end) return 1;
    poll(nullptr, 0, 5);
  }
  watch(display, show);
  XFlush(display);
  pollfd connection{ConnectionNumber(display), POLLIN, 0};
  for (std::int64_t now = nowMicroseconds(); now < end; now = nowMicroseconds()) {
    if (!XPending(display)) {
      poll(&connection, 1, static_cast<int>((end - now) / 1000 + 1));
      continue;
    }
    XEvent event;
    XNextEvent(display, &event);
    if (event.type != damageEvent + XDamageNotify) continue;
    std::printf("%lld\n", static_cast<long long>(nowMicroseconds()));
  }
  XCloseDisplay(display);
  return 0;
}
