// An anonymous pipe on either platform, to feed bytes to code that reads a file
// descriptor. On Windows it is opened in text mode, as standard input starts, so the
// reader must put it in binary mode itself.
#pragma once

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

#include <string_view>

namespace gomoku::testing {

class Pipe {
 public:
  Pipe() {
#ifdef _WIN32
    _pipe(fd_, 1 << 16, _O_TEXT);
#else
    if (pipe(fd_) != 0) fd_[0] = fd_[1] = -1;
#endif
  }
  ~Pipe() {
    closewrite();
    closefd(fd_[0]);
  }
  Pipe(const Pipe&) = delete;
  Pipe& operator=(const Pipe&) = delete;

  int readend() const {
    return fd_[0];
  }
  // Writes all the bytes (blocking while the pipe is full); false on an error.
  bool write(std::string_view bytes) {
    while (!bytes.empty()) {
#ifdef _WIN32
      int n = _write(fd_[1], bytes.data(), static_cast<unsigned>(bytes.size()));
#else
      long n = ::write(fd_[1], bytes.data(), bytes.size());
#endif
      if (n <= 0) return false;
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
  }
  // The reader sees the end of input.
  void closewrite() {
    closefd(fd_[1]);
  }

 private:
  static void closefd(int& fd) {
#ifdef _WIN32
    if (fd >= 0) _close(fd);
#else
    if (fd >= 0) close(fd);
#endif
    fd = -1;
  }
  int fd_[2] = {-1, -1};
};

}  // namespace gomoku::testing
