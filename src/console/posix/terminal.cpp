#include "console/posix/terminal.hpp"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>

#include "console/giveback.hpp"

namespace gomoku::console::term {
namespace {

// The terminal whose mode to give back, the mode it had and the game's own mode for
// taking it again after a suspend; where give-back writes. Plain static storage, for
// the signal handlers.
volatile sig_atomic_t modefd = -1;  // set after the modes it names
termios original{}, gamemode{};
volatile sig_atomic_t exitfd = -1;
int pipefds[2] = {-1, -1};

// How long give-back may wait for a terminal that reads slowly, in steps of 20 ms.
constexpr int kExitWaits = 5;

// The game's terminal mode, made from the mode `m` the terminal had.
termios gamemodeof(termios m) {
  m.c_lflag &= ~ICANON;  // keys arrive one at a time, without waiting for Enter
  m.c_lflag &= ~ECHO;    // the game shows typed text itself, where it belongs on the screen
  // ISIG stays on: Ctrl-C, Ctrl-\ and Ctrl-Z are the way to end or suspend a game at any
  // moment, and their handlers give the terminal back first.
  m.c_lflag |= ISIG;
  m.c_iflag &= ~IXON;  // Ctrl-S would freeze the board until Ctrl-Q
  m.c_cc[VMIN] = 1;    // a read returns as soon as one byte is there
  m.c_cc[VTIME] = 0;
  return m;
}

// Sets a terminal mode at once (TCSANOW): waiting for output to drain could block
// forever when nobody reads the terminal any more.
void setmode(int fd, const termios& mode) {
  while (tcsetattr(fd, TCSANOW, &mode) != 0 && errno == EINTR) {
  }
}

// Writes `n` bytes without ever blocking for long: the descriptor is made non-blocking
// for the write, a full terminal gets a few short waits, then the rest is dropped.
void writesoon(int fd, const char* p, std::size_t n) {
  int flags = fcntl(fd, F_GETFL);
  if (flags >= 0) fcntl(fd, F_SETFL, flags | O_NONBLOCK);
  for (int waits = 0; n > 0;) {
    ssize_t w = ::write(fd, p, n);
    if (w > 0) {
      std::size_t done = std::min(static_cast<std::size_t>(w), n);
      p += done;
      n -= done;
    } else if (w < 0 && errno == EAGAIN && waits++ < kExitWaits) {
      pollfd pf{fd, POLLOUT, 0};
      poll(&pf, 1, 20);
    } else if (!(w < 0 && errno == EINTR)) {
      break;
    }
  }
  if (flags >= 0) fcntl(fd, F_SETFL, flags);
}

// Sets the terminal's original mode back.
void restoremode() {
  if (modefd >= 0) setmode(modefd, original);
}

// Writes the give-back's bytes to the output without blocking for long.
void writeexit(const char* p, std::size_t n) {
  if (exitfd >= 0) writesoon(exitfd, p, n);
}

// Sends one event byte to the main loop.
void post(char event) {
  int e = errno;
  if (pipefds[1] >= 0) (void)!::write(pipefds[1], &event, 1);
  errno = e;
}

// Sets the action for `sig` to its default.
void setdefault(int sig) {
  struct sigaction sa {};
  sa.sa_handler = SIG_DFL;
  sigemptyset(&sa.sa_mask);
  sigaction(sig, &sa, nullptr);
}

// Ends the program the way `sig` would, after giving the terminal back. The signal is
// blocked while this runs, so it strikes, with its default action, on return.
void onfatal(int sig) {
  restore();
  setdefault(sig);
  raise(sig);
}

// Gives the terminal back, stops, and on resume asks the main loop to take it again.
void onsuspend(int) {
  int e = errno;
  restore();
  setdefault(SIGTSTP);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTSTP);
  sigprocmask(SIG_UNBLOCK, &set, nullptr);
  raise(SIGTSTP);
  installsignals();
  post(kResumed);
  errno = e;
}

void onresume(int) {
  post(kResumed);
}
void onresize(int) {
  post(kResized);
}

// Installs `handler` for `sig` unless the signal was ignored when we started. Every
// other signal waits while a handler runs.
void catchsignal(int sig, void (*handler)(int)) {
  struct sigaction old {};
  if (sigaction(sig, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) return;
  struct sigaction sa {};
  sa.sa_handler = handler;
  sigfillset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  sigaction(sig, &sa, nullptr);
}

// Opens the event pipe, both ends non-blocking and closed on exec.
void openpipe() {
  if (pipefds[0] >= 0 || pipe(pipefds) != 0) return;
  for (int fd : pipefds) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    fcntl(fd, F_SETFD, FD_CLOEXEC);
  }
}

// The signals whose default action ends the process.
constexpr int kFatal[] = {
    SIGHUP,    SIGINT,  SIGQUIT, SIGILL,  SIGTRAP, SIGABRT, SIGBUS,    SIGFPE,  SIGUSR1, SIGSEGV,
    SIGUSR2,   SIGPIPE, SIGALRM, SIGTERM, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGIO,   SIGSYS,
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
#ifdef SIGPWR
    SIGPWR,
#endif
};

}  // namespace

void openstdfds() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) >= 0 || errno != EBADF) continue;
    int got = ::open("/dev/null", O_RDONLY);
    if (got >= 0 && got != fd) {  // only when a lower descriptor was opened meanwhile
      dup2(got, fd);
      ::close(got);
    }
  }
}

void setoutput(int fd) {
  exitfd = fd;
  giveback::take();
}

bool enter(int fd) {
  termios mode{};
  if (!isatty(fd) || tcgetattr(fd, &mode) != 0) return false;
  original = mode;
  gamemode = gamemodeof(mode);
  modefd = fd;
  reenter();
  return true;
}

void reenter() {
  if (modefd >= 0) setmode(modefd, gamemode);
  giveback::take();
}

void restore() {
  sigset_t all, old;
  sigfillset(&all);
  sigprocmask(SIG_BLOCK, &all, &old);  // a signal now waits until this is done
  int e = errno;
  // The mode first: output to a terminal nobody reads may never drain.
  giveback::run({restoremode, writeexit, nullptr});
  errno = e;
  sigprocmask(SIG_SETMASK, &old, nullptr);
}

void forget() {
  modefd = -1;
}

void installsignals() {
  openpipe();
  for (int sig : kFatal) catchsignal(sig, onfatal);
  for (int sig = SIGRTMIN; sig <= SIGRTMAX; ++sig) catchsignal(sig, onfatal);
  catchsignal(SIGTSTP, onsuspend);
  catchsignal(SIGCONT, onresume);
  catchsignal(SIGWINCH, onresize);
}

int eventfd() {
  return pipefds[0];
}

bool writeall(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t w = ::write(fd, data.data(), data.size());
    if (w > 0) {  // never trust a count beyond what was asked
      data.remove_prefix(std::min(static_cast<std::size_t>(w), data.size()));
    } else if (w < 0 && errno == EAGAIN) {
      pollfd p{fd, POLLOUT, 0};
      if (poll(&p, 1, -1) < 0 && errno != EINTR) return false;
    } else if (!(w < 0 && errno == EINTR)) {
      return false;
    }
  }
  return true;
}

}  // namespace gomoku::console::term
