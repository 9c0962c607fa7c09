// Kamishibai Studio: a slide's transition drawn by the packer's render.
#include "studio/transition_preview.h"

#include <algorithm>
#include <random>
#include <stdexcept>
#include <vector>

#include "base/file_names.h"
#include "tools/transition_render.h"

namespace kamishibai {
namespace {

// The code a "random" slide is previewed with: one of the codes the build may pick for it.
std::int32_t randomCode(const ManifestSettings& show) {
  std::vector<std::int32_t> codes;
  for (std::int32_t code = 1; code <= kLastEffectCode; ++code) {
    if (std::find(show.defaults.randomExcept.begin(), show.defaults.randomExcept.end(), code) ==
        show.defaults.randomExcept.end())
      codes.push_back(code);
  }
  if (codes.empty()) return 0;
  std::mt19937 random(std::random_device{}());
  return codes[random() % codes.size()];
}

Surface slideOnArea(const ManifestSettings& show, const ManifestSlide& slide,
                    const ScreenSize& area) {
  return pictureOnArea(utf8Of(slide.picture), slideFit(show, slide), area,
                       static_cast<Colour>(show.colour), slide.x.value_or(0), slide.y.value_or(0));
}

}  // namespace

PreviewInfo previewTransition(const ShowDocument& document, std::size_t slide,
                              const PreviewSink& sink, std::stop_token stop) {
  const ManifestShow& show = document.show();
  const ManifestSettings& s = show.settings;
  PreviewInfo info;
  if (slide >= show.slides.size()) {
    info.problem = "there is no slide " + std::to_string(slide + 1);
    return info;
  }
  if (s.areaWidth < 1 || s.areaWidth > kMaxAreaSide || s.areaHeight < 1 ||
      s.areaHeight > kMaxAreaSide) {
    info.problem = "the area must be 1 to " + std::to_string(kMaxAreaSide) + " pixels a side";
    return info;
  }
  const ManifestSlide& from = show.slides[slide];
  const std::int32_t speed = slideSpeed(s, from);
  const std::int32_t chosen = slideEffect(s, from);
  info.effect = chosen == kRandomEffect ? randomCode(s) : chosen;
  const EffectInfo* effect = findEffect(info.effect);
  if (effect == nullptr || speed < 0 || speed > 30) {
    info.problem = "the slide's effect or speed is outside what the saver shows";
    return info;
  }
  const ScreenSize area{s.areaWidth, s.areaHeight};
  Surface current, next;
  try {
    current = slideOnArea(s, from, area);
    next = slideOnArea(s, show.slides[(slide + 1) % show.slides.size()], area);
  } catch (const std::exception& e) {
    info.problem = e.what();
    return info;
  }
  EndFlag endFlag = kFalse;
  Surface display;
  // A sequence of the preview's own, started as a fresh render's is: the random transitions draw
  // the same frames as render, and a preview on a worker shares nothing with other threads.
  RandomSequence random;
  const TransitionRun run = renderTransition(
      *effect, speed, current, next, display,
      [&](const Surface& frame, int index, std::int32_t atMs) {
        sink(frame, index, atMs);
        if (stop.stop_requested()) endFlag = kTrue;
      },
      endFlag, random);
  info.frames = run.frames;
  info.totalMs = run.endMs;
  if (!stop.stop_requested()) sink(display, info.frames, info.totalMs);
  return info;
}

}  // namespace kamishibai
