#include "engine/movegen.hpp"

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

namespace gomoku::engine {
namespace {

// A 9x9 position and the moves one kind should yield for the side to move: 'x' black,
// 'o' white, '*' an empty point the kind yields, '.' one it does not.
struct GenCase {
  const char* name;
  Rule rule;
  MoveKind kind;
  Cell mover;
  const char* rows[9];
};

constexpr Rule kF = Rule::kFreestyle, kR = Rule::kRenju;

const GenCase kCases[] = {
    {"all: within two points of a stone along a line",
     kF,
     MoveKind::kAll,
     kWhite,
     {".........", ".........", "..*.*.*..", "...***...", "..**x**..", "...***...", "..*.*.*..",
      ".........", "........."}},
    {"fours: an open three's ends and gaps, a blocked three's two",
     kF,
     MoveKind::kFours,
     kBlack,
     {"oxxx**...", ".........", "o........", ".........", ".**xxx**.", ".........", "o........",
      ".........", "........."}},
    {"threes and fours: every open three, a double three included",
     kF,
     MoveKind::kThreesFours,
     kBlack,
     {".........", "....***..", "....x*...", "...*x....", ".*xx**...", ".**.*....", ".*.......",
      ".........", "o.o.o.o.."}},
    {"threes and fours: renju's black leaves out its forbidden double three",
     kR,
     MoveKind::kThreesFours,
     kBlack,
     {".........", "....***..", "....x*...", "...*x....", ".*xx.*...", ".**.*....", ".*.......",
      ".........", "o.o.o.o.."}},
    {"defend a four: the block",
     kF,
     MoveKind::kDefendFour,
     kBlack,
     {"o........", ".o.......", "..o.x....", "...ox....", "..xx*....", ".........", ".........",
      ".........", "........."}},
    {"defend a four: none when renju forbids black the block",
     kR,
     MoveKind::kDefendFour,
     kBlack,
     {"o........", ".o.......", "..o.x....", "...ox....", "..xx.....", ".........", ".........",
      ".........", "........."}},
    {"defend a four: none against two fives",
     kF,
     MoveKind::kDefendFour,
     kBlack,
     {".oooo....", ".........", ".........", ".........", ".........", ".........", ".........",
      ".........", "x.x.x.x.."}},
    {"defend a three: the opponent's four points and the mover's own fours",
     kF,
     MoveKind::kDefendThree,
     kBlack,
     {".........", ".........", ".........", ".........", "**ooo**..", ".........", ".........",
      "**xxx**..", "........."}},
};

void PrintTo(const GenCase& c, std::ostream* os) {
  *os << c.name;
}

class GenMoves : public testing::TestWithParam<GenCase> {};

TEST_P(GenMoves, YieldTheKindsPointsRowByRow) {
  const GenCase& c = GetParam();
  Board b;
  b.reset(9, c.rule);
  std::vector<Move> want;
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 9; ++x) {
      const char ch = c.rows[y][x];
      if (ch == 'x') b.setup(pointat(x, y), kBlack);
      if (ch == 'o') b.setup(pointat(x, y), kWhite);
      if (ch == '*') want.push_back(pointat(x, y));
    }
  b.settomove(c.mover);
  Move out[kMaxMoves];
  const int n = genmoves(b, c.kind, out);
  EXPECT_EQ(std::vector<Move>(out, out + n), want);
}

INSTANTIATE_TEST_SUITE_P(Kinds, GenMoves, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<GenCase>& i) {
                           std::string s;
                           for (const char* p = i.param.name; *p && *p != ':'; ++p)
                             s += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                           return s + "_" + std::to_string(i.index);
                         });

}  // namespace
}  // namespace gomoku::engine
