// The computer's turn: it thinks on a worker thread while the screen stays alive, then
// steers its stone to the point it chose, the way a person would.
#pragma once

#include "input/cursor.hpp"

namespace gomoku {

// Plays the computer's turn with player `s`'s stone: thinks, then steps the stone from
// the centre to the chosen point, one frame per step, and puts it down with Space;
// stores the point through `x` (row) and `y` (column).
void computermove(const Steering& s, int* x, int* y);

// Keeps the signals that the game handles away from the calling thread, so that they
// reach the main thread (the platform's part, in worker_posix.cpp).
void shieldthread();

}  // namespace gomoku
