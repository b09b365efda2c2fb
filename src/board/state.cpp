#include "board/state.hpp"

#include <cstring>

namespace gomoku {

int map[kSize][kSize];
int whoturn = 0;
int gameover = 0;
int score1 = 0, score2 = 0;
int* pn = &score1;
int* pk = &score2;

void resetstate() {
  std::memset(map, 0, sizeof map);
  whoturn = gameover = score1 = score2 = 0;
  pn = &score1;
  pk = &score2;
}

}  // namespace gomoku
