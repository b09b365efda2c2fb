// The platform's part of the computer's worker thread, on Windows.
#include "game/computer.hpp"

namespace gomoku {

// Nothing to do: Ctrl-C and console close arrive on a thread of their own, not as
// signals that could interrupt the worker.
void shieldthread() {}

}  // namespace gomoku
