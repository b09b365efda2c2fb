#include "board/state.hpp"

#include <cstring>

namespace gomoku {

int map[kSize][kSize];
int whoturn = 0;
int gameover = 0;
int score1 = 0, score2 = 0;
int* pn = &score1;
int* pk = &score2;
int lastr = 0, lastc = 0;
int computer = 0;
int thinkms = 1000;
long thinknodes = 0;
Placed moves[kMaxMoves];
int nmoves = 0;
int rule = kFreestyle;
bool forbid[kSize][kSize];

void newgame() {
  std::memset(map, 0, sizeof map);
  std::memset(forbid, 0, sizeof forbid);
  lastr = lastc = 0;
  nmoves = 0;
}

int blackplayer() {
  if (nmoves > 0) return moves[0].player;
  return whoturn % 2 == 0 ? kPlayer1 : kPlayer2;
}

void addmove(int r, int c, int player) {
  if (nmoves < kMaxMoves) moves[nmoves++] = Placed{r, c, player};
}

bool undomove() {
  if (nmoves == 0) return false;
  const Placed& m = moves[--nmoves];
  map[m.r][m.c] = kEmpty;
  lastr = nmoves > 0 ? moves[nmoves - 1].r : 0;
  lastc = nmoves > 0 ? moves[nmoves - 1].c : 0;
  return true;
}

void resetstate() {
  newgame();
  whoturn = gameover = score1 = score2 = 0;
  pn = &score1;
  pk = &score2;
  computer = 0;
  thinkms = 1000;
  thinknodes = 0;
  rule = kFreestyle;
}

}  // namespace gomoku
