#include "engine/board.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace gomoku::engine {
namespace {

struct LineCase {
  Rule rule;
  const char* line;  // eleven points, the centre ('*') is where the stone goes
  Pattern black;     // for 'x'; 'o' is white, '#' off the board
  Pattern white;     // for 'o' in the picture with the colours swapped
};

constexpr Rule kF = Rule::kFreestyle, kS = Rule::kStandard, kR = Rule::kRenju, kC = Rule::kCaro;

const LineCase kLines[] = {
    {kF, ".xxxx*.....", kFive, kFive},
    {kF, ".xxxx*x....", kFive, kFive},
    {kF, ".xxx.*x....", kBlock4, kBlock4},
    {kF, "...xx*x....", kFlex4, kFlex4},
    {kF, ".o.xx*x.o..", kFlex4, kFlex4},
    {kF, "...ox*xx...", kBlock4, kBlock4},
    {kF, "....x*x....", kFlex3, kFlex3},
    {kF, "...x.*x....", kFlex3, kFlex3},
    {kF, "...ox*x....", kBlock3, kBlock3},
    {kF, "###xx*.....", kBlock3, kBlock3},
    {kF, ".oxxx*o....", kDead, kDead},
    {kF, "....x*.....", kFlex2, kFlex2},
    {kF, "...ox*.....", kBlock2, kBlock2},
    {kF, ".....*.....", kAlive, kAlive},
    {kF, ".o...*o....", kDead, kDead},
    {kF, ".x.x.*.x.x.", kFlex3, kFlex3},
    {kF, ".xo..*..ox.", kAlive, kAlive},
    {kF, "...x.*.x...", kBlock3, kBlock3},
    // Six or more: a win in freestyle and caro, none under standard, and renju's black
    // only (an overline); a four whose other five point would be six.
    {kS, ".xxxx*x....", kOverline, kOverline},
    {kR, ".xxxx*x....", kOverline, kFive},
    {kC, ".xxxx*x....", kFive, kFive},
    {kS, "x.xxx*.....", kBlock4, kBlock4},
    {kR, "x.xxx*.....", kBlock4, kFlex4},
    {kF, "x.xxx*.....", kFlex4, kFlex4},
    // Renju's black: two fours on one line; a straight four; a three whose fours all end
    // in an overline is no three.
    {kR, ".xxx.*.xxx.", kFourFour, kFlex4},
    {kR, "..xxx*.....", kFlex4, kFlex4},
    {kR, ".o.xx*..x..", kBlock3, kFlex3},
    {kS, ".o.xx*..x..", kBlock3, kBlock3},
    // Caro: exactly five with the opponent beyond both ends does not win; the edge is no
    // block; a six wins whatever lies beyond it.
    {kC, "oxxxx*o....", kDead, kDead},
    {kC, "oxxxx*.....", kFive, kFive},
    {kC, "#xxxx*o....", kFive, kFive},
    {kC, "oxxxx*xo...", kFive, kFive},
    {kC, "o.xxx*o....", kDead, kDead},
    {kF, "o.xxx*o....", kBlock4, kBlock4},
};

// The line code of an eleven-point picture, seen from its centre.
LineCode encode(const std::string& s) {
  LineCode code = 0;
  for (int k = -kReach; k <= kReach; ++k) {
    if (k == 0) continue;
    char c = s[k + kReach];
    LineCode v = c == 'x' ? kBlack : c == 'o' ? kWhite : c == '#' ? kWall : kEmpty;
    code |= v << slotshift(k);
  }
  return code;
}

// The same picture with the colours swapped.
std::string swapped(std::string s) {
  for (char& c : s) c = c == 'x' ? 'o' : c == 'o' ? 'x' : c;
  return s;
}

TEST(LinePatterns, ClassifyWhatAStoneMakesForEitherColourUnderEachRule) {
  for (const LineCase& c : kLines) {
    EXPECT_EQ(int(linepattern(encode(c.line), kBlack, c.rule)), int(c.black)) << c.line;
    EXPECT_EQ(int(linepattern(encode(swapped(c.line)), kWhite, c.rule)), int(c.white)) << c.line;
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
        if (!a.empty(p)) {
          ASSERT_EQ(a.threat(c, p), kQuiet) << "taken " << x << "," << y;
        }
        ASSERT_EQ(a.threat(c, p), b.threat(c, p)) << x << "," << y;
        ASSERT_EQ(a.value(c, p), b.value(c, p)) << x << "," << y;
        for (int d = 0; d < 4; ++d) ASSERT_EQ(a.pattern(c, p, d), b.pattern(c, p, d));
      }
    }
}

TEST(Board, IncrementalStateMatchesAFreshBoardThroughPlayAndUndo) {
  std::mt19937 rng(12345);
  for (int size : {5, 15, 19, 20, 32}) {
    const Rule rule = static_cast<Rule>(size % kRules);
    Board live;
    live.reset(size, rule);
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
      fresh.reset(size, rule);
      for (size_t i = 0; i < played.size(); ++i) fresh.setup(played[i], i % 2 ? kWhite : kBlack);
      fresh.settomove(played.size() % 2 ? kWhite : kBlack);
      expectsame(live, fresh);
    }
  }
}

}  // namespace
}  // namespace gomoku::engine
