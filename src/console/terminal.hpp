// The terminal's mode, kept and given back on every way out of the program.
#pragma once

#include <termios.h>

#include <string_view>

namespace gomoku::console::term {

// Events that signal handlers hand to the main loop through a pipe.
inline constexpr char kResized = 'w';  // SIGWINCH
inline constexpr char kResumed = 'c';  // SIGCONT

// Puts `fd` into non-canonical, no-echo mode with signals kept, pushing the undo
// steps: the original mode, then the bytes that undo our display changes. Returns
// false when `fd` is not a terminal (nothing is changed then).
bool enter(int fd, int outfd, std::string_view undobytes);
// Puts the terminal back into the game's mode after a suspend.
void reenter();
// Gives the terminal back as it was found: the cursor placed under the screen, then
// the undo steps, newest first. Async-signal-safe; may run many times.
void restore();
// Sets the bytes written first on restore (where to leave the cursor). Main loop only.
void setexitbytes(std::string_view bytes);

// Installs the handlers for ending, crash, suspend, resume and resize signals,
// leaving alone those that were ignored when the program started.
void installsignals();
// The read end of the pipe that carries signal events to the main loop, or -1.
int eventfd();
// True while the terminal is in the game's mode.
bool active();

// Writes all of `data` to `fd`, retrying after interruptions, waiting when it would
// block and going on after short writes. False when the output has gone away.
bool writeall(int fd, std::string_view data);

}  // namespace gomoku::console::term
