#include "board/judge.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "board/state.hpp"
#include "support/rules.hpp"
#include "support/scripted.hpp"

namespace gomoku {
namespace {

using testing::Scripted;

struct Line {
  const char* name;
  int r, c, dr, dc;  // where the row of stones starts and which way it runs
};

// The four lines, each laid from a start point in its direction.
const Line kFour[] = {
    {"horizontal", 7, 3, 0, 1},
    {"vertical", 3, 7, 1, 0},
    {"falling", 3, 3, 1, 1},
    {"rising", 12, 3, -1, 1},
};

struct RunCase {
  const char* name;
  std::vector<int> stones;  // offsets along the line holding the colour examined
  std::vector<int> others;  // offsets holding the other colour
  int placed;               // offset of the stone just put down
  int expect;
};

const RunCase kRuns[] = {
    {"five_placed_at_end", {0, 1, 2, 3, 4}, {}, 4, 1},
    {"five_placed_at_start", {0, 1, 2, 3, 4}, {}, 0, 1},
    {"five_placed_in_middle", {0, 1, 2, 3, 4}, {}, 2, 1},
    {"five_placed_second", {0, 1, 2, 3, 4}, {}, 1, 1},
    {"five_placed_second_from_end", {0, 1, 2, 3, 4}, {}, 3, 1},
    {"four", {0, 1, 2, 3}, {}, 3, 0},
    {"five_broken_by_empty", {0, 1, 3, 4, 5}, {}, 1, 0},
    {"five_broken_by_other", {0, 1, 3, 4, 5}, {2}, 3, 0},
    {"four_capped_by_other", {1, 2, 3, 4}, {0, 5}, 2, 0},
    {"six", {0, 1, 2, 3, 4, 5}, {}, 5, 1},
    {"seven_placed_in_middle", {0, 1, 2, 3, 4, 5, 6}, {}, 3, 1},
};

class JudgeTable : public ::testing::TestWithParam<std::tuple<Line, RunCase>> {};

TEST_P(JudgeTable, FindsFiveOrMoreInARow) {
  Scripted t("");
  console::cls();
  const auto& [line, run] = GetParam();
  for (int k : run.stones) map[line.r + k * line.dr][line.c + k * line.dc] = kPlayer2;
  for (int k : run.others) map[line.r + k * line.dr][line.c + k * line.dc] = kPlayer1;
  EXPECT_EQ(judge(line.r + run.placed * line.dr, line.c + run.placed * line.dc), run.expect);
  EXPECT_EQ(t.con.screen().line(0), "cur = 2");
}

INSTANTIATE_TEST_SUITE_P(Judge, JudgeTable,
                         ::testing::Combine(::testing::ValuesIn(kFour), ::testing::ValuesIn(kRuns)),
                         [](const auto& i) {
                           return std::string(std::get<0>(i.param).name) + "_" +
                                  std::get<1>(i.param).name;
                         });

struct EdgeCase {
  const char* name;
  std::vector<std::pair<int, int>> stones;
  std::pair<int, int> placed;
  int expect;
};

class JudgeEdges : public ::testing::TestWithParam<EdgeCase> {};

TEST_P(JudgeEdges, CountsUpToTheEdgeAndNoFurther) {
  Scripted t("");
  for (auto [r, c] : GetParam().stones) map[r][c] = kPlayer1;
  EXPECT_EQ(judge(GetParam().placed.first, GetParam().placed.second), GetParam().expect);
}

INSTANTIATE_TEST_SUITE_P(
    Judge, JudgeEdges,
    ::testing::Values(
        EdgeCase{
            "row_reaching_right_edge", {{4, 15}, {4, 16}, {4, 17}, {4, 18}, {4, 19}}, {4, 19}, 1},
        EdgeCase{
            "rising_to_top_right", {{19, 15}, {18, 16}, {17, 17}, {16, 18}, {15, 19}}, {17, 17}, 1},
        EdgeCase{
            "column_reaching_bottom", {{15, 6}, {16, 6}, {17, 6}, {18, 6}, {19, 6}}, {19, 6}, 1},
        EdgeCase{"four_at_left_edge", {{8, 1}, {8, 2}, {8, 3}, {8, 4}}, {8, 1}, 0},
        EdgeCase{"four_at_top_edge", {{1, 8}, {2, 8}, {3, 8}, {4, 8}}, {1, 8}, 0},
        EdgeCase{"four_at_corner_diagonal", {{1, 1}, {2, 2}, {3, 3}, {4, 4}}, {1, 1}, 0},
        EdgeCase{"row_19_four", {{19, 1}, {19, 2}, {19, 3}, {19, 4}}, {19, 4}, 0},
        EdgeCase{"column_19_four", {{16, 19}, {17, 19}, {18, 19}, {19, 19}}, {19, 19}, 0}));

// Row 0 and column 0 are outside play even if something stood there.
TEST(Judge, NeverCountsTheLabelRowOrColumn) {
  Scripted t("");
  for (int c = 1; c <= 4; ++c) map[1][c] = kPlayer1;
  for (int r = 1; r <= 4; ++r) map[r][1] = kPlayer1;
  map[0][1] = map[1][0] = map[0][0] = kPlayer1;
  EXPECT_EQ(judge(1, 1), 0);
}

TEST(Judge, WritesTheColourExaminedEveryTime) {
  Scripted t("");
  console::cls();
  map[5][5] = kPlayer1;
  EXPECT_EQ(judge(5, 5), 0);
  map[6][6] = kPlayer2;
  EXPECT_EQ(judge(6, 6), 0);
  EXPECT_EQ(t.con.screen().line(0), "cur = 1cur = 2");
}

TEST(Judge, RunLengthStopsAfterFivePoints) {
  Scripted t("");
  for (int c = 1; c <= 19; ++c) map[10][c] = kPlayer2;
  EXPECT_EQ(runlength(10, 1, 0, 1, kPlayer2), 5);
  EXPECT_EQ(runlength(10, 3, 0, -1, kPlayer2), 2);
}

class RuleDecisions : public ::testing::TestWithParam<testing::RulePosition> {};

// The position on the game's board (row 1, column 1 at the diagram's top left), player 1
// black; the judge's decision on the move, and the points marked for black's turn.
TEST_P(RuleDecisions, DecidesByTheRuleAndMarksBlacksForbiddenPoints) {
  Scripted t("");
  const testing::RulePosition& k = GetParam();
  rule = k.rule;
  std::vector<std::pair<int, int>> expected;
  int mr = 0, mc = 0;
  for (int y = 0; y < static_cast<int>(k.rows.size()); ++y)
    for (int x = 0; x < static_cast<int>(k.rows[y].size()); ++x) {
      const char ch = k.rows[y][x];
      if (ch == 'x' || ch == 'o') map[y + 1][x + 1] = ch == 'x' ? kPlayer1 : kPlayer2;
      if (ch == '*' || ch == '!') mr = y + 1, mc = x + 1;
      if (ch == 'F' || ch == '!') expected.emplace_back(y + 1, x + 1);
    }
  findforbidden(kPlayer1);
  std::vector<std::pair<int, int>> marked;
  for (int r = 1; r < kSize; ++r)
    for (int c = 1; c < kSize; ++c)
      if (forbid[r][c]) marked.emplace_back(r, c);
  EXPECT_EQ(marked, expected);
  map[mr][mc] = k.mover;
  EXPECT_EQ(judge(mr, mc), k.wins ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Judge, RuleDecisions, ::testing::ValuesIn(testing::rulepositions()),
                         [](const auto& i) { return std::string(i.param.name); });

// Player 2 is black in a game it moved first in: its exactly five wins under renju and
// its six does not; player 1's six wins.
TEST(Judge, BlackUnderRenjuIsWhoeverMovedFirstInTheGame) {
  Scripted t("");
  rule = kRenju;
  whoturn = 1;  // player 2 lost the last game and moves first in this one
  EXPECT_EQ(blackplayer(), kPlayer2);
  addmove(10, 10, kPlayer2);
  whoturn = 2;
  EXPECT_EQ(blackplayer(), kPlayer2);
  for (int player : {kPlayer1, kPlayer2})
    for (int c = 1; c <= 6; ++c) map[player * 3][c] = player;
  EXPECT_EQ(judge(3, 6), 1);  // player 1: white
  EXPECT_EQ(judge(6, 6), 0);  // player 2: black, six
  map[6][6] = kEmpty;
  EXPECT_EQ(judge(6, 5), 1);  // exactly five
}

}  // namespace
}  // namespace gomoku
