// Line patterns under each rule: what a stone put down on a point makes along one line
// through it, and what the four lines through the point make together. The tables are
// built once per rule, on first use, and never change, so any number of boards on any
// number of threads may share them.
#pragma once

#include <cstdint>

namespace gomoku::engine {

// Contents of a point: empty, a stone of either colour, or off the board.
enum Cell : uint8_t { kEmpty = 0, kBlack = 1, kWhite = 2, kWall = 3 };

// The rules the engine plays. Black moves first under all of them.
enum class Rule : uint8_t {
  kFreestyle,  // five or more in a row wins, for both colours
  kStandard,   // exactly five wins, for both colours; six or more is no win
  kRenju,      // black: exactly five, and no overline, double four or double three;
               // white: five or more
  kCaro,       // five or more, but not exactly five with both ends held by the opponent
};
inline constexpr int kRules = 4;

// What a stone put down makes along one line, weakest first up to kFive. A four has one
// point left that makes five, a straight four two (at its two ends); a three can become
// a four with one more stone (an open three a straight four), a two a three.
enum Pattern : uint8_t {
  kDead,   // five can never be made through the point on this line
  kAlive,  // five is still possible, nothing more
  kBlock2,
  kFlex2,
  kBlock3,
  kFlex3,
  kBlock4,
  kFlex4,
  kFive,      // a winning line under the rule
  kFourFour,  // renju, black: two fours on this one line (a forbidden double four)
  kOverline,  // standard and renju: six or more, which does not win
};

// What a stone put down makes on its four lines together. kForbidden (renju, black
// only: an overline or a double four with no five) is below everything else; the rest
// is weakest first.
enum Threat : uint8_t {
  kForbidden,
  kQuiet,
  kTwo,         // a two or a closed three
  kTwoTwo,      // two of those
  kThree,       // an open three
  kThreeThree,  // two open threes (renju, black: forbidden unless a three is not real)
  kFour,        // a four
  kFourThree,   // a four and an open three
  kOpenFour,    // a straight four, or (not renju black) two fours
  kWin,         // a five that wins under the rule
  kThreats,     // number of threat classes
};

// A line seen from one point: the five points on each side, two bits each (a Cell),
// the point at offset k (-5..-1, 1..5) in bits slotshift(k). Five points on a side are
// enough to tell five from six and to see the points just beyond a five's ends.
using LineCode = uint32_t;
inline constexpr int kReach = 5;  // points seen on each side
inline constexpr int kLineCodes = 1 << (4 * kReach);

// Bit position of the point at offset k (k != 0, |k| <= kReach) in a line code.
constexpr int slotshift(int k) {
  return 2 * (k < 0 ? k + kReach : k + kReach - 1);
}

// Threat class, value (the move ordering's weight) and worth (the evaluation's weight)
// of a point for one colour, from its packed line patterns.
struct PointInfo {
  int16_t value;
  int16_t worth;
  uint8_t threat;
  uint8_t unused;
};

// The tables of one rule, read on the board's hot paths.
struct RuleTables {
  uint8_t pair[kLineCodes];     // [code] -> black's Pattern | white's Pattern << 4
  PointInfo point[2][1 << 16];  // [colour - 1][four patterns packed 4 bits each]
};
// The shared tables of `rule`, built on first use (thread-safe).
const RuleTables& ruletables(Rule rule);

// The pattern a stone of `colour` (kBlack or kWhite) put down at the centre of `code`
// makes under `rule`.
Pattern linepattern(LineCode code, Cell colour, Rule rule);

}  // namespace gomoku::engine
