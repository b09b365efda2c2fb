#include "pbrain/protocol.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <ostream>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "pbrain/session.hpp"
#include "support/pipe.hpp"
#include "support/watchdog.hpp"

#if !defined(_WIN32)
#include <sys/resource.h>
#include <unistd.h>
#endif
#if defined(__SANITIZE_ADDRESS__)
#define GOMOKU_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define GOMOKU_ASAN 1
#endif
#endif

namespace gomoku::pbrain {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using Clock = std::chrono::steady_clock;

const std::string kAbout =
    "name=\"gomoku\", version=\"1.0\", author=\"gomoku developers\", country=\"China\"";

struct Exchange {
  const char* name;
  std::string in;  // the bytes the manager sends, then the end of input
  // The replies: "MOVE" is any "x,y", "~" starts a regular expression; the MESSAGE line
  // before each move is left out.
  std::vector<std::string> out;
  std::optional<Settings> settings = {};  // the settings afterwards, when it matters
  int room = 0;  // when not 0: megabytes of address space the row may take (Linux only)
};

const std::string kCombination =
    "no such combination (0 freestyle, 1 exactly five, 4 renju, 8 caro, 2 may be added)";

void PrintTo(const Exchange& x, std::ostream* os) {
  *os << x.name;
}

Settings timesat(int64_t turn, int64_t match, int64_t left) {
  Settings s;
  s.timeout_turn = turn, s.timeout_match = match, s.time_left = left;
  return s;
}

Settings memoryat(uint64_t bytes) {
  Settings s;
  s.max_memory = bytes;
  return s;
}

const Exchange kExchanges[] = {
    {"begin_takes_the_centre", "START 19\nBEGIN\n", {"OK", "9,9"}},
    {"sizes",
     "START 4\nSTART 33\nSTART\nSTART x\nSTART 5\nSTART 32\n",
     {"ERROR board size 4 not supported (5 to 32)", "ERROR board size 33 not supported (5 to 32)",
      "ERROR START needs the board size", "ERROR START needs the board size", "OK", "OK"}},
    {"nothing_before_start", "BEGIN\nTURN 1,1\nBOARD\nTAKEBACK 1,1\nRESTART\n",
     std::vector<std::string>(5, "ERROR no game started: START first")},
    {"turn_checks_the_point",
     "START 15\nTURN 15,0\nTURN -1,3\nTURN 3\nTURN a,b\nTURN 7,7\nTURN 7,7\n",
     {"OK", "ERROR 15,0 is off the board (0 to 14)", "ERROR -1,3 is off the board (0 to 14)",
      "ERROR TURN needs x,y", "ERROR TURN needs x,y", "MOVE", "ERROR 7,7 is not an empty point"}},
    {"board_completes_own_five_before_blocking",
     "START "
     "15\nBOARD\n2,3,2\n3,3,1\n4,3,1\n5,3,1\n6,3,1\n2,4,1\n3,4,2\n4,4,2\n5,4,2\n6,4,2\nDONE\n",
     {"OK", "7,3"}},
    {"board_blocks_a_four",
     "START 15\nBOARD\n7,7,1\n3,10,2\n4,10,2\n5,10,2\n6,10,2\n2,10,1\n8,8,1\nDONE\n",
     {"OK", "7,10"}},
    {"board_lines_are_checked",
     "START 15\nBOARD\n1,1\n1,1,4\nx\n1,1,1\n1,1,2\n20,1,1\nDONE\n",
     {"OK", "ERROR expected x,y,1|2|3 or DONE", "ERROR expected x,y,1|2|3 or DONE",
      "ERROR expected x,y,1|2|3 or DONE", "ERROR 1,1 is not an empty point",
      "ERROR 20,1 is off the board (0 to 14)", "MOVE"}},
    {"info",
     "INFO timeout_turn 500\nINFO foo bar\nINFO folder /tmp/x y\nINFO timeout_turn abc\nINFO\n"
     "INFO max_memory -5\nINFO rule 1\nINFO thread_num 4\n",
     {"ERROR bad INFO timeout_turn abc", "ERROR INFO needs a key and a value",
      "ERROR bad INFO max_memory -5"},
     [] {
       Settings s = timesat(500, 0, -1);
       s.rule = 1, s.thread_num = 4;
       return s;
     }()},
    {"rule_values",
     "INFO rule 0\nINFO rule 1\nINFO rule 2\nINFO rule 3\nINFO rule 4\nINFO rule 6\nINFO rule 8\n"
     "INFO rule 10\nINFO rule 5\nINFO rule 9\nINFO rule 12\nINFO rule 16\nINFO rule -1\n"
     "INFO rule x\n",
     {"ERROR rule 5 not supported: " + kCombination, "ERROR rule 9 not supported: " + kCombination,
      "ERROR rule 12 not supported: " + kCombination,
      "ERROR rule 16 not supported: unknown rule bits",
      "ERROR rule -1 not supported: unknown rule bits", "ERROR bad INFO rule x"}},
    // BOARD's first stone is black's (here the opponent's); black's four is blocked, its
    // double three at 4,3 is forbidden. A refused rule leaves renju in force.
    {"renju_board_order_and_forbidden_points",
     "INFO rule 4\nINFO rule 5\nSTART 15\nBOARD\n4,1,2\n9,1,1\n4,2,2\n9,9,1\n2,3,2\n10,10,1\n"
     "3,3,2\n11,11,1\n10,1,2\n5,9,1\n11,1,2\n5,10,1\n12,1,2\n1,13,1\n13,1,2\nDONE\n"
     "YXSHOWFORBID\nINFO rule 0\nYXSHOWFORBID\n",
     {"ERROR rule 5 not supported: " + kCombination, "OK", "14,1", "FORBID 0403", "FORBID "}},
    {"refused_info_lines_change_nothing",
     "INFO timeout_turn 300\nINFO timeout_turn -5\nINFO max_memory 8388608x\nINFO rule x\n"
     "INFO thread_num 0\nINFO time_left 1e3\nINFO timeout_match 1000\n",
     {"ERROR bad INFO timeout_turn -5", "ERROR bad INFO max_memory 8388608x",
      "ERROR bad INFO rule x", "ERROR bad INFO thread_num 0", "ERROR bad INFO time_left 1e3"},
     timesat(300, 1000, -1)},
    {"times_are_clamped",
     "START 15\nINFO timeout_turn 9223372036854775807\nINFO timeout_match 99999999999999999999999\n"
     "INFO time_left 9223372036854775807\nTURN 7,7\nINFO time_left -20\n",
     {"OK", "MOVE"},
     timesat(kMaxTime, kMaxTime, 0)},
    {"memory_beyond_every_count",
     "INFO max_memory 18446744073709551615\nSTART 15\nTURN 7,7\n",
     {"OK", "MOVE"},
     memoryat(UINT64_MAX)},
    {"memory_beyond_the_machine",
     "START 15\nINFO max_memory 100000000000\nTURN 7,7\n",
     {"OK", "~MESSAGE tables of [0-9]+ MB: the system would give no more", "MOVE"},
     {},
     96},
    {"long_lines_are_refused_and_quoted_in_part",
     "START 15\nTURN 7," + std::string(20 << 20, '7') + "\nTURN 7,7\n" +
         std::string(kMaxLine, '#') + "\n\x01" + std::string(kMaxLine, '#') + "\n",
     {"OK", "ERROR line longer than 8192 bytes: TURN 7," + std::string(33, '7') + "...", "MOVE",
      "UNKNOWN command " + std::string(40, '#') + "...",
      "ERROR line longer than 8192 bytes: \\x01" + std::string(39, '#') + "..."}},
    {"replies_quote_control_bytes_as_text",
     "START 15\nFOO\x1b[2J\0\x7f bar\nINFO timeout_turn \x1b\x9b\n"s,
     {"OK", "UNKNOWN command FOO\\x1B[2J\\x00\\x7F", "ERROR bad INFO timeout_turn \\x1B\\x9B"}},
    {"byte_1a_is_no_end_of_input",
     "START 15\n\x1a\nABOUT\n",
     {"OK", "UNKNOWN command \\x1A", kAbout}},
    {"cr_lf_and_crlf_each_end_a_line",
     "start 15\rABOUT\r\n\r  turn  7 , 7 \n\nABOUT",
     {"OK", kAbout, "MOVE", kAbout}},
    {"takeback",
     "START 15\nTURN 7,7\nTAKEBACK 7,7\nTAKEBACK 7,7\nTAKEBACK 7\nTURN 7,7\n",
     {"OK", "MOVE", "OK", "ERROR no stone on 7,7", "ERROR TAKEBACK needs x,y", "MOVE"}},
    {"restart", "START 15\nBEGIN\nRESTART\nBEGIN\n", {"OK", "7,7", "OK", "7,7"}},
    {"about", "ABOUT\n", {kAbout}},
    {"unknown_commands_and_the_data_lines_after_them",
     "START 15\nRECTSTART 20,15\nSWAP2BOARD\n7,7\n8,8\nDONE\nPLAY 7,7\nFOO\n1,2\nABOUT\n3,3\n",
     {"OK", "UNKNOWN command RECTSTART", "UNKNOWN command SWAP2BOARD", "UNKNOWN command PLAY",
      "UNKNOWN command FOO", kAbout, "UNKNOWN command 3,3"}},
};

#if !defined(_WIN32)
// Keeps the process's address space within `mb` megabytes more than it takes now, for
// as long as it lives.
class AddressRoom {
 public:
  explicit AddressRoom(int mb) {
    std::ifstream statm("/proc/self/statm");
    unsigned long pages = 0;
    statm >> pages;
    getrlimit(RLIMIT_AS, &old_);
    rlimit now = old_;
    now.rlim_cur = pages * sysconf(_SC_PAGESIZE) + (static_cast<rlim_t>(mb) << 20);
    setrlimit(RLIMIT_AS, &now);
  }
  ~AddressRoom() { setrlimit(RLIMIT_AS, &old_); }

 private:
  rlimit old_{};
};
#endif

// Sends `in` through a pipe to a session of `p`, as the program's standard input would,
// and gathers the replies but the MESSAGE lines before moves.
std::vector<std::string> exchange(Protocol& p, const std::string& in) {
  testing::Pipe pipe;
  std::thread writer([&] {
    pipe.write(in);
    pipe.closewrite();
  });
  std::vector<std::string> got;
  serve(pipe.readend(), p, [&](const std::vector<std::string>& lines) {
    for (const std::string& r : lines)
      if (r.rfind("MESSAGE depth ", 0) != 0) got.push_back(r);
  });
  writer.join();
  return got;
}

class Protocols : public ::testing::TestWithParam<Exchange> {};

TEST_P(Protocols, RepliesLineByLine) {
  const Exchange& x = GetParam();
#if defined(_WIN32) || defined(GOMOKU_ASAN)
  if (x.room) GTEST_SKIP() << "no address-space limit here";
#endif
  testing::Watchdog watchdog(x.name);
  Protocol p(2000, true);
  std::vector<std::string> got;
  {
#if !defined(_WIN32)
    std::optional<AddressRoom> room;
    if (x.room) room.emplace(x.room);
#endif
    got = exchange(p, x.in);
  }
  ASSERT_EQ(got.size(), x.out.size()) << ::testing::PrintToString(got);
  for (size_t i = 0; i < got.size(); ++i) {
    if (x.out[i] == "MOVE")
      EXPECT_TRUE(std::regex_match(got[i], std::regex("[0-9]+,[0-9]+"))) << got[i];
    else if (x.out[i][0] == '~')
      EXPECT_TRUE(std::regex_match(got[i], std::regex(x.out[i].substr(1)))) << got[i];
    else
      EXPECT_EQ(got[i], x.out[i]);
  }
  if (x.settings) {
    const Settings& s = p.settings();
    EXPECT_TRUE(s == *x.settings) << "timeout_turn " << s.timeout_turn << ", timeout_match "
                                  << s.timeout_match << ", time_left " << s.time_left
                                  << ", max_memory " << s.max_memory << ", rule " << s.rule
                                  << ", thread_num " << s.thread_num;
    EXPECT_LE(p.tablebytes(), enginememory(p.settings()));
    EXPECT_GE(p.tablebytes(), enginememory(p.settings()) / 4);
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

// END, or the end of input, while the engine thinks about a minute-long move: the move
// comes at once and the session ends.
TEST(Pbrain, EndOrTheEndOfInputStopsAThinkingEngineAtOnce) {
  for (bool end : {true, false}) {
    testing::Watchdog watchdog(end ? "END" : "end of input");
    Protocol p;
    testing::Pipe pipe;
    std::vector<std::string> got;
    std::thread session([&] {
      serve(pipe.readend(), p, [&](const std::vector<std::string>& lines) {
        got.insert(got.end(), lines.begin(), lines.end());
      });
    });
    pipe.write("START 15\nINFO timeout_turn 60000\nTURN 7,7\n");
    std::this_thread::sleep_for(200ms);
    const auto t0 = Clock::now();
    if (end)
      pipe.write("END\n");
    else
      pipe.closewrite();
    session.join();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0);
    EXPECT_LT(ms.count(), 250) << (end ? "END" : "end of input");  // 100 and a busy machine
    ASSERT_EQ(got.size(), 3u);
    EXPECT_TRUE(std::regex_match(got[2], std::regex("[0-9]+,[0-9]+"))) << got[2];
  }
}

TEST(Pbrain, TheMoveBudgetKeepsAMarginAndSharesTheMatchTime) {
  for (int64_t turn :
       std::initializer_list<int64_t>{1, 5, 30, 100, 500, 1000, 5000, 30000, kMaxTime}) {
    Settings s;
    s.timeout_turn = turn;
    int64_t b = movebudget(s);
    EXPECT_GE(b, 1);
    EXPECT_LE(b, std::max<int64_t>(1, turn * 9 / 10)) << turn;
    if (turn >= 100) {
      EXPECT_GE(b, turn * 3 / 4) << turn;
      EXPECT_LT(movebudget(s, 40), b) << turn;
      EXPECT_GE(movebudget(s, kMaxTime), turn / 4) << turn;  // a busy machine: still a quarter
    }
    EXPECT_EQ(movetarget(s), 0) << turn;  // the turn's limit: all of it may be used
    s.timeout_match = 100000;
    s.time_left = 3000;
    EXPECT_LE(movebudget(s), 3000 / 10) << turn;
    if (turn >= 1000) {  // the match time limits the move: aim at half of it
      EXPECT_EQ(movetarget(s), movebudget(s) / 2) << turn;
    }
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

// At each level the engine plays that level's move, from the seed it was given, with
// tables no larger than the level needs.
TEST(Pbrain, PlaysAtTheLevelAsked) {
  const int stones[][3] = {{7, 7, 1}, {8, 8, 2}, {8, 7, 1}, {6, 6, 2}, {9, 6, 1}, {6, 9, 2}};
  for (int n = engine::kMinLevel; n <= engine::kMaxLevel; ++n) {
    const engine::Level level = engine::levelsettings(n, 5);
    Protocol p(3000, false, n, 5);
    std::vector<std::string> reply;
    for (const std::string line : {"START 15", "BOARD"}) p.handle(line, reply);
    engine::Engine e(level.memory ? level.memory : enginememory(Settings{}));
    e.newgame(15);
    for (const auto& s : stones) {
      p.handle(std::to_string(s[0]) + "," + std::to_string(s[1]) + "," + std::to_string(s[2]),
               reply);
      e.put(s[0], s[1], s[2]);
    }
    p.handle("DONE", reply);
    e.settomove(1);
    const engine::Result r = engine::LevelPlayer(level).choose(e, {.nodes = 3000});
    EXPECT_EQ(reply.back(), std::to_string(r.x) + "," + std::to_string(r.y)) << n;
    EXPECT_LE(p.tablebytes(), e.memory()) << n;
  }
}

// A machine that makes replies late raises the margin at once; replies in time let it
// fall back to nothing.
TEST(Pbrain, TheLoadMarginFollowsLateReplies) {
  struct Step {
    int64_t planned, took, held;
  };
  const Step steps[] = {{175, 176, 1},  {175, 215, 60}, {175, 180, 45},
                        {175, 170, 33}, {175, 240, 97}, {175, 175, 72}};
  LoadMargin m;
  for (const Step& s : steps) {
    m.record(s.planned, s.took);
    EXPECT_EQ(m.held(), s.held) << s.took;
  }
  for (int i = 0; i < 30; ++i) m.record(175, 175);
  EXPECT_EQ(m.held(), 0);
}

}  // namespace
}  // namespace gomoku::pbrain
