// Kamishibai Studio: the preview of a slide's transition at its real speed. A worker draws the
// frames with the player's own raster and effect code (studio/transition_preview.h) and keeps
// them scaled down; the main loop puts each on screen at its time.
#pragma once

#include <gtk/gtk.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "raster/raster.h"
#include "studio/show_document.h"

namespace kamishibai::studio {

class PreviewPlayer {
 public:
  PreviewPlayer();
  ~PreviewPlayer();
  PreviewPlayer(const PreviewPlayer&) = delete;
  PreviewPlayer& operator=(const PreviewPlayer&) = delete;

  GtkWidget* widget() const { return view_; }
  // Draws and plays the transition that leaves the slide, as the document stands now.
  void play(const ShowDocument& document, std::size_t slide);
  // Shows nothing.
  void stop();

 private:
  struct Frame {
    Surface picture;
    std::int32_t atMs;
  };
  void keepFrame(const Surface& frame, int index, std::int32_t atMs, unsigned generation);
  static gboolean frameArrived(gpointer self);
  static gboolean frameDue(gpointer self);
  void showDueFrames();

  GtkWidget* view_;
  std::jthread worker_;
  std::mutex mutex_;
  std::deque<Frame> frames_;  // as drawn so far, guarded by mutex_; a shown frame stays put
  unsigned generation_ = 0;   // of the preview playing; frames of an older one are dropped
  std::size_t shown_ = 0;     // frames put on screen
  gint64 startedUs_ = 0;      // when the first frame went on screen
  guint timer_ = 0;
  // "N:FILE" from KAMISHIBAI_STUDIO_PREVIEW_FRAME: the frame of step N is also written to FILE as
  // drawn, unscaled, so that a test can compare it with render's.
  std::optional<std::pair<int, std::string>> frameDump_;
};

}  // namespace kamishibai::studio
