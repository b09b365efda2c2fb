// A small terminal emulator for tests: applies the bytes the renderer sends. The
// end-to-end tests show what they capture on a real terminal (tmux, through
// tests/e2e/tmuxlib.py's Terminal); this one stays for the unit tests, which run
// in-process and under wine too, where no tmux is at hand.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "console/screen.hpp"

namespace gomoku::testing {

// Understands what our renderer may send: text, CR, LF, BS, cursor movement (CUP,
// CUU, CUD, CUF, CUB), erase display, SGR and private modes.
class Vt {
 public:
  Vt(int cols, int rows, int ambiguous = 1) : scr(cols, rows, ambiguous) {}

  void apply(std::string_view b) {
    std::size_t i = 0;
    while (i < b.size()) {
      char c = b[i];
      if (c == '\x1b' && i + 1 < b.size() && b[i + 1] == '[') {
        i = csi(b, i + 2);
      } else if (c == '\r') {
        x = 0, ++i;
      } else if (c == '\n') {
        y = std::min(y + 1, scr.rows() - 1), ++i;
      } else if (c == '\b') {
        x = std::max(0, x - 1), ++i;
      } else {
        std::size_t len = 1;
        console::decodeutf8(b.substr(i), len);
        scr.setattr(attr);
        scr.setpos(x, y);
        scr.write(b.substr(i, len));
        x = scr.cury() == y ? scr.curx() : scr.cols();
        i += len;
      }
    }
  }

  console::Screen scr;
  int x = 0, y = 0;
  std::uint8_t attr = 0;
  int clears = 0;

 private:
  // Applies the CSI sequence whose parameters start at b[i]; returns the next index.
  std::size_t csi(std::string_view b, std::size_t i) {
    std::string params;
    while (i < b.size() && !(b[i] >= 0x40 && b[i] <= 0x7e)) params += b[i++];
    char f = b[i];
    int n1 = 0, n2 = 0;
    std::sscanf(params.c_str(), "%d;%d", &n1, &n2);
    int n = n1 == 0 ? 1 : n1;
    switch (f) {
      case 'H':
        y = (n1 ? n1 : 1) - 1, x = (n2 ? n2 : 1) - 1;
        break;
      case 'A':
        y -= n;
        break;
      case 'B':
        y += n;
        break;
      case 'C':
        x += n;
        break;
      case 'D':
        x -= n;
        break;
      case 'J':
        scr.clear(), ++clears;
        break;
      case 'X':
        erase(x, x + n);
        break;
      case 'K':
        erase(x, scr.cols());
        break;
      case 'm':
        sgr(params);
        break;
      default:
        break;
    }
    x = std::clamp(x, 0, scr.cols() - 1);
    y = std::clamp(y, 0, scr.rows() - 1);
    return i + 1;
  }

  // Blanks columns s to e-1 of the cursor's line, and any wide character they cut.
  void erase(int s, int e) {
    e = std::min(e, scr.cols());
    if (s > 0 && scr.at(s, y).width == 0) scr.setcell(s - 1, y, console::Cell{});
    if (e < scr.cols() && scr.at(e, y).width == 0) scr.setcell(e, y, console::Cell{});
    for (int i = s; i < e; ++i) scr.setcell(i, y, console::Cell{});
  }

  // Applies an SGR parameter list to the current attributes.
  void sgr(const std::string& params) {
    std::size_t p = 0;
    do {
      int v = std::atoi(params.c_str() + p);
      if (v == 0) attr = 0;
      if (v == 31) attr |= console::kPlayer1;
      if (v == 34) attr |= console::kPlayer2;
      if (v == 4) attr |= console::kLast;
      if (v == 7) attr |= console::kWinning;
      p = params.find(';', p);
      if (p != std::string::npos) ++p;
    } while (p != std::string::npos && p < params.size());
  }
};

}  // namespace gomoku::testing
