// The whole state of the game: the board, whose turn it is, the win flag, the scores,
// the last stone put down, who the computer plays, and the rule.
#pragma once

namespace gomoku {

// Cell codes of the board.
inline constexpr int kEmpty = 0;
inline constexpr int kPlayer1 = 1;
inline constexpr int kPlayer2 = 2;
// Board size; row 0 and column 0 carry the labels, play is on 1 to 19.
inline constexpr int kSize = 20;
// The centre point, where every turn's stone cursor starts.
inline constexpr int kCentre = 9;

// The four lines through a point, each as one step along it (the other half of a
// line steps the opposite way): across, down, the falling and the rising diagonal.
// The stone cursor steps along the first two, either way.
inline constexpr int kDirections[4][2] = {{0, 1}, {1, 0}, {1, 1}, {-1, 1}};
inline constexpr int kAcross = 0, kDown = 1;

extern int map[kSize][kSize];  // the board, row then column
extern int whoturn;            // turn counter: even, player 1 moves; odd, player 2
extern int gameover;           // 1 once the stone just put down has ended the game
extern int score1, score2;     // the scores last typed, shown under the board
extern int *pn, *pk;           // where score entry stores them: &score1, &score2
extern int lastr, lastc;       // the stone put down last (row, column); 0, 0 for none
extern int computer;           // the player the computer plays: 1 or 2; 0 for none
extern int thinkms;            // the computer's thinking time per move, in milliseconds
extern long thinknodes;        // when above 0: it thinks this many positions instead, the
                               // same move on every machine (tests)

// The rules a game is played by (--rule), in the engine's order of its Rule.
inline constexpr int kFreestyle = 0, kStandard = 1, kRenju = 2, kCaro = 3;
extern int rule;                   // the rule played, kFreestyle unless --rule says otherwise
extern bool forbid[kSize][kSize];  // renju: the points black may not take this turn

// One stone of the game: where it was put down and whose it is.
struct Placed {
  int r, c;    // row and column, 1 to 19
  int player;  // kPlayer1 or kPlayer2
};
inline constexpr int kMaxMoves = (kSize - 1) * (kSize - 1);
extern Placed moves[kMaxMoves];  // the stones of this game, in the order they were put down
extern int nmoves;               // how many of them there are

// Starts a new game: every cell of the board empty, no last stone, no moves.
void newgame();
// Puts every variable back to its value at program start.
void resetstate();
// Records the stone `player` has just put down on (r, c) as the game's next move.
void addmove(int r, int c, int player);
// The player who is black in this game: whoever moves first in it (player 1 in the
// first game; later the loser of the last game, who moves first in the next).
int blackplayer();
// Takes the game's last stone off the board and out of `moves`; the stone before it
// becomes the last one. False when the game has no stone.
bool undomove();
// True when (r, c) lies in the playing area, rows and columns 1 to 19.
inline bool inside(int r, int c) {
  return r >= 1 && r < kSize && c >= 1 && c < kSize;
}

}  // namespace gomoku
