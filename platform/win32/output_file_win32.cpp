// Kamishibai: output files with CREATE_NEW, FlushFileBuffers and MoveFileExW, and their removal
// when the console ends the program.
#include "platform/output_file.h"

#include <windows.h>

#include <map>
#include <mutex>
#include <random>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "base/file_names.h"
#include "platform/win32/file_copy_win32.h"

namespace kamishibai {
namespace {

// The temporary files that exist now. The console's handler runs on a thread of its own, so a
// lock is enough to read them.
std::mutex temporariesMutex;
std::map<int, std::wstring> temporaries;
int nextTemporary = 0;

// Ctrl+C, Ctrl+Break, a closed console, a logout or a shutdown: the temporary files go, then the
// system's own handling ends the program. A file still open is removed when its handle closes.
BOOL WINAPI removeTemporaryFiles(DWORD) {
  const std::lock_guard lock(temporariesMutex);
  for (const auto& [slot, path] : temporaries) DeleteFileW(path.c_str());
  return FALSE;
}

int registerTemporary(const std::wstring& path) {
  static std::once_flag once;
  std::call_once(once, [] { SetConsoleCtrlHandler(removeTemporaryFiles, TRUE); });
  const std::lock_guard lock(temporariesMutex);
  temporaries.emplace(nextTemporary, path);
  return nextTemporary++;
}

void forgetTemporary(int slot) {
  const std::lock_guard lock(temporariesMutex);
  temporaries.erase(slot);
}

HANDLE handleOf(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

std::filesystem::path candidateBeside(const std::filesystem::path& target) {
  static thread_local std::mt19937 random(std::random_device{}());
  std::filesystem::path candidate = target;
  candidate += L".tmp" + std::to_wstring(random() % 1000000);
  return candidate;
}

}  // namespace

// Opened without following a link, so that a link itself is what is looked at; a name such as
// NUL or CON opens the device.
std::string outputTargetProblem(const std::filesystem::path& target) {
  const HANDLE file = CreateFileW(
      target.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  const DWORD type = GetFileType(file);
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = GetFileInformationByHandle(file, &info) != FALSE;
  CloseHandle(file);
  if (type != FILE_TYPE_DISK) return "is a device, not a regular file";
  if (known && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
    return "is a symbolic link; give the file it leads to";
  if (known && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return "is a folder";
  return {};
}

void OutputFile::open() {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate = candidateBeside(target_);
    // Readable while it is written (the spool is read back), and removable while open.
    const HANDLE file =
        CreateFileW(candidate.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      temporary_ = candidate;
      handle_ = reinterpret_cast<std::intptr_t>(file);
      slot_ = registerTemporary(candidate.wstring());
      return;
    }
    if (GetLastError() != ERROR_FILE_EXISTS) fail("cannot create a file beside");
  }
  SetLastError(ERROR_FILE_EXISTS);
  fail("cannot create a file beside");
}

void OutputFile::writeBytes(std::span<const std::uint8_t> bytes) {
  if (!writeAll(handleOf(handle_), bytes)) fail("cannot write");
}

void OutputFile::copyFrom(const SourceFile& source, std::uint64_t offset, std::uint64_t length) {
  if (stream_) stream_->flush();
  SetLastError(ERROR_SUCCESS);
  if (copyRange(source, offset, length, handleOf(handle_))) return;
  if (GetLastError() == ERROR_SUCCESS || GetLastError() == ERROR_HANDLE_EOF) {
    throw std::runtime_error("cannot write " + utf8Of(target_) +
                             ": the file it is copied from ended early");
  }
  fail("cannot write");
}

// Windows gives the file the folder's inherited access rights; the permissions are a Linux
// notion and are not applied.
void OutputFile::finish(std::filesystem::perms) {
  const HANDLE file = handleOf(std::exchange(handle_, -1));
  const bool flushed = FlushFileBuffers(file) != FALSE;
  const DWORD flushError = GetLastError();
  if (!CloseHandle(file) || !flushed) {
    if (!flushed) SetLastError(flushError);
    fail("cannot write");
  }
  const DWORD replace = existing_ == ExistingTarget::Replace ? MOVEFILE_REPLACE_EXISTING : 0;
  if (!MoveFileExW(temporary_.c_str(), target_.c_str(), replace | MOVEFILE_WRITE_THROUGH)) {
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
      throw std::runtime_error(utf8Of(target_) + " exists already");
    fail("cannot write");
  }
  forgetTemporary(std::exchange(slot_, -1));
}

void OutputFile::discard() noexcept {
  if (handle_ != -1) CloseHandle(handleOf(std::exchange(handle_, -1)));
  if (!committed_ && !temporary_.empty()) DeleteFileW(temporary_.c_str());
  if (slot_ >= 0) forgetTemporary(std::exchange(slot_, -1));
}

void OutputFile::fail(const std::string& doing) const {
  const DWORD error = GetLastError();
  throw std::runtime_error(doing + " " + utf8Of(target_) + ": " +
                           std::system_category().message(static_cast<int>(error)));
}

}  // namespace kamishibai
