// Kamishibai: drawing one transition on a virtual clock.
#include "tools/transition_render.h"

#include <stdexcept>
#include <vector>

#include "base/file_names.h"
#include "formats/picture_header.h"
#include "platform/headless/event_loop_headless.h"
#include "platform/headless/frame_recorder_headless.h"
#include "platform/picture.h"
#include "tools/show_files.h"

namespace kamishibai {

Surface pictureOnArea(const std::string& path, PictureFit fit, const ScreenSize& area,
                      Colour background, std::int32_t x, std::int32_t y) {
  Surface picture;
  Surface frame(area.width, area.height, background);
  if (fit == PictureFit::None) {
    loadPicture(path, picture);
    frame.drawImage(picture, x, y);
    return frame;
  }
  const auto header = readPictureFileHeader(pathFromUtf8(path));
  const FitRequest request{.fit = fit,
                           .areaWidth = area.width,
                           .areaHeight = area.height,
                           .orientation = header ? header->orientation : 1};
  std::vector<std::uint8_t> bytes;
  if (!readWhole(pathFromUtf8(path), bytes))
    throw std::runtime_error("cannot read the picture " + path);
  if (const std::string problem = fitPictureInto(bytes, request, picture); !problem.empty())
    throw std::runtime_error("cannot read the picture " + path + ": " + problem);
  frame.drawImage(picture, centredOn(area.width, picture.width()),
                  centredOn(area.height, picture.height()));
  return frame;
}

TransitionRun renderTransition(const EffectInfo& effect, std::int32_t speed, const Surface& current,
                               const Surface& next, Surface& display,
                               const TransitionFrameSink& sink, const EndFlag& endFlag,
                               RandomSequence& random) {
  display = Surface(current.width(), current.height());
  display.drawImage(current, 0, 0);
  if (!effect.run) {
    display.copyFrom(next, 0, 0, 0, 0, next.width(), next.height());
    return {};
  }
  VirtualEventLoop events;
  FrameRecorder recorder(
      display, [&](const Surface& frame, int index) { sink(frame, index, events.now()); });
  TransitionContext context{display, current, next, events, endFlag, std::int32_t{1} << speed,
                            random};
  runEffect(effect, context);
  return {recorder.frameCount(), events.now()};
}

}  // namespace kamishibai
