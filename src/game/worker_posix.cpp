// The platform's part of the computer's worker thread, on POSIX.
#include <pthread.h>
#include <signal.h>

#include "game/computer.hpp"

namespace gomoku {

// Blocks every signal in this thread but those that a fault of its own raises.
void shieldthread() {
  sigset_t set;
  sigfillset(&set);
  for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGSYS, SIGABRT}) sigdelset(&set, sig);
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

}  // namespace gomoku
