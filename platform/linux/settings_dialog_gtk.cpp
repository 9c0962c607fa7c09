// Kamishibai: frmSetting as a fixed-size GTK dialog whose controls sit at the dialog's layout in
// pixels (platform/settings_form_layout.h).
#include "platform/settings_dialog.h"

#include <gtk/gtk.h>

#include <initializer_list>

#include "platform/linux/dialog_gtk.h"
#include "platform/linux/display_gtk.h"
#include "platform/settings_form_layout.h"
#include "platform/translate.h"

namespace kamishibai {

namespace {

// The theme's default padding would make the buttons taller than the form's 22 pixels.
constexpr const char* kCompactCss =
    "button { min-height: 0; padding-top: 0; padding-bottom: 0; }"
    "radiobutton { min-height: 0; padding: 0; }";

void place(GtkFixed* fixed, GtkWidget* widget, const Box& box, int dx = 0, int dy = 0) {
  gtk_widget_set_size_request(widget, box.width, box.height);
  gtk_fixed_put(fixed, widget, box.left + dx, box.top + dy);
}

void applyCompactStyle(GtkWidget* dialog) {
  GtkCssProvider* css = gtk_css_provider_new();
  gtk_css_provider_load_from_data(css, kCompactCss, -1, nullptr);
  gtk_style_context_add_provider_for_screen(gtk_widget_get_screen(dialog), GTK_STYLE_PROVIDER(css),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(css);
}

struct SwitchOptions {
  GtkWidget* on;
  GtkWidget* off;
};

// A frame with its ON and OFF option buttons, one of them selected.
SwitchOptions addSwitchFrame(GtkFixed* fixed, const char* caption, const Box& frame, bool on) {
  place(fixed, gtk_frame_new(caption), frame);
  GtkWidget* optionOn = gtk_radio_button_new_with_label(nullptr, "ON");
  GtkWidget* optionOff =
      gtk_radio_button_new_with_label_from_widget(GTK_RADIO_BUTTON(optionOn), "OFF");
  place(fixed, optionOn, kOptionOn, frame.left, frame.top);
  place(fixed, optionOff, kOptionOff, frame.left, frame.top);
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(on ? optionOn : optionOff), TRUE);
  return {optionOn, optionOff};
}

GtkWidget* addCommand(GtkWidget* dialog, GtkFixed* fixed, const char* caption, const Box& box,
                      GtkResponseType response) {
  GtkWidget* button = gtk_button_new_with_label(caption);
  place(fixed, button, box);
  g_signal_connect_swapped(button, "clicked", G_CALLBACK(+[](GtkDialog* d, GtkWidget* b) {
                             gtk_dialog_response(
                                 d, GPOINTER_TO_INT(g_object_get_data(G_OBJECT(b), "response")));
                           }),
                           dialog);
  g_object_set_data(G_OBJECT(button), "response", GINT_TO_POINTER(response));
  return button;
}

// Enter is OK wherever the focus is, except on a command button, which Enter presses itself.
// An option button would otherwise take Enter as a click on itself.
gboolean enterMeansOk(GtkWidget* dialog, GdkEventKey* event, GtkWidget* ok) {
  if (event->keyval != GDK_KEY_Return && event->keyval != GDK_KEY_KP_Enter) return FALSE;
  GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(dialog));
  if (focus != nullptr && GTK_IS_BUTTON(focus) && !GTK_IS_TOGGLE_BUTTON(focus)) return FALSE;
  gtk_button_clicked(GTK_BUTTON(ok));
  return TRUE;
}

// Tab goes through the controls in the form's order: the option buttons, OK, Cancel. GtkFixed
// would otherwise order them by position, putting the buttons between the frames.
void setTabOrder(GtkWidget* fixed, std::initializer_list<GtkWidget*> controls) {
  GList* chain = nullptr;
  for (GtkWidget* control : controls) chain = g_list_append(chain, control);
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  gtk_container_set_focus_chain(GTK_CONTAINER(fixed), chain);
  G_GNUC_END_IGNORE_DEPRECATIONS
  g_list_free(chain);
}

bool isActive(GtkWidget* option) {
  return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(option)) != FALSE;
}

}  // namespace

std::optional<SettingsChoice> runFrmSetting(SettingsChoice initial) {
  if (!startGtk()) return std::nullopt;
  GtkWidget* dialog = gtk_dialog_new();
  gtk_window_set_title(GTK_WINDOW(dialog), tr("設定"));
  gtk_window_set_resizable(GTK_WINDOW(dialog), FALSE);
  gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
  gtk_window_set_type_hint(GTK_WINDOW(dialog), GDK_WINDOW_TYPE_HINT_DIALOG);
  applyCompactStyle(dialog);

  GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(dialog));
  gtk_container_set_border_width(GTK_CONTAINER(content), 0);
  gtk_container_set_border_width(GTK_CONTAINER(dialog), 0);
  GtkWidget* fixedWidget = gtk_fixed_new();
  gtk_widget_set_size_request(fixedWidget, kClientWidth, kClientHeight);
  gtk_box_pack_start(GTK_BOX(content), fixedWidget, TRUE, TRUE, 0);
  GtkFixed* fixed = GTK_FIXED(fixedWidget);

  const SwitchOptions bgm = addSwitchFrame(fixed, "BGM", kFrame1, initial.bgmOn);
  const SwitchOptions sound = addSwitchFrame(fixed, "Sound", kFrame2, initial.soundOn);
  GtkWidget* ok = addCommand(dialog, fixed, "OK", kCommandOk, GTK_RESPONSE_OK);
  GtkWidget* cancel =
      addCommand(dialog, fixed, tr("キャンセル"), kCommandCancel, GTK_RESPONSE_CANCEL);
  setTabOrder(fixedWidget, {bgm.on, bgm.off, sound.on, sound.off, ok, cancel});
  gtk_widget_set_can_default(ok, TRUE);
  g_signal_connect(dialog, "key-press-event", G_CALLBACK(enterMeansOk), ok);
  gtk_widget_show_all(dialog);
  gtk_window_set_default(GTK_WINDOW(dialog), ok);
  // The focus starts on the first control in tab order that takes it: BGM's selected option.
  gtk_widget_grab_focus(initial.bgmOn ? bgm.on : bgm.off);

  // Esc and the close box both end in a response other than OK.
  std::optional<SettingsChoice> choice;
  runModalDialog(dialog, [&](gint response) {
    if (response == GTK_RESPONSE_OK) choice = SettingsChoice{isActive(bgm.on), isActive(sound.on)};
    return true;
  });
  return choice;
}

}  // namespace kamishibai
