#include "score/endhold_windows.hpp"

#include <windows.h>

namespace gomoku {
namespace {

// Held while a file is written, and by a console event that is to end the program.
SRWLOCK writing = SRWLOCK_INIT;

// Called on a console event while a file is written, before the console's own handler
// that ends the program (the handler registered last is called first): waits until the
// file is whole, and keeps the lock, so that no other write begins before the end.
BOOL WINAPI holdend(DWORD) {
  AcquireSRWLockExclusive(&writing);  // never let go: the program is ending
  return FALSE;                       // on to the next handler
}

}  // namespace

EndHold::EndHold() {
  AcquireSRWLockExclusive(&writing);
  SetConsoleCtrlHandler(holdend, TRUE);
}

EndHold::~EndHold() {
  ReleaseSRWLockExclusive(&writing);  // first: an event being handled goes on to the end
  SetConsoleCtrlHandler(holdend, FALSE);
}

}  // namespace gomoku
