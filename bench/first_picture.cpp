// Kamishibai: how long a program takes from its start to its first picture on screen: starts the
// command, reads one pixel of the screen every millisecond until it has the picture's colour,
// prints the milliseconds since the start, then ends the program with SIGTERM (SIGKILL two
// seconds later) and waits for it. It starts once the screen no longer shows the colour, which
// the program measured before may still show for a moment. An alarm ends both after SECONDS even
// when the display stops answering, so that a benchmark never hangs on a reading.
//
//   kamishibai-first-picture X Y RRGGBB TOLERANCE SECONDS COMMAND [ARGUMENT...]
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

pid_t watchedChild = 0;
// What the probe was doing when the alarm came: waiting for the display's answer, or for the
// program to end after SIGTERM.
const char* volatile waitingFor = "the display";

// At the limit, whatever the probe is waiting for: end the program and the probe.
void onLimit(int) {
  if (watchedChild > 0) kill(watchedChild, SIGKILL);
  constexpr char message[] = "the time limit passed while waiting for ";
  (void)!write(STDERR_FILENO, message, sizeof message - 1);
  const char* what = waitingFor;
  (void)!write(STDERR_FILENO, what, std::strlen(what));
  (void)!write(STDERR_FILENO, "\n", 1);
  _exit(1);
}

double nowMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The screen's pixel as 0xRRGGBB.
std::uint32_t screenPixel(Display* display, int x, int y) {
  XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, 1, 1, AllPlanes, ZPixmap);
  if (image == nullptr) return 0;
  const unsigned long pixel = XGetPixel(image, 0, 0);
  XDestroyImage(image);
  return static_cast<std::uint32_t>(pixel & 0xFFFFFF);
}

bool near(std::uint32_t pixel, std::uint32_t wanted, int tolerance) {
  for (int shift : {16, 8, 0}) {
    const int difference =
        static_cast<int>(pixel >> shift & 0xFF) - static_cast<int>(wanted >> shift & 0xFF);
    if (difference > tolerance || difference < -tolerance) return false;
  }
  return true;
}

// Ends the program with SIGTERM, or with SIGKILL when it is still there after that many
// seconds: now and then feh does not end on SIGTERM here, and its time is measured already.
void endWithin(pid_t child, int seconds) {
  kill(child, SIGTERM);
  const timespec pause{0, 10'000'000};
  for (int wait = 0; wait < seconds * 100; ++wait) {
    if (waitpid(child, nullptr, WNOHANG) == child) return;
    nanosleep(&pause, nullptr);
  }
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 7) {
    std::fprintf(stderr, "usage: %s X Y RRGGBB TOLERANCE SECONDS COMMAND [ARGUMENT...]\n", argv[0]);
    return 2;
  }
  const int x = std::atoi(argv[1]);
  const int y = std::atoi(argv[2]);
  const auto wanted = static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 16));
  const int tolerance = std::atoi(argv[4]);
  const double limit = std::atof(argv[5]) * 1e3;
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "no X display\n");
    return 1;
  }
  // The window of the program measured before may take a moment to go once it has ended.
  const timespec settle{0, 10'000'000};
  for (int wait = 0; near(screenPixel(display, x, y), wanted, tolerance); ++wait) {
    if (wait == 300) {
      std::fprintf(stderr, "the screen shows the picture's colour before the start\n");
      return 1;
    }
    nanosleep(&settle, nullptr);
  }
  const double start = nowMilliseconds();
  const pid_t child = fork();
  if (child == 0) {
    execvp(argv[6], argv + 6);
    _exit(127);
  }
  watchedChild = child;
  signal(SIGALRM, onLimit);
  alarm(static_cast<unsigned>(limit / 1e3) + 5);
  const timespec pause{0, 1'000'000};
  double elapsed = 0;
  bool shown = false;
  for (;;) {
    shown = near(screenPixel(display, x, y), wanted, tolerance);
    // The time of the reading that found the picture: it came at some point since the last one.
    elapsed = nowMilliseconds() - start;
    if (shown || elapsed >= limit) break;
    nanosleep(&pause, nullptr);
  }
  waitingFor = "the program to end";
  endWithin(child, 2);
  XCloseDisplay(display);
  if (!shown) {
    std::fprintf(stderr, "no picture after %s s\n", argv[5]);
    return 1;
  }
  std::printf("%.1f\n", elapsed);
  return 0;
}
