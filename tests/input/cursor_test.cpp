#include "input/cursor.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "board/state.hpp"
#include "support/scripted.hpp"

namespace gomoku {
namespace {

using testing::Quit;
using testing::Scripted;

// What one cursor call did.
struct Outcome {
  int r = -1, c = -1;
  int redraws = 0;
};

// Runs player `who`'s cursor over the script until it puts the stone down.
Outcome steer(Scripted& t, int who) {
  Outcome o;
  int before = t.con.clears();
  (who == 1 ? move1 : move2)(&o.r, &o.c);
  o.redraws = t.con.clears() - before;
  return o;
}

struct Stone {
  int r, c, code;
};

struct SteerCase {
  const char* name;
  int who;
  std::vector<Stone> stones;  // on the board before the turn
  std::string keys;           // the turn's keys, the last one the Space that is taken
  int r, c, redraws;          // where the stone is put down; screens drawn meanwhile
};

void PrintTo(const SteerCase& k, std::ostream* os) {
  *os << k.name;
}

class Steering : public ::testing::TestWithParam<SteerCase> {};

// A player's own keys steer the stone, hopping over up to four stones; a step off the
// board or onto a stone is refused without a redraw; Space on the centre is taken only
// before the stone has moved and while the centre is empty. Steering never adds or
// loses a stone: the board afterwards is the one before with the new stone, and the
// centre lifted when the stone left it (the turn driver puts it back).
TEST_P(Steering, PutsTheStoneDownWhereTheKeysLead) {
  const SteerCase& k = GetParam();
  Scripted t(k.keys);
  for (const Stone& s : k.stones) map[s.r][s.c] = s.code;
  int before[kSize][kSize];
  std::copy(&map[0][0], &map[0][0] + kSize * kSize, &before[0][0]);
  Outcome o = steer(t, k.who);
  EXPECT_EQ(std::make_pair(o.r, o.c), std::make_pair(k.r, k.c));
  EXPECT_EQ(o.redraws, k.redraws);
  EXPECT_EQ(t.con.left(), 0u);
  if (k.r != kCentre || k.c != kCentre) before[kCentre][kCentre] = kEmpty;
  before[k.r][k.c] = k.who;
  for (int r = 0; r < kSize; ++r)
    for (int c = 0; c < kSize; ++c) EXPECT_EQ(map[r][c], before[r][c]) << r << "," << c;
}

// Player 2's stones in a row to the right of the centre, `n` of them.
std::vector<Stone> rightofcentre(int n) {
  std::vector<Stone> v;
  for (int k = 1; k <= n; ++k) v.push_back({kCentre, kCentre + k, kPlayer2});
  return v;
}

const std::string kUp = "\xe0H", kDown = "\xe0P", kRight = "\xe0M";

const SteerCase kSteering[] = {
    {"step", 1, {}, "d ", 9, 10, 1},
    {"hop_one", 1, rightofcentre(1), "d ", 9, 11, 1},
    {"hop_two", 1, rightofcentre(2), "d ", 9, 12, 1},
    {"hop_three", 1, rightofcentre(3), "d ", 9, 13, 1},
    {"hop_four", 1, rightofcentre(4), "d ", 9, 14, 1},
    {"fifth_stone_refused", 1, rightofcentre(5), "ds ", 10, 9, 1},
    {"top_edge", 1, {}, std::string(8, 'w') + "w ", 1, 9, 8},
    {"bottom_edge", 1, {}, std::string(10, 's') + "s ", 19, 9, 10},
    {"left_edge", 1, {}, std::string(8, 'a') + "a ", 9, 1, 8},
    {"right_edge", 1, {}, std::string(10, 'd') + "d ", 9, 19, 10},
    {"hop_off_the_edge_refused",
     1,
     {{9, 18, kPlayer2}, {9, 19, kPlayer2}},
     std::string(8, 'd') + "d ",
     9,
     17,
     8},
    {"first_key_on_empty_centre", 1, {}, " ", 9, 9, 0},
    {"first_key_on_occupied_centre", 1, {{9, 9, kPlayer2}}, "  d ", 9, 10, 1},
    {"back_on_the_centre", 1, {}, "da d ", 9, 10, 3},
    {"back_on_own_stone", 1, {{9, 9, kPlayer1}}, "wsw ", 8, 9, 3},
    {"after_keys_that_do_not_move", 1, {}, "xM ", 9, 9, 2},
    {"p1_wasd", 1, {}, "wwdsa ", 8, 9, 5},
    {"p1_arrow_redraws_twice", 1, {}, kUp + " ", 9, 9, 2},
    {"p1_capitals_do_not_steer", 1, {}, "WASD ", 9, 9, 4},
    {"p1_unknown_keys_redraw", 1, {}, "x\x1bq ", 9, 9, 3},
    {"p2_arrows", 2, {}, kUp + kUp + kRight + kDown + " ", 8, 10, 8},
    {"p2_capitals", 2, {}, "HHMPK ", 8, 9, 5},
    {"p2_keypad_prefix", 2, {}, std::string("\0K ", 3), 9, 8, 2},
    {"p2_wasd_do_not_steer", 2, {}, "wasd ", 9, 9, 4},
};

INSTANTIATE_TEST_SUITE_P(Cursor, Steering, ::testing::ValuesIn(kSteering),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(Cursor, HopFromFiveFiveOverTwoStones) {
  Scripted t("");
  map[5][6] = map[5][7] = kPlayer2;
  int tr, tc;
  ASSERT_TRUE(steptarget(5, 5, 0, 1, tr, tc));
  EXPECT_EQ(std::make_pair(tr, tc), std::make_pair(5, 8));
}

TEST(Cursor, RedrawShowsTheCursorAsAStone) {
  Scripted t("d ");
  console::cls();
  int r, c;
  t.con.onkey = [&](int i) {
    if (i == 1) {
      EXPECT_EQ(t.con.screen().line(9).substr(30, 3), "  O");
    }
  };
  move1(&r, &c);
  EXPECT_EQ(t.con.clears(), 2);
}

TEST(Cursor, EndOfInputEndsTheProgramWithStatusOne) {
  Scripted t("dd");
  int r, c;
  try {
    move2(&r, &c);
    FAIL() << "the cursor returned without a stone";
  } catch (const Quit& q) {
    EXPECT_EQ(q.status, 1);
    EXPECT_FALSE(q.message.empty());
  }
}

}  // namespace
}  // namespace gomoku
