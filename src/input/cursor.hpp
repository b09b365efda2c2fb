// The stone cursor: the player's own stone, steered over the board and put down.
#pragma once

#include <string>

#include "board/state.hpp"
#include "console/console.hpp"

namespace gomoku {

// One player's keys and cell code.
struct Steering {
  int code;
  int right, up, down, left;
};

inline constexpr Steering kSteer1{1, 'd', 'w', 's', 'a'};
inline constexpr Steering kSteer2{2, 'M', 'H', 'P', 'K'};

// How far one step from (r, c) in direction (dr, dc) goes: the distance of the first
// of the four points ahead that is empty or off the playing area, else 5.
int steplength(int r, int c, int dr, int dc);
// The point one step from (r, c) lands on, if the step is allowed: it must lie in
// the playing area and be empty. Returns false when the step is refused.
bool steptarget(int r, int c, int dr, int dc, int& tr, int& tc);
// The stone cursor during a turn: where it is, whether it has left the centre yet, and
// what stood on the centre when the turn began (its first step erases that cell).
struct Cursor {
  int r = kCentre, c = kCentre;
  bool moved = false;
  int centre = kEmpty;
};
// What one key did to the cursor: kForbidden is Space on a point the rule forbids the
// player (renju, black: `forbid`), which changes nothing either.
enum class Keyed { kPlaced, kRefused, kForbidden, kStepped, kOther };
// The line under the board that refuses a forbidden point.
inline constexpr char kForbiddenText[] = "禁手：黑棋不能在这里落子";
// A cursor on the centre at the start of a turn.
Cursor startcursor();
// Applies one key of player `s`: Space puts the stone down where it may be, a steering
// key steps where it may; refused keys change nothing, other keys are left to the caller.
Keyed applykey(const Steering& s, Cursor& k, int key);
// Takes the cursor off the board, putting back the stone it erased on the centre: the
// board is then as it was when the turn began.
void liftcursor(const Cursor& k);
// Puts player `code`'s cursor back on the board after liftcursor().
void dropcursor(const Cursor& k, int code);
// Writes a line break, clears the screen and draws the board.
void redraw();
// Steers player `s`'s stone from the centre until Space puts it down; stores the
// point through `x` (row) and `y` (column). Keys come from `nextkey` (a person's keys by
// default; the computer's stone is steered by keys it plans).
void movecursor(const Steering& s, int* x, int* y, int (*nextkey)() = console::getch);

// Where the stone cursor can go this turn from where it is, found on the board as it is
// once the cursor has left the centre (the cursor itself lifted): for each point it can
// rest on, the point that a shortest way from the start steps from. The start itself is
// always marked.
struct Reach {
  bool seen[kSize][kSize];
  int fromr[kSize][kSize], fromc[kSize][kSize];
  int startr = kCentre, startc = kCentre;
};
// Fills `w` by a breadth-first search of the cursor's steps from (r, c), the centre
// unless given.
void reach(Reach& w, int r = kCentre, int c = kCentre);
// The keys that steer `s`'s stone along `w`'s shortest way from its start to (r, c),
// which `w` must have seen, followed by the Space that puts it down.
std::string steerkeys(const Steering& s, const Reach& w, int r, int c);

// Player 1's cursor: w, a, s, d and Space.
void move1(int* x, int* y);
// Player 2's cursor: the arrow keys (H, K, P, M after their prefix) and Space.
void move2(int* x, int* y);

}  // namespace gomoku
