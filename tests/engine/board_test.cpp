#include "engine/board.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace gomoku::engine {
namespace {

struct LineCase {
  const char* line;  // nine points, the centre ('*') is where the stone goes
  Pattern expect;    // for 'x'; 'o' is the other colour, '#' off the board
};

const LineCase kLines[] = {
    {"xxxx*....", kFive},   {"xxxx*x...", kFive},   {"xxx.*x...", kBlock4}, {"..xx*x...", kFlex4},
    {"o.xx*x.o.", kFlex4},  {"..ox*xx..", kBlock4}, {"...x*x...", kFlex3},  {"..x.*x...", kFlex3},
    {"..ox*x...", kBlock3}, {"##xx*....", kBlock3}, {"oxxx*o...", kDead},   {"...x*....", kFlex2},
    {"..ox*....", kBlock2}, {"....*....", kAlive},  {"o...*o...", kDead},   {"x.x.*.x.x", kFlex3},
    {"xo..*..ox", kAlive},  {"..x.*.x..", kBlock3},
};

// The line code of a nine-point picture, seen from its centre.
LineCode encode(const std::string& s) {
  LineCode code = 0;
  for (int k = -4; k <= 4; ++k) {
    if (k == 0) continue;
    char c = s[k + 4];
    int v = c == 'x' ? kBlack : c == 'o' ? kWhite : c == '#' ? kWall : kEmpty;
    code |= static_cast<LineCode>(v << slotshift(k));
  }
  return code;
}

// The same picture with the colours swapped.
std::string swapped(std::string s) {
  for (char& c : s) c = c == 'x' ? 'o' : c == 'o' ? 'x' : c;
  return s;
}

TEST(LinePatterns, ClassifyWhatAStoneMakesForEitherColour) {
  for (const LineCase& c : kLines) {
    EXPECT_EQ(linepattern(encode(c.line), kBlack), c.expect) << c.line;
    EXPECT_EQ(linepattern(encode(swapped(c.line)), kWhite), c.expect) << c.line;
  }
}

// Every number the board keeps up to date, compared with a board set up afresh.
void expectsame(const Board& a, const Board& b) {
  ASSERT_EQ(a.hash(), b.hash());
  for (Cell c : {kBlack, kWhite}) {
    EXPECT_EQ(a.total(c), b.total(c));
    for (int t = 0; t < kThreats; ++t) EXPECT_EQ(a.count(c, Threat(t)), b.count(c, Threat(t)));
  }
  for (int y = 0; y < a.size(); ++y)
    for (int x = 0; x < a.size(); ++x) {
      Move p = pointat(x, y);
      ASSERT_EQ(a.at(p), b.at(p));
      for (Cell c : {kBlack, kWhite}) {
        ASSERT_EQ(a.threat(c, p), b.threat(c, p)) << x << "," << y;
        ASSERT_EQ(a.value(c, p), b.value(c, p)) << x << "," << y;
        for (int d = 0; d < 4; ++d) ASSERT_EQ(a.pattern(c, p, d), b.pattern(c, p, d));
      }
    }
}

TEST(Board, IncrementalStateMatchesAFreshBoardThroughPlayAndUndo) {
  std::mt19937 rng(12345);
  for (int size : {5, 9, 19, 32}) {
    Board live;
    live.reset(size);
    std::vector<Move> played;
    for (int step = 0; step < 400; ++step) {
      bool back = !played.empty() && (rng() % 3 == 0 || played.size() > 60);
      if (back) {
        live.undo();
        played.pop_back();
      } else {
        Move p = pointat(rng() % size, rng() % size);
        if (!live.empty(p)) continue;
        live.play(p);
        played.push_back(p);
      }
      if (step % 40 != 39) continue;
      Board fresh;
      fresh.reset(size);
      for (size_t i = 0; i < played.size(); ++i) fresh.setup(played[i], i % 2 ? kWhite : kBlack);
      fresh.settomove(played.size() % 2 ? kWhite : kBlack);
      expectsame(live, fresh);
    }
  }
}

}  // namespace
}  // namespace gomoku::engine
