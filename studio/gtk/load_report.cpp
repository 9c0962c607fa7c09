// Kamishibai Studio: the load report. The stall is measured by a timer of the main loop's: a
// tick that comes late by more than its period shows how long the loop could not run.
#include "studio/gtk/load_report.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cstdlib>
#include <span>
#include <string>

#include "platform/atomic_file.h"

namespace kamishibai::studio {
namespace {

constexpr guint kTickMs = 10;

}  // namespace

LoadReport::LoadReport() : startUs_(g_get_monotonic_time()) {
  if (const char* file = std::getenv("KAMISHIBAI_STUDIO_LOAD_REPORT")) file_ = file;
}

LoadReport::~LoadReport() {
  if (ticker_ != 0) g_source_remove(ticker_);
}

void LoadReport::windowShown() {
  if (!wanted() || shownUs_ != 0) return;
  shownUs_ = g_get_monotonic_time();
  lastTickUs_ = shownUs_;
  ticker_ = g_timeout_add(kTickMs, tick, this);
}

gboolean LoadReport::tick(gpointer self) {
  auto* report = static_cast<LoadReport*>(self);
  const gint64 now = g_get_monotonic_time();
  report->longestStallUs_ = std::max(report->longestStallUs_, now - report->lastTickUs_);
  report->lastTickUs_ = now;
  return G_SOURCE_CONTINUE;
}

void LoadReport::thumbnailsShown(std::size_t count) {
  if (!wanted() || written_ || shownUs_ == 0) return;
  written_ = true;
  const gint64 now = g_get_monotonic_time();
  const std::string text = "window_ms " + std::to_string((shownUs_ - startUs_) / 1000) +
                           "\nthumbnails " + std::to_string(count) + "\nthumbnails_ms " +
                           std::to_string((now - startUs_) / 1000) + "\nlongest_stall_ms " +
                           std::to_string(longestStallUs_ / 1000) + "\n";
  replaceFileAtomically(file_,
                        std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                        std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  gtk_main_quit();
}

}  // namespace kamishibai::studio
