// Kamishibai Studio: the preview player. Frames are scaled down on the worker as they are drawn,
// so a long transition on a large area holds a few megabytes, not one area a frame.
#include "studio/gtk/preview_player.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "platform/atomic_file.h"
#include "platform/png_file.h"
#include "studio/gtk/surface_view.h"
#include "studio/transition_preview.h"

namespace kamishibai::studio {
namespace {

// The largest frame the preview keeps, a side, in pixels: enough for the preview at 200 %.
constexpr std::int32_t kKeptSide = 720;

std::optional<std::pair<int, std::string>> frameDumpRequest() {
  const char* request = std::getenv("KAMISHIBAI_STUDIO_PREVIEW_FRAME");
  if (request == nullptr) return std::nullopt;
  const std::string_view text = request;
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  return std::pair{std::atoi(std::string(text.substr(0, colon)).c_str()),
                   std::string(text.substr(colon + 1))};
}

Surface scaledDown(const Surface& frame) {
  const std::int32_t side = std::max(frame.width(), frame.height());
  if (side <= kKeptSide) {
    Surface copy(frame.width(), frame.height(), frame.backColour());
    copy.copyFrom(frame, 0, 0, 0, 0, frame.width(), frame.height());
    return copy;
  }
  const std::int32_t width = std::max(1, frame.width() * kKeptSide / side);
  const std::int32_t height = std::max(1, frame.height() * kKeptSide / side);
  Surface small(width, height, frame.backColour());
  small.stretchFrom(frame, 0, 0, frame.width(), frame.height(), 0, 0, width, height);
  return small;
}

}  // namespace

PreviewPlayer::PreviewPlayer() : view_(makeSurfaceView()), frameDump_(frameDumpRequest()) {}

PreviewPlayer::~PreviewPlayer() {
  stop();
}

void PreviewPlayer::stop() {
  if (worker_.joinable()) {
    worker_.request_stop();
    worker_.join();
  }
  if (timer_ != 0) g_source_remove(timer_);
  timer_ = 0;
  showSurface(view_, nullptr);
  const std::lock_guard lock(mutex_);
  ++generation_;
  frames_.clear();
  shown_ = 0;
}

void PreviewPlayer::play(const ShowDocument& document, std::size_t slide) {
  stop();
  const unsigned generation = generation_;
  worker_ = std::jthread([this, document, slide, generation](std::stop_token stop) {
    previewTransition(
        document, slide,
        [&](const Surface& frame, int index, std::int32_t atMs) {
          keepFrame(frame, index, atMs, generation);
        },
        stop);
  });
}

void PreviewPlayer::keepFrame(const Surface& frame, int index, std::int32_t atMs,
                              unsigned generation) {
  if (frameDump_ && frameDump_->first == index) {
    const std::vector<std::uint8_t> png = encodePng(frame);
    replaceFileAtomically(frameDump_->second, png,
                          std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  }
  Surface small = scaledDown(frame);
  const std::lock_guard lock(mutex_);
  if (generation != generation_) return;
  frames_.push_back({std::move(small), atMs});
  g_idle_add(frameArrived, this);
}

gboolean PreviewPlayer::frameArrived(gpointer self) {
  auto* player = static_cast<PreviewPlayer*>(self);
  // A frame waits for its time unless the timer already waits for an earlier one.
  if (player->timer_ == 0) player->showDueFrames();
  return G_SOURCE_REMOVE;
}

gboolean PreviewPlayer::frameDue(gpointer self) {
  auto* player = static_cast<PreviewPlayer*>(self);
  player->timer_ = 0;
  player->showDueFrames();
  return G_SOURCE_REMOVE;
}

// Puts on screen the latest frame whose time has come, then waits for the next one's time. The
// first frame goes on screen as it arrives; a frame drawn later than its time goes at once.
void PreviewPlayer::showDueFrames() {
  const std::lock_guard lock(mutex_);
  if (shown_ >= frames_.size()) return;
  const gint64 now = g_get_monotonic_time();
  if (shown_ == 0) startedUs_ = now - gint64{frames_.front().atMs} * 1000;
  const gint64 elapsedMs = (now - startedUs_) / 1000;
  std::size_t next = shown_;
  while (next < frames_.size() && frames_[next].atMs <= elapsedMs) ++next;
  if (next > shown_) {
    showSurface(view_, &frames_[next - 1].picture);
    shown_ = next;
  }
  if (shown_ < frames_.size())
    timer_ = g_timeout_add(static_cast<guint>(frames_[shown_].atMs - elapsedMs), frameDue, this);
}

}  // namespace kamishibai::studio
