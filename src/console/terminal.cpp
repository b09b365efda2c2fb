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

// One step that gives back part of the terminal: bytes to write (showing the cursor,
// say) or a terminal mode to set. Plain static storage, for the signal handlers.
struct Undo {
  bool ismode = false;
  int fd = -1;  // the terminal whose mode to set; bytes go where the screen goes
  termios mode{};
  char bytes[64]{};
  std::size_t len = 0;
};

constexpr int kMaxUndo = 4;
Undo undos[kMaxUndo];
volatile sig_atomic_t undocount = 0;

// The game's own mode, for taking the terminal again after a suspend.
int gamefd = -1;
termios gamemode{};
// Where to leave the cursor on the way out, double-buffered for the signal handlers.
int exitfd = -1;
char exitbytes[2][32]{};
std::size_t exitlen[2]{};
volatile sig_atomic_t inmode = 0;
volatile sig_atomic_t exitslot = 0;
int pipefds[2] = {-1, -1};

// Adds a step to the undo stack (main loop only, before any handler can run it).
void push(const Undo& u) {
  if (undocount >= kMaxUndo) return;
  undos[undocount] = u;
  undocount = undocount + 1;
}

// Sets a terminal mode at once (TCSANOW): waiting for output to drain could block
// forever when nobody reads the terminal any more.
void setmode(int fd, const termios& mode) {
  while (tcsetattr(fd, TCSANOW, &mode) != 0 && errno == EINTR) {
  }
}

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
  termios original{};
  if (!isatty(fd) || tcgetattr(fd, &original) != 0) return false;
  Undo mode;
  mode.ismode = true;
  mode.fd = fd;
  mode.mode = original;
  push(mode);
  exitfd = outfd;
  Undo bytes;
  bytes.len = undobytes.copy(bytes.bytes, sizeof bytes.bytes);
  push(bytes);
  gamefd = fd;
  gamemode = original;
  gamemode.c_lflag &= ~(ICANON | ECHO);
  gamemode.c_lflag |= ISIG;
  gamemode.c_cc[VMIN] = 1;
  gamemode.c_cc[VTIME] = 0;
  reenter();
  return true;
}

void reenter() {
  if (gamefd < 0) return;
  setmode(gamefd, gamemode);
  inmode = 1;
}

void restore() {
  if (!inmode) return;
  int e = errno;
  char buf[sizeof exitbytes[0] + kMaxUndo * sizeof undos[0].bytes];  // one write
  int slot = exitslot;
  std::size_t n = exitlen[slot];
  std::memcpy(buf, exitbytes[slot], n);
  for (int i = undocount - 1; i >= 0; --i) {  // newest first
    const Undo& u = undos[i];
    if (!u.ismode) {
      std::memcpy(buf + n, u.bytes, u.len);
      n += u.len;
      continue;
    }
    rawwrite(exitfd, buf, n);
    n = 0;
    setmode(u.fd, u.mode);
  }
  rawwrite(exitfd, buf, n);
  inmode = 0;
  errno = e;
}

void setexitbytes(std::string_view bytes) {
  int next = 1 - exitslot;
  exitlen[next] = bytes.copy(exitbytes[next], sizeof exitbytes[next]);
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
