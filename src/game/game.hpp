// The flow of the game: start menu, turns, games, and the turn driver.
#pragma once

namespace gomoku {

// Asks whether to play; ends the program unless the answer is Y, y, Z or z. Z shows
// the key legend first. Leaves the empty board on a cleared screen.
void initgame();
// Plays one turn of the player whose turn it is; 1 when it won the game, else 0.
// A player who can put a stone down nowhere ends the game as a draw.
int playchess();
// The sum of all cells of the board: player 1's stones plus twice player 2's.
int boardsum();
// Puts back a stone on the centre point that the cursor erased when it first moved.
void centrerepair(int player, int before, int after);
// True when the player to move can put a stone down somewhere this turn: a point the
// stone reaches that is empty and, under renju, not forbidden to it (`forbid`).
bool canplace();
// Runs the whole program after start-up: menu, then games until the players stop.
int gamemain();

}  // namespace gomoku
