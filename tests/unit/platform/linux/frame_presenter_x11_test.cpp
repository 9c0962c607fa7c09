// Kamishibai: putting parts of a surface onto an X window puts exactly those pixels, from shared
// memory or through the connection, keeps out of the pixels beyond the picture, refuses visuals
// of another layout, and outlives its window.
// GoogleTest comes before Xlib, whose macros (None, Bool) would rename its types.
#include <gtest/gtest.h>

#include <X11/Xutil.h>
#include <gdk/gdkx.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/linux/frame_presenter_x11.h"
#include "tests/unit/surfaces.h"

namespace kamishibai {
namespace {

using Transport = XImagePresenter::Transport;
constexpr PixelWord kBackground = 0x123456;

// A plain X window of its own on the test's display, filled with the background colour.
class XWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!gdk_init_check(nullptr, nullptr) || !GDK_IS_X11_DISPLAY(gdk_display_get_default())) {
      GTEST_SKIP() << "needs an X display (DISPLAY)";
    }
    display_ = gdk_display_get_default();
    x_ = GDK_DISPLAY_XDISPLAY(display_);
  }
  void TearDown() override {
    if (window_ != 0) XDestroyWindow(x_, window_);
    if (x_ != nullptr) XSync(x_, False);
  }

  // Tests run side by side on one display, so another test's window may cover this one. With a
  // backing store the server keeps the covered pixels, and reading them back shows what was put.
  void openWindow(int width, int height) {
    XSetWindowAttributes attributes{};
    attributes.background_pixel = kBackground;
    attributes.backing_store = Always;
    window_ = XCreateWindow(x_, DefaultRootWindow(x_), 0, 0, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), 0, CopyFromParent, InputOutput,
                            CopyFromParent, CWBackPixel | CWBackingStore, &attributes);
    XMapWindow(x_, window_);
    XSync(x_, False);
  }

  // The window's pixels as the server holds them, row after row.
  std::vector<PixelWord> windowPixels(int width, int height) {
    XImage* image = XGetImage(x_, window_, 0, 0, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    std::vector<PixelWord> words;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        words.push_back(static_cast<PixelWord>(XGetPixel(image, x, y) & 0xFFFFFF));
      }
    }
    XDestroyImage(image);
    return words;
  }

  GdkDisplay* display_ = nullptr;
  Display* x_ = nullptr;
  Window window_ = 0;
};

bool inside(const PixelRect& r, int x, int y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// One rectangle as the parts of a put.
std::span<const PixelRect> only(const PixelRect& part) {
  return {&part, 1};
}

// The transport is chosen by where the picture's words are: in the display's shared memory or
// on the heap.
class XImagePresenterTest : public XWindowTest, public ::testing::WithParamInterface<Transport> {
 protected:
  std::unique_ptr<XImagePresenter> presenter() {
    auto made = XImagePresenter::create(display_, window_);
    EXPECT_TRUE(made) << "the default visual of the test display takes pixel words";
    return made;
  }
  Surface picture(std::int32_t width, std::int32_t height, std::uint8_t seed) {
    Surface surface = coordinateSurface(width, height, seed);
    if (GetParam() == Transport::SharedMemory) {
      // Xvfb on this machine attaches segments; a refusal would pass for the slow way.
      SharedWordMemory* memory = SharedWordMemory::of(display_);
      EXPECT_NE(memory, nullptr);
      if (memory) surface.placeWords(memory);
    }
    return surface;
  }
};

TEST_P(XImagePresenterTest, PutsExactlyEachStepsPartsOverWhatTheStepBeforePut) {
  openWindow(64, 48);
  auto presenter = this->presenter();
  ASSERT_TRUE(presenter);
  Surface picture = this->picture(64, 48, 0x40);
  const Surface first = coordinateSurface(64, 48, 0x40);
  const PixelRect firstArea{5, 7, 30, 20};
  presenter->put(picture, only(firstArea));
  EXPECT_EQ(presenter->transport(), GetParam());

  // The next step overlaps the first: the words are drawn on again only after the server read
  // them. Of its two parts, the first reaches into the first step's area; between them the
  // window keeps what it showed.
  const Surface next = coordinateSurface(64, 48, 0xC0);
  picture.copyFrom(next, 0, 0, 0, 0, 64, 48);
  const std::vector<PixelRect> nextParts{{20, 10, 40, 20}, {44, 30, 64, 48}};
  presenter->put(picture, nextParts);

  const std::vector<PixelWord> shown = windowPixels(64, 48);
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 64; ++x) {
      const std::size_t at = static_cast<std::size_t>(y * 64 + x);
      const bool nextPut = inside(nextParts[0], x, y) || inside(nextParts[1], x, y);
      const PixelWord expected = nextPut                   ? next.pixelWords()[at]
                                 : inside(firstArea, x, y) ? first.pixelWords()[at]
                                                           : kBackground;
      ASSERT_EQ(shown[at], expected) << "pixel " << x << "," << y;
    }
  }
}

TEST_P(XImagePresenterTest, LeavesTheWindowBeyondThePictureAloneAndFollowsANewSize) {
  openWindow(64, 48);
  auto presenter = this->presenter();
  ASSERT_TRUE(presenter);
  const Surface small = picture(40, 30, 0x11);
  presenter->put(small, only({30, 20, INT32_MAX, INT32_MAX}));
  std::vector<PixelWord> shown = windowPixels(64, 48);
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 64; ++x) {
      const PixelWord expected =
          inside({30, 20, 40, 30}, x, y) ? small.pixelWords()[y * 40 + x] : kBackground;
      ASSERT_EQ(shown[static_cast<std::size_t>(y * 64 + x)], expected) << "pixel " << x << "," << y;
    }
  }
  const Surface large = picture(64, 48, 0x99);
  presenter->put(large, only({0, 0, 64, 48}));
  EXPECT_EQ(presenter->transport(), GetParam());
  shown = windowPixels(64, 48);
  EXPECT_TRUE(std::equal(shown.begin(), shown.end(), large.pixelWords()));
}

TEST_P(XImagePresenterTest, PutsThePictureWithItsCornerWhereAskedAndClipsAtTheWindowsEdge) {
  openWindow(64, 48);
  auto presenter = this->presenter();
  ASSERT_TRUE(presenter);
  const Surface picture = this->picture(20, 10, 0x33);
  const PixelRect area{2, 1, 20, 10};
  presenter->put(picture, only(area), {30, 25});
  presenter->put(picture, only({0, 0, 20, 10}), {55, 41});  // only 9 by 7 of it fits
  EXPECT_EQ(presenter->transport(), GetParam());
  const std::vector<PixelWord> shown = windowPixels(64, 48);
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 64; ++x) {
      PixelWord expected = kBackground;
      if (inside({55, 41, 75, 51}, x, y)) {
        expected = picture.pixelWords()[(y - 41) * 20 + (x - 55)];
      } else if (inside({32, 26, 50, 35}, x, y)) {
        expected = picture.pixelWords()[(y - 25) * 20 + (x - 30)];
      }
      ASSERT_EQ(shown[static_cast<std::size_t>(y * 64 + x)], expected) << "pixel " << x << "," << y;
    }
  }
}

TEST_F(XWindowTest, NoPresenterForAWindowThatIsGone) {
  openWindow(8, 8);
  const Window gone = window_;
  XDestroyWindow(x_, window_);
  window_ = 0;
  XSync(x_, False);
  EXPECT_EQ(XImagePresenter::create(display_, gone), nullptr);
}

TEST_P(XImagePresenterTest, APutAfterTheWindowWentIsDropped) {
  openWindow(16, 16);
  auto presenter = this->presenter();
  ASSERT_TRUE(presenter);
  XDestroyWindow(x_, window_);
  window_ = 0;
  presenter->put(picture(16, 16, 0x22), only({0, 0, 16, 16}));
  SUCCEED() << "no X error reached the process's handler";
}

INSTANTIATE_TEST_SUITE_P(Transports, XImagePresenterTest,
                         ::testing::Values(Transport::SharedMemory, Transport::Connection),
                         [](const auto& info) {
                           return info.param == Transport::SharedMemory ? "SharedMemory"
                                                                        : "Connection";
                         });

TEST_F(XWindowTest, RefusesAVisualThatDoesNotTakePixelWords) {
  XVisualInfo info{};
  if (!XMatchVisualInfo(x_, DefaultScreen(x_), 32, TrueColor, &info)) {
    GTEST_SKIP() << "the display has no 32-bit visual";
  }
  XSetWindowAttributes attributes{};
  attributes.colormap = XCreateColormap(x_, DefaultRootWindow(x_), info.visual, AllocNone);
  window_ = XCreateWindow(x_, DefaultRootWindow(x_), 0, 0, 8, 8, 0, 32, InputOutput, info.visual,
                          CWColormap | CWBorderPixel | CWBackPixel, &attributes);
  EXPECT_EQ(XImagePresenter::create(display_, window_), nullptr);
  XDestroyWindow(x_, window_);
  window_ = 0;
  XFreeColormap(x_, attributes.colormap);
}

}  // namespace
}  // namespace kamishibai
