// Kamishibai: the frames of one transition, from the pictures as a saver shows them.
#include "tools/transition_frames.h"

#include <stdexcept>
#include <vector>

#include "base/file_names.h"
#include "formats/picture_header.h"
#include "platform/headless/event_loop_headless.h"
#include "platform/headless/frame_recorder_headless.h"
#include "platform/picture.h"
#include "tools/show_files.h"

namespace kamishibai {

Surface onBlack(const Surface& picture, std::int32_t width, std::int32_t height, std::int32_t x,
                std::int32_t y) {
  Surface frame(width, height, makeColour(0, 0, 0));
  frame.drawImage(picture, x, y);
  return frame;
}

Surface pictureOnArea(const std::string& path, PictureFit fit, const ScreenSize& area) {
  Surface picture;
  if (fit == PictureFit::None) {
    loadPicture(path, picture);
    return onBlack(picture, area.width, area.height);
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
  return onBlack(picture, area.width, area.height, centredOn(area.width, picture.width()),
                 centredOn(area.height, picture.height()));
}

TransitionRun runTransition(const EffectInfo& effect, const Surface& start, const Surface& end,
                            std::int32_t speedFactor, RandomSequence& random,
                            const FrameSink& sink) {
  TransitionRun run{.frames = 0, .display = onBlack(start, start.width(), start.height())};
  if (!effect.run) {
    run.display.copyFrom(end, 0, 0, 0, 0, end.width(), end.height());
    return run;
  }
  {
    // The recorder leaves the display without its hook before the display is handed out.
    FrameRecorder recorder(run.display, sink);
    VirtualEventLoop events;
    const EndFlag endFlag = kFalse;
    TransitionContext context{run.display, start, end, events, endFlag, speedFactor, random};
    runEffect(effect, context);
    run.frames = recorder.frameCount();
  }
  return run;
}

}  // namespace kamishibai
