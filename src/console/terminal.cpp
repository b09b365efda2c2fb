#include "console/terminal.hpp"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>

namespace gomoku::console::term {
namespace {

// Everything the signal handlers read lives in plain static storage.
struct Saved {
  int fd = -1;
  int outfd = -1;
  termios original{};
  termios game{};
  char undo[64]{};
  std::size_t undolen = 0;
  char exitbytes[2][32]{};
  std::size_t exitlen[2]{};
};

Saved saved;
volatile sig_atomic_t inmode = 0;
volatile sig_atomic_t exitslot = 0;
int pipefds[2] = {-1, -1};

// Writes `n` bytes from a signal handler or the main loop, ignoring failures.
void rawwrite(int fd, const char* p, std::size_t n) {
  while (n > 0) {
    ssize_t w = ::write(fd, p, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0 || static_cast<std::size_t>(w) >= n) return;
    p += w;
    n -= static_cast<std::size_t>(w);
  }
}

// Sends one event byte to the main loop.
void post(char event) {
  int e = errno;
  if (pipefds[1] >= 0) (void)!::write(pipefds[1], &event, 1);
  errno = e;
}

// Ends the program the way `sig` would, after giving the terminal back.
void onfatal(int sig) {
  restore();
  std::signal(sig, SIG_DFL);
  raise(sig);
}

// Gives the terminal back, stops, and on resume asks the main loop to take it again.
void onsuspend(int) {
  int e = errno;
  restore();
  std::signal(SIGTSTP, SIG_DFL);
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

// Installs `handler` for `sig` unless the signal was ignored when we started.
void catchsignal(int sig, void (*handler)(int)) {
  struct sigaction old {};
  sigaction(sig, nullptr, &old);
  if (old.sa_handler == SIG_IGN) return;
  struct sigaction sa {};
  sa.sa_handler = handler;
  sigemptyset(&sa.sa_mask);
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

}  // namespace

bool enter(int fd, int outfd, std::string_view undobytes) {
  if (!isatty(fd) || tcgetattr(fd, &saved.original) != 0) return false;
  saved.fd = fd;
  saved.outfd = outfd;
  saved.game = saved.original;
  saved.game.c_lflag &= ~(ICANON | ECHO);
  saved.game.c_lflag |= ISIG;
  saved.game.c_cc[VMIN] = 1;
  saved.game.c_cc[VTIME] = 0;
  saved.undolen = undobytes.copy(saved.undo, sizeof saved.undo);
  reenter();
  return true;
}

void reenter() {
  if (saved.fd < 0) return;
  while (tcsetattr(saved.fd, TCSANOW, &saved.game) != 0 && errno == EINTR) {
  }
  inmode = 1;
}

// The mode is set at once (TCSANOW): waiting for output to drain could block forever
// when nobody reads the terminal any more.
void restore() {
  if (!inmode) return;
  int e = errno;
  int slot = exitslot;
  char buf[sizeof saved.exitbytes[0] + sizeof saved.undo];  // one write, like a frame
  std::memcpy(buf, saved.exitbytes[slot], saved.exitlen[slot]);
  std::memcpy(buf + saved.exitlen[slot], saved.undo, saved.undolen);
  rawwrite(saved.outfd, buf, saved.exitlen[slot] + saved.undolen);
  while (tcsetattr(saved.fd, TCSANOW, &saved.original) != 0 && errno == EINTR) {
  }
  inmode = 0;
  errno = e;
}

void setexitbytes(std::string_view bytes) {
  int next = 1 - exitslot;
  saved.exitlen[next] = bytes.copy(saved.exitbytes[next], sizeof saved.exitbytes[next]);
  exitslot = next;
}

void installsignals() {
  openpipe();
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGPIPE})
    catchsignal(sig, onfatal);
  catchsignal(SIGTSTP, onsuspend);
  catchsignal(SIGCONT, onresume);
  catchsignal(SIGWINCH, onresize);
}

int eventfd() {
  return pipefds[0];
}
bool active() {
  return inmode;
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
