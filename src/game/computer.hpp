// The computer's turn: it thinks on a worker thread while the screen stays alive, then
// steers its stone to the point it chose, the way a person would.
#pragma once

#include "input/cursor.hpp"

namespace gomoku {

// How long each step of a stone that the game steers stays on the screen, in milliseconds.
inline constexpr int kStepMs = 150;

// Plays the computer's turn with player `s`'s stone: thinks, then steps the stone from
// the centre to the chosen point, one frame per step, and puts it down with Space;
// stores the point through `x` (row) and `y` (column).
void computermove(const Steering& s, int* x, int* y);
// The point the computer at its strongest would choose for `player`, whatever the level
// (thinking as on its own turn, the screen alive), among those that `w` has seen from a stone that
// has or has not `moved` and that the stone may be put down on, on the board as the turn began;
// false when there is none.
bool bestpoint(int player, const Reach& w, bool moved, int& r, int& c);

// Keeps the signals that the game handles away from the calling thread, and from the
// threads it starts (the search's helpers), so that they reach the main thread (the
// platform's part, in worker_posix.cpp).
void shieldthread();

}  // namespace gomoku
