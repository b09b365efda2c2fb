#include "game/game.hpp"

#include <string>

#include "board/judge.hpp"
#include "board/state.hpp"
#include "console/chessmap.hpp"
#include "console/console.hpp"
#include "game/computer.hpp"
#include "game/lone.hpp"
#include "input/cursor.hpp"
#include "record/recorder.hpp"
#include "score/score.hpp"

namespace gomoku {
namespace {

// True when the cursor can reach an empty point other than the centre, the board
// seen as it is once the cursor has left the centre (centre empty).
bool reachable() {
  Reach w;
  reach(w);
  for (int r = 1; r < kSize; ++r)
    for (int c = 1; c < kSize; ++c)
      if (w.seen[r][c] && (r != kCentre || c != kCentre) && !forbid[r][c]) return true;
  return false;
}

// Shows the result until a key is pressed; the input must not end here.
void showresult() {
  if (!console::pause()) console::inputended();
}

}  // namespace

void initgame() {
  console::print("是否进入游戏(Y/N)或者帮助（Z）");
  std::string line;
  char answer = console::getline(line) && !line.empty() ? line[0] : '\n';
  if (answer != 'y' && answer != 'Y' && answer != 'z' && answer != 'Z') console::quit(0);
  if (answer == 'z' || answer == 'Z') {
    console::cls();
    bangzhu();
    showresult();
  }
  console::print("\n");
  console::cls();
  printfchessmap();
}

int boardsum() {
  int sum = 0;
  for (const auto& row : map)
    for (int cell : row) sum += cell;
  return sum;
}

void centrerepair(int player, int before, int after) {
  int& centre = map[kCentre][kCentre];
  if (player == kPlayer1 && after == before) centre = kPlayer1;
  if (player == kPlayer1 && after == before - 1) centre = kPlayer2;
  if (player == kPlayer2 && after == before) centre = kPlayer2;
  if (player == kPlayer2 && after == before + 1) centre = kPlayer1;
}

bool canplace() {
  return (map[kCentre][kCentre] == kEmpty && !forbid[kCentre][kCentre]) || reachable();
}

int playchess() {
  recordturn();
  int player = whoturn % 2 == 0 ? kPlayer1 : kPlayer2;
  if (findforbidden(player)) {  // renju: black's forbidden points are marked for its turn
    console::cls();
    printfchessmap();
  }
  // A player whose stone can reach no empty point it may take draws the game (the turn
  // could never end otherwise); the scores are typed as after a win.
  if (!canplace()) {
    console::print("平局\n");
    gameover = 1;
    return 0;
  }
  console::print(player == kPlayer1 ? "现在轮到玩家1，请落子：" : "现在轮到玩家2，请落子：");
  int before = boardsum();
  int r = 0, c = 0;
  const Steering& steer = player == kPlayer1 ? kSteer1 : kSteer2;
  if (player == computer)
    computermove(steer, &r, &c);
  else if (computer == 0)
    (player == kPlayer1 ? move1 : move2)(&r, &c);
  else if (!personmove(steer, &r, &c)) {
    recordmoves();       // a take-back: the record without the stones taken back,
    return playchess();  // and the person's turn again, two stones earlier
  }
  centrerepair(player, before, boardsum());
  findforbidden(0);  // the marks are for this turn only
  lastr = r;
  lastc = c;
  addmove(r, c, player);
  recordmoves();
  console::cls();
  printfchessmap();
  if (judge(r, c) != 1) return 0;
  markwin(r, c);
  console::print("玩家%d获胜\n", whoturn % 2 + 1);
  gameover = 1;
  return 1;
}

int gamemain() {
  char key = 's';
  initgame();
  while (key == 's') {
    playchess();
    ++whoturn;
    if (gameover == 1) {
      recordgameover();
      // The pause lets the players see the final board and who won before score entry.
      showresult();
      addstu(pn, pk);
      recordscores(*pn, *pk);
      int k = againkey();
      key = k < 0 ? '\0' : static_cast<char>(k);
      gameover = 0;
    }
  }
  return 0;
}

}  // namespace gomoku
