#include "game/computer.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "board/state.hpp"
#include "console/chessmap.hpp"
#include "game/game.hpp"
#include "support/board.hpp"
#include "support/scripted.hpp"

namespace gomoku {
namespace {

using Point = std::pair<int, int>;
// Stones in a line from (r, c), a step (dr, dc) apart: O, X, or '.' for an empty point.
struct Run {
  int r, c, dr, dc;
  const char* signs;
};

// A scripted console that keeps each new screen shown while the game idles, with the
// length of that idle.
class WatchingConsole : public testing::ScriptedConsole {
 public:
  using ScriptedConsole::ScriptedConsole;
  void idle(int ms) override {
    present();
    std::vector<std::string> now = testing::lines(screen(), 30);
    if (frames.empty() || frames.back().second != now) frames.emplace_back(ms, now);
  }
  std::vector<std::pair<int, std::vector<std::string>>> frames;
};

// The computer plays player `who` on a fresh game with `stones`, node-limited; the
// person's keys are `keys`.
struct Computer {
  Computer(int who, const std::vector<Run>& stones, std::string keys = "") : con(std::move(keys)) {
    resetstate();
    console::setconsole(&con);
    computer = who;
    thinknodes = 30000;
    for (Run s : stones)
      for (int k = 0; s.signs[k]; ++k)
        map[s.r + k * s.dr][s.c + k * s.dc] = s.signs[k] == 'O' ? 1 : s.signs[k] == 'X' ? 2 : 0;
  }
  ~Computer() { console::setconsole(nullptr); }
  WatchingConsole con;
};

// True when one step of the stone cursor leads from `from` to `to` on the board `map`.
bool onestep(Point from, Point to) {
  for (auto [dr, dc] : {Point{0, 1}, {0, -1}, {1, 0}, {-1, 0}}) {
    int tr, tc;
    if (steptarget(from.first, from.second, dr, dc, tr, tc) && Point{tr, tc} == to) return true;
  }
  return false;
}

// O's four on row 3 must be blocked at (3, 7); the way up from the centre hops over a
// column of stones, and O's stone on the centre is lifted on the way.
TEST(ComputerTurn, StoneStepsFromTheCentreOneFrameAtATimeThenIsPutDown) {
  Computer t(2, {{3, 2, 0, 1, "XOOOO"}, {5, 9, 1, 0, "XOXOO"}});
  whoturn = 1;
  int before[kSize][kSize];
  std::copy(&map[0][0], &map[0][0] + kSize * kSize, &before[0][0]);
  console::cls();
  printfchessmap();
  EXPECT_EQ(playchess(), 0);
  EXPECT_EQ(Point(lastr, lastc), Point(3, 7));
  EXPECT_EQ(map[9][9], kPlayer1);  // the centre stone is put back

  const auto& f = t.con.frames;
  ASSERT_GE(f.size(), 4u);
  EXPECT_EQ(f[0].second[28].substr(0, 23), "电脑正在思考. . .");
  std::copy(&before[0][0], &before[0][0] + kSize * kSize, &map[0][0]);
  map[kCentre][kCentre] = kEmpty;
  Point at{kCentre, kCentre};
  for (std::size_t i = 1; i < f.size(); ++i) {
    std::vector<Point> cursor;
    for (int r = 1; r < kSize; ++r)
      for (int c = 1; c < kSize; ++c)
        if (f[i].second[r][3 * c + 2] == 'X' && before[r][c] != kPlayer2) cursor.emplace_back(r, c);
    ASSERT_EQ(cursor.size(), 1u) << "frame " << i;
    EXPECT_TRUE(onestep(at, cursor[0])) << "frame " << i;
    EXPECT_TRUE(f[i].first >= 100 && f[i].first <= 200) << f[i].first << " ms";
    at = cursor[0];
  }
  EXPECT_EQ(at, Point(3, 7));
}

struct TacticCase {
  const char* name;
  int who;       // the computer's player
  Point choice;  // the point it must choose
  int won;       // what the turn returns
  std::vector<Run> stones;
  int rule = kFreestyle;
  bool avoid = false;  // `choice` is the point it must not choose
  int level = 9;       // the computer's
  Point also{-1, -1};  // a point as good as `choice` (avoided as well)
};

class ComputerTactics : public ::testing::TestWithParam<TacticCase> {};

TEST_P(ComputerTactics, ComputerChoosesTheReachablePointThatMatters) {
  const TacticCase& k = GetParam();
  Computer t(k.who, k.stones);
  rule = k.rule;
  level = k.level;
  whoturn = k.who - 1;  // it moves first in this game: under renju it is black
  int sum = boardsum();
  console::cls();
  EXPECT_EQ(playchess(), k.won);
  const Point chosen(lastr, lastc);
  EXPECT_EQ(chosen == k.choice || chosen == k.also, !k.avoid) << lastr << "," << lastc;
  EXPECT_EQ(boardsum(), sum + k.who);
  EXPECT_EQ(gameover, k.won);
}

// X's four on row 3 wins at (3, 9) ((9, 3), row and column swapped, is taken) rather
// than block O's four on column 14 at (14, 14).
const std::vector<Run> kWin = {{3, 4, 0, 1, "OXXXX"}, {9, 3, 0, 1, "O"}, {9, 14, 1, 0, "XOOOO"}};
// X's four on the diagonal wins only at the corner, which the stones of row 1 and
// column 1 wall off from every step: X blocks O's four on row 12 instead.
const std::vector<Run> kWalledWin = {
    {2, 2, 1, 1, "XXXXO"}, {1, 2, 0, 1, "OXOXO"}, {2, 1, 1, 0, "XOXOX"}, {12, 2, 0, 1, "XOOO.O"}};

// X's threes on row 9 and column 13, each closed at one end, meet at (9, 13): a double
// four that wins (no one stone blocks both fours), and that renju forbids black.
const std::vector<Run> kDoubleFour = {{9, 9, 0, 1, "OXXX"}, {10, 13, 1, 0, "XXXO"}};

// O's open three on row 5, which the strongest computer blocks at either end and the
// beginner of level 1 (seeded as in every node-limited game) does not see.
const std::vector<Run> kOpenThree = {{5, 5, 0, 1, ".OOO."}, {8, 7, 0, 1, "X"}};

INSTANTIATE_TEST_SUITE_P(
    ComputerTurn, ComputerTactics,
    ::testing::Values(
        TacticCase{"wins", 2, {3, 9}, 1, kWin},
        TacticCase{"walled_off_win", 2, {12, 6}, 0, kWalledWin},
        TacticCase{"player_one_blocks", 1, {15, 11}, 0, {{15, 7, 0, 1, "OXXX.X"}}},
        TacticCase{"double_four", 2, {9, 13}, 0, kDoubleFour},
        TacticCase{
            "renju_black_never_makes_a_double_four", 2, {9, 13}, 0, kDoubleFour, kRenju, true},
        TacticCase{"blocks_the_three", 2, {5, 5}, 0, kOpenThree, kFreestyle, false, 9, {5, 9}},
        TacticCase{
            "level_1_overlooks_the_three", 2, {5, 5}, 0, kOpenThree, kFreestyle, true, 1, {5, 9}},
        TacticCase{"level_3_blocks_the_four",
                   1,
                   {15, 11},
                   0,
                   {{15, 7, 0, 1, "OXXX.X"}},
                   kFreestyle,
                   false,
                   3}),
    [](const auto& i) { return std::string(i.param.name); });

// The person, the computer, the person again: the person's keys are all theirs.
TEST(ComputerTurn, GameGoesOnToThePersonsTurn) {
  Computer t(2, {}, " w ");
  std::string prompt;
  t.con.onkey = [&](int i) {
    if (i == 1) prompt = t.con.screen().line(27) + std::to_string(boardsum());
  };
  console::cls();
  for (; whoturn < 3; ++whoturn) playchess();
  EXPECT_EQ(prompt, "cur = 2现在轮到玩家1，请落子：3");
  EXPECT_EQ(boardsum(), 1 + 2 + 1);
  EXPECT_EQ(t.con.left(), 0u);
}

}  // namespace
}  // namespace gomoku
