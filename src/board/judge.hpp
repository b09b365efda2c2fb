// Win detection: does the stone just put down complete five or more in a row?
#pragma once

namespace gomoku {

// Stones of colour `cur` in an unbroken run from (r, c) in direction (dr, dc),
// not counting (r, c) itself, looking at most `limit` points ahead (five, as win
// detection does) and never past the playing area.
int runlength(int r, int c, int dr, int dc, int cur, int limit = 5);

// True when the stone at (r, c) has five or more of its colour in a row on one of its
// four lines (an empty point is looked at as player 2's). Writes nothing.
bool fives(int r, int c);

// 1 when the stone at (r, c) has five or more of its colour in a row on one of its
// four lines, else 0. Writes "cur = N" with the colour examined, every time.
int judge(int r, int c);

}  // namespace gomoku
