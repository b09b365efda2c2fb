// The command line: who the computer plays, how long it thinks, and the rule.
#pragma once

#include <string>
#include <vector>

namespace gomoku {

// What a command line asks for.
struct Options {
  int computer = 0;      // the player the computer plays: 1 or 2; 0 for none
  int thinkms = 1000;    // its thinking time per move, in milliseconds
  int rule = 0;          // kFreestyle, kStandard, kRenju or kCaro
  int status = -1;       // -1: play; else end at once with this status, after writing
  std::string out, err;  // this to standard output and this to standard error
};

// Reads the arguments that follow the program's name.
Options parseoptions(const std::vector<std::string>& args);
// Reads the program's command line into the game's state; -1 to play, else the status
// to end with (help, version or a bad command line, written out already).
int useoptions(int argc, char** argv);

}  // namespace gomoku
