// The command line: who the computer plays, how long it thinks, the rule, and the game
// records to write, to play on from or to show.
#pragma once

#include <string>
#include <vector>

namespace gomoku {

// What a command line asks for.
struct Options {
  int computer = 0;      // the player the computer plays: 1 or 2; 0 for none
  int thinkms = 1000;    // its thinking time per move, in milliseconds
  std::string record;    // the file every game is recorded in; empty for none
  std::string game;      // the record file of the game to play on from or show; empty for none
  int gamenumber = 0;    // which game of it: from 1, or 0 for the last
  bool replay = false;   // that game is shown, not played on
  int rule = -1;         // kFreestyle, kStandard, kRenju or kCaro; -1 when not given
  int status = -1;       // -1: play; else end at once with this status, after writing
  std::string out, err;  // this to standard output and this to standard error
};

// Reads the arguments that follow the program's name.
Options parseoptions(const std::vector<std::string>& args);
// Reads the program's command line into the game's state, loading the game to play on
// from or to show and checking that the record file can be written; -1 to go on, else
// the status to end with (help, version, a bad command line or a game that cannot be
// loaded: 2; a record file that cannot be written: 1), the reason written out already.
int useoptions(int argc, char** argv);

}  // namespace gomoku
