// The stone cursor: the player's own stone, steered over the board and put down.
#pragma once

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
// Steers player `s`'s stone from the centre until Space puts it down; stores the
// point through `x` (row) and `y` (column).
void movecursor(const Steering& s, int* x, int* y);

// Player 1's cursor: w, a, s, d and Space.
void move1(int* x, int* y);
// Player 2's cursor: the arrow keys (H, K, P, M after their prefix) and Space.
void move2(int* x, int* y);

}  // namespace gomoku
