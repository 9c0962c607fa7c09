// Kamishibai: a second X client for the end-to-end tests: it holds or probes the keyboard and
// pointer grabs as another program would, and declares monitors on the test display.
//   x_client hold SECONDS         grabs both (waiting up to 5 s for them), prints "held", keeps
//                                 them for SECONDS, then lets go
//   x_client probe                tries both grabs; prints "keyboard=RESULT pointer=RESULT"
//                                 (Success, AlreadyGrabbed, ...) and lets go of what it got
//   x_client monitors GEOMETRY... declares one monitor per WxH+X+Y; the first takes the screen's
//                                 output, the others have none (as xrandr --setmonitor does)
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const char* grabResultName(int result) {
  switch (result) {
    case GrabSuccess:
      return "Success";
    case AlreadyGrabbed:
      return "AlreadyGrabbed";
    case GrabInvalidTime:
      return "InvalidTime";
    case GrabNotViewable:
      return "NotViewable";
    case GrabFrozen:
      return "Frozen";
    default:
      return "Unknown";
  }
}

int grabKeyboard(Display* display) {
  return XGrabKeyboard(display, DefaultRootWindow(display), False, GrabModeAsync, GrabModeAsync,
                       CurrentTime);
}

int grabPointer(Display* display) {
  return XGrabPointer(display, DefaultRootWindow(display), False, ButtonPressMask, GrabModeAsync,
                      GrabModeAsync, None, None, CurrentTime);
}

int hold(Display* display, int seconds) {
  bool keyboard = false;
  bool pointer = false;
  for (int attempt = 0; attempt < 500 && !(keyboard && pointer); ++attempt) {
    keyboard = keyboard || grabKeyboard(display) == GrabSuccess;
    pointer = pointer || grabPointer(display) == GrabSuccess;
    if (!(keyboard && pointer)) usleep(10000);
  }
  if (!(keyboard && pointer)) {
    std::fprintf(stderr, "x_client: cannot take the grabs\n");
    return 1;
  }
  std::printf("held\n");
  std::fflush(stdout);
  sleep(static_cast<unsigned>(seconds));
  XUngrabKeyboard(display, CurrentTime);
  XUngrabPointer(display, CurrentTime);
  XSync(display, False);
  return 0;
}

int probe(Display* display) {
  const int keyboard = grabKeyboard(display);
  const int pointer = grabPointer(display);
  std::printf("keyboard=%s pointer=%s\n", grabResultName(keyboard), grabResultName(pointer));
  if (keyboard == GrabSuccess) XUngrabKeyboard(display, CurrentTime);
  if (pointer == GrabSuccess) XUngrabPointer(display, CurrentTime);
  XSync(display, False);
  return 0;
}

int declareMonitors(Display* display, int count, char** geometries) {
  const Window root = DefaultRootWindow(display);
  XRRScreenResources* resources = XRRGetScreenResources(display, root);
  if (resources == nullptr || resources->noutput < 1) {
    std::fprintf(stderr, "x_client: the display has no output\n");
    return 1;
  }
  for (int i = 0; i < count; ++i) {
    int width = 0;
    int height = 0;
    int x = 0;
    int y = 0;
    if (std::sscanf(geometries[i], "%dx%d+%d+%d", &width, &height, &x, &y) != 4) {
      std::fprintf(stderr, "x_client: not a geometry: %s\n", geometries[i]);
      return 2;
    }
    XRRMonitorInfo* monitor = XRRAllocateMonitor(display, i == 0 ? 1 : 0);
    monitor->name = XInternAtom(display, ("KAMISHIBAI-" + std::to_string(i)).c_str(), False);
    monitor->primary = i == 0;
    monitor->x = x;
    monitor->y = y;
    monitor->width = width;
    monitor->height = height;
    monitor->mwidth = width / 4;
    monitor->mheight = height / 4;
    if (i == 0) monitor->outputs[0] = resources->outputs[0];
    XRRSetMonitor(display, root, monitor);
    XFree(monitor);
  }
  XRRFreeScreenResources(resources);
  XSync(display, False);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "x_client: cannot open the display\n");
    return 1;
  }
  const std::string command = argc > 1 ? argv[1] : "";
  int status = 2;
  if (command == "hold" && argc == 3) {
    status = hold(display, std::atoi(argv[2]));
  } else if (command == "probe" && argc == 2) {
    status = probe(display);
  } else if (command == "monitors" && argc > 2) {
    status = declareMonitors(display, argc - 2, argv + 2);
  } else {
    std::fprintf(stderr, "usage: x_client hold SECONDS | probe | monitors WxH+X+Y...\n");
  }
  XCloseDisplay(display);
  return status;
}
