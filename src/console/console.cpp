#include "console/console.hpp"

#include <cstdarg>
#include <cstdio>

namespace gomoku::console {
namespace {

Console* current = nullptr;

constexpr int kBackspace = 0x7f;
constexpr int kCtrlH = 0x08;
constexpr int kCtrlD = 0x04;

// Removes the last UTF-8 character of `line`; returns the columns it took.
int dropchar(std::string& line) {
  std::size_t i = line.size();
  while (i > 0 && (static_cast<unsigned char>(line[i - 1]) & 0xC0) == 0x80) --i;
  if (i > 0) --i;
  std::size_t len = 1;
  char32_t c = decodeutf8(std::string_view(line).substr(i), len);
  line.resize(i);
  return charwidth(c, con().screen().ambiguous());
}

// Echoes the erasing of `cols` columns before the cursor.
void echoerase(int cols) {
  std::string s(cols, '\b');
  s += std::string(cols, ' ') + std::string(cols, '\b');
  con().write(s);
}

// True for bytes that a typed line may hold: printable ASCII and UTF-8 parts.
bool printable(int k) {
  return (k >= 0x20 && k < 0x7f) || k >= 0x80;
}

// True when `s` holds one whole UTF-8 character (or bytes that can never become one).
bool wholechar(const std::string& s) {
  auto b = static_cast<unsigned char>(s[0]);
  std::size_t need = b < 0xC0 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
  return s.size() >= need;
}

// Adds a typed byte to the line, echoing each character once it is whole.
void typed(std::string& line, std::string& partial, int k) {
  line += static_cast<char>(k);
  partial += static_cast<char>(k);
  if (!wholechar(partial)) return;
  if (con().echoes()) con().write(partial);
  partial.clear();
}

}  // namespace

void Console::write(std::string_view utf8) {
  if (screenmode_)
    screen_.write(utf8);
  else
    pending_.append(utf8);
}

void Console::cls() {
  screenmode_ = true;
  screen_.clear();
  ++clears_;
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
  return con().readkey();
}

bool getline(std::string& line) {
  std::string partial;
  line.clear();
  for (;;) {
    int k = con().readkey();
    if (k < 0 || (k == kCtrlD && line.empty())) return !line.empty();
    if (k == '\n' || k == '\r') break;
    if (k == kBackspace || k == kCtrlH) {
      partial.clear();
      if (!line.empty()) {
        int w = dropchar(line);
        if (con().echoes()) echoerase(w);
      }
    } else if (k == 224 || k == 0) {
      con().readkey();  // an arrow key has no place in a typed line
    } else if (printable(k)) {
      typed(line, partial, k);
    }
  }
  if (con().echoes()) con().write("\n");
  return true;
}

bool pause() {
  con().write("请按任意键继续. . .");
  int k = con().readkey();
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
  __builtin_unreachable();
}

void inputended() {
  con().quit(1, "gomoku: input ended before the game could go on\n");
  __builtin_unreachable();
}

}  // namespace gomoku::console

namespace gomoku {
void SetPos(int x, int y) {
  console::con().setpos(x, y);
}
}  // namespace gomoku
