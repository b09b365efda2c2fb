// The move generator: which empty points are worth a look, by kind, for the side to move.
// What counts as a four, a three or a defence lives here and nowhere else.
#pragma once

#include "engine/board.hpp"

namespace gomoku::engine {

// The kinds of moves the searches ask for.
enum class MoveKind : uint8_t {
  kAll,          // every point within two points of a stone along a line
  kFours,        // the points where the mover makes a four or more
  kThreesFours,  // the points where the mover makes an open three or more
  kDefendFour,   // the one point that stops the opponent's single five; none when it has
                 // two fives or the block is forbidden to the mover (the game is lost)
  kDefendThree,  // against an open three: the mover's fours and every point where the
                 // opponent would make a four or more
};

// The largest number of moves any kind yields.
inline constexpr int kMaxMoves = kMaxSize * kMaxSize;

// Writes the empty points of `kind` that the side to move may play under the rule to
// `out`, row by row (kDefendFour: the block only), and returns their number.
int genmoves(Board& b, MoveKind kind, Move* out);

}  // namespace gomoku::engine
