#include "game/game.hpp"

#include <gtest/gtest.h>

#include <random>

#include "board/state.hpp"
#include "console/chessmap.hpp"
#include "support/board.hpp"
#include "support/scripted.hpp"
#include "support/tempdir.hpp"

namespace gomoku {
namespace {

using testing::Quit;
using testing::Scripted;

const char kPrompt[] = "是否进入游戏(Y/N)或者帮助（Z）";

// The exit status of initgame over the script, or -1 when it returned to play.
int menustatus() {
  try {
    initgame();
    return -1;
  } catch (const Quit& q) {
    return q.status;
  }
}

struct AnswerCase {
  const char* name;
  std::string keys;
  std::string echoed;
};

class DeclinedAnswers : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(DeclinedAnswers, EndWithStatusZeroAndDrawNothing) {
  Scripted t(GetParam().keys);
  EXPECT_EQ(menustatus(), 0);
  EXPECT_EQ(t.con.transcript, kPrompt + GetParam().echoed);
  EXPECT_EQ(t.con.clears(), 0);
}

INSTANTIATE_TEST_SUITE_P(Menu, DeclinedAnswers,
                         ::testing::Values(AnswerCase{"n", "n\n", "n\n"},
                                           AnswerCase{"N", "N\n", "N\n"},
                                           AnswerCase{"q", "q\n", "q\n"},
                                           AnswerCase{"empty", "\n", "\n"},
                                           AnswerCase{"end_of_input", "", ""},
                                           AnswerCase{"backspaced_y", "y\x7fn\n", "y\b \bn\n"},
                                           AnswerCase{"space_then_y", " y\n", " y\n"}),
                         [](const auto& i) { return std::string(i.param.name); });

class AcceptedAnswers : public ::testing::TestWithParam<std::string> {};

TEST_P(AcceptedAnswers, ShowTheEmptyBoard) {
  Scripted t(GetParam() + "\n");
  EXPECT_EQ(menustatus(), -1);
  EXPECT_EQ(testing::lines(t.con.screen(), 30), testing::emptyboard());
  EXPECT_EQ(t.con.screen().cury(), 27);
}

INSTANTIATE_TEST_SUITE_P(Menu, AcceptedAnswers, ::testing::Values("y", "Y", "yes", "n\x7fy"));

class HelpAnswers : public ::testing::TestWithParam<std::string> {};

TEST_P(HelpAnswers, ShowTheLegendThenPauseThenTheBoard) {
  Scripted t(GetParam() + "\nk");
  t.con.onkey = [&](int i) {
    if (i != 2) return;
    EXPECT_EQ(t.con.screen().line(4), "  +              1  w  a  s  d              +");
    EXPECT_EQ(t.con.screen().line(15), "请按任意键继续. . .");
  };
  EXPECT_EQ(menustatus(), -1);
  EXPECT_EQ(testing::lines(t.con.screen(), 30), testing::emptyboard());
  EXPECT_EQ(t.con.left(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Menu, HelpAnswers, ::testing::Values("z", "Z"));

// The rest of the answer's line is dropped, not read as later input.
TEST(Menu, RestOfTheLineIsDiscarded) {
  Scripted t("yd 12\n ");
  EXPECT_EQ(menustatus(), -1);
  EXPECT_EQ(playchess(), 0);
  EXPECT_EQ(map[9][9], kPlayer1);
}

// Runs one turn of player `who` over the script; returns its result.
int turn(int who) {
  whoturn = who == 1 ? 0 : 1;
  return playchess();
}

struct RepairCase {
  const char* name;
  int who;
  int centre;        // the stone on the centre at the start
  std::string keys;  // steer off the centre and put the stone down elsewhere
  int centreafter;
};

class Repair : public ::testing::TestWithParam<RepairCase> {};

TEST_P(Repair, CentreStoneComesBackInItsOwnColour) {
  Scripted t(GetParam().keys);
  map[9][9] = GetParam().centre;
  map[1][1] = kPlayer2;
  EXPECT_EQ(turn(GetParam().who), 0);
  EXPECT_EQ(map[9][9], GetParam().centreafter);
  EXPECT_EQ(boardsum(), GetParam().centre + kPlayer2 + GetParam().who);
}

INSTANTIATE_TEST_SUITE_P(Turn, Repair,
                         ::testing::Values(RepairCase{"p1_leaves_own", 1, 1, "d ", 1},
                                           RepairCase{"p1_leaves_other", 1, 2, "ds ", 2},
                                           RepairCase{"p2_leaves_own", 2, 2, "M ", 2},
                                           RepairCase{"p2_leaves_other", 2, 1, "\xe0K\xe0P ", 1},
                                           RepairCase{"p1_space_on_empty_centre", 1, 0, " ", 1},
                                           RepairCase{"p2_empty_centre_placed_elsewhere", 2, 0,
                                                      "HH ", 0}),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(Turn, PromptFollowsTheBoardAndStatusFollowsThePlacement) {
  Scripted t(" ");
  console::cls();
  printfchessmap();
  t.con.onkey = [&](int) { EXPECT_EQ(t.con.screen().line(27), "现在轮到玩家1，请落子：      +"); };
  EXPECT_EQ(turn(1), 0);
  auto expect = testing::emptyboard();
  testing::place(expect, 9, 9, 'O');
  expect[27] = "cur = 1                      +";
  EXPECT_EQ(testing::lines(t.con.screen(), 30), expect);
}

class Wins : public ::testing::TestWithParam<int> {};

TEST_P(Wins, WinMessageNamesTheMover) {
  int who = GetParam();
  Scripted t(who == 1 ? "a " : "K ");
  for (int c = 5; c <= 8; ++c) map[9][c - 1] = who;  // four in a row ending left of (9, 8)
  map[9][9] = 3 - who;
  EXPECT_EQ(turn(who), 1);
  EXPECT_EQ(gameover, 1);
  EXPECT_EQ(map[9][9], 3 - who);
  ASSERT_EQ(nmoves, 1);  // the stone put down is the game's move, with its owner
  EXPECT_EQ((std::vector<int>{moves[0].r, moves[0].c, moves[0].player}),
            (std::vector<int>{9, 8, who}));
  std::string expect = "cur = " + std::to_string(who) + "玩家" + std::to_string(who) + "获胜";
  EXPECT_EQ(t.con.screen().line(27).substr(0, expect.size()), expect);
  EXPECT_EQ(t.con.screen().cury(), 28);
}

INSTANTIATE_TEST_SUITE_P(Turn, Wins, ::testing::Values(1, 2));

struct DrawCase {
  const char* name;
  void (*fill)();
  bool draw;
};

// Fills every point with alternating stones so that no five stand in a row.
void fillall() {
  for (int r = 1; r < kSize; ++r)
    for (int c = 1; c < kSize; ++c) map[r][c] = ((r / 2 + c) % 2) + 1;
}

// A full board with one hole that no step can reach from the centre.
void unreachablehole() {
  fillall();
  map[1][3] = kEmpty;
}

// A full board with one hole at a hop of four from the centre.
void reachablehole() {
  fillall();
  map[9][14] = kEmpty;
}

// The reachable hole, under renju, where black's stone would make seven in a row.
void forbiddenhole() {
  reachablehole();
  for (int c : {11, 12, 13, 15, 16, 17}) map[9][c] = kPlayer1;
  rule = kRenju;
}

// A full board but for the centre.
void onlycentre() {
  fillall();
  map[9][9] = kEmpty;
}

class Draws : public ::testing::TestWithParam<DrawCase> {};

TEST_P(Draws, ANoMovesBoardIsADraw) {
  Scripted t("d ");
  GetParam().fill();
  console::cls();
  int result = turn(1);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(gameover, GetParam().draw ? 1 : 0);
  // (under the board when the board was drawn again with black's forbidden points)
  EXPECT_EQ(t.con.screen().text().find("平局") != std::string::npos, GetParam().draw);
}

INSTANTIATE_TEST_SUITE_P(Turn, Draws,
                         ::testing::Values(DrawCase{"full", fillall, true},
                                           DrawCase{"hole_out_of_reach", unreachablehole, true},
                                           DrawCase{"hole_in_reach", reachablehole, false},
                                           DrawCase{"renju_hole_forbidden", forbiddenhole, true},
                                           DrawCase{"only_centre", onlycentre, false}),
                         [](const auto& i) { return std::string(i.param.name); });

// Random key streams over many turns and games: the board keeps its invariants.
TEST(Turn, RandomPlayKeepsTheBoardSound) {
  const std::string alphabet = "wasdHPKM \xe0xW";
  std::mt19937 rng(4242);
  std::string keys;
  for (int i = 0; i < 200000; ++i) keys += alphabet[rng() % alphabet.size()];
  Scripted t(keys);
  int stones = 0, games = 0;
  t.con.onkey = [&](int) {
    for (int i = 0; i < kSize; ++i) ASSERT_EQ(map[0][i] | map[i][0], 0);
  };
  try {
    for (int turns = 0; turns < 1000; ++turns) {
      playchess();
      ++whoturn;
      bool draw = t.con.screen().text().find("平局") != std::string::npos;
      stones += draw ? 0 : 1;
      int count = 0;
      for (const auto& row : map)
        for (int cell : row) {
          ASSERT_TRUE(cell >= 0 && cell <= 2);
          count += cell != 0;
        }
      ASSERT_EQ(count, stones) << "turn " << turns;
      if (gameover) {
        newgame();
        gameover = stones = 0;
        ++games;
        console::cls();
      }
    }
  } catch (const Quit&) {
    FAIL() << "the key stream ran out";
  }
  EXPECT_GT(games, 3);
}

struct RuleTurn {
  const char* name;
  int rule;
  std::vector<std::vector<int>> stones;  // row, column, player
  std::string keys;                      // player 1's keys
  int result;                            // of playchess
  int r, c;                              // where the stone goes down
  bool refused;  // a line under the board refuses the first Space (marked '#')
};

// Row 9 left of the centre holds four of player 1's stones; the centre is the move.
const std::vector<std::vector<int>> kSix = {{9, 5, 1}, {9, 6, 1}, {9, 7, 1}, {9, 8, 1}, {9, 10, 1}};
const std::vector<std::vector<int>> kBlocked = {{9, 5, 1}, {9, 6, 1}, {9, 7, 1},
                                                {9, 8, 1}, {9, 4, 2}, {9, 10, 2}};
const std::vector<std::vector<int>> kDoubleThree = {{7, 9, 1}, {8, 9, 1}, {9, 7, 1}, {9, 8, 1}};

class RuleTurns : public ::testing::TestWithParam<RuleTurn> {};

TEST_P(RuleTurns, TheDecidingMoveFollowsTheRule) {
  const RuleTurn& k = GetParam();
  Scripted t(k.keys);
  rule = k.rule;
  for (const auto& s : k.stones) map[s[0]][s[1]] = s[2];
  console::cls();
  printfchessmap();
  std::string centre, refusal;
  t.con.onkey = [&](int i) {
    if (i == 0) centre = t.con.screen().line(9).substr(signcolumn(9), 1);
    if (i == 1) refusal = t.con.screen().line(28);
  };
  EXPECT_EQ(turn(1), k.result);
  EXPECT_EQ(gameover, k.result);
  EXPECT_EQ(map[k.r][k.c], kPlayer1);
  EXPECT_EQ(centre, k.refused ? "#" : "*");
  EXPECT_EQ(refusal.starts_with("禁手：黑棋不能在这里落子"), k.refused) << refusal;
}

INSTANTIATE_TEST_SUITE_P(
    Turn, RuleTurns,
    ::testing::Values(
        RuleTurn{"standard_six_does_not_win", kStandard, kSix, " ", 0, 9, 9, false},
        RuleTurn{"freestyle_six_wins", kFreestyle, kSix, " ", 1, 9, 9, false},
        RuleTurn{"caro_blocked_five_does_not_win", kCaro, kBlocked, " ", 0, 9, 9, false},
        RuleTurn{"freestyle_blocked_five_wins", kFreestyle, kBlocked, " ", 1, 9, 9, false},
        RuleTurn{"renju_forbidden_point_refused", kRenju, kDoubleThree, " d ", 0, 9, 10, true},
        RuleTurn{"freestyle_double_three_taken", kFreestyle, kDoubleThree, " d ", 0, 9, 9, false}),
    [](const auto& i) { return std::string(i.param.name); });

// Whole games through gamemain, writing the score file in a temporary directory.
using GameFlow = testing::InTempDir;

// A whole run: player 1 wins along row 9, scores, 's', player 2 (the loser of the
// first game) moves first and wins along row 9, scores, then any key but 's' ends it.
TEST_F(GameFlow, TwoGamesInARow) {
  std::string game1 = " H d H d H d H d ";
  std::string game2 = " w M w M w M w M ";
  Scripted t("y\n" + game1 + "k10\n-3\ns" + game2 + "k0\n4\nq");
  std::string board2;
  t.con.onkey = [&](int i) {
    if (i == 28) board2 = t.con.screen().line(25) + "|" + t.con.screen().line(26);
  };
  EXPECT_EQ(gamemain(), 0);
  EXPECT_EQ(file(), "10\n-3\n0\n4\n");
  EXPECT_EQ(whoturn, 18);
  EXPECT_EQ(score1, 0);
  EXPECT_EQ(score2, 4);
  EXPECT_EQ(board2, " +        玩家一得分:10      +|   玩家二得分:-3             +");
  EXPECT_EQ(t.con.left(), 0u);
}

TEST_F(GameFlow, CapitalSAfterAGameEndsTheProgram) {
  Scripted t("y\n H d H d H d H d k1\n2\nS w");
  EXPECT_EQ(gamemain(), 0);
  EXPECT_EQ(t.con.left(), 2u);
}

TEST_F(GameFlow, ResultStaysOnScreenUntilAKey) {
  Scripted t("y\n H d H d H d H d k1\n2\nq");
  std::vector<std::string> shown;
  t.con.onkey = [&](int i) {
    if (i == 19) shown = {t.con.screen().line(9), t.con.screen().line(27), t.con.screen().line(28)};
  };
  gamemain();
  EXPECT_EQ(shown, (std::vector<std::string>{
                       "  9  *  *  *  *  *  *  *  *  O  O  O  O  O  *  *  *  *  *  *",
                       "cur = 1玩家1获胜             +", "请按任意键继续. . .          +"}));
}

}  // namespace
}  // namespace gomoku
