#include "console/windows/modes.hpp"

#include <algorithm>
#include <atomic>
#include <csignal>

#include "console/giveback.hpp"

namespace gomoku::console::win {
namespace {

// How long give-back waits for a frame being written to be done, in ms.
constexpr int kOutputWait = 200;
// How long give-back waits for another thread giving the console back, in ms.
constexpr int kRestoreWait = 1000;
// How long give-back may wait for a pipe that reads slowly, in steps of 20 ms.
constexpr int kExitWaits = 5;

SRWLOCK outlock = SRWLOCK_INIT;      // held while bytes are written to the output
SRWLOCK restorelock = SRWLOCK_INIT;  // held while the console is given back

HANDLE out = INVALID_HANDLE_VALUE, in = INVALID_HANDLE_VALUE;
bool outconsole = false;
DWORD inmode = 0, outmode = 0;
bool inset = false, outset = false;  // the console's mode was changed and is to be set back
UINT oldcp = 0;                      // the output code page to set back, or 0
std::atomic<bool> gone{false};       // the output is given back: frames are not written

// Writes `bytes` to the output: WriteConsoleA takes them whole, anything else may take
// fewer than asked.
bool writeraw(std::string_view bytes) {
  DWORD n = 0;
  if (outconsole) return WriteConsoleA(out, bytes.data(), DWORD(bytes.size()), &n, nullptr);
  while (!bytes.empty()) {
    if (!WriteFile(out, bytes.data(), DWORD(bytes.size()), &n, nullptr) || n == 0) return false;
    bytes.remove_prefix(std::min<std::size_t>(n, bytes.size()));
  }
  return true;
}

// Sets pipe `h` to return at once from writes when full (`nowait`), or to wait again.
bool setnowait(HANDLE h, bool nowait) {
  DWORD mode = PIPE_READMODE_BYTE | (nowait ? PIPE_NOWAIT : PIPE_WAIT);
  return GetFileType(h) == FILE_TYPE_PIPE && SetNamedPipeHandleState(h, &mode, nullptr, nullptr);
}

// Writes `n` bytes without ever blocking for long: a pipe is made non-blocking for the
// write, a full one gets a few short waits, then the rest is dropped. A console or a
// file takes them at once.
void writesoon(const char* p, std::size_t n) {
  if (outconsole) return (void)writeraw(std::string_view(p, n));
  bool pipe = setnowait(out, true);
  for (int waits = 0; n > 0;) {
    DWORD w = 0;
    if (!WriteFile(out, p, DWORD(n), &w, nullptr)) break;
    if (w == 0 && (!pipe || waits++ >= kExitWaits)) break;
    if (w == 0) Sleep(20);
    std::size_t done = std::min<std::size_t>(w, n);
    p += done;
    n -= done;
  }
  if (pipe) setnowait(out, false);
}

// Takes `lock`, waiting at most `ms` milliseconds; false when it could not.
bool takewithin(SRWLOCK& lock, int ms) {
  for (int waited = 0; !TryAcquireSRWLockExclusive(&lock); waited += 10) {
    if (waited >= ms) return false;
    Sleep(10);
  }
  return true;
}

// Writes the give-back's bytes once a frame half-written is done (or has stalled).
void writeexit(const char* p, std::size_t n) {
  gone = true;
  bool writing = !takewithin(outlock, kOutputWait);
  writesoon(p, n);
  if (!writing) ReleaseSRWLockExclusive(&outlock);
}

// Sets the console's modes and code page back, after the bytes that still needed them.
void restoremodes() {
  if (inset) SetConsoleMode(in, inmode);
  if (outset) SetConsoleMode(out, outmode);
  if (oldcp != 0) SetConsoleOutputCP(oldcp);
}

// Gives the console back and ends the program as Ctrl-C ends a Windows program.
BOOL WINAPI onevent(DWORD) {
  restore();
  ExitProcess(kControlCExit);
}

// Gives the console back before a crash ends the program the way it would anyway.
LONG WINAPI oncrash(EXCEPTION_POINTERS*) {
  restore();
  return EXCEPTION_CONTINUE_SEARCH;
}

// Gives the console back before abort() (std::terminate) ends the program.
void onabort(int) {
  restore();
}

}  // namespace

void installhandler() {
  SetConsoleCtrlHandler(onevent, TRUE);
  SetUnhandledExceptionFilter(oncrash);
  std::signal(SIGABRT, onabort);
}

void setoutput(HANDLE h) {
  DWORD mode;
  out = h;
  outconsole = GetConsoleMode(h, &mode);
  gone = false;
  giveback::take();
}

bool enterinput(HANDLE h) {
  DWORD mode;
  if (!GetConsoleMode(h, &mode)) return false;
  in = h;
  inmode = mode;
  inset = true;
  mode &= ~DWORD(ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT | ENABLE_MOUSE_INPUT |
                 ENABLE_VIRTUAL_TERMINAL_INPUT);
  SetConsoleMode(h, mode | ENABLE_PROCESSED_INPUT | ENABLE_WINDOW_INPUT);
  return true;
}

unsigned enteroutput(HANDLE h) {
  DWORD mode;
  if (!GetConsoleMode(h, &mode)) return 0;
  outmode = mode;
  outset = true;
  // A line feed goes to the start of the next line, as the game's texts expect.
  mode = (mode & ~DWORD(DISABLE_NEWLINE_AUTO_RETURN)) | ENABLE_PROCESSED_OUTPUT;
  SetConsoleMode(h, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
  UINT cp = GetConsoleOutputCP();
  if (cp == 936) return cp;
  if (cp != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) oldcp = cp;
  return CP_UTF8;
}

bool writeout(std::string_view bytes) {
  AcquireSRWLockExclusive(&outlock);
  bool ok = gone || writeraw(bytes);
  ReleaseSRWLockExclusive(&outlock);
  return ok;
}

void restore() {
  // Bounded: a crash while the console is given back would otherwise wait for itself.
  bool locked = takewithin(restorelock, kRestoreWait);
  giveback::run({nullptr, writeexit, restoremodes});  // the bytes need the modes still on
  if (locked) ReleaseSRWLockExclusive(&restorelock);
}

}  // namespace gomoku::console::win
