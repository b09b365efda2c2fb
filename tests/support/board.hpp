// The expected board screen, line by line, for tests.
#pragma once

#include <string>
#include <vector>

#include "console/screen.hpp"

namespace gomoku::testing {

// The 30 lines of the board screen with an empty board and both scores 0.
inline std::vector<std::string> emptyboard() {
  std::vector<std::string> l = {
      "  0  1  2  3  4  5  6  7  8  9 10 11 12 13 14 15 16 17 18 19",
  };
  for (int r = 1; r <= 19; ++r) {
    std::string row = (r < 10 ? "  " : " ") + std::to_string(r);
    for (int c = 1; c <= 19; ++c) row += "  *";
    l.push_back(row);
  }
  l.push_back(" + + + + + + + + + + + + + + +");
  for (int i = 1; i <= 8; ++i) l.push_back(" +                           +");
  l.push_back(" + + + + + + + + + + + + + + +");
  l[25] = " +        玩家一得分:0       +";
  l[26] = "   玩家二得分:0              +";
  return l;
}

// Puts `sign` at row r, column c of an expected board.
inline void place(std::vector<std::string>& board, int r, int c, char sign) {
  board[r][3 * c + 2] = sign;
}

// The first n lines of the screen.
inline std::vector<std::string> lines(const console::Screen& s, int n) {
  std::vector<std::string> out;
  for (int y = 0; y < n; ++y) out.push_back(s.line(y));
  return out;
}

}  // namespace gomoku::testing
