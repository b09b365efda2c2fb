#include "console/giveback.hpp"

#include <atomic>
#include <cstring>

namespace gomoku::console::giveback {
namespace {

// A handler may run between any two instructions of the main loop, on its thread or
// another: what it reads is published by an atomic store after it has been written.
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

// The exit bytes, double-buffered: the main loop fills the slot not in use, then flips.
char exits[2][kExitBytes];
std::size_t exitlens[2];
std::atomic<int> exitslot{0};
// The undo steps: a step is filled in first and counted after.
char undos[kMaxUndo][kUndoBytes];
std::size_t undolens[kMaxUndo];
std::atomic<int> undocount{0};
// True while there is something to give back.
std::atomic<bool> taken{false};

}  // namespace

void take() {
  taken = true;
}

void addundo(std::string_view bytes) {
  int n = undocount;
  if (n >= kMaxUndo) return;
  undolens[n] = bytes.copy(undos[n], kUndoBytes);
  undocount = n + 1;
}

void setexit(std::string_view bytes) {
  int next = 1 - exitslot;
  exitlens[next] = bytes.copy(exits[next], kExitBytes);
  exitslot = next;
}

std::size_t bytes(char* buf) {
  int slot = exitslot;
  std::size_t n = exitlens[slot];
  std::memcpy(buf, exits[slot], n);
  for (int i = undocount - 1; i >= 0; --i) {
    std::memcpy(buf + n, undos[i], undolens[i]);
    n += undolens[i];
  }
  return n;
}

void run(const Steps& steps) {
  if (!taken.exchange(false)) return;
  if (steps.before) steps.before();
  char buf[kMaxBytes];
  std::size_t n = bytes(buf);
  if (steps.write) steps.write(buf, n);
  if (steps.after) steps.after();
}

void forget() {
  undocount = 0;
  exitlens[0] = exitlens[1] = 0;
}

}  // namespace gomoku::console::giveback
