// Kamishibai: the end signals on Linux: the handler only notes the signal and writes a byte to
// a pipe, which wakes the GLib main loop wherever the show waits; the hook runs there.
#include "platform/end_signals.h"

#include <fcntl.h>
#include <glib-unix.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>

namespace kamishibai {

namespace {

constexpr std::array<int, 3> kEndSignals = {SIGTERM, SIGINT, SIGHUP};

volatile std::sig_atomic_t received = 0;
std::array<int, 2> wakePipe = {-1, -1};
std::function<void()>& hook() {
  static std::function<void()> current;
  return current;
}

void onEndSignal(int signal) {
  const int savedErrno = errno;
  if (received == 0) received = signal;
  const char byte = 1;
  // A full pipe already holds a wake-up.
  [[maybe_unused]] const auto written = ::write(wakePipe[1], &byte, 1);
  errno = savedErrno;
}

gboolean onWake(gint fd, GIOCondition, gpointer) {
  std::array<char, 64> bytes{};
  while (::read(fd, bytes.data(), bytes.size()) > 0) {
  }
  if (received != 0 && hook()) hook()();
  return G_SOURCE_CONTINUE;
}

}  // namespace

void watchEndSignals() {
  if (wakePipe[0] >= 0 || !g_unix_open_pipe(wakePipe.data(), FD_CLOEXEC, nullptr)) return;
  for (const int fd : wakePipe) g_unix_set_fd_nonblocking(fd, TRUE, nullptr);
  g_unix_fd_add(wakePipe[0], G_IO_IN, onWake, nullptr);
  struct sigaction action {};
  action.sa_handler = onEndSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : kEndSignals) sigaction(signal, &action, nullptr);
}

int endSignalReceived() {
  return received;
}

void setEndSignalHook(std::function<void()> newHook) {
  hook() = std::move(newHook);
  if (received != 0 && hook()) hook()();
}

void endAsSignalled() {
  const int signal = received;
  if (signal == 0) return;
  std::signal(signal, SIG_DFL);
  sigset_t only{};
  sigemptyset(&only);
  sigaddset(&only, signal);
  sigprocmask(SIG_UNBLOCK, &only, nullptr);
  std::raise(signal);
}

}  // namespace kamishibai
