// A recorded game shown on the board screen, move by move.
#pragma once

#include <string>

#include "record/record.hpp"

namespace gomoku {

// Takes game `g` to be shown by replay(). False with the reason, saying where, when its
// moves cannot be put on a board: a move on a stone or after a five.
bool setreplay(const record::Game& g, std::string& why);
// True when a game has been taken to be shown rather than a game played.
bool replaying();
// Shows the game taken, from before its first move: d or → the next move, a or ← the
// previous one, w or ↑ back to the start, s or ↓ the last move; q, Esc or the end of
// input leave. Under the board: the keys, the move shown and the game's result. Returns
// the exit status, 0.
int replay();
// Forgets the game taken (tests).
void resetreplay();

}  // namespace gomoku
