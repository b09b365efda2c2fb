// Line patterns: what a stone put down on a point makes along one line through it,
// and what the four lines through the point make together. The tables are built once
// and never change, so any number of boards on any number of threads may share them.
#pragma once

#include <cstdint>

namespace gomoku::engine {

// Contents of a point: empty, a stone of either colour, or off the board.
enum Cell : uint8_t { kEmpty = 0, kBlack = 1, kWhite = 2, kWall = 3 };

// What a stone put down makes along one line, weakest first. A four has one point
// left that makes five, an open four two; a three can become a four with one more
// stone (an open three an open four), a two a three.
enum Pattern : uint8_t {
  kDead,   // five can never be made through the point on this line
  kAlive,  // five is still possible, nothing more
  kBlock2,
  kFlex2,
  kBlock3,
  kFlex3,
  kBlock4,
  kFlex4,
  kFive,
};

// What a stone put down makes on its four lines together, weakest first.
enum Threat : uint8_t {
  kQuiet,
  kTwo,         // a two or a closed three
  kTwoTwo,      // two of those
  kThree,       // an open three
  kThreeThree,  // two open threes
  kFour,        // a four
  kFourThree,   // a four and an open three
  kOpenFour,    // an open four, or two fours
  kWin,         // five or more
  kThreats,     // number of threat classes
};

// A line seen from one point: the four points on each side, two bits each (a Cell),
// the point at offset k (-4..-1, 1..4) in bits 2*slot(k).
using LineCode = uint16_t;

// Bit position of the point at offset k (k != 0, |k| <= 4) in a line code.
constexpr int slotshift(int k) {
  return 2 * (k < 0 ? k + 4 : k + 3);
}

// The pattern a stone of `colour` (kBlack or kWhite) put down at the centre of `code` makes.
Pattern linepattern(LineCode code, Cell colour);

// The threat class of a point from its four line patterns packed in 4-bit fields.
Threat combinedthreat(uint16_t packed);

// The evaluation weight of a point for one colour from its packed line patterns.
int pointvalue(uint16_t packed);

// Threat class and value of a point for one colour, from its packed line patterns.
struct PointInfo {
  int16_t value;
  uint8_t threat;
  uint8_t unused;
};

// Direct access to the tables behind the three functions above (hot paths).
struct PatternTables {
  uint8_t line[2][1 << 16];  // [colour - 1][code] -> Pattern
  uint8_t pair[1 << 16];     // [code] -> black's Pattern | white's Pattern << 4
  PointInfo point[1 << 16];  // [packed]
};
// The shared tables, built on first use.
const PatternTables& patterntables();

}  // namespace gomoku::engine
