// Kamishibai Studio's main window.
#include "studio/gtk/main_window.h"

#include <algorithm>
#include <mutex>
#include <stdexcept>

#include "effects/transition.h"
#include "platform/running_program.h"
#include "platform/translate.h"
#include "studio/gtk/menu_bar.h"
#include "studio/gtk/saver_dialog.h"
#include "studio/gtk/show_player.h"
#include "tools/commands.h"
#include "tools/manifest_show.h"

namespace kamishibai::studio {
namespace {

constexpr const char* kProgramTitle = N_("紙芝居スタジオ");
// Thumbnails fit in this many pixels a side; the grid's items are as wide.
constexpr std::int32_t kThumbnailSide = 120;

constexpr const char* kFitNames[] = {"none", "contain", "cover", "shrink"};

std::string effectName(std::int32_t code) {
  if (code == kRandomEffect) return "random";
  const EffectInfo* effect = findEffect(code);
  return effect != nullptr ? std::string(effect->name) : std::to_string(code);
}

std::string escaped(const std::string& text) {
  gchar* markup = g_markup_escape_text(text.c_str(), -1);
  std::string result = markup;
  g_free(markup);
  return result;
}

// "photo.jpg" over "5 s  fade" in small letters.
std::string captionOf(const ManifestSettings& show, const ManifestSlide& slide) {
  char seconds[32];
  g_snprintf(seconds, sizeof seconds, "%g s", slideTime(show, slide) / 1000.0);
  return escaped(slide.picture.filename().string()) + "\n<small>" + seconds + "  " +
         escaped(effectName(slideEffect(show, slide))) + "</small>";
}

// The primary monitor's size in device pixels: what a saver's area covers on that screen.
GdkMonitor* primaryMonitor() {
  GdkDisplay* display = gdk_display_get_default();
  GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
  return monitor != nullptr ? monitor : gdk_display_get_monitor(display, 0);
}

std::pair<std::int32_t, std::int32_t> screenSize() {
  GdkMonitor* monitor = primaryMonitor();
  if (monitor == nullptr) return {1920, 1080};
  GdkRectangle area{};
  gdk_monitor_get_geometry(monitor, &area);
  const int scale = gdk_monitor_get_scale_factor(monitor);
  return {area.width * scale, area.height * scale};
}

// The primary monitor's scale: 2 at 200 %.
int screenScale() {
  GdkMonitor* monitor = primaryMonitor();
  return monitor != nullptr ? gdk_monitor_get_scale_factor(monitor) : 1;
}

std::vector<std::size_t> indices(const std::vector<int>& slides) {
  return {slides.begin(), slides.end()};
}

std::vector<std::filesystem::path> chosenFiles(GtkFileChooser* chooser) {
  std::vector<std::filesystem::path> paths;
  GSList* files = gtk_file_chooser_get_filenames(chooser);
  for (GSList* file = files; file != nullptr; file = file->next)
    paths.emplace_back(static_cast<const char*>(file->data));
  g_slist_free_full(files, g_free);
  return paths;
}

// Runs a file chooser; the files chosen, none when it was cancelled.
std::vector<std::filesystem::path> chooseFiles(GtkWindow* parent, const char* title,
                                               GtkFileChooserAction action, bool many,
                                               const std::filesystem::path& suggestion = {}) {
  const bool saving = action == GTK_FILE_CHOOSER_ACTION_SAVE;
  GtkFileChooserNative* chooser = gtk_file_chooser_native_new(
      tr(title), parent, action, saving ? tr("保存(_S)") : tr("開く(_O)"), tr("キャンセル(_C)"));
  gtk_file_chooser_set_select_multiple(GTK_FILE_CHOOSER(chooser), many);
  gtk_file_chooser_set_do_overwrite_confirmation(GTK_FILE_CHOOSER(chooser), TRUE);
  if (!suggestion.empty()) {
    if (saving) {
      gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(chooser),
                                          suggestion.parent_path().c_str());
      gtk_file_chooser_set_current_name(GTK_FILE_CHOOSER(chooser), suggestion.filename().c_str());
    }
  }
  std::vector<std::filesystem::path> paths;
  if (gtk_native_dialog_run(GTK_NATIVE_DIALOG(chooser)) == GTK_RESPONSE_ACCEPT)
    paths = chosenFiles(GTK_FILE_CHOOSER(chooser));
  g_object_unref(chooser);
  return paths;
}

}  // namespace

MainWindow::MainWindow() {
  window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  // Usable on a 1024 x 768 screen with its panels.
  gtk_window_set_default_size(GTK_WINDOW(window_), 1000, 700);
  grid_ = std::make_unique<SlideGrid>(
      kThumbnailSide,
      SlideGrid::Handlers{
          [this] { refreshSelection(); },
          [this](const std::vector<int>& slides, int target) { moveTo(slides, target); },
          [this](const std::vector<std::filesystem::path>& paths, int target) {
            addPaths(paths, static_cast<std::size_t>(target));
          }});
  panel_ = std::make_unique<SidePanel>(SidePanel::Handlers{
      [this](SlideField field, const SlidePanelValues& values) { slideEdited(field, values); },
      [this](ShowField field, const ShowPanelValues& values) { showEdited(field, values); }});
  saverDialog_ = std::make_unique<SaverDialog>(
      GTK_WINDOW(window_), [this](std::size_t slide) { grid_->select({static_cast<int>(slide)}); });
  // Thumbnails of as many pixels as the grid's cells at the screen's scale, handed to the main
  // loop in batches: one wake-up takes all that wait.
  thumbnails_ =
      std::make_unique<ThumbnailQueue>(kThumbnailSide * screenScale(), [this](Thumbnail thumbnail) {
        const std::lock_guard lock(inboxMutex_);
        inbox_.push_back(std::move(thumbnail));
        if (inbox_.size() > 1) return;
        g_idle_add(
            +[](gpointer self) {
              auto* window = static_cast<MainWindow*>(self);
              std::vector<Thumbnail> arrived;
              {
                const std::lock_guard lock(window->inboxMutex_);
                arrived.swap(window->inbox_);
              }
              for (const Thumbnail& thumbnail : arrived) window->thumbnailArrived(thumbnail);
              return G_SOURCE_REMOVE;
            },
            this);
      });

  GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  gtk_box_pack_start(GTK_BOX(box), makeMenus(), FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(box), makeLayout(), TRUE, TRUE, 0);
  gtk_container_add(GTK_CONTAINER(window_), box);
  g_signal_connect(window_, "delete-event", G_CALLBACK(+[](GtkWidget*, GdkEvent*, gpointer self) {
                     static_cast<MainWindow*>(self)->quit();
                     return TRUE;
                   }),
                   this);
  // Shortcuts such as Delete and Ctrl+A belong to a text field while it has the focus.
  g_signal_connect(window_, "key-press-event",
                   G_CALLBACK(+[](GtkWidget* window, GdkEventKey* event, gpointer) -> gboolean {
                     GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window));
                     if (focus == nullptr || !GTK_IS_EDITABLE(focus)) return FALSE;
                     return gtk_window_propagate_key_event(GTK_WINDOW(window), event);
                   }),
                   nullptr);
  refresh({});
}

MainWindow::~MainWindow() {
  if (playBuild_.joinable()) playBuild_.join();
  thumbnails_.reset();
  preview_.stop();
}

GtkWidget* MainWindow::makeMenus() {
  GtkAccelGroup* shortcuts = gtk_accel_group_new();
  gtk_window_add_accel_group(GTK_WINDOW(window_), shortcuts);
  g_object_unref(shortcuts);
  return makeMenuBar(
      {
          {N_("ファイル(_F)"),
           {
               {N_("新規(_N)"), {"<Primary>n"}, [this] { newShow(); }},
               {N_("開く(_O)..."), {"<Primary>o"}, [this] { openShow(); }},
               {N_("保存(_S)"), {"<Primary>s"}, [this] { save(); }},
               {N_("名前を付けて保存(_A)..."), {"<Primary><Shift>s"}, [this] { saveAs(); }},
               {nullptr, {}, {}},
               {N_("画像を追加(_P)..."), {"<Primary>i"}, [this] { addPictures(false); }},
               {N_("フォルダーを追加(_D)..."),
                {"<Primary><Shift>i"},
                [this] { addPictures(true); }},
               {nullptr, {}, {}},
               {N_("セーバーを作成(_M)..."), {"<Primary>m"}, [this] { makeSaver(); }},
               {N_("コンタクトシート(_C)..."), {}, [this] { contactSheet(); }},
               {nullptr, {}, {}},
               {N_("終了(_Q)"), {"<Primary>q"}, [this] { quit(); }},
           }},
          {N_("編集(_E)"),
           {
               {N_("元に戻す(_U)"), {"<Primary>z"}, [this] { undo(); }},
               {N_("やり直し(_R)"), {"<Primary><Shift>z", "<Primary>y"}, [this] { redo(); }},
               {nullptr, {}, {}},
               {N_("削除(_D)"), {"Delete"}, [this] { removeSelected(); }},
               {N_("すべて選択(_A)"), {"<Primary>a"}, [this] { grid_->selectAll(); }},
               {N_("左へ移動(_L)"), {"<Alt>Left"}, [this] { moveSelected(-1); }},
               {N_("右へ移動(_G)"), {"<Alt>Right"}, [this] { moveSelected(1); }},
           }},
          {N_("ショー(_S)"),
           {
               {N_("ショーを再生(_P)"), {"F5"}, [this] { playShow(); }},
               {N_("切り替えをプレビュー(_T)"), {"<Shift>F5"}, [this] { previewSelected(); }},
           }},
      },
      shortcuts);
}

GtkWidget* MainWindow::makeLayout() {
  GtkWidget* side = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
  gtk_container_set_border_width(GTK_CONTAINER(side), 6);
  GtkWidget* preview = preview_.widget();
  // A 16:9 preview a third of the window wide at most; it shrinks with the window.
  gtk_widget_set_size_request(preview, 320, 180);
  gtk_box_pack_start(GTK_BOX(side), preview, TRUE, TRUE, 0);
  GtkWidget* settings = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(settings), GTK_POLICY_NEVER,
                                 GTK_POLICY_AUTOMATIC);
  gtk_scrolled_window_set_propagate_natural_height(GTK_SCROLLED_WINDOW(settings), TRUE);
  gtk_container_add(GTK_CONTAINER(settings), panel_->widget());
  gtk_box_pack_start(GTK_BOX(side), settings, FALSE, TRUE, 0);

  GtkWidget* paned = gtk_paned_new(GTK_ORIENTATION_HORIZONTAL);
  gtk_paned_pack1(GTK_PANED(paned), grid_->widget(), TRUE, FALSE);
  gtk_paned_pack2(GTK_PANED(paned), side, FALSE, FALSE);
  return paned;
}

void MainWindow::show() {
  if (loadReport_.wanted())
    g_signal_connect_after(window_, "draw", G_CALLBACK(+[](GtkWidget*, cairo_t*, gpointer report) {
                             static_cast<LoadReport*>(report)->windowShown();
                             return FALSE;
                           }),
                           &loadReport_);
  gtk_widget_show_all(window_);
}

bool MainWindow::openPath(const std::filesystem::path& path) {
  const auto [width, height] = screenSize();
  OpenedShow opened;
  try {
    opened = kamishibai::openPath(path, width, height, scratch_);
  } catch (const std::exception& error) {
    opened.problems.push_back(error.what());
  }
  if (!opened.problems.empty()) {
    std::string message;
    for (const std::string& problem : opened.problems) message += problem + "\n";
    reportError(message);
  }
  if (!opened.document) return false;
  replaceDocument(std::move(*opened.document));
  return true;
}

void MainWindow::openOnceShown(const std::filesystem::path& path) {
  // An idle call runs after the window's first drawing, which has a higher priority.
  auto* opening = new std::pair<MainWindow*, std::filesystem::path>(this, path);
  g_idle_add(
      +[](gpointer data) {
        std::unique_ptr<std::pair<MainWindow*, std::filesystem::path>> open(
            static_cast<std::pair<MainWindow*, std::filesystem::path>*>(data));
        open->first->openPath(open->second);
        return G_SOURCE_REMOVE;
      },
      opening);
}

void MainWindow::replaceDocument(ShowDocument document) {
  preview_.stop();
  // The old show's thumbnails not yet begun are not made; any picture is asked for again.
  thumbnails_->cancelPending();
  thumbnailsAsked_.clear();
  thumbnailsWaited_.clear();
  history_.clear();
  document_ = std::move(document);
  refresh(document_.show().slides.empty() ? Selection{} : Selection{0});
}

bool MainWindow::mayDiscard() {
  if (!document_.dirty()) return true;
  GtkWidget* dialog =
      gtk_message_dialog_new(GTK_WINDOW(window_), GTK_DIALOG_MODAL, GTK_MESSAGE_QUESTION,
                             GTK_BUTTONS_NONE, "%s", tr("ショーへの変更を保存しますか?"));
  gtk_window_set_title(GTK_WINDOW(dialog), tr(kProgramTitle));
  gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(dialog), "%s",
                                           tr("保存しないと変更は失われます。"));
  gtk_dialog_add_buttons(GTK_DIALOG(dialog), tr("保存しない(_D)"), GTK_RESPONSE_REJECT,
                         tr("キャンセル(_C)"), GTK_RESPONSE_CANCEL, tr("保存(_S)"),
                         GTK_RESPONSE_ACCEPT, nullptr);
  gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
  const gint response = gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_destroy(dialog);
  if (response == GTK_RESPONSE_ACCEPT) return save();
  return response == GTK_RESPONSE_REJECT;
}

void MainWindow::newShow() {
  if (!mayDiscard()) return;
  const auto [width, height] = screenSize();
  replaceDocument(ShowDocument(width, height));
}

void MainWindow::openShow() {
  if (!mayDiscard()) return;
  const auto paths = chooseFiles(GTK_WINDOW(window_), N_("ショーまたはセーバーを開く"),
                                 GTK_FILE_CHOOSER_ACTION_OPEN, false);
  if (!paths.empty()) openPath(paths.front());
}

bool MainWindow::save() {
  if (document_.manifestPath().empty()) return saveAs();
  try {
    saveShow(document_, document_.manifestPath(), scratch_);
  } catch (const std::exception& error) {
    reportError(error.what());
    return false;
  }
  refresh(selection());
  return true;
}

bool MainWindow::saveAs() {
  const std::filesystem::path suggestion = document_.manifestPath().empty()
                                               ? document_.folder() / "show.toml"
                                               : document_.manifestPath();
  const auto paths = chooseFiles(GTK_WINDOW(window_), N_("ショーを保存"),
                                 GTK_FILE_CHOOSER_ACTION_SAVE, false, suggestion);
  if (paths.empty()) return false;
  try {
    saveShow(document_, paths.front(), scratch_);
  } catch (const std::exception& error) {
    reportError(error.what());
    return false;
  }
  refresh(selection());
  return true;
}

void MainWindow::addPictures(bool folders) {
  const auto paths = chooseFiles(
      GTK_WINDOW(window_), folders ? N_("フォルダーを追加") : N_("画像を追加"),
      folders ? GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER : GTK_FILE_CHOOSER_ACTION_OPEN, true);
  // New slides follow the selection, else go at the end.
  const Selection selected = selection();
  addPaths(paths, selected.empty() ? document_.show().slides.size() : selected.back() + 1);
}

void MainWindow::addPaths(const std::vector<std::filesystem::path>& paths, std::size_t at) {
  if (paths.empty()) return;
  std::vector<std::string> problems;
  std::vector<ManifestSlide> slides = slidesForPaths(paths, problems);
  if (!problems.empty()) {
    std::string message;
    for (const std::string& problem : problems) message += problem + "\n";
    reportError(message);
  }
  if (!slides.empty()) refresh(history_.addSlides(at, std::move(slides)));
}

void MainWindow::makeSaver() {
  saverDialog_->present(document_);
}

// The contact sheet of every transition from the first selected slide's picture to the next
// one's, placed on the show's area as the saver places them, made by kamishibai-pack while the
// window goes on, then opened with the desktop's viewer.
void MainWindow::contactSheet() {
  const ManifestShow& show = document_.show();
  const Selection selected = selection();
  if (show.slides.empty()) return;
  const std::size_t from = selected.empty() ? 0 : selected.front();
  const ManifestSlide& first = show.slides[from];
  const ManifestSlide& second = show.slides[(from + 1) % show.slides.size()];
  const auto paths =
      chooseFiles(GTK_WINDOW(window_), N_("コンタクトシートを保存"), GTK_FILE_CHOOSER_ACTION_SAVE,
                  false, document_.folder() / "transitions.png");
  if (paths.empty()) return;
  const std::string pack =
      std::filesystem::path(runningExecutablePath()).parent_path() / "kamishibai-pack";
  const std::string area =
      std::to_string(show.settings.areaWidth) + "x" + std::to_string(show.settings.areaHeight);
  const std::string out = paths.front().string();
  const gchar* argv[] = {pack.c_str(), "render",
                         "--sheet",    out.c_str(),
                         "--from",     first.picture.c_str(),
                         "--to",       second.picture.c_str(),
                         "--area",     area.c_str(),
                         "--fit",      kFitNames[static_cast<int>(slideFit(show.settings, first))],
                         nullptr};
  GError* error = nullptr;
  GSubprocess* render = g_subprocess_newv(
      argv, GSubprocessFlags(G_SUBPROCESS_FLAGS_STDOUT_SILENCE | G_SUBPROCESS_FLAGS_STDERR_PIPE),
      &error);
  if (render == nullptr) {
    reportError(error->message);
    g_error_free(error);
    return;
  }
  auto* sheet = new std::pair<MainWindow*, std::string>(this, out);
  g_subprocess_communicate_utf8_async(
      render, nullptr, nullptr,
      +[](GObject* source, GAsyncResult* result, gpointer data) {
        std::unique_ptr<std::pair<MainWindow*, std::string>> sheet(
            static_cast<std::pair<MainWindow*, std::string>*>(data));
        auto* process = G_SUBPROCESS(source);
        gchar* errors = nullptr;
        g_subprocess_communicate_utf8_finish(process, result, nullptr, &errors, nullptr);
        if (g_subprocess_get_successful(process))
          gtk_show_uri_on_window(GTK_WINDOW(sheet->first->window_),
                                 ("file://" + sheet->second).c_str(), GDK_CURRENT_TIME, nullptr);
        else
          sheet->first->reportError(errors != nullptr ? errors : "");
        g_free(errors);
        g_object_unref(process);
      },
      sheet);
}

void MainWindow::quit() {
  if (!mayDiscard()) return;
  gtk_widget_hide(window_);
  gtk_main_quit();
}

void MainWindow::undo() {
  if (history_.canUndo()) refresh(history_.undo());
}

void MainWindow::redo() {
  if (history_.canRedo()) refresh(history_.redo());
}

void MainWindow::removeSelected() {
  const Selection selected = selection();
  if (!selected.empty()) refresh(history_.removeSlides(selected));
}

void MainWindow::moveSelected(int by) {
  const Selection selected = selection();
  if (selected.empty()) return;
  refresh(by < 0 ? history_.moveUp(selected) : history_.moveDown(selected));
}

void MainWindow::moveTo(const std::vector<int>& slides, int target) {
  // The target counts the dragged slides before it; the history counts the list without them.
  const auto before =
      std::count_if(slides.begin(), slides.end(), [&](int s) { return s < target; });
  refresh(history_.moveSlides(indices(slides), static_cast<std::size_t>(target - before)));
}

// The saver is built on a worker from the show as it stands, then played in a window.
void MainWindow::playShow() {
  if (document_.show().slides.empty() || playBuild_.joinable()) return;
  const auto player = playerOf(SaverSystem::Linux);
  if (!player) {
    reportError(tr("Linux のプレーヤーが見つかりません。"));
    return;
  }
  std::filesystem::path saver;
  try {
    saver = scratch_.newFolder() / "play.scr";
  } catch (const std::exception& error) {
    reportError(error.what());
    return;
  }
  playedSaver_ = saver;
  playBuild_ = std::jthread([this, document = document_, saver, player = *player] {
    BuildReport report = buildSavers(document, {{saver, player}}, {});
    std::string problems;
    for (const BuildProblem& problem : report.problems)
      problems +=
          (problem.slide ? std::to_string(*problem.slide + 1) + ": " : "") + problem.message + "\n";
    auto* built = new std::pair<MainWindow*, std::string>(this, problems);
    g_idle_add(
        +[](gpointer data) {
          std::unique_ptr<std::pair<MainWindow*, std::string>> result(
              static_cast<std::pair<MainWindow*, std::string>*>(data));
          MainWindow* window = result->first;
          window->playBuild_.join();
          if (result->second.empty())
            playSaver(window->playedSaver_);
          else
            window->reportError(result->second);
          return G_SOURCE_REMOVE;
        },
        built);
  });
}

void MainWindow::previewSelected() {
  const Selection selected = selection();
  if (selected.size() == 1) preview_.play(document_, selected.front());
}

Selection MainWindow::selection() const {
  return indices(grid_->selected());
}

void MainWindow::refresh(const Selection& selected) {
  const ManifestShow& show = document_.show();
  std::vector<std::string> keys;
  std::vector<std::string> captions;
  keys.reserve(show.slides.size());
  captions.reserve(show.slides.size());
  for (const ManifestSlide& slide : show.slides) {
    keys.push_back(slide.picture.string());
    captions.push_back(captionOf(show.settings, slide));
    if (thumbnailsAsked_.insert(keys.back()).second)
      thumbnailsWaited_.insert(thumbnails_->request(slide.picture));
  }
  grid_->setSlides(keys, captions);
  grid_->select(std::vector<int>(selected.begin(), selected.end()));

  ShowPanelValues values;
  const auto [width, height] = screenSize();
  values.onScreen = show.settings.areaWidth == width && show.settings.areaHeight == height;
  values.width = show.settings.areaWidth;
  values.height = show.settings.areaHeight;
  const auto colour = static_cast<std::uint32_t>(show.settings.colour);
  values.colour = (colour & 0xff) << 16 | (colour & 0xff00) | (colour >> 16 & 0xff);
  values.music = show.settings.music ? show.settings.music->string() : "";
  values.settings = show.settings.settings;
  panel_->showShow(values);

  const std::string name =
      document_.manifestPath().empty() ? tr("無題") : document_.manifestPath().filename().string();
  const std::string title = (document_.dirty() ? "*" : "") + name + " - " + tr(kProgramTitle);
  gtk_window_set_title(GTK_WINDOW(window_), title.c_str());
}

void MainWindow::refreshSelection() {
  const Selection selected = selection();
  const ManifestShow& show = document_.show();
  if (selected.empty()) {
    panel_->showSlides(std::nullopt);
    preview_.stop();
    return;
  }
  const ManifestSlide& slide = show.slides[selected.front()];
  SlidePanelValues values;
  values.timeMs = slideTime(show.settings, slide);
  values.effect = effectName(slideEffect(show.settings, slide));
  values.speed = slideSpeed(show.settings, slide);
  values.sound = slide.sound ? slide.sound->string() : "";
  values.fit = kFitNames[static_cast<int>(slideFit(show.settings, slide))];
  values.x = slide.x.value_or(0);
  values.y = slide.y.value_or(0);
  panel_->showSlides(values);
  if (selected.size() == 1) preview_.play(document_, selected.front());
}

void MainWindow::slideEdited(SlideField field, const SlidePanelValues& values) {
  std::function<void(ManifestSlide&)> change;
  const char* what = "";
  switch (field) {
    case SlideField::Time:
      what = N_("表示時間の変更");
      change = [time = static_cast<std::int32_t>(values.timeMs)](ManifestSlide& s) {
        s.time = time;
      };
      break;
    case SlideField::Effect: {
      what = N_("切り替えの変更");
      const EffectInfo* effect = findEffect(std::string_view(values.effect));
      if (effect == nullptr && values.effect != "random") {
        refreshSelection();  // a name of no transition: the panel shows the slide's again
        return;
      }
      const std::int32_t code = effect != nullptr ? effect->code : kRandomEffect;
      change = [code](ManifestSlide& s) { s.effect = code; };
      break;
    }
    case SlideField::Speed:
      what = N_("速さの変更");
      change = [speed = values.speed](ManifestSlide& s) { s.speed = speed; };
      break;
    case SlideField::Sound:
      what = N_("効果音の変更");
      change = [sound = values.sound](ManifestSlide& s) {
        s.sound = sound.empty() ? std::nullopt : std::optional<std::filesystem::path>(sound);
        if (!s.sound) s.soundName.reset();
      };
      break;
    case SlideField::Fit:
    case SlideField::Position: {
      what = N_("配置の変更");
      const PictureFit fit = fitNamed(values.fit).value_or(PictureFit::None);
      change = [fit, x = values.x, y = values.y](ManifestSlide& s) {
        if (fit == PictureFit::None)
          placeSlide(s, x, y);
        else
          placeSlide(s, fit);
      };
      break;
    }
  }
  refresh(history_.changeSlides(selection(), tr(what), change));
}

void MainWindow::showEdited(ShowField field, const ShowPanelValues& values) {
  ManifestSettings settings = document_.show().settings;
  const char* what = "";
  switch (field) {
    case ShowField::Area: {
      what = N_("領域の変更");
      const auto [width, height] = screenSize();
      settings.areaWidth = values.width > 0 ? values.width : width;
      settings.areaHeight = values.height > 0 ? values.height : height;
      break;
    }
    case ShowField::Colour: {
      what = N_("背景色の変更");
      const std::uint32_t rgb = values.colour;
      settings.colour =
          static_cast<std::int32_t>((rgb & 0xff) << 16 | (rgb & 0xff00) | (rgb >> 16 & 0xff));
      break;
    }
    case ShowField::Music:
      what = N_("音楽の変更");
      settings.music =
          values.music.empty() ? std::nullopt : std::optional<std::filesystem::path>(values.music);
      if (!settings.music) settings.musicName.reset();
      break;
    case ShowField::Settings:
      what = N_("設定の許可の変更");
      settings.settings = values.settings;
      break;
  }
  if (settings == document_.show().settings) return;
  const Selection selected = selection();
  history_.setSettings(std::move(settings), tr(what));
  refresh(selected);
}

void MainWindow::reportError(const std::string& message) {
  GtkWidget* dialog =
      gtk_message_dialog_new(GTK_WINDOW(window_), GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR,
                             GTK_BUTTONS_CLOSE, "%s", message.c_str());
  gtk_window_set_title(GTK_WINDOW(dialog), tr(kProgramTitle));
  gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_destroy(dialog);
}

void MainWindow::thumbnailArrived(const Thumbnail& thumbnail) {
  if (thumbnail.problem.empty() && thumbnail.width > 0) {
    GBytes* bytes = g_bytes_new(thumbnail.rgba.data(), thumbnail.rgba.size());
    GdkPixbuf* pixbuf = gdk_pixbuf_new_from_bytes(
        bytes, GDK_COLORSPACE_RGB, TRUE, 8, thumbnail.width, thumbnail.height, thumbnail.width * 4);
    g_bytes_unref(bytes);
    grid_->setThumbnail(thumbnail.path.string(), pixbuf);
    g_object_unref(pixbuf);
  }
  if (thumbnailsWaited_.erase(thumbnail.ticket) == 1 && thumbnailsWaited_.empty())
    loadReport_.thumbnailsShown(thumbnailsAsked_.size());
}

}  // namespace kamishibai::studio
