// Kamishibai: parts of a surface's image put straight onto an X window, read in place from a
// shared memory segment or sent through the connection.
#include "platform/linux/frame_presenter_x11.h"

#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <gdk/gdkx.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <bit>
#include <string>

namespace kamishibai {
namespace {

constexpr int kDepth = 24;
constexpr int kBitsPerWord = 32;
constexpr int kNativeByteOrder = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;

// True when the window's visual stores a surface's pixel words unchanged.
bool takesPixelWords(Display* display, const XWindowAttributes& attributes) {
  const Visual* visual = attributes.visual;
  if (attributes.depth != kDepth || visual->c_class != TrueColor || visual->red_mask != 0xFF0000 ||
      visual->green_mask != 0xFF00 || visual->blue_mask != 0xFF) {
    return false;
  }
  int count = 0;
  XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
  bool inWords = false;
  for (int i = 0; i < count; ++i) {
    if (formats[i].depth == kDepth) inWords = formats[i].bits_per_pixel == kBitsPerWord;
  }
  if (formats != nullptr) XFree(formats);
  return inWords;
}

// A server on this machine, reached through its local socket: only such a server can attach a
// segment of ours (a forwarded or remote display may even find another segment of that number).
bool serverIsLocal(Display* display) {
  const std::string name = DisplayString(display);
  const std::string::size_type colon = name.rfind(':');
  if (colon == std::string::npos) return false;
  const std::string host = name.substr(0, colon);
  return host.empty() || host == "unix";
}

// An image of the picture's own words, for either transport.
XImage wordImage(const Surface& picture, const Visual* visual) {
  XImage image{};
  image.width = picture.width();
  image.height = picture.height();
  image.format = ZPixmap;
  image.data = reinterpret_cast<char*>(const_cast<PixelWord*>(picture.pixelWords()));
  image.byte_order = kNativeByteOrder;
  image.bitmap_unit = kBitsPerWord;
  image.bitmap_bit_order = kNativeByteOrder;
  image.bitmap_pad = kBitsPerWord;
  image.depth = kDepth;
  image.bytes_per_line = picture.width() * static_cast<int>(sizeof(PixelWord));
  image.bits_per_pixel = kBitsPerWord;
  image.red_mask = visual->red_mask;
  image.green_mask = visual->green_mask;
  image.blue_mask = visual->blue_mask;
  XInitImage(&image);
  return image;
}

}  // namespace

SharedWordMemory* SharedWordMemory::of(GdkDisplay* display) {
  // Never destroyed: the words placed in it may be freed as late as the process's end.
  static auto* const memories = new std::map<GdkDisplay*, SharedWordMemory*>;
  const auto known = memories->find(display);
  if (known != memories->end()) return known->second;
  SharedWordMemory* memory = nullptr;
  if (GDK_IS_X11_DISPLAY(display)) {
    Display* x = GDK_DISPLAY_XDISPLAY(display);
    if (serverIsLocal(x) && XShmQueryExtension(x)) memory = new SharedWordMemory(display);
  }
  memories->emplace(display, memory);
  return memory;
}

const XShmSegmentInfo* SharedWordMemory::segmentAt(const void* words) const {
  const auto segment = segments_.find(words);
  return segment == segments_.end() ? nullptr : &segment->second;
}

void* SharedWordMemory::do_allocate(std::size_t bytes, std::size_t alignment) {
  if (serverAttaches_) {
    if (void* words = attachedSegment(bytes)) return words;
    serverAttaches_ = false;
  }
  return std::pmr::new_delete_resource()->allocate(bytes, alignment);
}

void* SharedWordMemory::attachedSegment(std::size_t bytes) {
  XShmSegmentInfo info{};
  info.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (info.shmid < 0) return nullptr;
  void* address = shmat(info.shmid, nullptr, 0);
  bool attached = false;
  if (address != reinterpret_cast<void*>(-1)) {
    info.shmaddr = static_cast<char*>(address);
    info.readOnly = True;
    Display* x = GDK_DISPLAY_XDISPLAY(display_);
    gdk_x11_display_error_trap_push(display_);
    const Bool sent = XShmAttach(x, &info);
    XSync(x, False);
    attached = gdk_x11_display_error_trap_pop(display_) == 0 && sent;
  }
  // Marked for removal now, so the segment goes with the last detach even after a crash.
  shmctl(info.shmid, IPC_RMID, nullptr);
  if (!attached) {
    if (info.shmaddr != nullptr) shmdt(info.shmaddr);
    return nullptr;
  }
  segments_.emplace(address, info);
  return address;
}

void SharedWordMemory::do_deallocate(void* words, std::size_t bytes, std::size_t alignment) {
  const auto segment = segments_.find(words);
  if (segment == segments_.end()) {
    std::pmr::new_delete_resource()->deallocate(words, bytes, alignment);
    return;
  }
  Display* x = GDK_DISPLAY_XDISPLAY(display_);
  gdk_x11_display_error_trap_push(display_);
  XShmDetach(x, &segment->second);
  XSync(x, False);
  gdk_x11_display_error_trap_pop_ignored(display_);
  shmdt(segment->second.shmaddr);
  segments_.erase(segment);
}

std::unique_ptr<XImagePresenter> XImagePresenter::create(GdkDisplay* display, Window window) {
  Display* x = GDK_DISPLAY_XDISPLAY(display);
  XWindowAttributes attributes{};
  // Another client's window may be gone already: no presenter then, and no X error.
  gdk_x11_display_error_trap_push(display);
  const Status found = XGetWindowAttributes(x, window, &attributes);
  gdk_x11_display_error_trap_pop_ignored(display);
  if (found == 0 || !takesPixelWords(x, attributes)) return nullptr;
  return std::unique_ptr<XImagePresenter>(new XImagePresenter(display, window, attributes.visual));
}

XImagePresenter::XImagePresenter(GdkDisplay* display, Window window, Visual* visual)
    : gdkDisplay_(display),
      display_(GDK_DISPLAY_XDISPLAY(display)),
      window_(window),
      visual_(visual),
      gc_(XCreateGC(display_, window, 0, nullptr)),
      memory_(SharedWordMemory::of(display)) {}

XImagePresenter::~XImagePresenter() {
  XFreeGC(display_, gc_);
}

void XImagePresenter::put(const Surface& picture, std::span<const PixelRect> parts, Point at) {
  const PixelRect whole{0, 0, picture.width(), picture.height()};
  XImage image = wordImage(picture, visual_);
  const XShmSegmentInfo* segment = memory_ ? memory_->segmentAt(picture.pixelWords()) : nullptr;
  if (segment != nullptr) {
    image.obdata = reinterpret_cast<XPointer>(const_cast<XShmSegmentInfo*>(segment));
  }
  bool sent = false;
  // The window may go first when the show ends; a put then is dropped, not an X error.
  gdk_x11_display_error_trap_push(gdkDisplay_);
  for (const PixelRect& part : parts) {
    const PixelRect area = part.intersected(whole);
    if (area.empty()) continue;
    const auto x = area.left, y = area.top;
    const auto width = static_cast<unsigned>(area.width());
    const auto height = static_cast<unsigned>(area.height());
    if (segment != nullptr) {
      XShmPutImage(display_, window_, gc_, &image, x, y, x + at.x, y + at.y, width, height, False);
    } else {
      // Xlib sends the rows in as many requests as the server takes.
      XPutImage(display_, window_, gc_, &image, x, y, x + at.x, y + at.y, width, height);
    }
    sent = true;
  }
  if (sent) {
    transport_ = segment != nullptr ? Transport::SharedMemory : Transport::Connection;
    // The server has read the words and drawn the step before the show draws the next one.
    XSync(display_, False);
  }
  gdk_x11_display_error_trap_pop_ignored(gdkDisplay_);
}

}  // namespace kamishibai
