// Game records: the moves of one game and what is known about it, as the record files
// (SGF and PSQ) hold it, and the way a command line names one game of a file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace gomoku::record {

// The rules a record may name, as records name them; a game is played under the first
// unless its record says otherwise.
inline constexpr const char* kRules[] = {"freestyle", "standard", "renju", "caro"};

// The most moves a game can have: one on every point of the 19x19 board.
inline constexpr std::size_t kMaxMoves = 19 * 19;

// One move: the point, row and column 1 to 19 as the board screen numbers them, and
// the time it took in milliseconds (0 when unknown). `line` and `col` say where the
// move stands in the file it was read from (for messages; 0 when not read).
struct Move {
  int r = 0, c = 0;
  long ms = 0;
  int line = 0, col = 0;
  // Moves are the same move when point and time are.
  bool operator==(const Move& o) const { return r == o.r && c == o.c && ms == o.ms; }
};

// How a game ended: not yet, a win of the side that moved first (black), of the other
// (white), or a draw.
enum class Result { kNone, kBlack, kWhite, kDraw };

// One game as a record holds it.
struct Game {
  std::string rule = kRules[0];
  std::string name[2] = {"player 1", "player 2"};  // who played player 1 (O) and player 2 (X)
  int first = 1;                                   // the player who moved first: black
  std::string date;                                // the day it was played, YYYY-MM-DD
  Result result = Result::kNone;
  std::vector<Move> moves;  // the moves in order, the first one by `first`, then alternating
  std::string comment;      // on the last move (the scores typed after the game)
  bool operator==(const Game&) const = default;
};

// The player (1 or 2) who makes move `i` (from 0) of `g`.
inline int mover(const Game& g, std::size_t i) {
  return i % 2 == 0 ? g.first : 3 - g.first;
}

// The two record formats: SGF collections, and PSQ files of one game each.
enum class Format { kSgf, kPsq };
// The format a file name asks for: PSQ for a name ending in ".psq" (any case), else SGF.
Format formatof(std::string_view path);

// Splits "FILE[:N]" into the file and the game number N (0 when none is given). A
// Windows path holds colons, so only digits after the last colon make a number. False
// when N is given but is not a number from 1 up.
bool splitref(const std::string& arg, std::string& path, int& n);

// Reads game `n` (from 1; 0 for the last) of the record text `text` in format `f`
// into `g`. False with the reason, which says where in the text, otherwise.
bool readgame(std::string_view text, Format f, int n, Game& g, std::string& why);

// Sets `why` to `what` and returns false: the way a reader says why it refuses.
inline bool refuse(std::string& why, std::string what) {
  why = std::move(what);
  return false;
}

// "line L, column C" (or "line L" when `col` is 0), for messages that say where.
std::string where(int line, int col);

}  // namespace gomoku::record
