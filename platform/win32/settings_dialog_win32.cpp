// Kamishibai: frmSetting as a Windows dialog from its resource script, with the controls at the
// dialog's layout in pixels (platform/settings_form_layout.h).
#include <windows.h>

#include "platform/settings_dialog.h"
#include "platform/settings_form_layout.h"
#include "platform/translate.h"
#include "platform/win32/settings_dialog_win32.h"
#include "platform/win32/wide_text_win32.h"

namespace kamishibai {

namespace {

void place(HWND dialog, int id, const Box& box, const Box& container = {}) {
  MoveWindow(GetDlgItem(dialog, id), container.left + box.left, container.top + box.top, box.width,
             box.height, FALSE);
}

// Gives the dialog its client size in pixels, whatever the dialog font makes of the resource's
// dialog units, and centres it on the screen.
void layOut(HWND dialog) {
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  place(dialog, IDC_FRAME1, kFrame1);
  place(dialog, IDC_OPTION1_0, kOptionOn, kFrame1);
  place(dialog, IDC_OPTION1_1, kOptionOff, kFrame1);
  place(dialog, IDC_FRAME2, kFrame2);
  place(dialog, IDC_OPTION1_2, kOptionOn, kFrame2);
  place(dialog, IDC_OPTION1_3, kOptionOff, kFrame2);
  place(dialog, IDOK, kCommandOk);
  place(dialog, IDCANCEL, kCommandCancel);
}

struct DialogState {
  SettingsChoice initial;
  SettingsChoice chosen;
};

bool isChecked(HWND dialog, int id) {
  return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

INT_PTR CALLBACK frmSettingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      const auto& initial = reinterpret_cast<const DialogState*>(lParam)->initial;
      layOut(dialog);
      SetWindowTextW(dialog, toWide(tr("設定")).c_str());
      SetDlgItemTextW(dialog, IDCANCEL, toWide(tr("キャンセル")).c_str());
      const int bgm = initial.bgmOn ? IDC_OPTION1_0 : IDC_OPTION1_1;
      CheckRadioButton(dialog, IDC_OPTION1_0, IDC_OPTION1_1, bgm);
      CheckRadioButton(dialog, IDC_OPTION1_2, IDC_OPTION1_3,
                       initial.soundOn ? IDC_OPTION1_2 : IDC_OPTION1_3);
      // The focus starts on the first control in tab order that takes it: BGM's selected
      // option, not the group's first button that the dialog manager would pick.
      SetFocus(GetDlgItem(dialog, bgm));
      return FALSE;
    }
    case WM_COMMAND:
      // Enter reaches here as OK (the default button); Esc and the close box as Cancel.
      if (LOWORD(wParam) == IDOK) {
        auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
        state->chosen = {isChecked(dialog, IDC_OPTION1_0), isChecked(dialog, IDC_OPTION1_2)};
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

std::optional<SettingsChoice> runFrmSetting(SettingsChoice initial) {
  DialogState state{initial, initial};
  const INT_PTR result =
      DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_FRM_SETTING), nullptr,
                      frmSettingProc, reinterpret_cast<LPARAM>(&state));
  if (result != IDOK) return std::nullopt;
  return state.chosen;
}

}  // namespace kamishibai
