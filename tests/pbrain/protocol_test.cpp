#include "pbrain/protocol.hpp"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace gomoku::pbrain {
namespace {

struct Exchange {
  const char* name;
  std::vector<std::string> in;
  std::vector<std::string> out;  // "MOVE": any "x,y" reply; MESSAGE lines are left out
};

const std::string kCombination =
    "no such combination (0 freestyle, 1 exactly five, 4 renju, 8 caro, 2 may be added)";

const Exchange kExchanges[] = {
    {"begin_takes_the_centre", {"START 19", "BEGIN"}, {"OK", "9,9"}},
    {"sizes",
     {"START 4", "START 33", "START", "START x", "START 5", "START 32"},
     {"ERROR board size 4 not supported (5 to 32)", "ERROR board size 33 not supported (5 to 32)",
      "ERROR START needs the board size", "ERROR START needs the board size", "OK", "OK"}},
    {"nothing_before_start",
     {"BEGIN", "TURN 1,1", "BOARD", "TAKEBACK 1,1", "RESTART"},
     std::vector<std::string>(5, "ERROR no game started: START first")},
    {"turn_checks_the_point",
     {"START 15", "TURN 15,0", "TURN -1,3", "TURN 3", "TURN a,b", "TURN 7,7", "TURN 7,7"},
     {"OK", "ERROR 15,0 is not an empty point", "ERROR -1,3 is not an empty point",
      "ERROR TURN needs x,y", "ERROR TURN needs x,y", "MOVE", "ERROR 7,7 is not an empty point"}},
    {"board_completes_own_five_before_blocking",
     {"START 15", "BOARD", "2,3,2", "3,3,1", "4,3,1", "5,3,1", "6,3,1", "2,4,1", "3,4,2", "4,4,2",
      "5,4,2", "6,4,2", "DONE"},
     {"OK", "7,3"}},
    {"board_blocks_a_four",
     {"START 15", "BOARD", "7,7,1", "3,10,2", "4,10,2", "5,10,2", "6,10,2", "2,10,1", "8,8,1",
      "DONE"},
     {"OK", "7,10"}},
    {"board_lines_are_checked",
     {"START 15", "BOARD", "1,1", "1,1,4", "x", "1,1,1", "1,1,2", "20,1,1", "DONE"},
     {"OK", "ERROR expected x,y,1|2|3 or DONE", "ERROR expected x,y,1|2|3 or DONE",
      "ERROR expected x,y,1|2|3 or DONE", "ERROR 1,1 is not an empty point",
      "ERROR 20,1 is not an empty point", "MOVE"}},
    {"info",
     {"INFO timeout_turn 500", "INFO foo bar", "INFO folder /tmp/x y", "INFO timeout_turn abc",
      "INFO", "INFO max_memory -5"},
     {"ERROR bad INFO timeout_turn abc", "ERROR INFO needs a key and a value",
      "ERROR bad INFO max_memory -5"}},
    {"rule_values",
     {"INFO rule 0", "INFO rule 1", "INFO rule 2", "INFO rule 3", "INFO rule 4", "INFO rule 6",
      "INFO rule 8", "INFO rule 10", "INFO rule 5", "INFO rule 9", "INFO rule 12", "INFO rule 16",
      "INFO rule -1", "INFO rule x"},
     {"ERROR rule 5 not supported: " + kCombination, "ERROR rule 9 not supported: " + kCombination,
      "ERROR rule 12 not supported: " + kCombination,
      "ERROR rule 16 not supported: unknown rule bits",
      "ERROR rule -1 not supported: unknown rule bits", "ERROR bad INFO rule x"}},
    // BOARD's first stone is black's (here the opponent's); black's four is blocked, its
    // double three at 4,3 is forbidden. A refused rule leaves renju in force.
    {"renju_board_order_and_forbidden_points",
     {"INFO rule 4", "INFO rule 5", "START 15",     "BOARD",       "4,1,2",       "9,1,1",
      "4,2,2",       "9,9,1",       "2,3,2",        "10,10,1",     "3,3,2",       "11,11,1",
      "10,1,2",      "5,9,1",       "11,1,2",       "5,10,1",      "12,1,2",      "1,13,1",
      "13,1,2",      "DONE",        "YXSHOWFORBID", "INFO rule 0", "YXSHOWFORBID"},
     {"ERROR rule 5 not supported: " + kCombination, "OK", "14,1", "FORBID 0403", "FORBID "}},
    {"takeback",
     {"START 15", "TURN 7,7", "TAKEBACK 7,7", "TAKEBACK 7,7", "TAKEBACK 7", "TURN 7,7"},
     {"OK", "MOVE", "OK", "ERROR no stone on 7,7", "ERROR TAKEBACK needs x,y", "MOVE"}},
    {"restart", {"START 15", "BEGIN", "RESTART", "BEGIN"}, {"OK", "7,7", "OK", "7,7"}},
    {"about", {"ABOUT"}, {"name=\"gomoku\", version=\"1.0\", author=\"gomoku developers\""}},
    {"case_blanks_and_crlf",
     {"start 15\r", "  turn  7 , 7 ", "", "FOO 1"},
     {"OK", "MOVE", "ERROR unknown command FOO"}},
};

class Protocols : public ::testing::TestWithParam<Exchange> {};

TEST_P(Protocols, RepliesLineByLine) {
  Protocol p(2000);
  std::vector<std::string> got;
  for (const std::string& line : GetParam().in) {
    std::vector<std::string> reply;
    EXPECT_TRUE(p.handle(line, reply)) << line;
    for (const std::string& r : reply)
      if (r.rfind("MESSAGE ", 0) != 0) got.push_back(r);
  }
  const std::vector<std::string>& want = GetParam().out;
  ASSERT_EQ(got.size(), want.size()) << ::testing::PrintToString(got);
  for (size_t i = 0; i < got.size(); ++i) {
    if (want[i] == "MOVE")
      EXPECT_TRUE(std::regex_match(got[i], std::regex("[0-9]+,[0-9]+"))) << got[i];
    else
      EXPECT_EQ(got[i], want[i]);
  }
}

INSTANTIATE_TEST_SUITE_P(Pbrain, Protocols, ::testing::ValuesIn(kExchanges),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(Pbrain, EndStopsAtOnceWhetherIdleInAGameOrInABoard) {
  for (std::vector<std::string> lines : {std::vector<std::string>{"END"},
                                         {"START 15", "end"},
                                         {"START 15", "BOARD", "1,1,1", "END"}}) {
    Protocol p(2000);
    std::vector<std::string> reply;
    for (size_t i = 0; i + 1 < lines.size(); ++i) EXPECT_TRUE(p.handle(lines[i], reply));
    reply.clear();
    EXPECT_FALSE(p.handle(lines.back(), reply));
    EXPECT_TRUE(reply.empty());
  }
}

TEST(Pbrain, TheMoveBudgetKeepsAMarginAndSharesTheMatchTime) {
  for (int64_t turn : {1, 5, 30, 100, 500, 1000, 5000, 30000}) {
    Settings s;
    s.timeout_turn = turn;
    int64_t b = movebudget(s);
    EXPECT_GE(b, 1);
    EXPECT_LE(b, std::max<int64_t>(1, turn * 9 / 10)) << turn;
    if (turn >= 100) {
      EXPECT_GE(b, turn * 3 / 4) << turn;
    }
    s.timeout_match = 100000;
    s.time_left = 3000;
    EXPECT_LE(movebudget(s), 3000 / 10) << turn;
    s.time_left = 0;
    EXPECT_EQ(movebudget(s), 1);
  }
}

TEST(Pbrain, MaxMemoryBoundsTheTables) {
  for (uint64_t mb : {8, 20, 70, 350}) {
    Settings s;
    s.max_memory = mb << 20;
    size_t m = enginememory(s);
    EXPECT_LE(m + (size_t{4} << 20), s.max_memory) << mb;
    Protocol p(2000);
    std::vector<std::string> reply;
    p.handle("INFO max_memory " + std::to_string(s.max_memory), reply);
    EXPECT_LE(p.tablebytes(), m);
    EXPECT_GE(p.tablebytes(), m / 4);
  }
}

}  // namespace
}  // namespace gomoku::pbrain
