#include "game/replay.hpp"

#include <gtest/gtest.h>

#include "board/state.hpp"
#include "console/chessmap.hpp"
#include "support/scripted.hpp"

namespace gomoku {
namespace {

using testing::Scripted;

// Player 1 wins along row 9 with the ninth move; player 2 stacks up column 9.
const char kRow9[] = "(;GM[4];B[ii];W[ih];B[ji];W[ig];B[ki];W[if];B[li];W[ie];B[mi])";

struct ReplayCase {
  const char* name;
  std::string sgf;
  std::string keys;  // typed before the key that leaves, which ends each script
  std::string moveline, resultline;
  int stones;  // on the board at the end
};

// The text of line y of the screen inside the frame: up to the frame's right edge.
std::string framed(const console::Screen& s, int y) {
  std::string line = s.line(y);
  std::size_t end = line.find_last_not_of(" +");
  return line.substr(0, end + 1);
}

class Replay : public ::testing::TestWithParam<ReplayCase> {};

// The keys step through the game; under the board, the move shown and the result; the
// last stone is marked, and the five once the last move is shown.
TEST_P(Replay, KeysStepThroughTheGame) {
  const ReplayCase& k = GetParam();
  for (const char* leave : {"q", "\x1b", ""}) {
    Scripted t(k.keys + (*leave ? leave + std::string("d") : ""));
    record::Game g;
    std::string why;
    ASSERT_TRUE(record::readgame(k.sgf, record::Format::kSgf, 0, g, why) && setreplay(g, why));
    EXPECT_EQ(replay(), 0);
    EXPECT_EQ(t.con.left(), *leave ? 1u : 0u);  // nothing is read after the key that leaves
    const console::Screen& s = t.con.screen();
    EXPECT_EQ(framed(s, 27), k.moveline);
    EXPECT_EQ(framed(s, 28), k.resultline);
    EXPECT_EQ(framed(s, 21), " + d →  下一手");
    int stones = 0, winning = 0;
    for (int r = 1; r < kSize; ++r)
      for (int c = 1; c < kSize; ++c) {
        const console::Cell& cell = s.at(signcolumn(c), r);
        stones += cell.ch != U'*';
        winning += (cell.attr & console::kWinning) != 0;
        EXPECT_EQ((cell.attr & console::kLast) != 0, r == lastr && c == lastc);
      }
    EXPECT_EQ(stones, k.stones);
    EXPECT_EQ(winning, k.stones == 9 && k.resultline == "结果:玩家1获胜" ? 5 : 0);
    resetreplay();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Records, Replay,
    ::testing::Values(
        ReplayCase{"start", kRow9, "", "第0/9手", "结果:玩家1获胜", 0},
        ReplayCase{"next", kRow9, "d", "第1/9手 玩家1 O 9行9列", "结果:玩家1获胜", 1},
        ReplayCase{"arrows_next", kRow9, "\xe0M\xe0M", "第2/9手 玩家2 X 8行9列", "结果:玩家1获胜",
                   2},
        ReplayCase{"last", kRow9, "s", "第9/9手 玩家1 O 9行13列", "结果:玩家1获胜", 9},
        ReplayCase{"last_then_previous", kRow9, "\xe0P\xe0K", "第8/9手 玩家2 X 5行9列",
                   "结果:玩家1获胜", 8},
        ReplayCase{"back_to_the_start", kRow9, "ddd\xe0H", "第0/9手", "结果:玩家1获胜", 0},
        ReplayCase{"never_past_the_ends", kRow9, "aaw" + std::string(12, 'd'),
                   "第9/9手 玩家1 O 9行13列", "结果:玩家1获胜", 9},
        ReplayCase{"other_keys_do_nothing", kRow9, "dxz \r\n", "第1/9手 玩家1 O 9行9列",
                   "结果:玩家1获胜", 1},
        ReplayCase{"white_resigned_no_five", "(;PB[player 2]RE[W+R];B[aa];W[bb])", "s",
                   "第2/2手 玩家1 O 2行2列", "结果:玩家1获胜", 2},
        ReplayCase{"draw", "(;RE[0];B[aa])", "s", "第1/1手 玩家1 O 1行1列", "结果:平局", 1},
        ReplayCase{"unfinished", "(;PW[player 1];B[sa])", "d", "第1/1手 玩家2 X 1行19列",
                   "结果:未完", 1}),
    [](const auto& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace gomoku
