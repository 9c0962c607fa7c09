// Kamishibai: a test helper under wine: sends the show's window a message from another program,
// as Windows or any program may. "close" posts WM_CLOSE. "endsession" sends WM_ENDSESSION as at
// a logout and, the moment the window's handler returns, ends the saver's process, as Windows
// may then do.
#include <windows.h>

#include <string>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  const std::wstring message = argv[1];
  const HWND show = FindWindowW(L"KamishibaiShow", nullptr);
  if (show == nullptr) return 1;
  if (message == L"close") return PostMessageW(show, WM_CLOSE, 0, 0) ? 0 : 1;
  if (message != L"endsession") return 2;
  DWORD processId = 0;
  GetWindowThreadProcessId(show, &processId);
  const HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, processId);
  if (process == nullptr) return 1;
  SendMessageW(show, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  const BOOL ended = TerminateProcess(process, 1);
  CloseHandle(process);
  return ended ? 0 : 1;
}
