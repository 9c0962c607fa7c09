// Kamishibai Studio: the saver dialog. The build runs on a worker over a copy of the show, so the
// window stays responsive; its progress and its report come back through the main loop.
#include "studio/gtk/saver_dialog.h"

#include <string>

#include "platform/translate.h"
#include "studio/gtk/signals.h"
#include "tools/commands.h"

namespace kamishibai::studio {
namespace {

enum ProblemColumn { kSlideNumber, kSlideText, kMessage, kProblemColumns };

// A check button that enables the row's path entry.
GtkWidget* targetRow(GtkGrid* grid, int row, const char* caption, GtkWidget** entry) {
  GtkWidget* check = gtk_check_button_new_with_mnemonic(tr(caption));
  *entry = gtk_entry_new();
  gtk_widget_set_hexpand(*entry, TRUE);
  gtk_grid_attach(grid, check, 0, row, 1, 1);
  gtk_grid_attach(grid, *entry, 1, row, 1, 1);
  connectSignal(check, "toggled", [check, field = *entry] {
    gtk_widget_set_sensitive(field, gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(check)));
  });
  return check;
}

std::string entryText(GtkWidget* entry) {
  return gtk_entry_get_text(GTK_ENTRY(entry));
}

bool checked(GtkWidget* check) {
  return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(check));
}

}  // namespace

std::optional<std::filesystem::path> playerOf(SaverSystem system) {
  const std::filesystem::path player = playerFor(system);
  std::error_code error;
  if (std::filesystem::is_regular_file(player, error)) return player;
  return std::nullopt;
}

SaverDialog::SaverDialog(GtkWindow* parent, std::function<void(std::size_t slide)> selectSlide)
    : selectSlide_(std::move(selectSlide)) {
  dialog_ =
      gtk_dialog_new_with_buttons(tr("セーバーを作成"), parent, GTK_DIALOG_DESTROY_WITH_PARENT,
                                  tr("閉じる(_C)"), GTK_RESPONSE_CLOSE, nullptr);
  makeButton_ = gtk_dialog_add_button(GTK_DIALOG(dialog_), tr("作成(_M)"), GTK_RESPONSE_OK);
  gtk_dialog_set_default_response(GTK_DIALOG(dialog_), GTK_RESPONSE_OK);
  gtk_window_set_default_size(GTK_WINDOW(dialog_), 560, 360);
  g_signal_connect(dialog_, "delete-event", G_CALLBACK(gtk_widget_hide_on_delete), nullptr);
  g_signal_connect(dialog_, "response", G_CALLBACK(+[](GtkDialog*, gint response, gpointer self) {
                     auto* dialog = static_cast<SaverDialog*>(self);
                     if (response == GTK_RESPONSE_OK)
                       dialog->build();
                     else
                       gtk_widget_hide(dialog->dialog_);
                   }),
                   this);

  GtkWidget* grid = gtk_grid_new();
  gtk_grid_set_row_spacing(GTK_GRID(grid), 6);
  gtk_grid_set_column_spacing(GTK_GRID(grid), 8);
  gtk_container_set_border_width(GTK_CONTAINER(grid), 8);
  linux_ = targetRow(GTK_GRID(grid), 0, N_("Linux 用(_L)"), &linuxPath_);
  windows_ = targetRow(GTK_GRID(grid), 1, N_("Windows 用(_W)"), &windowsPath_);
  progress_ = gtk_progress_bar_new();
  gtk_grid_attach(GTK_GRID(grid), progress_, 0, 2, 2, 1);
  status_ = gtk_label_new("");
  gtk_widget_set_halign(status_, GTK_ALIGN_START);
  gtk_label_set_line_wrap(GTK_LABEL(status_), TRUE);
  gtk_grid_attach(GTK_GRID(grid), status_, 0, 3, 2, 1);

  problems_ = gtk_list_store_new(kProblemColumns, G_TYPE_INT, G_TYPE_STRING, G_TYPE_STRING);
  problemList_ = gtk_tree_view_new_with_model(GTK_TREE_MODEL(problems_));
  g_object_unref(problems_);
  gtk_tree_view_insert_column_with_attributes(GTK_TREE_VIEW(problemList_), -1, tr("スライド"),
                                              gtk_cell_renderer_text_new(), "text", kSlideText,
                                              nullptr);
  gtk_tree_view_insert_column_with_attributes(GTK_TREE_VIEW(problemList_), -1, tr("問題"),
                                              gtk_cell_renderer_text_new(), "text", kMessage,
                                              nullptr);
  connectSignal(gtk_tree_view_get_selection(GTK_TREE_VIEW(problemList_)), "changed", [this] {
    GtkTreeIter row;
    GtkTreeModel* model = nullptr;
    if (!gtk_tree_selection_get_selected(gtk_tree_view_get_selection(GTK_TREE_VIEW(problemList_)),
                                         &model, &row))
      return;
    gint slide = -1;
    gtk_tree_model_get(model, &row, kSlideNumber, &slide, -1);
    if (slide >= 0) selectSlide_(static_cast<std::size_t>(slide));
  });
  GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_widget_set_vexpand(scroller, TRUE);
  gtk_container_add(GTK_CONTAINER(scroller), problemList_);
  gtk_grid_attach(GTK_GRID(grid), scroller, 0, 4, 2, 1);
  gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(dialog_))), grid, TRUE, TRUE,
                     0);
  gtk_widget_show_all(grid);
}

SaverDialog::~SaverDialog() {
  if (worker_.joinable()) worker_.join();
}

void SaverDialog::present(const ShowDocument& document) {
  if (!worker_.joinable()) {
    const std::filesystem::path manifest = document.manifestPath();
    const std::filesystem::path folder = document.folder();
    const std::string stem = manifest.empty() ? "show" : manifest.stem().string();
    gtk_entry_set_text(GTK_ENTRY(linuxPath_), (folder / (stem + ".scr")).c_str());
    gtk_entry_set_text(GTK_ENTRY(windowsPath_), (folder / (stem + "-windows.scr")).c_str());
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(linux_), TRUE);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(windows_), FALSE);
    gtk_widget_set_sensitive(windowsPath_, FALSE);
    gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(progress_), 0);
    gtk_label_set_text(GTK_LABEL(status_), "");
    gtk_list_store_clear(problems_);
  }
  document_ = document;
  gtk_window_present(GTK_WINDOW(dialog_));
}

void SaverDialog::build() {
  if (worker_.joinable()) return;
  gtk_list_store_clear(problems_);
  std::vector<SaverTarget> targets;
  std::vector<BuildProblem> missing;
  const auto add = [&](GtkWidget* check, GtkWidget* path,
                       const std::optional<std::filesystem::path>& player, const char* absent) {
    if (!checked(check)) return;
    if (!player)
      missing.push_back({std::nullopt, tr(absent)});
    else
      targets.push_back({entryText(path), *player});
  };
  add(linux_, linuxPath_, playerOf(SaverSystem::Linux), N_("Linux のプレーヤーが見つかりません。"));
  add(windows_, windowsPath_, playerOf(SaverSystem::Windows),
      N_("Windows のプレーヤーが見つかりません。"));
  if (!missing.empty() || targets.empty()) {
    if (targets.empty() && missing.empty())
      missing.push_back({std::nullopt, tr("作成するセーバーを選んでください。")});
    listProblems(missing, "");
    return;
  }
  gtk_widget_set_sensitive(makeButton_, FALSE);
  gtk_label_set_text(GTK_LABEL(status_), tr("作成しています..."));
  targets_ = targets.size();
  worker_ = std::jthread([this, targets, document = *document_] {
    BuildReport report = buildSavers(document, targets, [this](const BuildProgress& progress) {
      const std::lock_guard lock(mutex_);
      latest_ = progress;
      g_idle_add(progressArrived, this);
    });
    const std::lock_guard lock(mutex_);
    report_ = std::move(report);
    g_idle_add(progressArrived, this);
  });
}

gboolean SaverDialog::progressArrived(gpointer self) {
  auto* dialog = static_cast<SaverDialog*>(self);
  std::optional<BuildReport> report;
  BuildProgress progress;
  {
    const std::lock_guard lock(dialog->mutex_);
    progress = dialog->latest_;
    report.swap(dialog->report_);
  }
  // Each saver is an equal part of the bar, filled by its bytes written.
  const double part = progress.bytes > 0 ? static_cast<double>(progress.bytesDone) /
                                               static_cast<double>(progress.bytes)
                                         : 0.0;
  gtk_progress_bar_set_fraction(
      GTK_PROGRESS_BAR(dialog->progress_),
      (static_cast<double>(progress.target) + part) / static_cast<double>(dialog->targets_));
  if (report) dialog->finished(std::move(*report));
  return G_SOURCE_REMOVE;
}

void SaverDialog::finished(BuildReport report) {
  worker_.join();
  gtk_widget_set_sensitive(makeButton_, TRUE);
  listProblems(report.problems, "");
  listProblems(report.notes, tr("注意: "));
  if (report.problems.empty()) {
    gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(progress_), 1.0);
    std::string written = tr("作成しました:");
    for (const auto& path : report.written) {
      written += '\n';
      written += path.string();
    }
    gtk_label_set_text(GTK_LABEL(status_), written.c_str());
  } else {
    gtk_label_set_text(GTK_LABEL(status_), tr("セーバーを作成できませんでした。"));
  }
}

void SaverDialog::listProblems(const std::vector<BuildProblem>& problems, const char* kind) {
  for (const BuildProblem& problem : problems) {
    const int slide = problem.slide ? static_cast<int>(*problem.slide) : -1;
    const std::string number = problem.slide ? std::to_string(*problem.slide + 1) : "";
    std::string message = kind;
    message += problem.message;
    gtk_list_store_insert_with_values(problems_, nullptr, -1, kSlideNumber, slide, kSlideText,
                                      number.c_str(), kMessage, message.c_str(), -1);
  }
}

}  // namespace kamishibai::studio
