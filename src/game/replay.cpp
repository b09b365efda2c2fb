#include "game/replay.hpp"

#include <algorithm>
#include <optional>

#include "board/state.hpp"
#include "console/chessmap.hpp"
#include "console/console.hpp"
#include "console/keys.hpp"
#include "record/recorder.hpp"

namespace gomoku {
namespace {

std::optional<record::Game> shown;  // the game to show
bool finished = false;              // its last move made five in a row

// The keys, on the empty lines of the frame under the board.
constexpr const char* kLegend[] = {"d →  下一手", "a ←  上一手", "w ↑  第一手之前",
                                   "s ↓  最后一手     q 退出"};
constexpr int kLegendX = 3, kLegendY = 21;

// The line that says which move the board shows: its number of all, its player and point.
std::string moveline(std::size_t k) {
  const record::Game& g = *shown;
  std::string line = "第" + std::to_string(k) + "/" + std::to_string(g.moves.size()) + "手";
  if (k == 0) return line;
  const record::Move& m = g.moves[k - 1];
  int p = record::mover(g, k - 1);
  return line + " 玩家" + std::to_string(p) + (p == kPlayer1 ? " O " : " X ") +
         std::to_string(m.r) + "行" + std::to_string(m.c) + "列";
}

// The line that tells how the game ended: the five on the board, else the record's word.
std::string resultline() {
  const record::Game& g = *shown;
  record::Result r = g.result;
  if (finished)
    r = record::mover(g, g.moves.size() - 1) == g.first ? record::Result::kBlack
                                                        : record::Result::kWhite;
  if (r == record::Result::kDraw) return "结果:平局";
  if (r == record::Result::kNone) return "结果:未完";
  int winner = r == record::Result::kBlack ? g.first : 3 - g.first;
  return "结果:玩家" + std::to_string(winner) + "获胜";
}

// Draws the board after the first k moves, the last stone marked (and the five, after
// the last move), with the keys, the move and the result under it.
void showmove(std::size_t k) {
  std::string why;
  bool five = placemoves(*shown, k, why) > 0;
  console::cls();
  printfchessmap();
  if (five) markwin(lastr, lastc);
  for (int i = 0; i < 4; ++i) {
    SetPos(kLegendX, kLegendY + i);
    console::con().write(kLegend[i]);
  }
  SetPos(0, 27);
  console::print("%s\n%s", moveline(k).c_str(), resultline().c_str());
}

}  // namespace

bool setreplay(const record::Game& g, std::string& why) {
  int won = placemoves(g, g.moves.size(), why);
  newgame();
  if (won < 0) return false;
  shown = g;
  finished = won > 0;
  return true;
}

bool replaying() {
  return shown.has_value();
}

int replay() {
  std::size_t k = 0, n = shown->moves.size();
  for (;;) {
    showmove(k);
    int key = console::getch();
    if (key < 0 || key == 'q' || key == console::kUnknownKey) return 0;
    if (key == 'd' || key == 'M') k = std::min(k + 1, n);
    if ((key == 'a' || key == 'K') && k > 0) --k;
    if (key == 'w' || key == 'H') k = 0;
    if (key == 's' || key == 'P') k = n;
  }
}

void resetreplay() {
  shown.reset();
  finished = false;
}

}  // namespace gomoku
