// The Windows console's modes, code page and control handler, and writes to the output:
// the Windows part of the way out of the program (console/giveback.hpp), taken on the
// normal end, Ctrl-C, Ctrl-Break and the console window closed.
#pragma once

#include <windows.h>

#include <string_view>

namespace gomoku::console::win {

// The status a Windows program ends with on Ctrl-C (STATUS_CONTROL_C_EXIT).
inline constexpr unsigned kControlCExit = 0xC000013A;

// Installs the console control handler: Ctrl-C, Ctrl-Break, the window closed, log-off
// and shut-down give the console back, then end the program with kControlCExit. A crash
// or abort() gives the console back too, then ends the program as it would have.
void installhandler();
// Makes `h` the output that give-back writes to; from now on there is a give-back.
void setoutput(HANDLE h);
// Puts console input `h` into the game's mode, remembering its mode for give-back: keys
// one at a time, no echo, window-size events on, Ctrl-C to the handler. False when `h`
// is no console (nothing is changed then).
bool enterinput(HANDLE h);
// Readies console output `h` for frames, remembering what it changes: virtual-terminal
// processing on and, unless the console shows code page 936, code page 65001 (UTF-8).
// Returns the code page that texts are to be written in; 0 when `h` is no console.
unsigned enteroutput(HANDLE h);
// Writes one frame's bytes in one write (WriteConsoleA to a console, WriteFile, going on
// after short writes, to anything else). False when the output has gone away.
bool writeout(std::string_view bytes);
// Gives the console back: the exit and undo bytes, written without waiting long for a
// pipe nobody reads, then the original modes and code page. Safe from the control
// handler's thread; a second caller waits (a while) for the first to be done.
void restore();

}  // namespace gomoku::console::win
