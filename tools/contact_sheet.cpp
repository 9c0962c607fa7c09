// Kamishibai: the contact sheet of every transition.
#include "tools/contact_sheet.h"

#include <algorithm>
#include <string>

#include "base/random.h"
#include "platform/event_loop.h"
#include "tools/frame_scaling.h"
#include "tools/label_font.h"
#include "tools/transition_render.h"

namespace kamishibai {
namespace {

constexpr std::int32_t kLabelScale = 2;
constexpr std::int32_t kLabelPadding = 6;
constexpr std::int32_t kLabelHeight = kLabelGlyphHeight * kLabelScale + 2 * kLabelPadding;
constexpr Colour kSheetColour = makeColour(0x30, 0x30, 0x30);
constexpr Colour kLabelColour = makeColour(0xFF, 0xFF, 0xFF);

std::string labelOf(const EffectInfo& effect) {
  return std::to_string(effect.code) + " " + std::string(effect.name);
}

// The size of a frame scaled down, keeping its proportions, to fit the cell's picture box.
std::pair<std::int32_t, std::int32_t> pictureSize(std::int32_t width, std::int32_t height) {
  const bool widthLimits = static_cast<std::int64_t>(width) * kSheetPictureHeight >=
                           static_cast<std::int64_t>(height) * kSheetPictureWidth;
  if (widthLimits) {
    const std::int32_t w = std::min(width, kSheetPictureWidth);
    return {w, scaledSide(height, w, width)};
  }
  const std::int32_t h = std::min(height, kSheetPictureHeight);
  return {scaledSide(width, h, height), h};
}

}  // namespace

Surface middleFrame(const EffectInfo& effect, std::int32_t speed, const Surface& start,
                    const Surface& end) {
  // The frame count decides which frame is the middle one, so a first run counts the frames and a
  // second run, with the same random choices, keeps that frame and stops there.
  Surface display;
  RandomSequence counting;
  const int frames = renderTransition(
                         effect, speed, start, end, display,
                         [](const Surface&, int, std::int32_t) {}, kFalse, counting)
                         .frames;
  if (frames == 0) return display;
  Surface middle;
  EndFlag stop = kFalse;
  RandomSequence keeping;
  renderTransition(
      effect, speed, start, end, display,
      [&](const Surface& frame, int index, std::int32_t) {
        if (index != frames / 2) return;
        middle = frame;
        stop = kTrue;
      },
      stop, keeping);
  // The copy came with the recorder's hook, which ends with the run.
  middle.setRefreshHook({});
  return middle;
}

Surface contactSheet(std::int32_t speed, const Surface& start, const Surface& end) {
  const auto [pictureWidth, pictureHeight] = pictureSize(start.width(), start.height());
  const auto effects = effectTable().subspan(1);
  std::int32_t cellWidth = pictureWidth;
  for (const EffectInfo& effect : effects) {
    cellWidth = std::max(cellWidth, labelWidth(labelOf(effect), kLabelScale));
  }
  const std::int32_t cellHeight = pictureHeight + kLabelHeight;
  const auto rows = static_cast<std::int32_t>((effects.size() + kSheetColumns - 1) / kSheetColumns);
  Surface sheet(kSheetGap + kSheetColumns * (cellWidth + kSheetGap),
                kSheetGap + rows * (cellHeight + kSheetGap), kSheetColour);
  for (std::size_t i = 0; i < effects.size(); ++i) {
    const EffectInfo& effect = effects[i];
    const auto column = static_cast<std::int32_t>(i % kSheetColumns),
               row = static_cast<std::int32_t>(i / kSheetColumns);
    const std::int32_t left = kSheetGap + column * (cellWidth + kSheetGap),
                       top = kSheetGap + row * (cellHeight + kSheetGap);
    const Surface picture =
        scaledDown(middleFrame(effect, speed, start, end), pictureWidth, pictureHeight);
    sheet.drawImage(picture, left + (cellWidth - pictureWidth) / 2, top);
    drawLabel(sheet, labelOf(effect), left, top + pictureHeight + kLabelPadding, kLabelScale,
              kLabelColour);
  }
  return sheet;
}

}  // namespace kamishibai
