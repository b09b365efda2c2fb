#include "board/judge.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "board/state.hpp"
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

}  // namespace
}  // namespace gomoku
