// Kamishibai: a test helper under wine: waits for the first message box on the desktop, writes
// its title, a line break and its text (UTF-8) to the file named on the command line, and
// closes it with its OK button.
#include <windows.h>

#include <cstdio>
#include <string>

#include "dialog_windows.h"

namespace {

using namespace kamishibai::test;

// The control that holds a message box's text.
constexpr int kMessageTextId = 0xFFFF;

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  HWND box = waitForDialog();
  if (box == nullptr) return 1;
  const HWND text = GetDlgItem(box, kMessageTextId);
  const std::string report = textOf(box) + "\n" + (text ? textOf(text) : "");
  std::FILE* file = _wfopen(argv[1], L"wb");
  if (file == nullptr) return 1;
  std::fwrite(report.data(), 1, report.size(), file);
  std::fclose(file);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  return 0;
}
