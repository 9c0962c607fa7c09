// Kamishibai: the settings dialog's layout in pixels: where each control sits in the dialog's
// client area, the same on every system.
#pragma once

namespace kamishibai {

struct Box {
  int left, top, width, height;
};

constexpr int kClientWidth = 297;
constexpr int kClientHeight = 138;
constexpr Box kFrame1{8, 8, 169, 57};
constexpr Box kFrame2{8, 72, 169, 57};
// Option buttons, relative to their frame.
constexpr Box kOptionOn{16, 24, 57, 17};
constexpr Box kOptionOff{88, 24, 57, 17};
constexpr Box kCommandOk{192, 16, 97, 22};
constexpr Box kCommandCancel{192, 42, 97, 22};

}  // namespace kamishibai
