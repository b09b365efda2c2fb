#include "input/cursor.hpp"

#include <gtest/gtest.h>

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

struct HopCase {
  int occupied;  // stones to the right of the centre
  int landc;     // the column where the cursor lands
};

class Hops : public ::testing::TestWithParam<HopCase> {};

TEST_P(Hops, CursorJumpsOverOccupiedPoints) {
  Scripted t("d ");
  for (int k = 1; k <= GetParam().occupied; ++k) map[9][9 + k] = kPlayer2;
  Outcome o = steer(t, 1);
  EXPECT_EQ(o.r, 9);
  EXPECT_EQ(o.c, GetParam().landc);
  EXPECT_EQ(map[9][GetParam().landc], kPlayer1);
  EXPECT_EQ(map[9][9], kEmpty);
  EXPECT_EQ(o.redraws, 1);
}

INSTANTIATE_TEST_SUITE_P(Cursor, Hops,
                         ::testing::Values(HopCase{0, 10}, HopCase{1, 11}, HopCase{2, 12},
                                           HopCase{3, 13}, HopCase{4, 14}));

TEST(Cursor, HopFromFiveFiveOverTwoStones) {
  Scripted t("");
  map[5][6] = map[5][7] = kPlayer2;
  int tr, tc;
  ASSERT_TRUE(steptarget(5, 5, 0, 1, tr, tc));
  EXPECT_EQ(std::make_pair(tr, tc), std::make_pair(5, 8));
}

struct EdgeCase {
  const char* name;
  std::string keys;  // ends with a refused key, then Space
  int r, c;
  int redraws;
};

class Edges : public ::testing::TestWithParam<EdgeCase> {};

TEST_P(Edges, StepOffTheBoardIsRefusedWithoutRedraw) {
  Scripted t(GetParam().keys);
  Outcome o = steer(t, 1);
  EXPECT_EQ(o.r, GetParam().r);
  EXPECT_EQ(o.c, GetParam().c);
  EXPECT_EQ(o.redraws, GetParam().redraws);
  EXPECT_EQ(t.con.left(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cursor, Edges,
    ::testing::Values(EdgeCase{"top", std::string(8, 'w') + "w ", 1, 9, 8},
                      EdgeCase{"bottom", std::string(10, 's') + "s ", 19, 9, 10},
                      EdgeCase{"left", std::string(8, 'a') + "a ", 9, 1, 8},
                      EdgeCase{"right", std::string(10, 'd') + "d ", 9, 19, 10}),
    [](const auto& i) { return std::string(i.param.name); });

TEST(Cursor, StepOverStonesToTheEdgeIsRefused) {
  Scripted t(std::string(8, 'd') + "d ");
  map[9][18] = map[9][19] = kPlayer2;
  Outcome o = steer(t, 1);
  EXPECT_EQ(o.c, 17);
  EXPECT_EQ(o.redraws, 8);
}

// Four stones ahead and a fifth one as well: the step is refused, no stone is lost.
TEST(Cursor, OccupiedTargetIsRefused) {
  Scripted t("ds ");
  for (int k = 1; k <= 5; ++k) map[9][9 + k] = kPlayer2;
  Outcome o = steer(t, 1);
  EXPECT_EQ(std::make_pair(o.r, o.c), std::make_pair(10, 9));
  EXPECT_EQ(o.redraws, 1);
  for (int k = 1; k <= 5; ++k) EXPECT_EQ(map[9][9 + k], kPlayer2);
}

struct CentreCase {
  const char* name;
  int centre;        // what stands on the centre at the start
  std::string keys;  // the keys of the turn
  int r, c, redraws;
};

class Centre : public ::testing::TestWithParam<CentreCase> {};

TEST_P(Centre, SpaceOnTheCentreOnlyWhenItIsEmpty) {
  Scripted t(GetParam().keys);
  map[9][9] = GetParam().centre;
  Outcome o = steer(t, 1);
  EXPECT_EQ(std::make_pair(o.r, o.c), std::make_pair(GetParam().r, GetParam().c));
  EXPECT_EQ(o.redraws, GetParam().redraws);
  EXPECT_EQ(t.con.left(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cursor, Centre,
    ::testing::Values(CentreCase{"first_key_on_empty_centre", 0, " ", 9, 9, 0},
                      CentreCase{"first_key_on_occupied_centre", 2, "  d ", 9, 10, 1},
                      CentreCase{"back_on_the_centre", 0, "da d ", 9, 10, 3},
                      CentreCase{"back_on_own_stone", 1, "wsw ", 8, 9, 3},
                      CentreCase{"after_keys_that_do_not_move", 0, "xM ", 9, 9, 2}),
    [](const auto& i) { return std::string(i.param.name); });

struct KeyCase {
  const char* name;
  int who;
  std::string keys;
  int r, c, redraws;
};

class Keys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(Keys, EachPlayerSteersWithItsOwnKeysOnly) {
  Scripted t(GetParam().keys);
  Outcome o = steer(t, GetParam().who);
  EXPECT_EQ(std::make_pair(o.r, o.c), std::make_pair(GetParam().r, GetParam().c));
  EXPECT_EQ(o.redraws, GetParam().redraws);
}

INSTANTIATE_TEST_SUITE_P(
    Cursor, Keys,
    ::testing::Values(KeyCase{"p1_wasd", 1, "wwdsa ", 8, 9, 5},
                      KeyCase{"p1_arrow_redraws_twice", 1, "\xe0H ", 9, 9, 2},
                      KeyCase{"p1_capitals_do_not_steer", 1, "WASD ", 9, 9, 4},
                      KeyCase{"p1_unknown_keys_redraw", 1, "x\x1bq ", 9, 9, 3},
                      KeyCase{"p2_arrows", 2, "\xe0H\xe0H\xe0M\xe0P ", 8, 10, 8},
                      KeyCase{"p2_capitals", 2, "HHMPK ", 8, 9, 5},
                      KeyCase{"p2_keypad_prefix", 2, std::string("\0K ", 3), 9, 8, 2},
                      KeyCase{"p2_wasd_do_not_steer", 2, "wasd ", 9, 9, 4}),
    [](const auto& i) { return std::string(i.param.name); });

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
