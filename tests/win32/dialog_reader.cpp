// Kamishibai: a test helper under wine: waits for a visible dialog window (a dialog box or a
// message box) and writes what a user would see and where the keyboard is to the file named on
// the command line, in UTF-8:
//   title TEXT
//   client WIDTHxHEIGHT
//   focus ID
//   ID CLASS "TEXT" LEFT,TOP,WIDTH,HEIGHT [tabstop] [group] [checked] [default]
// one control a line, in the dialog's tab order. With a second argument "close" it then presses
// the dialog's OK button.
#include <windows.h>

#include <cstdio>
#include <string>

#include "dialog_windows.h"

namespace {

using namespace kamishibai::test;

std::string classOf(HWND window) {
  wchar_t buffer[256];
  const int length = GetClassNameW(window, buffer, 256);
  return utf8(std::wstring(buffer, static_cast<std::size_t>(length)));
}

// The control of the dialog's thread that has the keyboard focus.
HWND focusOf(HWND dialog) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

std::string describe(HWND dialog, HWND control) {
  RECT box{};
  GetWindowRect(control, &box);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&box), 2);
  const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
  const LONG_PTR kind = style & BS_TYPEMASK;
  char line[512];
  std::snprintf(line, sizeof line, "%d %s \"%s\" %ld,%ld,%ld,%ld", GetDlgCtrlID(control),
                classOf(control).c_str(), textOf(control).c_str(), box.left, box.top,
                box.right - box.left, box.bottom - box.top);
  std::string result = line;
  if (style & WS_TABSTOP) result += " tabstop";
  if (style & WS_GROUP) result += " group";
  if (kind == BS_AUTORADIOBUTTON || kind == BS_RADIOBUTTON) {
    if (SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED) result += " checked";
  }
  if (kind == BS_DEFPUSHBUTTON) result += " default";
  return result + "\n";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  HWND dialog = waitForDialog();
  if (dialog == nullptr) return 1;
  RECT client{};
  GetClientRect(dialog, &client);
  const HWND focus = focusOf(dialog);
  std::string report = "title " + textOf(dialog) + "\n";
  report += "client " + std::to_string(client.right) + "x" + std::to_string(client.bottom) + "\n";
  report += "focus " + std::to_string(focus != nullptr ? GetDlgCtrlID(focus) : 0) + "\n";
  for (HWND control = GetWindow(dialog, GW_CHILD); control != nullptr;
       control = GetWindow(control, GW_HWNDNEXT)) {
    report += describe(dialog, control);
  }
  std::FILE* file = _wfopen(argv[1], L"wb");
  if (file == nullptr) return 1;
  std::fwrite(report.data(), 1, report.size(), file);
  std::fclose(file);
  if (argc > 2 && std::wstring(argv[2]) == L"close") PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  return 0;
}
