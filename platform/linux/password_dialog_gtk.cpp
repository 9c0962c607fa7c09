// Kamishibai: the GTK dialog that sets, changes or clears the saver's password.
#include "platform/password_dialog.h"

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <optional>
#include <stdexcept>
#include <string>

#include "base/short_text.h"
#include "platform/display.h"
#include "platform/linux/dialog_gtk.h"
#include "platform/linux/display_gtk.h"
#include "platform/linux/password_sodium.h"
#include "platform/linux/password_store.h"
#include "platform/message_box.h"
#include "platform/translate.h"

namespace kamishibai {

namespace {

constexpr const char* kTitle = N_("パスワードの変更");
// The dialog's own choice for removing the password; OK sets or changes it.
constexpr gint kRemoveResponse = 1;

std::string textOf(GtkWidget* entry) {
  return gtk_entry_get_text(GTK_ENTRY(entry));
}

GdkWindow* foreignWindow(GdkDisplay* display, std::int32_t handle) {
  if (handle == 0) return nullptr;
  return gdk_x11_window_foreign_new_for_display(
      display, static_cast<Window>(static_cast<std::uint32_t>(handle)));
}

// Makes the dialog a child of the window with that handle, else of the foreground window, when
// the display is X11 and the window exists; otherwise the dialog stands alone.
void setOwner(GtkWidget* dialog, std::int32_t ownerWindow) {
  GdkDisplay* display = gtk_widget_get_display(dialog);
  if (!GDK_IS_X11_DISPLAY(display)) return;
  GdkWindow* owner = foreignWindow(display, ownerWindow);
  if (owner == nullptr) owner = foreignWindow(display, foregroundWindow());
  if (owner == nullptr) return;
  gtk_widget_realize(dialog);
  gdk_window_set_transient_for(gtk_widget_get_window(dialog), owner);
  g_object_unref(owner);
}

struct PasswordDialog {
  GtkWidget* window = nullptr;
  bool hadPassword = false;       // a password (usable or not) was stored when it opened
  GtkWidget* oldEntry = nullptr;  // only when a password is set
  GtkWidget* newEntry = nullptr;
  GtkWidget* confirmEntry = nullptr;
};

// Says that the stored password cannot be used and why, so the user knows that a new one can be
// set without the old one.
void addUnusableNotice(GtkGrid* grid, int row, const std::string& problem) {
  GtkWidget* notice = gtk_label_new(
      readableMessage(
          std::string(tr("保存されているパスワードは使えません。古いパスワードなしで新しい"
                         "パスワードを設定できます。")) +
          "\n(" + problem + ")")
          .c_str());
  gtk_label_set_line_wrap(GTK_LABEL(notice), TRUE);
  gtk_label_set_max_width_chars(GTK_LABEL(notice), 60);
  gtk_grid_attach(grid, notice, 0, row, 2, 1);
}

PasswordDialog buildDialog(const PasswordState& state) {
  PasswordDialog dialog;
  dialog.window =
      gtk_dialog_new_with_buttons(tr(kTitle), nullptr, GTK_DIALOG_MODAL, tr("キャンセル"),
                                  GTK_RESPONSE_CANCEL, "OK", GTK_RESPONSE_OK, nullptr);
  dialog.hadPassword = state.kind != PasswordState::Kind::NotSet;
  // Removing is a choice of its own, never what empty fields and Enter mean.
  if (dialog.hadPassword) {
    gtk_dialog_add_button(GTK_DIALOG(dialog.window), tr("パスワードを解除(_R)"), kRemoveResponse);
  }
  gtk_dialog_set_default_response(GTK_DIALOG(dialog.window), GTK_RESPONSE_OK);
  gtk_window_set_resizable(GTK_WINDOW(dialog.window), FALSE);
  gtk_window_set_position(GTK_WINDOW(dialog.window), GTK_WIN_POS_CENTER);

  GtkWidget* gridWidget = gtk_grid_new();
  GtkGrid* grid = GTK_GRID(gridWidget);
  gtk_grid_set_row_spacing(grid, 6);
  gtk_grid_set_column_spacing(grid, 8);
  gtk_container_set_border_width(GTK_CONTAINER(gridWidget), 12);
  int row = 0;
  if (state.kind == PasswordState::Kind::Unusable) addUnusableNotice(grid, row++, state.problem);
  if (state.kind == PasswordState::Kind::Usable) {
    dialog.oldEntry = addPasswordRow(grid, row++, tr("古いパスワード:"));
  }
  dialog.newEntry = addPasswordRow(grid, row++, tr("新しいパスワード:"));
  dialog.confirmEntry = addPasswordRow(grid, row++, tr("新しいパスワードの確認:"));
  gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(dialog.window))), gridWidget,
                     TRUE, TRUE, 0);
  gtk_widget_show_all(dialog.window);
  return dialog;
}

void showProblem(const std::string& text) {
  showMessageBox(readableMessage(text), tr(kTitle), MessageIcon::Exclamation);
}

void showNothingChanged(const std::string& reason) {
  showProblem(std::string(tr("パスワードを保存できません。パスワードは変更されていません。")) +
              "\n" + reason);
}

void showDone(const char* what) {
  showMessageBox(what, tr(kTitle), MessageIcon::Information);
}

// Asks before the password is removed; Cancel is the default, so a stray Enter keeps it.
bool removalConfirmed(GtkWidget* parent) {
  GtkWidget* box = gtk_message_dialog_new(
      GTK_WINDOW(parent), GTK_DIALOG_MODAL, GTK_MESSAGE_QUESTION, GTK_BUTTONS_NONE, "%s",
      tr("パスワードを解除しますか？スクリーン セーバーはパスワードなしで終わるようになります。"));
  gtk_window_set_title(GTK_WINDOW(box), tr(kTitle));
  gtk_dialog_add_buttons(GTK_DIALOG(box), tr("キャンセル"), GTK_RESPONSE_CANCEL,
                         tr("パスワードを解除(_R)"), GTK_RESPONSE_ACCEPT, nullptr);
  gtk_dialog_set_default_response(GTK_DIALOG(box), GTK_RESPONSE_CANCEL);
  gint answer = GTK_RESPONSE_CANCEL;
  runModalDialog(box, [&answer](gint response) {
    answer = response;
    return true;
  });
  return answer == GTK_RESPONSE_ACCEPT;
}

// Carries out the dialog's choice, OK or Remove; false (after saying why) when the user has to
// try again.
bool applyChange(const PasswordDialog& dialog, const DesktopFiles& files, bool remove) {
  try {
    if (dialog.oldEntry != nullptr && !verifyPassword(files, textOf(dialog.oldEntry))) {
      showProblem(tr("古いパスワードが正しくありません。"));
      return false;
    }
  } catch (const PasswordStoreError& error) {
    // The file was damaged while the dialog was open.
    showProblem(std::string(tr("保存されているパスワードは使えません。")) + "\n" + error.what());
    return true;
  }
  const std::string password = textOf(dialog.newEntry);
  if (remove && !removalConfirmed(dialog.window)) return false;
  if (!remove && password.empty()) {
    showProblem(tr("新しいパスワードを入力してください。"));
    return false;
  }
  if (!remove && password != textOf(dialog.confirmEntry)) {
    showProblem(tr("新しいパスワードと確認のパスワードが一致しません。"));
    return false;
  }
  try {
    if (remove) {
      clearPassword(files);
      showDone(tr("パスワードを解除しました。"));
    } else {
      setPassword(files, password);
      showDone(dialog.hadPassword ? tr("パスワードを変更しました。")
                                  : tr("パスワードを設定しました。"));
    }
  } catch (const PasswordHalfChangedError& error) {
    showProblem(std::string(tr("パスワードを保存できません。")) + "\n" + error.what());
  } catch (const std::exception& error) {
    showNothingChanged(error.what());
  }
  return true;
}

}  // namespace

void runPasswordChangeDialog(std::int32_t ownerWindow) {
  if (!startGtk()) return;
  const std::optional<DesktopFiles> userFiles = DesktopFiles::forCurrentUser();
  if (!userFiles) {
    showNothingChanged("neither XDG_CONFIG_HOME nor HOME names an absolute folder to keep it in");
    return;
  }
  const DesktopFiles& files = *userFiles;
  const PasswordDialog dialog = buildDialog(passwordState(files));
  setOwner(dialog.window, ownerWindow);
  runModalDialog(dialog.window, [&](gint response) {
    if (response != GTK_RESPONSE_OK && response != kRemoveResponse) return true;
    return applyChange(dialog, files, response == kRemoveResponse);
  });
}

}  // namespace kamishibai
