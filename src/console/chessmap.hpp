// The board screen and the help screen.
#pragma once

namespace gomoku {

// Draws the labelled board, the frame under it and both scores, from the top-left
// of a cleared screen; output then continues at column 0 of line 27.
void printfchessmap();
// Draws the key legend: a 15 by 15 box of three-column fields.
void bangzhu();

// The screen column of the stone sign of board column c: each field is three
// columns wide with its sign on the right.
inline int signcolumn(int c) {
  return 3 * c + 2;
}
// Marks, on the board screen just drawn, every stone of the winning lines through (r, c).
void markwin(int r, int c);

}  // namespace gomoku
