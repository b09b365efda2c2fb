#include "console/windows/winconsole.hpp"

#include <algorithm>
#include <chrono>

#include "console/giveback.hpp"
#include "console/keyevents.hpp"
#include "console/windows/modes.hpp"

namespace gomoku::console {
namespace {

// How often a wait for a pipe's bytes looks again, in ms.
constexpr int kPipePoll = 10;

// Milliseconds left until `end`.
long long msuntil(std::chrono::steady_clock::time_point end) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(end -
                                                               std::chrono::steady_clock::now())
      .count();
}

// Waits up to `ms` milliseconds for bytes in the pipe `h`; false when none came. A pipe
// whose writer has gone counts as ready: the read tells the end.
bool pipeready(HANDLE h, int ms) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    DWORD avail = 0;
    if (!PeekNamedPipe(h, nullptr, 0, nullptr, &avail, nullptr) || avail > 0) return true;
    long long left = msuntil(end);
    if (left <= 0) return false;
    Sleep(static_cast<DWORD>(std::min<long long>(left, kPipePoll)));
  }
}

// The plain form of a console key event.
KeyEvent plain(const KEY_EVENT_RECORD& k) {
  return KeyEvent{k.bKeyDown != 0, k.wRepeatCount, k.wVirtualKeyCode,
                  static_cast<char16_t>(k.uChar.UnicodeChar), k.dwControlKeyState};
}

}  // namespace

WinConsole::WinConsole()
    : in_(GetStdHandle(STD_INPUT_HANDLE)), out_(GetStdHandle(STD_OUTPUT_HANDLE)), reader_(*this) {
  win::installhandler();
  win::setoutput(out_);
  coninput_ = win::enterinput(in_);
  unsigned cp = win::enteroutput(out_);
  bool outterm = cp != 0;
  if (!outterm) cp = GetConsoleOutputCP();  // output to a file: the console's code page
  bool colour = outterm && !colourrefused();
  if (colour) giveback::addundo("\x1b[m");  // frames turn colours on
  setup(coninput_, outterm, std::make_unique<Encoder>(cp == 936 ? "CP936" : "UTF-8"), colour);
  fit();
}

WinConsole::~WinConsole() {
  finish();
}

// Reads the visible window's size, or keeps the screen model's own when the output is
// no console (then nothing is cut off).
bool WinConsole::fit() {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!outterm() || !GetConsoleScreenBufferInfo(out_, &info)) return false;
  int cols = info.srWindow.Right - info.srWindow.Left + 1;
  int rows = info.srWindow.Bottom - info.srWindow.Top + 1;
  if (cols == this->cols() && rows == this->rows()) return false;
  resizeto(cols, rows);
  return true;
}

bool WinConsole::writeout(std::string_view bytes) {
  return win::writeout(bytes);
}

void WinConsole::event(const INPUT_RECORD& r) {
  if (r.EventType == KEY_EVENT) {
    for (std::string& k : translatekey(plain(r.Event.KeyEvent), high_))
      if (!dropping()) keys_.push_back(std::move(k));
    return;
  }
  // Size events come when the buffer's size changes; a window that changes alone may
  // send focus and menu events only, so every other event has the size looked at again.
  if (fit() || r.EventType == WINDOW_BUFFER_SIZE_EVENT) repaint();
}

bool WinConsole::pump(int ms) {
  DWORD wait = WaitForSingleObject(in_, ms < 0 ? INFINITE : static_cast<DWORD>(ms));
  if (wait == WAIT_TIMEOUT) return true;
  INPUT_RECORD records[64];
  DWORD n = 0;
  if (wait != WAIT_OBJECT_0 || !ReadConsoleInputW(in_, records, 64, &n)) return false;
  for (DWORD i = 0; i < n; ++i) event(records[i]);
  return true;
}

long WinConsole::get(char* buf, std::size_t n, int ms) {
  if (ms >= 0 && GetFileType(in_) == FILE_TYPE_PIPE && !pipeready(in_, ms)) return 0;
  DWORD got = 0;
  if (!ReadFile(in_, buf, static_cast<DWORD>(n), &got, nullptr) || got == 0) return -1;
  return static_cast<long>(got);
}

bool WinConsole::takekey(std::string& key) {
  if (!coninput_) {
    std::optional<Decoded> d = reader_.next();
    if (!d) return false;
    key.assign(reinterpret_cast<const char*>(d->keys), static_cast<std::size_t>(d->count));
    return true;
  }
  while (keys_.empty())
    if (!pump(-1)) return false;
  key = std::move(keys_.front());
  keys_.pop_front();
  return true;
}

bool WinConsole::keyready() {
  if (!coninput_) return reader_.ready();
  if (keys_.empty()) pump(0);
  return !keys_.empty();
}

void WinConsole::waitbusy(int ms) {
  if (!coninput_ || !pump(ms))  // keys from a pipe are kept
    Sleep(static_cast<DWORD>(ms));
  keys_.clear();  // typed keys are dropped
}

void WinConsole::restore() {
  win::restore();
}

void WinConsole::complain(std::string_view message) {
  DWORD n;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), message.data(), DWORD(message.size()), &n, nullptr);
}

Console& openconsole() {
  auto* con = new WinConsole();  // never deleted: quit() ends it
  setconsole(con);
  return *con;
}

}  // namespace gomoku::console
