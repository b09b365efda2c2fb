#include "console/chessmap.hpp"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

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

struct Stone {
  int r, c;
  int code;
};

struct BoardCase {
  const char* name;
  int s1, s2;
  std::vector<Stone> stones;
  const char* line25;  // nullptr: as on the empty board
  const char* line26;
};

void PrintTo(const BoardCase& k, std::ostream* os) {
  *os << k.name;
}

class Boards : public ::testing::TestWithParam<BoardCase> {};

// The labelled board, its frame and both scores over the frame, the stones as their
// signs; output goes on at column 0 of line 27, inside the frame.
TEST_P(Boards, ShowStonesAndSignedScores) {
  const BoardCase& k = GetParam();
  Scripted t("");
  score1 = k.s1;
  score2 = k.s2;
  for (const Stone& st : k.stones) map[st.r][st.c] = st.code;
  console::Screen s = drawboard(t);
  auto expect = testing::emptyboard();
  for (const Stone& st : k.stones)
    testing::place(expect, st.r, st.c, st.code == kPlayer1 ? 'O' : 'X');
  if (k.line25) expect[25] = k.line25;
  if (k.line26) expect[26] = k.line26;
  EXPECT_EQ(testing::lines(s, 30), expect);
  EXPECT_EQ(s.line(30), "");
  EXPECT_EQ(std::make_pair(s.curx(), s.cury()), std::make_pair(0, 27));
}

INSTANTIATE_TEST_SUITE_P(
    BoardScreen, Boards,
    ::testing::Values(
        BoardCase{"empty", 0, 0, {}, nullptr, nullptr},
        BoardCase{"stones",
                  0,
                  0,
                  {{1, 1, kPlayer1}, {19, 19, kPlayer2}, {9, 10, kPlayer1}},
                  nullptr,
                  nullptr},
        BoardCase{
            "scores", 3, 5, {}, " +        玩家一得分:3       +", "   玩家二得分:5              +"},
        BoardCase{"negative_scores",
                  -7,
                  -12,
                  {},
                  " +        玩家一得分:-7      +",
                  "   玩家二得分:-12            +"},
        BoardCase{"widest_scores",
                  -1234567890,
                  2147483647,
                  {},
                  " +        玩家一得分:-1234567890",
                  "   玩家二得分:2147483647     +"}),
    [](const auto& test) { return std::string(test.param.name); });

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

struct HelpCase {
  const char* name;
  int ambiguous;  // the columns an arrow takes on the terminal
  int computer;   // the player the computer plays, or 0
  const char* line5;
  const char* line7 = nullptr;  // nullptr: a line of the empty box
  const char* line8 = nullptr;
};

void PrintTo(const HelpCase& k, std::ostream* os) {
  *os << k.name;
}

class Help : public ::testing::TestWithParam<HelpCase> {};

// The box with the legend, each arrow ending on the column of its letter above,
// whether the terminal gives arrows one column or two; against the computer, the
// person's take-back and hint keys too.
TEST_P(Help, LegendPairsEachKeyWithItsArrow) {
  const HelpCase& k = GetParam();
  Scripted t("", true, k.ambiguous);
  computer = k.computer;
  console::cls();
  bangzhu();
  const console::Screen& s = t.con.screen();
  auto expect = helpbox("  +              1  w  a  s  d              +", k.line5);
  if (k.line7) expect[7] = k.line7;
  if (k.line8) expect[8] = k.line8;
  EXPECT_EQ(testing::lines(s, 15), expect);
  EXPECT_EQ(s.line(15), "");
  EXPECT_EQ(std::make_pair(s.curx(), s.cury()), std::make_pair(0, 15));
  for (int x : {20, 23, 26, 29}) {
    bool arrowends = s.at(x, 5).width == 0 || (s.at(x, 5).width == 1 && s.at(x, 5).ch != U' ');
    EXPECT_TRUE(arrowends && s.at(x + 1, 5).ch == U' ') << x;
  }
}

INSTANTIATE_TEST_SUITE_P(
    HelpScreen, Help,
    ::testing::Values(
        HelpCase{"one_column_arrows", 1, 0, "  +              2  ↑  ←  ↓  →              +"},
        HelpCase{"two_column_arrows", 2, 0, "  +              2 ↑ ← ↓ →              +"},
        // Against the computer the legend also lists the person's take-back and hint keys.
        HelpCase{"against_the_computer", 1, 2, "  +              2  ↑  ←  ↓  →              +",
                 "  +              u  悔棋                    +",
                 "  +              h  提示                    +"}),
    [](const auto& test) { return std::string(test.param.name); });

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
