#include "record/record.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "board/state.hpp"
#include "record/psq.hpp"
#include "record/recorder.hpp"
#include "record/sgf.hpp"

namespace gomoku::record {
namespace {

// A game of `points` ("r,c r,c ..."), each move taking `ms` more milliseconds than the last.
Game game(const std::string& points, int first = 1, Result result = Result::kNone, long ms = 0) {
  Game g;
  g.first = first;
  g.result = result;
  std::istringstream in(points);
  Move m;
  char comma;
  while (in >> m.r >> comma >> m.c) {
    m.ms += ms;
    g.moves.push_back(m);
  }
  return g;
}

struct TripCase {
  const char* name;
  Game game;
};

class RoundTrip : public ::testing::TestWithParam<TripCase> {};

// SGF keeps the whole game but the times of the moves; PSQ its moves with their times,
// who started and which sides the computer played.
TEST_P(RoundTrip, WrittenThenReadIsTheSameGame) {
  Game g = GetParam().game, back, untimed = g;
  for (Move& m : untimed.moves) m.ms = 0;
  std::string why;
  ASSERT_TRUE(sgfgame(writesgf(g), 1, back, why)) << why;
  EXPECT_EQ(back, untimed) << writesgf(g);
  ASSERT_TRUE(readpsq(writepsq(g), back, why)) << why;
  EXPECT_EQ(back.moves, g.moves);
  EXPECT_EQ(back.first, g.first);
  for (int p : {0, 1})
    EXPECT_EQ(back.name[p].starts_with("computer"), g.name[p].starts_with("computer"));
}

// A won game with names and comment that need escapes, player 2 moving first.
Game escaped() {
  Game g = game("10,10 1,1 11,11 1,2 12,12 1,3 13,13 1,4 14,14", 2, Result::kBlack, 700);
  g.name[0] = "a]b\\c";
  g.date = "2026-12-08";
  g.comment = "scores: player 1 -3, player 2 [10]";
  g.rule = "renju";
  return g;
}

// The whole board filled with no five in a row: black on the points where r / 2 + c is
// even (181 of them), white on the others (180), taken in turn.
Game fullboard() {
  std::vector<Move> side[2];
  for (int r = 1; r <= 19; ++r)
    for (int c = 1; c <= 19; ++c) side[(r / 2 + c) % 2].push_back(Move{r, c});
  Game g;
  for (std::size_t i = 0; i < 361; ++i) g.moves.push_back(side[i % 2][i / 2]);
  g.result = Result::kDraw;
  return g;
}

INSTANTIATE_TEST_SUITE_P(
    Records, RoundTrip,
    ::testing::Values(TripCase{"corners_and_centre", game("1,1 1,19 19,1 19,19 10,10 9,9")},
                      TripCase{"escapes_renju_player_two_first", escaped()},
                      TripCase{"draw_on_a_full_board", fullboard()},
                      TripCase{"white_won", game("1,1 5,5 2,2 5,6 3,3 5,7 1,4 5,8 1,5 5,9", 1,
                                                 Result::kWhite, 30)},
                      TripCase{"unfinished_empty", game("")}),
    [](const auto& i) { return std::string(i.param.name); });

TEST(Records, SgfAndPsqAsWritten) {
  Game g = game("9,9 8,9 1,19", 2, Result::kNone, 250);
  g.name[1] = "computer (50 ms)";
  g.date = "2026-12-08";
  g.comment = "x";
  EXPECT_EQ(writesgf(g),
            "(;FF[4]GM[4]SZ[19]CA[UTF-8]RU[freestyle]DT[2026-12-08]PB[computer (50 ms)]"
            "PW[player 1]\n;B[ii];W[ih];B[sa]C[x])\n");
  EXPECT_EQ(writepsq(g), "Piskvorky 19x19, 0:1, 1\n9,9,250\n9,8,500\n19,1,750\n0\n");
}

struct ReadCase {
  const char* name;
  std::string text;
  int n;              // the game asked for: from 1, 0 for the last
  std::string moves;  // its moves as SGF points, or the message that refuses it
  std::string comment;
};

class Reading : public ::testing::TestWithParam<ReadCase> {};

// Read from text, then put on the board to be played on: the moves of the main line, or
// the one line that says why and where the record is refused.
TEST_P(Reading, MainLineOrWhyNot) {
  const ReadCase& k = GetParam();
  resetstate();
  Game g;
  std::string why, got;
  Format f = k.text.starts_with("Pisk") ? Format::kPsq : Format::kSgf;
  if (readgame(k.text, f, k.n, g, why) && userule(g, -1, why) && loadgame(g, why)) {
    for (const Move& m : g.moves) got += std::string{char('a' + m.c - 1), char('a' + m.r - 1), ' '};
    EXPECT_EQ(g.comment, k.comment);
    EXPECT_EQ(nmoves, static_cast<int>(g.moves.size()));
  } else {
    got = why;
  }
  EXPECT_EQ(got, k.moves);
}

const char kFive[] = "(;B[aa];W[ab];B[ba];W[bb];B[ca];W[cb];B[da];W[db];B[ea]";

INSTANTIATE_TEST_SUITE_P(
    Records, Reading,
    ::testing::Values(
        ReadCase{"variations_main_line_first",
                 "(;GM[4]SZ[19]C[a\\]b\\\\];B[aa](;W[bb];B[cc]C[main])(;W[dd]))", 0, "aa bb cc ",
                 "main"},
        ReadCase{"spaces_old_names_soft_break", "\xEF\xBB\xBF ( ; GaMe [4] ; B [aa] C[x\\\ny] ) ",
                 1, "aa ", "xy"},
        ReadCase{"second_of_three", "(;B[aa])\n(;B[bb];W[cc])(;B[dd])", 2, "bb cc ", ""},
        ReadCase{"last_by_default", "(;B[aa])(;B[bb])", 0, "bb ", ""},
        ReadCase{"psq_until_closing_lines", "Piskvorky 19x19, 11:11, 0\r\n1,1,5\r\n19,19,0\r\n-1\n",
                 0, "aa ss ", ""},
        ReadCase{"unclosed_tree", "(;B[ii]\n", 0,
                 "line 2, column 1: the text ends inside a game tree: ')' expected", ""},
        ReadCase{"unclosed_value", "(;C[a\\]", 0,
                 "line 1, column 4: the value opened here is never closed with ']'", ""},
        ReadCase{"tree_without_node", "(B[ii])", 0,
                 "line 1, column 2: a game tree must begin with a node (';')", ""},
        ReadCase{"text_outside", "(;)x", 0, "line 1, column 4: unexpected 'x' outside a game tree",
                 ""},
        ReadCase{"node_after_variation", "(;(;B[aa]);W[bb])", 0,
                 "line 1, column 11: a node after a variation", ""},
        ReadCase{"property_without_value", "(;B[aa]\nC)", 0,
                 "line 2, column 2: '[' expected after property C", ""},
        ReadCase{"other_board", "(;SZ[15];B[aa])", 0,
                 "line 1, column 2: board size SZ[15]: only 19x19 boards are played here", ""},
        ReadCase{"other_game", "(;GM[1])", 0, "line 1, column 2: GM[1] is not Gomoku (GM[4])", ""},
        ReadCase{"unknown_rule", "(;RU[Japanese])", 0,
                 "line 1, column 2: rule RU[Japanese] is none the game knows (freestyle, "
                 "standard, renju, caro)",
                 ""},
        ReadCase{"off_the_board", "(;;B[at])", 0,
                 "line 1, column 3: move 1: point at is off the 19x19 board", ""},
        ReadCase{"renju_forbidden_double_three",
                 "(;RU[renju];B[hj];W[aa];B[ij];W[ca];B[jh];W[ea];B[ji];W[ga];B[jj])", 0,
                 "line 1, column 60: move 9 (row 10, column 10) is forbidden for black under renju",
                 ""},
        ReadCase{
            "standard_six_goes_on",
            "(;RU[standard];B[aa];W[as];B[ba];W[cs];B[ca];W[es];B[ea];W[gs];B[fa];W[is];B[da])", 0,
            "aa as ba cs ca es ea gs fa is da ", ""},
        ReadCase{
            "freestyle_six_is_won",
            "(;RU[freestyle];B[aa];W[as];B[ba];W[cs];B[ca];W[es];B[ea];W[gs];B[fa];W[is];B[da])", 0,
            "line 1, column 76: move 11 (row 1, column 4) makes five in a row: the game is "
            "already won",
            ""},
        ReadCase{"pass", "(;B[aa];W[tt])", 0,
                 "line 1, column 8: move 2 is a pass, which Gomoku has not", ""},
        ReadCase{"out_of_turn", "(;B[aa];B[bb])", 0,
                 "line 1, column 8: move 2 is black's, out of turn: black moves first, then each "
                 "side in turn",
                 ""},
        ReadCase{"setup_stones", "(;AB[aa][bb])", 0,
                 "line 1, column 2: setup stones (AB) are not played here, only moves", ""},
        ReadCase{"game_not_there", "(;B[aa])", 2, "the file holds 1 game, not 2", ""},
        ReadCase{"no_game", " \n", 0, "no game in the file", ""},
        ReadCase{"stone_on_stone", "(;B[aa]\n;W[aa])", 0,
                 "line 2, column 1: move 2 (row 1, column 1) is on a stone", ""},
        ReadCase{"already_won", std::string(kFive) + ")", 0,
                 "line 1, column 50: move 9 (row 1, column 5) makes five in a row: the game is "
                 "already won",
                 ""},
        ReadCase{"after_the_five", std::string(kFive) + ";W[ec])", 0,
                 "line 1, column 56: move 10 (row 3, column 5) comes after move 9 made five in a "
                 "row",
                 ""},
        ReadCase{"psq_no_header", "Pisk 19x19\n", 0, "line 1: no PSQ header (Piskvorky 19x19)", ""},
        ReadCase{"psq_other_board", "Piskvorky 20x20, 0:0, 0\n", 0,
                 "line 1: board size 20x20: only 19x19 boards are played here", ""},
        ReadCase{"psq_off_the_board", "Piskvorky 19x19, 0:0, 0\n1,1,0\n3,20,0\n0\n", 0,
                 "line 3: point 3,20 is off the 19x19 board", ""},
        ReadCase{"psq_second_game", "Piskvorky 19x19, 0:0, 0\n", 2,
                 "a PSQ file holds one game, not 2", ""}),
    [](const auto& i) { return std::string(i.param.name); });

// A game goes on under the rule its record names; a command line naming another is refused.
TEST(Records, RuleComesFromTheRecord) {
  resetstate();
  Game g;
  g.rule = "renju";
  std::string why;
  EXPECT_FALSE(userule(g, kCaro, why));
  EXPECT_EQ(why, "the game is played under renju, not caro");
  EXPECT_EQ(rule, kFreestyle);
  EXPECT_TRUE(userule(g, -1, why));
  EXPECT_EQ(rule, kRenju);
}

}  // namespace
}  // namespace gomoku::record
