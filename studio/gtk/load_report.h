// Kamishibai Studio: what the thumbnail benchmark measures (bench/studio_thumbnails.sh). With
// KAMISHIBAI_STUDIO_LOAD_REPORT=FILE set, the Studio writes to FILE how long after its start
// the window was shown and every thumbnail of the first show it opened was in the grid, and the
// longest time its main loop was kept from drawing meanwhile; then it quits.
#pragma once

#include <glib.h>

#include <cstddef>
#include <string>

namespace kamishibai::studio {

class LoadReport {
 public:
  LoadReport();
  ~LoadReport();
  LoadReport(const LoadReport&) = delete;
  LoadReport& operator=(const LoadReport&) = delete;

  bool wanted() const { return !file_.empty(); }
  // The window has drawn itself (the first call counts).
  void windowShown();
  // Every thumbnail asked for has arrived; the report is written and the Studio quits.
  void thumbnailsShown(std::size_t count);

 private:
  static gboolean tick(gpointer self);

  std::string file_;
  gint64 startUs_;
  gint64 shownUs_ = 0;
  gint64 lastTickUs_ = 0;
  gint64 longestStallUs_ = 0;
  guint ticker_ = 0;
  bool written_ = false;
};

}  // namespace kamishibai::studio
