// Kamishibai Studio: "Make saver": a Linux saver, a Windows saver or both, written on a worker
// with a progress bar; the problems are listed with the slide each concerns.
#pragma once

#include <gtk/gtk.h>

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "studio/saver_build.h"
#include "studio/show_document.h"

namespace kamishibai {
enum class SaverSystem;  // tools/commands.h
}

namespace kamishibai::studio {

// The bare player savers for the system are made from, found as the packer finds it; nullopt
// when it is not there.
std::optional<std::filesystem::path> playerOf(SaverSystem system);

class SaverDialog {
 public:
  // selectSlide: selecting a problem selects the slide it concerns in the window.
  SaverDialog(GtkWindow* parent, std::function<void(std::size_t slide)> selectSlide);
  ~SaverDialog();
  SaverDialog(const SaverDialog&) = delete;
  SaverDialog& operator=(const SaverDialog&) = delete;

  // Shows the dialog for the show as it stands now, with outputs named after its manifest.
  void present(const ShowDocument& document);

 private:
  void build();
  void finished(BuildReport report);
  void listProblems(const std::vector<BuildProblem>& problems, const char* kind);
  static gboolean progressArrived(gpointer self);

  std::function<void(std::size_t)> selectSlide_;
  std::optional<ShowDocument> document_;
  GtkWidget* dialog_;
  GtkWidget* linux_;
  GtkWidget* linuxPath_;
  GtkWidget* windows_;
  GtkWidget* windowsPath_;
  GtkWidget* progress_;
  GtkWidget* status_;
  GtkListStore* problems_;
  GtkWidget* problemList_;
  GtkWidget* makeButton_;
  std::jthread worker_;
  std::mutex mutex_;
  BuildProgress latest_;  // guarded by mutex_
  std::optional<BuildReport> report_;
  std::size_t targets_ = 0;
};

}  // namespace kamishibai::studio
