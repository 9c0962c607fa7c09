// Kamishibai: the progress bar, redrawn in place whenever another percent is done.
#include "tools/progress.h"

#include <algorithm>
#include <iostream>

#include "platform/terminal.h"

namespace kamishibai {
namespace {

constexpr int kBarWidth = 30;

std::string mebibytes(std::uint64_t bytes) {
  return std::to_string(bytes >> 20) + " MiB";
}

}  // namespace

Progress::Progress(std::ostream* terminal, std::string what, std::size_t files, std::uint64_t bytes,
                   ProgressListener listener)
    : terminal_(terminal),
      listener_(std::move(listener)),
      what_(std::move(what)),
      files_(files),
      bytes_(bytes) {
  draw();
}

Progress::~Progress() {
  if (terminal_ != nullptr) *terminal_ << "\n" << std::flush;
}

void Progress::fileDone(std::uint64_t bytes) {
  const std::lock_guard lock(mutex_);
  ++filesDone_;
  bytesDone_ += bytes;
  draw();
}

void Progress::draw() {
  if (listener_) listener_({what_, filesDone_, files_, bytesDone_, bytes_});
  if (terminal_ == nullptr) return;
  // Files may grow while they are read, so what is done may pass the total: the bar stays full.
  const double share =
      std::min(1.0, bytes_ > 0   ? static_cast<double>(bytesDone_) / static_cast<double>(bytes_)
                    : files_ > 0 ? static_cast<double>(filesDone_) / static_cast<double>(files_)
                                 : 1.0);
  const int percent = static_cast<int>(share * 100);
  if (percent == lastPercent_ && filesDone_ != files_) return;
  lastPercent_ = percent;
  const int filled = static_cast<int>(share * kBarWidth);
  *terminal_ << "\r" << what_ << " [" << std::string(static_cast<std::size_t>(filled), '#')
             << std::string(static_cast<std::size_t>(kBarWidth - filled), ' ') << "] " << filesDone_
             << "/" << files_ << " files, " << mebibytes(bytesDone_) << " of " << mebibytes(bytes_)
             << std::flush;
}

std::ostream* progressTerminal() {
  return standardErrorIsTerminal() ? &std::cerr : nullptr;
}

}  // namespace kamishibai
