#include "console/console.hpp"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace gomoku::console {
namespace {

Console* current = nullptr;

constexpr int kBackspace = 0x7f;
constexpr int kCtrlH = 0x08;
constexpr int kCtrlD = 0x04;

// A line being typed: its bytes, and for each character the bytes it took and the
// columns its echo took (0 for what is not echoed).
struct Typed {
  struct Char {
    std::uint8_t bytes;
    std::uint8_t cols;
  };
  std::string text;
  std::vector<Char> chars;
  std::string partial;  // the first bytes of a character still incomplete

  bool empty() const { return text.empty() && partial.empty(); }
};

// True for bytes that a typed line may hold: printable ASCII and UTF-8 parts.
bool printable(int k) {
  return (k >= 0x20 && k < 0x7f) || k >= 0x80;
}

// True for the bytes that continue a UTF-8 character.
bool continuation(int k) {
  return (k & 0xC0) == 0x80;
}

// True when `s` holds one whole UTF-8 character (or bytes that can never become one).
bool wholechar(const std::string& s) {
  auto b = static_cast<unsigned char>(s[0]);
  std::size_t need = b < 0xC0 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
  return s.size() >= need;
}

// The columns that the character `ch` takes when echoed: 0 for what is no printable
// text (controls, C1 controls, invalid UTF-8), which is never echoed.
int echowidth(const std::string& ch) {
  std::size_t len = 0;
  char32_t c = decodeutf8(ch, len);
  std::string again;
  encodeutf8(c, again);
  return again == ch ? charwidth(c, con().screen().ambiguous()) : 0;
}

// Ends the character in `t.partial`, echoing it when it is printable.
void endchar(Typed& t) {
  if (t.partial.empty()) return;
  int w = echowidth(t.partial);
  if (w > 0 && con().echoes()) con().write(t.partial);
  t.text += t.partial;
  t.chars.push_back({static_cast<std::uint8_t>(t.partial.size()), static_cast<std::uint8_t>(w)});
  t.partial.clear();
}

// Adds a typed byte to the line, echoing each character once it is whole.
void addbyte(Typed& t, int k) {
  if (!continuation(k)) endchar(t);  // a new character cuts an incomplete one short
  t.partial += static_cast<char>(k);
  if (wholechar(t.partial)) endchar(t);
}

// Removes the last character typed, erasing its echo.
void backspace(Typed& t) {
  if (!t.partial.empty()) return t.partial.clear();  // never echoed
  if (t.chars.empty()) return;
  Typed::Char c = t.chars.back();
  t.chars.pop_back();
  t.text.resize(t.text.size() - c.bytes);
  if (c.cols == 0 || !con().echoes()) return;
  std::string s(c.cols, '\b');
  con().write(s + std::string(c.cols, ' ') + s);
}

}  // namespace

int Console::key() {
  int k = readkey();
  if (aftercr_ && k == '\n') k = readkey();
  aftercr_ = false;
  return k;
}

void Console::write(std::string_view utf8) {
  if (screenmode_)
    screen_.write(utf8);
  else
    pending_.append(utf8);
}

void Console::cls() {
  screenmode_ = true;
  screen_.clear();
}

void Console::setpos(int x, int y) {
  if (screenmode_) screen_.setpos(x, y);
}

Console& con() {
  return *current;
}
void setconsole(Console* c) {
  current = c;
}

int getch() {
  return con().key();
}

bool getline(std::string& line) {
  Typed t;
  int k;
  for (;; con().typing(true)) {
    k = con().key();
    if (k < 0 || (k == kCtrlD && t.empty())) break;
    if (con().dropkeyrest() > 0) continue;  // an arrow has no place in a typed line
    if (k == '\n' || k == '\r') break;
    if (k == kBackspace || k == kCtrlH)
      backspace(t);
    else if (printable(k))
      addbyte(t, k);
  }
  con().typing(false);
  endchar(t);
  line = t.text;
  if (k < 0 || k == kCtrlD) return !line.empty();
  con().lineended(k);
  if (con().echoes()) con().write("\n");
  return true;
}

bool pause() {
  con().write("请按任意键继续. . .");
  int k = con().key();
  con().dropkeyrest();
  con().write("\n");
  return k >= 0;
}

void print(const char* fmt, ...) {
  char buf[512];
  va_list ap;
  va_start(ap, fmt);
  std::vsnprintf(buf, sizeof buf, fmt, ap);
  va_end(ap);
  con().write(buf);
}

void cls() {
  con().cls();
}

void quit(int status) {
  con().quit(status);
  std::abort();  // never reached: quit() does not return
}

void inputended() {
  con().quit(1, "gomoku: input ended before the game could go on\n");
  std::abort();  // never reached: quit() does not return
}

}  // namespace gomoku::console

namespace gomoku {
void SetPos(int x, int y) {
  console::con().setpos(x, y);
}
}  // namespace gomoku
