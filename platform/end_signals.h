// Kamishibai: the orderly end that the system asks for: a stop from a screen-saver daemon, an
// interrupt from the terminal, or the end of the session (SIGTERM, SIGINT, SIGHUP). Watched,
// they no longer kill the process at once; they become an end request that the show honours
// (ending in order and removing its work folder), after which the process ends as the signal
// would have ended it.
#pragma once

#include <functional>

namespace kamishibai {

// From now on the end signals become end requests.
void watchEndSignals();

// The signal that asked for the end; 0 while none has.
int endSignalReceived();

// Calls the hook from the event loop when an end signal arrives, and at once when one has
// arrived already; nullptr removes it. One hook at a time (the running show's).
void setEndSignalHook(std::function<void()> hook);

// When an end signal has arrived: ends the process as that signal ends it by default (so the
// parent sees the usual status). Returns when none has.
void endAsSignalled();

}  // namespace kamishibai
