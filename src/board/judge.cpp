#include "board/judge.hpp"

#include "board/state.hpp"
#include "console/console.hpp"

namespace gomoku {

int runlength(int r, int c, int dr, int dc, int cur, int limit) {
  int n = 0;
  for (int k = 1; k <= limit; ++k) {
    int rr = r + k * dr, cc = c + k * dc;
    if (!inside(rr, cc) || map[rr][cc] != cur) break;
    ++n;
  }
  return n;
}

bool fives(int r, int c) {
  int cur = map[r][c] == kPlayer1 ? kPlayer1 : kPlayer2;
  for (const auto& d : kDirections) {
    int count = 1 + runlength(r, c, d[0], d[1], cur) + runlength(r, c, -d[0], -d[1], cur);
    if (count >= 5) return true;
  }
  return false;
}

int judge(int r, int c) {
  console::print("cur = %d", map[r][c] == kPlayer1 ? kPlayer1 : kPlayer2);
  return fives(r, c) ? 1 : 0;
}

}  // namespace gomoku
