#include "console/windows/giveback.hpp"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstring>

namespace gomoku::console::win {
namespace {

// How long give-back waits for a frame being written to be done, in ms.
constexpr int kOutputWait = 200;
// How long give-back waits for another thread giving the console back, in ms.
constexpr int kRestoreWait = 1000;

SRWLOCK outlock = SRWLOCK_INIT;      // held while bytes are written to the output
SRWLOCK restorelock = SRWLOCK_INIT;  // held while the console is given back
SRWLOCK recordlock = SRWLOCK_INIT;   // held by an ExitHold, and by an ending event

HANDLE out = INVALID_HANDLE_VALUE, in = INVALID_HANDLE_VALUE;
bool outconsole = false;
DWORD inmode = 0, outmode = 0;
bool inset = false, outset = false;  // the console's mode was changed and is to be set back
UINT oldcp = 0;                      // the output code page to set back, or 0
std::atomic<bool> taken{false};      // there is something to give back

// The bytes written on give-back: the exit bytes, double-buffered so that the handler's
// thread always sees a whole one, then the undo bytes.
char exitbytes[2][32];
std::size_t exitlen[2];
std::atomic<int> exitslot{0};
char undobytes[64];
std::atomic<std::size_t> undolen{0};

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

// Takes `lock`, waiting at most `ms` milliseconds; false when it could not.
bool takewithin(SRWLOCK& lock, int ms) {
  for (int waited = 0; !TryAcquireSRWLockExclusive(&lock); waited += 10) {
    if (waited >= ms) return false;
    Sleep(10);
  }
  return true;
}

// Writes the exit and undo bytes, then sets the console's modes and code page back.
void giveback() {
  char bytes[sizeof exitbytes[0] + sizeof undobytes];
  int slot = exitslot;
  std::size_t n = exitlen[slot];
  std::memcpy(bytes, exitbytes[slot], n);
  std::memcpy(bytes + n, undobytes, undolen);
  bool writing = !takewithin(outlock, kOutputWait);  // a frame half-written is done first
  writeraw(std::string_view(bytes, n + undolen));
  if (!writing) ReleaseSRWLockExclusive(&outlock);
  if (inset) SetConsoleMode(in, inmode);
  if (outset) SetConsoleMode(out, outmode);
  if (oldcp != 0) SetConsoleOutputCP(oldcp);
}

// Gives the console back and ends the program as Ctrl-C ends a Windows program; a score
// record being written is finished (or taken back) first.
BOOL WINAPI onevent(DWORD) {
  AcquireSRWLockExclusive(&recordlock);  // never let go: the program ends here
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
  taken = true;
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

void addundo(std::string_view bytes) {
  std::size_t n = undolen;
  undolen = n + bytes.copy(undobytes + n, sizeof undobytes - n);
}

void setexitbytes(std::string_view bytes) {
  int next = 1 - exitslot;
  exitlen[next] = bytes.copy(exitbytes[next], sizeof exitbytes[next]);
  exitslot = next;
}

bool writeout(std::string_view bytes) {
  AcquireSRWLockExclusive(&outlock);
  bool ok = !taken || writeraw(bytes);
  ReleaseSRWLockExclusive(&outlock);
  return ok;
}

void restore() {
  // Bounded: a crash while the console is given back would otherwise wait for itself.
  bool locked = takewithin(restorelock, kRestoreWait);
  if (taken.exchange(false)) giveback();
  if (locked) ReleaseSRWLockExclusive(&restorelock);
}

ExitHold::ExitHold() {
  AcquireSRWLockExclusive(&recordlock);
}

ExitHold::~ExitHold() {
  ReleaseSRWLockExclusive(&recordlock);
}

}  // namespace gomoku::console::win
