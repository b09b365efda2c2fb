// The game's side of its record files: every game of the run recorded as it is played,
// and a recorded game put on the board.
#pragma once

#include <cstddef>
#include <string>

#include "record/record.hpp"

namespace gomoku {

// Starts recording every game of this run to `path`: as SGF game trees added to those
// the file holds, or, for a name ending in ".psq", as one PSQ file per game (the later
// games to NAME-2.psq, NAME-3.psq, ..., skipping names already taken). Checks now that
// the file can be written; false with the reason otherwise. A PSQ file that exists is
// refused unless it is `loaded`, the file that the game on the board came from.
bool startrecord(const std::string& path, const std::string& loaded, std::string& why);
// Marks the start of a turn, from which its move's time is counted; the first turn of a
// game begins the game's record.
void recordturn();
// Writes the record with the moves now in `moves` (after a move, or a take-back). A file
// that cannot be written ends the program with status 1 and a line saying why.
void recordmoves();
// Notes how the game ended, a win by its last move or else a draw, and writes the record.
void recordgameover();
// Puts the scores typed after the game on its last move and writes the record; the next
// game gets a record of its own.
void recordscores(int first, int second);
// Stops recording and forgets what was recorded (tests).
void resetrecorder();

// Makes the rule `g` names the rule played; false with the reason when `asked` (a rule
// the command line names, or -1 for none) is another.
bool userule(const record::Game& g, int asked, std::string& why);
// Reads game `n` (from 1; 0 for the last) of the record file `path` into `g`, in the
// format its name says. False with the reason otherwise.
bool readrecord(const std::string& path, int n, record::Game& g, std::string& why);
// Puts the first `count` moves of `g` on an empty board: the stones, the game's moves
// in order and the last stone. Returns the number of the move that made five in a row
// (0 for none), or -1 with the reason, saying where, when a move lands on a stone or off
// the board, comes after a five, or is black's forbidden point under renju.
int placemoves(const record::Game& g, std::size_t count, std::string& why);
// Puts game `g` on the board to be played on: its final position, the player to move
// next to move, its rule the game's. False with the reason when its moves cannot be put
// on a board or the game is already won.
bool loadgame(const record::Game& g, std::string& why);

}  // namespace gomoku
