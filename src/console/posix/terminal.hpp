// The terminal's mode, signals and writes: the POSIX part of the way out of the program.
#pragma once

#include <string_view>

namespace gomoku::console::term {

// Events that signal handlers hand to the main loop through a pipe.
inline constexpr char kResized = 'w';  // SIGWINCH
inline constexpr char kResumed = 'c';  // SIGCONT

// Opens /dev/null, read-only, on each of descriptors 0, 1 and 2 that is closed, so that
// no descriptor the program opens later stands in for a standard stream: a closed input
// reads as ended, a closed output still fails to write.
void openstdfds();

// Makes `fd` the output that give-back writes to; from now on there is a give-back.
void setoutput(int fd);
// Puts terminal `fd` into the game's mode, remembering its original mode for give-back.
// False when `fd` is not a terminal (nothing is changed then).
bool enter(int fd);
// Takes the terminal again after a suspend: the game's mode, and a give-back to come.
void reenter();
// Gives the terminal back (console/giveback.hpp): the original mode first, then, without
// ever blocking on output, the exit and undo bytes. Async-signal-safe; does nothing
// more until the terminal is taken again.
void restore();
// Forgets the terminal once it has been given back for good: reenter() does nothing.
void forget();

// Installs the handlers for every signal that would end the program (which give the
// terminal back, then die of the signal), suspend, resume and resize, leaving alone
// those that were ignored when the program started.
void installsignals();
// The read end of the pipe that carries signal events to the main loop, or -1.
int eventfd();

// Writes all of `data` to `fd`, retrying after interruptions, waiting when it would
// block and going on after short writes. False when the output has gone away.
bool writeall(int fd, std::string_view data);

}  // namespace gomoku::console::term
