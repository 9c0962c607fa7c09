// Kamishibai Studio: the frames of a slide's transition, drawn as `kamishibai-pack render --area
// --fit` draws them: the same pictures on the area, the same effect code, the same virtual clock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <stop_token>
#include <string>

#include "raster/raster.h"
#include "studio/show_document.h"

namespace kamishibai {

struct PreviewInfo {
  std::int32_t effect = 0;  // the code drawn (a "random" slide gets one of its choices)
  std::int32_t frames = 0;
  std::int32_t totalMs = 0;  // when the last step's wait ends
  std::string problem;       // empty when the pictures could be read
};

// Called with each frame as the transition draws it: the whole area, its index from 0, and the
// virtual time in milliseconds from the transition's start at which the show puts it on screen.
using PreviewSink = std::function<void(const Surface& frame, int index, std::int32_t atMs)>;

// The transition that leaves slide `slide` as the saver shows it: its own effect and speed, from
// its picture to the next slide's (the first after the last). After the transition's frames the
// sink gets the next picture as it stays, with index PreviewInfo::frames at totalMs. A stop
// request ends the drawing at the transition's next step.
PreviewInfo previewTransition(const ShowDocument& document, std::size_t slide,
                              const PreviewSink& sink, std::stop_token stop = {});

}  // namespace kamishibai
