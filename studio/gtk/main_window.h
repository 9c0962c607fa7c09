// Kamishibai Studio's main window: the menu bar, the slide grid, the preview and the side panel
// over the show being edited. Every change goes through the edit history, so it can be undone.
#pragma once

#include <gtk/gtk.h>

#include <filesystem>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "studio/edit_history.h"
#include "studio/gtk/load_report.h"
#include "studio/gtk/preview_player.h"
#include "studio/gtk/side_panel.h"
#include "studio/gtk/slide_grid.h"
#include "studio/show_document.h"
#include "studio/show_opening.h"
#include "studio/thumbnail_queue.h"

namespace kamishibai::studio {

class SaverDialog;

class MainWindow {
 public:
  MainWindow();
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  void show();
  // Opens a folder (a new show of its pictures), a manifest or a saver; false when it could not.
  bool openPath(const std::filesystem::path& path);
  // openPath once the window is on screen, so that it shows at once, however large the folder.
  void openOnceShown(const std::filesystem::path& path);

 private:
  GtkWidget* makeMenus();
  GtkWidget* makeLayout();

  // File
  void newShow();
  void openShow();
  bool save();
  bool saveAs();
  void addPictures(bool folders);
  void makeSaver();
  void contactSheet();
  void quit();
  // Edit
  void undo();
  void redo();
  void removeSelected();
  void moveSelected(int by);
  // Show
  void playShow();
  void previewSelected();

  // Whether the show may be replaced or closed: when it has changes the user saves or discards
  // them, or cancels.
  bool mayDiscard();
  void replaceDocument(ShowDocument document);
  void addPaths(const std::vector<std::filesystem::path>& paths, std::size_t at);
  void moveTo(const std::vector<int>& slides, int target);
  // Brings the window up to date with the show, then selects the slides.
  void refresh(const Selection& selection);
  void refreshSelection();
  void slideEdited(SlideField field, const SlidePanelValues& values);
  void showEdited(ShowField field, const ShowPanelValues& values);
  Selection selection() const;
  void reportError(const std::string& message);
  void thumbnailArrived(const Thumbnail& thumbnail);
  std::int32_t screenWidth() const;
  std::int32_t screenHeight() const;

  LoadReport loadReport_;
  GtkWidget* window_;
  ShowDocument document_;
  EditHistory history_{document_};
  StudioScratch scratch_;
  std::unique_ptr<SlideGrid> grid_;
  std::unique_ptr<SidePanel> panel_;
  PreviewPlayer preview_;
  std::unique_ptr<SaverDialog> saverDialog_;
  std::set<std::string> thumbnailsAsked_;     // the pictures whose thumbnails were asked for
  std::set<std::uint64_t> thumbnailsWaited_;  // the tickets of those not yet arrived
  std::mutex inboxMutex_;
  std::vector<Thumbnail> inbox_;  // made, not yet handed to the grid; guarded by inboxMutex_
  std::unique_ptr<ThumbnailQueue> thumbnails_;
  std::jthread playBuild_;  // the saver "Play show" builds
  std::filesystem::path playedSaver_;
};

}  // namespace kamishibai::studio
