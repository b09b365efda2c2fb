// Fuzzes play: a key stream through the cursor and the turn driver keeps the board sound,
// under the rule the input's length picks; under renju black never takes a point that
// was forbidden to it when its turn began.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "board/judge.hpp"
#include "board/state.hpp"
#include "game/game.hpp"
#include "support/scripted.hpp"

using namespace gomoku;

namespace {

// Stones on the board (cursor included while it is on it).
int stones() {
  int n = 0;
  for (const auto& row : map)
    for (int cell : row) n += cell != 0;
  return n;
}

// Aborts unless row 0 and column 0 are empty and every cell holds 0, 1 or 2.
void checkcells() {
  for (int i = 0; i < kSize; ++i)
    if (map[0][i] != 0 || map[i][0] != 0) std::abort();
  for (const auto& row : map)
    for (int cell : row)
      if (cell < 0 || cell > 2) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  testing::Scripted t(std::string(reinterpret_cast<const char*>(data), size));
  rule = static_cast<int>(size % 4);
  bool banned[kSize][kSize];
  int before = 0;
  bool centre = false;
  // Between keys: with a stone on the centre at the start of the turn, the cursor
  // replaces it while away; otherwise the cursor adds at most one stone.
  t.con.onkey = [&](int) {
    checkcells();
    int n = stones();
    if (centre ? n != before : (n != before && n != before + 1)) std::abort();
  };
  try {
    for (int turn = 0; turn < 400; ++turn) {
      before = stones();
      centre = map[kCentre][kCentre] != 0;
      findforbidden(whoturn % 2 == 0 ? kPlayer1 : kPlayer2);
      std::memcpy(banned, forbid, sizeof banned);
      bool draw = playchess() == 0 && gameover == 1;
      if (!draw && banned[lastr][lastc]) std::abort();
      ++whoturn;
      checkcells();
      if (stones() != before + (draw ? 0 : 1)) std::abort();
      if (gameover) {
        newgame();
        gameover = 0;
      }
    }
  } catch (const testing::Quit&) {
    // the key stream ran out
  }
  return 0;
}
