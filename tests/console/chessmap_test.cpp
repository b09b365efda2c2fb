#include "console/chessmap.hpp"

#include <gtest/gtest.h>

#include "board/state.hpp"
#include "game/game.hpp"
#include "support/board.hpp"
#include "support/scripted.hpp"

namespace gomoku {
namespace {

using testing::Scripted;

// Draws the board screen on a cleared scripted console.
console::Screen drawboard(Scripted& t) {
  console::cls();
  printfchessmap();
  return t.con.screen();
}

TEST(BoardScreen, EmptyBoardWithZeroScores) {
  Scripted t("");
  console::Screen s = drawboard(t);
  EXPECT_EQ(testing::lines(s, 30), testing::emptyboard());
  EXPECT_EQ(s.line(30), "");
  EXPECT_EQ(s.curx(), 0);
  EXPECT_EQ(s.cury(), 27);
}

struct ScoreCase {
  int s1, s2;
  const char* line25;
  const char* line26;
};

class ScoreLabels : public ::testing::TestWithParam<ScoreCase> {};

TEST_P(ScoreLabels, ShowSignedScoresOverTheFrame) {
  Scripted t("");
  score1 = GetParam().s1;
  score2 = GetParam().s2;
  console::Screen s = drawboard(t);
  auto expect = testing::emptyboard();
  expect[25] = GetParam().line25;
  expect[26] = GetParam().line26;
  EXPECT_EQ(testing::lines(s, 30), expect);
}

INSTANTIATE_TEST_SUITE_P(BoardScreen, ScoreLabels,
                         ::testing::Values(ScoreCase{3, 5, " +        玩家一得分:3       +",
                                                     "   玩家二得分:5              +"},
                                           ScoreCase{-7, -12, " +        玩家一得分:-7      +",
                                                     "   玩家二得分:-12            +"},
                                           ScoreCase{-1234567890, 2147483647,
                                                     " +        玩家一得分:-1234567890",
                                                     "   玩家二得分:2147483647     +"}));

TEST(BoardScreen, StonesShowAsTheirSigns) {
  Scripted t("");
  map[1][1] = kPlayer1;
  map[19][19] = kPlayer2;
  map[9][10] = kPlayer1;
  console::Screen s = drawboard(t);
  auto expect = testing::emptyboard();
  testing::place(expect, 1, 1, 'O');
  testing::place(expect, 19, 19, 'X');
  testing::place(expect, 9, 10, 'O');
  EXPECT_EQ(testing::lines(s, 30), expect);
}

// The legend's lines 4 and 5; the other lines are the box.
std::vector<std::string> helpbox(const char* line4, const char* line5) {
  std::vector<std::string> l(15, "  +" + std::string(39, ' ') + "  +");
  std::string full;
  for (int j = 0; j < 15; ++j) full += "  +";
  l[0] = l[14] = full;
  l[4] = line4;
  l[5] = line5;
  return l;
}

TEST(HelpScreen, LegendWithOneColumnArrows) {
  Scripted t("", true, 1);
  console::cls();
  bangzhu();
  auto expect = helpbox("  +              1  w  a  s  d              +",
                        "  +              2  ↑  ←  ↓  →              +");
  EXPECT_EQ(testing::lines(t.con.screen(), 15), expect);
  EXPECT_EQ(t.con.screen().line(15), "");
  EXPECT_EQ(t.con.screen().cury(), 15);
}

TEST(HelpScreen, LegendWithTwoColumnArrows) {
  Scripted t("", true, 2);
  console::cls();
  bangzhu();
  auto expect = helpbox("  +              1  w  a  s  d              +",
                        "  +              2 ↑ ← ↓ →              +");
  EXPECT_EQ(testing::lines(t.con.screen(), 15), expect);
  // Each arrow ends on the column of its letter above.
  for (int x : {20, 23, 26, 29}) EXPECT_EQ(t.con.screen().at(x, 5).width, 0) << x;
}

// Against the computer the legend also lists the person's take-back and hint keys.
TEST(HelpScreen, LegendAgainstTheComputerAddsTakeBackAndHint) {
  Scripted t("");
  computer = 2;
  console::cls();
  bangzhu();
  auto expect = helpbox("  +              1  w  a  s  d              +",
                        "  +              2  ↑  ←  ↓  →              +");
  expect[7] = "  +              u  悔棋                    +";
  expect[8] = "  +              h  提示                    +";
  EXPECT_EQ(testing::lines(t.con.screen(), 15), expect);
}

}  // namespace
}  // namespace gomoku

namespace gomoku {
namespace {

// The attributes of the stone sign at row r, column c of the screen.
std::uint8_t attrat(const console::Screen& s, int r, int c) {
  return s.at(3 * c + 2, r).attr;
}

TEST(Marks, LastStoneIsMarkedAndOthersOnlyColoured) {
  testing::Scripted t("d ");
  map[3][3] = kPlayer2;
  map[9][9] = kPlayer1;
  lastr = 3;
  lastc = 3;
  whoturn = 0;
  playchess();
  const auto& s = t.con.screen();
  EXPECT_EQ(attrat(s, 9, 10), console::kPlayer1 | console::kLast);
  EXPECT_EQ(attrat(s, 9, 9), console::kPlayer1);
  EXPECT_EQ(attrat(s, 3, 3), console::kPlayer2);
  EXPECT_EQ(attrat(s, 5, 5), console::kPlain);
  EXPECT_EQ(s.at(0, 27).attr, console::kPlain);
}

TEST(Marks, WinMarksExactlyTheWinningLine) {
  // Six X on the falling diagonal once (9, 9) is filled, one more X beside the line,
  // and four X in a column through (9, 9) that do not win.
  testing::Scripted t(" ");
  for (int k : {-3, -2, -1, 1, 2}) map[9 + k][9 + k] = kPlayer2;
  map[10][9] = map[11][9] = map[12][9] = kPlayer2;
  map[5][7] = kPlayer2;
  whoturn = 1;
  EXPECT_EQ(playchess(), 1);
  const auto& s = t.con.screen();
  int winning = 0;
  for (int r = 1; r < kSize; ++r)
    for (int c = 1; c < kSize; ++c)
      if (attrat(s, r, c) & console::kWinning) {
        ++winning;
        EXPECT_EQ(r - c, 0) << r << "," << c;
      }
  EXPECT_EQ(winning, 6);
  EXPECT_EQ(attrat(s, 9, 9), console::kPlayer2 | console::kLast | console::kWinning);
  EXPECT_EQ(attrat(s, 11, 9), console::kPlayer2);
}

TEST(Marks, NewGameForgetsTheLastStone) {
  testing::Scripted t("");
  lastr = lastc = 9;
  map[4][4] = kPlayer2;
  newgame();
  EXPECT_EQ(map[4][4], kEmpty);
  map[9][9] = kPlayer1;
  console::cls();
  printfchessmap();
  EXPECT_EQ(attrat(t.con.screen(), 9, 9), console::kPlayer1);
}

}  // namespace
}  // namespace gomoku
