// Kamishibai Studio: the slides as a grid of thumbnails in show order, each with its time and
// transition beneath; several may be selected, dragged to a new place, or joined by pictures
// and folders dropped from a file manager.
#pragma once

#include <gtk/gtk.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace kamishibai::studio {

class SlideGrid {
 public:
  struct Handlers {
    std::function<void()> selectionChanged;
    // The selected slides are to stand before the slide at `target` (the slide count: at the end).
    std::function<void(const std::vector<int>& slides, int target)> move;
    std::function<void(const std::vector<std::filesystem::path>& paths, int target)> drop;
  };

  // Thumbnails are shown at most thumbnailSide logical pixels a side.
  SlideGrid(int thumbnailSide, Handlers handlers);
  ~SlideGrid();
  SlideGrid(const SlideGrid&) = delete;
  SlideGrid& operator=(const SlideGrid&) = delete;

  GtkWidget* widget() const { return scroller_; }

  // Gives the grid that many slides with these captions, keeping the thumbnails of the slides
  // whose picture stays the same (by key).
  void setSlides(const std::vector<std::string>& keys, const std::vector<std::string>& captions);
  // The thumbnail of every slide whose key this is.
  void setThumbnail(const std::string& key, GdkPixbuf* thumbnail);

  std::vector<int> selected() const;
  void select(const std::vector<int>& slides);
  void selectAll();

 private:
  static void selectionChangedThunk(GtkIconView*, gpointer self);
  static void dragDataGet(GtkWidget*, GdkDragContext*, GtkSelectionData* data, guint, guint,
                          gpointer self);
  static void dragDataReceived(GtkWidget*, GdkDragContext* context, gint x, gint y,
                               GtkSelectionData* data, guint info, guint time, gpointer self);
  void addCells(int thumbnailSide);
  int dropTarget(int x, int y) const;

  Handlers handlers_;
  GtkListStore* store_;
  GtkWidget* view_;
  GtkWidget* scroller_;
  int thumbnailSide_;
  std::vector<std::string> keys_;
  // The thumbnails by key, so that a new order or a new caption keeps them.
  std::map<std::string, cairo_surface_t*> thumbnails_;
  bool quiet_ = false;  // while the grid itself changes the selection
};

}  // namespace kamishibai::studio
