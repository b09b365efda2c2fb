// The score file on Windows: a byte-range lock, FlushFileBuffers, the program's end by
// Ctrl-C held off while a record is written.
#include <windows.h>

#include "score/endhold_windows.hpp"
#include "score/score.hpp"

namespace gomoku {
namespace {

// The whole file and all that may ever follow it, as the range that LockFileEx locks.
constexpr DWORD kAllLow = MAXDWORD, kAllHigh = MAXDWORD;

HANDLE handleof(std::intptr_t file) {
  return reinterpret_cast<HANDLE>(file);
}

// Sets the end of `h` back to `size`, taking back what was written after it.
void truncateto(HANDLE h, LARGE_INTEGER size) {
  if (SetFilePointerEx(h, size, nullptr, FILE_BEGIN)) SetEndOfFile(h);
}

// Appends `record` at the end of `h`, which the caller has locked: one write, then the
// flush to disk; on any failure the end is set back where it was.
bool lockedappend(HANDLE h, std::string_view record) {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(h, &size) || !SetFilePointerEx(h, size, nullptr, FILE_BEGIN)) return false;
  DWORD written = 0;
  BOOL wrote = WriteFile(h, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
  bool ok = wrote && written == record.size() && FlushFileBuffers(h);
  if (!ok) truncateto(h, size);
  return ok;
}

}  // namespace

std::intptr_t openscorefile() {
  // Shared in every way, so that other games append too and the file may be renamed or
  // removed meanwhile; written by hand from its end, which the lock makes safe.
  HANDLE h =
      CreateFileA(kScoreFile, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  return h == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<std::intptr_t>(h);
}

EarlyOpen::EarlyOpen() {
  std::intptr_t file = openscorefile();
  ok_ = file != -1;
  if (ok_) closescorefile(file);
}

EarlyOpen::~EarlyOpen() = default;

void closescorefile(std::intptr_t file) {
  CloseHandle(handleof(file));
}

bool appendrecord(std::intptr_t file, std::string_view record) {
  EndHold hold;  // Ctrl-C now waits until the record is whole or gone
  HANDLE h = handleof(file);
  OVERLAPPED all{};
  if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK, 0, kAllLow, kAllHigh, &all)) return false;
  bool ok = lockedappend(h, record);
  UnlockFileEx(h, 0, kAllLow, kAllHigh, &all);
  return ok;
}

}  // namespace gomoku
