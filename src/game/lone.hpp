// The person who plays the computer: their turn, with either key set, take-back and hint,
// the lines under the board that tell them where they stand, and the key between games.
#pragma once

#include "input/cursor.hpp"

namespace gomoku {

// Plays the turn of the person who plays the computer with `s`'s stone: both key sets
// steer, 'u' takes back their last stone and the computer's reply, 'h' steers the stone
// to the point the computer would choose for them. Stores the point put down through `x`
// (row) and `y` (column) and returns true; false after a take-back, when the turn
// starts again on the board as it was two stones before.
bool personmove(const Steering& s, int* x, int* y);

// Reads the key after score entry: 's' starts the next game, any other key ends the
// program. Against the computer the screen says so first, and 's' draws the new board.
int againkey();

}  // namespace gomoku
