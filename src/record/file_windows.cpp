// Replacing a record file on Windows: a temporary file beside it, FlushFileBuffers, then
// MoveFileExW over it with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH, with the
// program's end by Ctrl-C or a closed window held off meanwhile; other games held off by
// a mutex of the session.
#include <windows.h>

#include <algorithm>

#include "record/file.hpp"
#include "record/record.hpp"
#include "score/endhold_windows.hpp"

namespace gomoku::record {
namespace {

// `s`, in the ANSI code page that the command line comes in, as UTF-16.
std::wstring wide(const std::string& s) {
  int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

// Sets `why` to what Windows error `error` means, in the words of the POSIX build for the
// errors a record file meets most; returns false.
bool failed(std::string& why, DWORD error = GetLastError()) {
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
    return refuse(why, "No such file or directory");
  if (error == ERROR_ACCESS_DENIED) return refuse(why, "Permission denied");
  if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL)
    return refuse(why, "No space left on device");
  char buf[256];
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           error, 0, buf, sizeof buf, nullptr);
  while (n > 0 && (buf[n - 1] == '\r' || buf[n - 1] == '\n' || buf[n - 1] == '.')) --n;
  why = n > 0 ? std::string(buf, n) : "Windows error " + std::to_string(error);
  return false;
}

// Makes a new file beside `path`, named in `temp`, open for writing by this program only.
HANDLE maketemp(const std::string& path, std::wstring& temp) {
  std::wstring stem = wide(path) + L".tmp" + std::to_wstring(GetCurrentProcessId()) + L"-";
  for (int i = 0; i < 100; ++i) {
    temp = stem + std::to_wstring(i);
    HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return h;
  }
  return INVALID_HANDLE_VALUE;
}

// Writes all of `bytes` to `h` and flushes it to disk; false otherwise.
bool fill(HANDLE h, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD n = 0;
    DWORD ask = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
    if (!WriteFile(h, bytes.data(), ask, &n, nullptr)) return false;
    if (n == 0) {
      SetLastError(ERROR_DISK_FULL);
      return false;
    }
    bytes.remove_prefix(std::min<std::size_t>(n, bytes.size()));
  }
  return FlushFileBuffers(h);
}

}  // namespace

bool canreplace(const std::string& path, std::string& why) {
  DWORD attr = GetFileAttributesW(wide(path).c_str());
  if (attr == INVALID_FILE_ATTRIBUTES && GetLastError() != ERROR_FILE_NOT_FOUND) return failed(why);
  if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY))
    return refuse(why, "Is a directory");
  if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_READONLY))
    return refuse(why, "it is read-only");
  std::wstring temp;
  HANDLE h = maketemp(path, temp);
  if (h == INVALID_HANDLE_VALUE) return failed(why);
  CloseHandle(h);
  DeleteFileW(temp.c_str());
  return true;
}

bool replacefile(const std::string& path, std::string_view bytes, std::string& why) {
  EndHold hold;  // Ctrl-C now waits until the file is whole
  std::wstring temp;
  HANDLE h = maketemp(path, temp);
  if (h == INVALID_HANDLE_VALUE) return failed(why);
  bool ok = fill(h, bytes);
  DWORD error = GetLastError();
  CloseHandle(h);
  if (ok && !MoveFileExW(temp.c_str(), wide(path).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ok = false;
    error = GetLastError();
  }
  if (!ok) DeleteFileW(temp.c_str());
  return ok || failed(why, error);
}

std::intptr_t lockrecords(const std::string&) {
  HANDLE m = CreateMutexW(nullptr, FALSE, L"Local\\gomoku-records");
  if (!m) return -1;
  DWORD got = WaitForSingleObject(m, INFINITE);
  if (got == WAIT_OBJECT_0 || got == WAIT_ABANDONED) return reinterpret_cast<std::intptr_t>(m);
  CloseHandle(m);
  return -1;
}

void unlockrecords(std::intptr_t lock) {
  if (lock == -1) return;
  ReleaseMutex(reinterpret_cast<HANDLE>(lock));
  CloseHandle(reinterpret_cast<HANDLE>(lock));
}

}  // namespace gomoku::record
