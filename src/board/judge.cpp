#include "board/judge.hpp"

#include <cstring>

#include "board/state.hpp"
#include "console/console.hpp"
#include "engine/engine.hpp"

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

namespace {

// True when (r, c) holds a stone of `colour`'s opponent (the edge is no such stone).
bool opponentat(int r, int c, int colour) {
  return inside(r, c) && map[r][c] == 3 - colour;
}

}  // namespace

bool winningline(int r, int c, const int d[2]) {
  const int cur = map[r][c] == kPlayer1 ? kPlayer1 : kPlayer2;
  const int ahead = runlength(r, c, d[0], d[1], cur), back = runlength(r, c, -d[0], -d[1], cur);
  const int count = 1 + ahead + back;
  switch (rule) {
    case kStandard:
      return count == 5;
    case kRenju:
      return cur == blackplayer() ? count == 5 : count >= 5;
    case kCaro:
      return count >= 6 ||
             (count == 5 && !(opponentat(r + (ahead + 1) * d[0], c + (ahead + 1) * d[1], cur) &&
                              opponentat(r - (back + 1) * d[0], c - (back + 1) * d[1], cur)));
    default:
      return count >= 5;
  }
}

bool fives(int r, int c) {
  for (const auto& d : kDirections)
    if (winningline(r, c, d)) return true;
  return false;
}

int judge(int r, int c) {
  console::print("cur = %d", map[r][c] == kPlayer1 ? kPlayer1 : kPlayer2);
  return fives(r, c) ? 1 : 0;
}

bool findforbidden(int player) {
  std::memset(forbid, 0, sizeof forbid);
  const int black = blackplayer();
  if (rule != kRenju || player != black) return false;
  static engine::Engine e(std::size_t{1} << 20);  // the query needs no tables: the least
  e.newgame(kSize - 1, engine::Rule::kRenju);
  for (int r = 1; r < kSize; ++r)
    for (int c = 1; c < kSize; ++c)
      if (map[r][c] != kEmpty) e.put(c - 1, r - 1, map[r][c] == black ? 1 : 2);
  const auto points = e.forbiddenpoints();
  for (auto [x, y] : points) forbid[y + 1][x + 1] = true;
  return !points.empty();
}

}  // namespace gomoku
