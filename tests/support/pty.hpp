// Pseudo-terminals and pipes for tests of the terminal layer.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <string>
#include <string_view>

namespace gomoku::testing {

// A pseudo-terminal: the program's side (slave) and the terminal's side (master).
struct Pty {
  int master = -1, slave = -1;
  explicit Pty(int cols = 80, int rows = 32) {
    master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return;
    slave = ::open(ptsname(master), O_RDWR | O_NOCTTY);
    winsize ws{};
    ws.ws_col = static_cast<unsigned short>(cols);
    ws.ws_row = static_cast<unsigned short>(rows);
    ioctl(master, TIOCSWINSZ, &ws);
  }
  ~Pty() {
    ::close(slave);
    ::close(master);
  }
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;
};

// A pipe, closed at the end.
struct Pipe {
  int fds[2] = {-1, -1};
  Pipe() { (void)!pipe(fds); }
  ~Pipe() {
    for (int fd : fds)
      if (fd >= 0) ::close(fd);
  }
  Pipe(const Pipe&) = delete;
  Pipe& operator=(const Pipe&) = delete;
  int in() const { return fds[0]; }
  int out() const { return fds[1]; }
  // Closes the writing end: the reader sees the end of input.
  void end() {
    ::close(fds[1]);
    fds[1] = -1;
  }
};

// Writes all of `s` to fd.
inline void put(int fd, std::string_view s) {
  while (!s.empty()) {
    ssize_t w = ::write(fd, s.data(), s.size());
    if (w <= 0) return;
    s.remove_prefix(static_cast<std::size_t>(w));
  }
}

// Everything readable from fd within `ms` milliseconds of quiet.
inline std::string drain(int fd, int ms = 50) {
  std::string got;
  char buf[4096];
  pollfd p{fd, POLLIN, 0};
  while (poll(&p, 1, ms) > 0) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n <= 0) break;
    got.append(buf, static_cast<std::size_t>(n));
  }
  return got;
}

}  // namespace gomoku::testing
