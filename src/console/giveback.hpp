// The way out of the program, the same on every platform: the bytes that give the screen
// back (where to leave the cursor, then the undo of each display change, newest first)
// and the order in which a platform gives back its modes around them.
//
// A signal handler (POSIX) or the console's control handler thread (Windows) may give the
// screen back at any moment, so everything here is plain static storage, lock-free
// atomics and async-signal-safe calls; the main loop alone changes the bytes.
#pragma once

#include <cstddef>
#include <string_view>

namespace gomoku::console::giveback {

// Room for the exit bytes, for each undo step's bytes, and for the steps.
inline constexpr std::size_t kExitBytes = 32;
inline constexpr std::size_t kUndoBytes = 64;
inline constexpr int kMaxUndo = 16;
// The most bytes a give-back writes.
inline constexpr std::size_t kMaxBytes = kExitBytes + kMaxUndo * kUndoBytes;

// What a platform does to give the screen back, in this order.
struct Steps {
  void (*before)();                                 // modes that must be back first
  void (*write)(const char* bytes, std::size_t n);  // the bytes, never blocking for long
  void (*after)();                                  // modes the bytes still needed
};

// From now on there is something to give back (again, after a suspend). Main loop only.
void take();
// Registers bytes that undo a display change just made (a colour turned on, a terminal
// mode turned off); steps beyond kMaxUndo are not kept. Main loop only.
void addundo(std::string_view bytes);
// Sets the bytes written first on give-back (where to leave the cursor). Main loop only.
void setexit(std::string_view bytes);
// Gives the screen back with the platform's steps, once per take(): a second way out
// taken meanwhile (a signal, another thread) does nothing. Async-signal-safe when the
// steps are.
void run(const Steps& steps);
// Copies the exit bytes, then the undo bytes newest first, into `buf` (kMaxBytes long);
// returns how many. Async-signal-safe.
std::size_t bytes(char* buf);
// Drops the exit bytes and every undo step, once the screen has been given back for good.
void forget();

}  // namespace gomoku::console::giveback
