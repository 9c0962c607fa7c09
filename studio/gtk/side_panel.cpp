// Kamishibai Studio: the side panel's two frames of labelled rows.
#include "studio/gtk/side_panel.h"

#include <cmath>
#include <string_view>

#include "effects/transition.h"
#include "platform/translate.h"
#include "studio/gtk/signals.h"
#include "tools/manifest.h"

namespace kamishibai::studio {
namespace {

constexpr const char* kFits[] = {"none", "contain", "cover", "shrink"};
constexpr const char* kFitLabels[] = {N_("なし (位置を指定)"), N_("収める"), N_("覆う"),
                                      N_("縮小のみ")};
struct AreaPreset {
  const char* id;
  const char* label;
  int width;
  int height;
};
constexpr AreaPreset kAreaPresets[] = {{"screen", N_("画面の大きさ"), 0, 0},
                                       {"1920x1080", "1920 x 1080", 1920, 1080},
                                       {"3840x2160", "3840 x 2160", 3840, 2160},
                                       {"custom", N_("指定"), -1, -1}};
constexpr int kMaxSide = 16384;

GtkWidget* addRow(GtkGrid* grid, int row, const char* caption, GtkWidget* control) {
  GtkWidget* label = gtk_label_new_with_mnemonic(tr(caption));
  gtk_widget_set_halign(label, GTK_ALIGN_END);
  gtk_label_set_mnemonic_widget(GTK_LABEL(label), control);
  gtk_widget_set_hexpand(control, TRUE);
  gtk_grid_attach(grid, label, 0, row, 1, 1);
  gtk_grid_attach(grid, control, 1, row, 1, 1);
  return control;
}

GtkWidget* newGrid() {
  GtkWidget* grid = gtk_grid_new();
  gtk_grid_set_row_spacing(GTK_GRID(grid), 4);
  gtk_grid_set_column_spacing(GTK_GRID(grid), 8);
  gtk_container_set_border_width(GTK_CONTAINER(grid), 6);
  return grid;
}

// A file chooser button for sounds and music, with a button beside it that clears it.
GtkWidget* soundChooser(const char* title, GtkWidget** chooser) {
  *chooser = gtk_file_chooser_button_new(tr(title), GTK_FILE_CHOOSER_ACTION_OPEN);
  GtkWidget* clear = gtk_button_new_from_icon_name("edit-clear", GTK_ICON_SIZE_BUTTON);
  gtk_widget_set_tooltip_text(clear, tr("なし"));
  g_signal_connect_swapped(clear, "clicked", G_CALLBACK(+[](GtkFileChooser* c) {
                             gtk_file_chooser_unselect_all(c);
                             g_signal_emit_by_name(c, "file-set");
                           }),
                           *chooser);
  GtkWidget* box = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 2);
  gtk_box_pack_start(GTK_BOX(box), *chooser, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(box), clear, FALSE, FALSE, 0);
  return box;
}

std::string chosenFile(GtkWidget* chooser) {
  gchar* file = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(chooser));
  std::string path = file != nullptr ? file : "";
  g_free(file);
  return path;
}

void chooseFile(GtkWidget* chooser, const std::string& path) {
  if (path.empty())
    gtk_file_chooser_unselect_all(GTK_FILE_CHOOSER(chooser));
  else
    gtk_file_chooser_set_filename(GTK_FILE_CHOOSER(chooser), path.c_str());
}

std::string activeId(GtkWidget* combo) {
  const gchar* id = gtk_combo_box_get_active_id(GTK_COMBO_BOX(combo));
  return id != nullptr ? id : "";
}

}  // namespace

SidePanel::SidePanel(Handlers handlers) : handlers_(std::move(handlers)) {
  // Two pages, so that the panel fits beside the grid on a 1024 x 768 screen.
  box_ = gtk_notebook_new();
  gtk_notebook_append_page(GTK_NOTEBOOK(box_), slideSettings(),
                           gtk_label_new_with_mnemonic(tr("スライド(_D)")));
  gtk_notebook_append_page(GTK_NOTEBOOK(box_), showSettings(),
                           gtk_label_new_with_mnemonic(tr("ショー全体(_O)")));
}

GtkWidget* SidePanel::slideSettings() {
  slideGrid_ = newGrid();
  GtkGrid* grid = GTK_GRID(slideGrid_);
  time_ = addRow(grid, 0, N_("表示時間 (秒)(_T)"),
                 gtk_spin_button_new_with_range(0, kMaxShowTime / 1000.0, 0.1));
  // A transition is chosen from the list or typed by its name and confirmed with Enter.
  effect_ = addRow(grid, 1, N_("切り替え(_R)"), gtk_combo_box_text_new_with_entry());
  gtk_combo_box_text_append(GTK_COMBO_BOX_TEXT(effect_), "random", tr("ランダム"));
  for (const EffectInfo& effect : effectTable()) {
    const std::string name(effect.name);
    gtk_combo_box_text_append(GTK_COMBO_BOX_TEXT(effect_), name.c_str(), name.c_str());
  }
  speed_ = addRow(grid, 2, N_("速さ(_P)"), gtk_spin_button_new_with_range(0, 30, 1));
  addRow(grid, 3, N_("効果音(_N)"), soundChooser(N_("効果音を選択"), &sound_));
  fit_ = addRow(grid, 4, N_("合わせ方(_I)"), gtk_combo_box_text_new());
  for (std::size_t i = 0; i < std::size(kFits); ++i)
    gtk_combo_box_text_append(GTK_COMBO_BOX_TEXT(fit_), kFits[i], tr(kFitLabels[i]));
  x_ = addRow(grid, 5, N_("X(_X)"), gtk_spin_button_new_with_range(-kMaxSide, kMaxSide, 1));
  y_ = addRow(grid, 6, N_("Y(_Y)"), gtk_spin_button_new_with_range(-kMaxSide, kMaxSide, 1));
  connectSignal(time_, "value-changed", [this] { slideEdited(SlideField::Time); });
  connectSignal(effect_, "changed", [this] {
    if (gtk_combo_box_get_active(GTK_COMBO_BOX(effect_)) >= 0) slideEdited(SlideField::Effect);
  });
  connectSignal(gtk_bin_get_child(GTK_BIN(effect_)), "activate",
                [this] { slideEdited(SlideField::Effect); });
  connectSignal(speed_, "value-changed", [this] { slideEdited(SlideField::Speed); });
  connectSignal(sound_, "file-set", [this] { slideEdited(SlideField::Sound); });
  connectSignal(fit_, "changed", [this] { slideEdited(SlideField::Fit); });
  connectSignal(x_, "value-changed", [this] { slideEdited(SlideField::Position); });
  connectSignal(y_, "value-changed", [this] { slideEdited(SlideField::Position); });
  return slideGrid_;
}

GtkWidget* SidePanel::showSettings() {
  GtkWidget* widget = newGrid();
  GtkGrid* grid = GTK_GRID(widget);
  area_ = addRow(grid, 0, N_("画面の領域(_A)"), gtk_combo_box_text_new());
  for (const AreaPreset& preset : kAreaPresets)
    gtk_combo_box_text_append(GTK_COMBO_BOX_TEXT(area_), preset.id, tr(preset.label));
  width_ = addRow(grid, 1, N_("幅(_W)"), gtk_spin_button_new_with_range(1, kMaxSide, 1));
  height_ = addRow(grid, 2, N_("高さ(_H)"), gtk_spin_button_new_with_range(1, kMaxSide, 1));
  colour_ = addRow(grid, 3, N_("背景色(_B)"), gtk_color_button_new());
  addRow(grid, 4, N_("音楽(_M)"), soundChooser(N_("音楽を選択"), &music_));
  settings_ = gtk_check_button_new_with_mnemonic(tr("設定を許可(_L)"));
  gtk_grid_attach(grid, settings_, 1, 5, 1, 1);
  connectSignal(area_, "changed", [this] { showEdited(ShowField::Area); });
  connectSignal(width_, "value-changed", [this] { showEdited(ShowField::Area); });
  connectSignal(height_, "value-changed", [this] { showEdited(ShowField::Area); });
  connectSignal(colour_, "color-set", [this] { showEdited(ShowField::Colour); });
  connectSignal(music_, "file-set", [this] { showEdited(ShowField::Music); });
  connectSignal(settings_, "toggled", [this] { showEdited(ShowField::Settings); });
  return widget;
}

void SidePanel::slideEdited(SlideField field) {
  const bool positioned = activeId(fit_) == "none";
  gtk_widget_set_sensitive(x_, positioned);
  gtk_widget_set_sensitive(y_, positioned);
  if (!quiet_ && handlers_.slideChanged) handlers_.slideChanged(field, slideValues());
}

void SidePanel::showEdited(ShowField field) {
  const bool custom = activeId(area_) == "custom";
  gtk_widget_set_sensitive(width_, custom);
  gtk_widget_set_sensitive(height_, custom);
  if (!quiet_ && handlers_.showChanged) handlers_.showChanged(field, showValues());
}

SlidePanelValues SidePanel::slideValues() const {
  SlidePanelValues values;
  values.timeMs = std::llround(gtk_spin_button_get_value(GTK_SPIN_BUTTON(time_)) * 1000.0);
  values.effect = activeId(effect_);
  if (values.effect.empty()) {
    values.effect = gtk_entry_get_text(GTK_ENTRY(gtk_bin_get_child(GTK_BIN(effect_))));
    if (values.effect == tr("ランダム")) values.effect = "random";
  }
  values.speed = gtk_spin_button_get_value_as_int(GTK_SPIN_BUTTON(speed_));
  values.sound = chosenFile(sound_);
  values.fit = activeId(fit_);
  values.x = gtk_spin_button_get_value_as_int(GTK_SPIN_BUTTON(x_));
  values.y = gtk_spin_button_get_value_as_int(GTK_SPIN_BUTTON(y_));
  return values;
}

ShowPanelValues SidePanel::showValues() const {
  ShowPanelValues values;
  const std::string area = activeId(area_);
  for (const AreaPreset& preset : kAreaPresets) {
    if (area != preset.id) continue;
    values.width = preset.width;
    values.height = preset.height;
  }
  if (values.width < 0) {
    values.width = gtk_spin_button_get_value_as_int(GTK_SPIN_BUTTON(width_));
    values.height = gtk_spin_button_get_value_as_int(GTK_SPIN_BUTTON(height_));
  }
  GdkRGBA colour{};
  gtk_color_chooser_get_rgba(GTK_COLOR_CHOOSER(colour_), &colour);
  const auto channel = [](double value) {
    return static_cast<std::uint32_t>(std::lround(value * 255.0));
  };
  values.colour = channel(colour.red) << 16 | channel(colour.green) << 8 | channel(colour.blue);
  values.music = chosenFile(music_);
  values.settings = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(settings_));
  return values;
}

void SidePanel::showSlides(const std::optional<SlidePanelValues>& values) {
  quiet_ = true;
  gtk_widget_set_sensitive(slideGrid_, values.has_value());
  if (values) {
    gtk_spin_button_set_value(GTK_SPIN_BUTTON(time_), static_cast<double>(values->timeMs) / 1000.0);
    gtk_combo_box_set_active_id(GTK_COMBO_BOX(effect_), values->effect.c_str());
    gtk_spin_button_set_value(GTK_SPIN_BUTTON(speed_), values->speed);
    chooseFile(sound_, values->sound);
    gtk_combo_box_set_active_id(GTK_COMBO_BOX(fit_), values->fit.c_str());
    gtk_spin_button_set_value(GTK_SPIN_BUTTON(x_), values->x);
    gtk_spin_button_set_value(GTK_SPIN_BUTTON(y_), values->y);
    slideEdited(SlideField::Fit);
  }
  quiet_ = false;
}

void SidePanel::showShow(const ShowPanelValues& values) {
  quiet_ = true;
  const char* area = values.onScreen ? "screen" : "custom";
  for (const AreaPreset& preset : kAreaPresets)
    if (preset.width == values.width && preset.height == values.height) area = preset.id;
  gtk_combo_box_set_active_id(GTK_COMBO_BOX(area_), area);
  gtk_spin_button_set_value(GTK_SPIN_BUTTON(width_), values.width);
  gtk_spin_button_set_value(GTK_SPIN_BUTTON(height_), values.height);
  const GdkRGBA colour{((values.colour >> 16) & 0xff) / 255.0,
                       ((values.colour >> 8) & 0xff) / 255.0, (values.colour & 0xff) / 255.0, 1.0};
  gtk_color_chooser_set_rgba(GTK_COLOR_CHOOSER(colour_), &colour);
  chooseFile(music_, values.music);
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(settings_), values.settings);
  showEdited(ShowField::Area);
  quiet_ = false;
}

}  // namespace kamishibai::studio
