// Kamishibai: a test helper under wine: waits for the first message box on the desktop, writes
// its title, a line break and its text (UTF-8) to the file named on the command line, and
// closes it with its OK button.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

// The control that holds a message box's text.
constexpr int kMessageTextId = 0xFFFF;

std::string utf8(const std::wstring& text) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), length,
                      nullptr, nullptr);
  return result;
}

std::wstring textOf(HWND window) {
  wchar_t buffer[4096];
  const int length = GetWindowTextW(window, buffer, 4096);
  return std::wstring(buffer, static_cast<std::size_t>(length));
}

HWND waitForMessageBox() {
  for (int attempt = 0; attempt < 300; ++attempt) {
    HWND box = FindWindowW(L"#32770", nullptr);
    if (box != nullptr && IsWindowVisible(box)) return box;
    Sleep(100);
  }
  return nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  HWND box = waitForMessageBox();
  if (box == nullptr) return 1;
  const HWND text = GetDlgItem(box, kMessageTextId);
  const std::string report = utf8(textOf(box)) + "\n" + utf8(text ? textOf(text) : L"");
  std::FILE* file = _wfopen(argv[1], L"wb");
  if (file == nullptr) return 1;
  std::fwrite(report.data(), 1, report.size(), file);
  std::fclose(file);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  return 0;
}
