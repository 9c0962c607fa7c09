// Kamishibai Studio: the slide grid, an icon view over a list store of thumbnails and captions.
// Dragging within the grid carries the selection's place; the grid itself never reorders its
// rows: the show moves its slides, as an undoable edit, and gives the grid its new order.
#include "studio/gtk/slide_grid.h"

#include <cairo-gobject.h>

#include <algorithm>

namespace kamishibai::studio {
namespace {

enum Column { kThumbnail, kCaption, kColumns };

// The drag of slides within the grid, and the files of a file manager.
constexpr const char* kSlidesTarget = "application/x-kamishibai-slides";
enum DropInfo : guint { kSlidesDrop, kFilesDrop };
const GtkTargetEntry kSourceTargets[] = {
    {const_cast<gchar*>(kSlidesTarget), GTK_TARGET_SAME_WIDGET, kSlidesDrop}};
const GtkTargetEntry kDestTargets[] = {
    {const_cast<gchar*>(kSlidesTarget), GTK_TARGET_SAME_WIDGET, kSlidesDrop},
    {const_cast<gchar*>("text/uri-list"), GTK_TARGET_OTHER_APP, kFilesDrop}};

}  // namespace

SlideGrid::SlideGrid(int thumbnailSide, Handlers handlers)
    : handlers_(std::move(handlers)), thumbnailSide_(thumbnailSide) {
  store_ = gtk_list_store_new(kColumns, CAIRO_GOBJECT_TYPE_SURFACE, G_TYPE_STRING);
  view_ = gtk_icon_view_new_with_model(GTK_TREE_MODEL(store_));
  g_object_unref(store_);
  addCells(thumbnailSide);
  gtk_icon_view_set_selection_mode(GTK_ICON_VIEW(view_), GTK_SELECTION_MULTIPLE);
  gtk_icon_view_enable_model_drag_source(GTK_ICON_VIEW(view_), GDK_BUTTON1_MASK, kSourceTargets,
                                         G_N_ELEMENTS(kSourceTargets), GDK_ACTION_MOVE);
  gtk_icon_view_enable_model_drag_dest(GTK_ICON_VIEW(view_), kDestTargets,
                                       G_N_ELEMENTS(kDestTargets),
                                       GdkDragAction(GDK_ACTION_MOVE | GDK_ACTION_COPY));
  g_signal_connect(view_, "selection-changed", G_CALLBACK(selectionChangedThunk), this);
  g_signal_connect(view_, "drag-data-get", G_CALLBACK(dragDataGet), this);
  g_signal_connect(view_, "drag-data-received", G_CALLBACK(dragDataReceived), this);
  scroller_ = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_container_add(GTK_CONTAINER(scroller_), view_);
}

// The thumbnail over its caption, both of a fixed size: the view then lays out a thousand items
// without measuring each caption's text, which took seconds.
void SlideGrid::addCells(int thumbnailSide) {
  GtkCellLayout* cells = GTK_CELL_LAYOUT(view_);
  GtkCellRenderer* thumbnail = gtk_cell_renderer_pixbuf_new();
  gtk_cell_renderer_set_fixed_size(thumbnail, thumbnailSide, thumbnailSide);
  gtk_cell_layout_pack_start(cells, thumbnail, FALSE);
  gtk_cell_layout_add_attribute(cells, thumbnail, "surface", kThumbnail);

  PangoLayout* sample = gtk_widget_create_pango_layout(view_, nullptr);
  pango_layout_set_markup(sample, "Xy\n<small>Xy</small>", -1);
  int captionHeight = 0;
  pango_layout_get_pixel_size(sample, nullptr, &captionHeight);
  g_object_unref(sample);
  GtkCellRenderer* caption = gtk_cell_renderer_text_new();
  const int captionWidth = thumbnailSide + thumbnailSide / 4;
  g_object_set(caption, "alignment", PANGO_ALIGN_CENTER, "xalign", 0.5, "ellipsize",
               PANGO_ELLIPSIZE_MIDDLE, "wrap-width", captionWidth, nullptr);
  int xpad = 0;
  int ypad = 0;
  gtk_cell_renderer_get_padding(caption, &xpad, &ypad);
  gtk_cell_renderer_set_fixed_size(caption, captionWidth + 2 * xpad, captionHeight + 2 * ypad);
  gtk_cell_layout_pack_start(cells, caption, FALSE);
  gtk_cell_layout_add_attribute(cells, caption, "markup", kCaption);
}

void SlideGrid::setSlides(const std::vector<std::string>& keys,
                          const std::vector<std::string>& captions) {
  quiet_ = true;
  const std::vector<int> kept = selected();
  // Detached while it changes, so that the view lays itself out once rather than at each row.
  g_object_ref(store_);
  gtk_icon_view_set_model(GTK_ICON_VIEW(view_), nullptr);
  gtk_list_store_clear(store_);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const auto thumbnail = thumbnails_.find(keys[i]);
    gtk_list_store_insert_with_values(store_, nullptr, -1, kThumbnail,
                                      thumbnail == thumbnails_.end() ? nullptr : thumbnail->second,
                                      kCaption, captions[i].c_str(), -1);
  }
  gtk_icon_view_set_model(GTK_ICON_VIEW(view_), GTK_TREE_MODEL(store_));
  g_object_unref(store_);
  keys_ = keys;
  std::vector<int> stillThere;
  for (int slide : kept)
    if (slide < static_cast<int>(keys.size())) stillThere.push_back(slide);
  select(stillThere);
  quiet_ = false;
}

SlideGrid::~SlideGrid() {
  for (auto& [key, thumbnail] : thumbnails_) cairo_surface_destroy(thumbnail);
}

void SlideGrid::setThumbnail(const std::string& key, GdkPixbuf* thumbnail) {
  cairo_surface_t*& held = thumbnails_[key];
  if (held != nullptr) cairo_surface_destroy(held);
  // Shown thumbnailSide logical pixels a side, with every pixel it has: on a screen at 200 % a
  // camera's 160-pixel thumbnail fills the cell as sharp as it can, and a small one is not
  // blown up.
  held = gdk_cairo_surface_create_from_pixbuf(thumbnail, 1, nullptr);
  const int side = std::max(gdk_pixbuf_get_width(thumbnail), gdk_pixbuf_get_height(thumbnail));
  const double scale = std::max(1.0, static_cast<double>(side) / thumbnailSide_);
  cairo_surface_set_device_scale(held, scale, scale);
  for (std::size_t i = 0; i < keys_.size(); ++i) {
    if (keys_[i] != key) continue;
    GtkTreeIter row;
    if (gtk_tree_model_iter_nth_child(GTK_TREE_MODEL(store_), &row, nullptr, static_cast<int>(i)))
      gtk_list_store_set(store_, &row, kThumbnail, held, -1);
  }
}

std::vector<int> SlideGrid::selected() const {
  GList* paths = gtk_icon_view_get_selected_items(GTK_ICON_VIEW(view_));
  std::vector<int> slides;
  for (GList* item = paths; item != nullptr; item = item->next)
    slides.push_back(gtk_tree_path_get_indices(static_cast<GtkTreePath*>(item->data))[0]);
  g_list_free_full(paths, reinterpret_cast<GDestroyNotify>(gtk_tree_path_free));
  std::sort(slides.begin(), slides.end());
  return slides;
}

void SlideGrid::select(const std::vector<int>& slides) {
  const bool wasQuiet = quiet_;
  quiet_ = true;
  gtk_icon_view_unselect_all(GTK_ICON_VIEW(view_));
  for (int slide : slides) {
    GtkTreePath* path = gtk_tree_path_new_from_indices(slide, -1);
    gtk_icon_view_select_path(GTK_ICON_VIEW(view_), path);
    if (slide == slides.front()) {
      gtk_icon_view_set_cursor(GTK_ICON_VIEW(view_), path, nullptr, FALSE);
      gtk_icon_view_scroll_to_path(GTK_ICON_VIEW(view_), path, FALSE, 0, 0);
    }
    gtk_tree_path_free(path);
  }
  quiet_ = wasQuiet;
  if (!quiet_ && handlers_.selectionChanged) handlers_.selectionChanged();
}

void SlideGrid::selectAll() {
  gtk_icon_view_select_all(GTK_ICON_VIEW(view_));
}

void SlideGrid::selectionChangedThunk(GtkIconView*, gpointer self) {
  auto* grid = static_cast<SlideGrid*>(self);
  if (!grid->quiet_ && grid->handlers_.selectionChanged) grid->handlers_.selectionChanged();
}

void SlideGrid::dragDataGet(GtkWidget*, GdkDragContext*, GtkSelectionData* data, guint, guint,
                            gpointer) {
  // The grid's selection is what moves; the data only says that slides are dragged.
  gtk_selection_data_set(data, gtk_selection_data_get_target(data), 8,
                         reinterpret_cast<const guchar*>("slides"), 6);
}

int SlideGrid::dropTarget(int x, int y) const {
  GtkTreePath* path = nullptr;
  GtkIconViewDropPosition position{};
  if (!gtk_icon_view_get_dest_item_at_pos(GTK_ICON_VIEW(view_), x, y, &path, &position))
    return static_cast<int>(keys_.size());
  int target = gtk_tree_path_get_indices(path)[0];
  gtk_tree_path_free(path);
  if (position == GTK_ICON_VIEW_DROP_RIGHT || position == GTK_ICON_VIEW_DROP_BELOW) ++target;
  return target;
}

void SlideGrid::dragDataReceived(GtkWidget* view, GdkDragContext* context, gint x, gint y,
                                 GtkSelectionData* data, guint info, guint time, gpointer self) {
  auto* grid = static_cast<SlideGrid*>(self);
  // The view's own handler would move the rows of the store itself.
  g_signal_stop_emission_by_name(view, "drag-data-received");
  const int target = grid->dropTarget(x, y);
  bool done = false;
  if (info == kSlidesDrop) {
    const std::vector<int> slides = grid->selected();
    if (!slides.empty() && grid->handlers_.move) {
      grid->handlers_.move(slides, target);
      done = true;
    }
  } else {
    gchar** uris = gtk_selection_data_get_uris(data);
    std::vector<std::filesystem::path> paths;
    for (gchar** uri = uris; uri != nullptr && *uri != nullptr; ++uri) {
      if (gchar* file = g_filename_from_uri(*uri, nullptr, nullptr)) {
        paths.emplace_back(file);
        g_free(file);
      }
    }
    g_strfreev(uris);
    if (!paths.empty() && grid->handlers_.drop) {
      grid->handlers_.drop(paths, target);
      done = true;
    }
  }
  gtk_drag_finish(context, done, FALSE, time);
}

}  // namespace kamishibai::studio
