// Win detection under the game's rule, and the points renju forbids black.
#pragma once

namespace gomoku {

// Stones of colour `cur` in an unbroken run from (r, c) in direction (dr, dc),
// not counting (r, c) itself, looking at most `limit` points ahead (five, as win
// detection does) and never past the playing area.
int runlength(int r, int c, int dr, int dc, int cur, int limit = 5);

// True when the stones of (r, c)'s colour in an unbroken run through it along direction
// d make a line that wins under the rule: five or more (freestyle); exactly five
// (standard, and black under renju); five or more but not exactly five with the
// opponent's stones just beyond both ends (caro). An empty point is looked at as
// player 2's.
bool winningline(int r, int c, const int d[2]);

// True when the stone at (r, c) makes a winning line on one of its four lines. Writes
// nothing.
bool fives(int r, int c);

// 1 when the stone at (r, c) makes a winning line on one of its four lines, else 0.
// Writes "cur = N" with the colour examined, every time.
int judge(int r, int c);

// Fills `forbid` for `player`'s turn: black's forbidden points under renju (an
// overline, a double four or a real double three with no five), else none. True when
// it marked any.
bool findforbidden(int player);

}  // namespace gomoku
