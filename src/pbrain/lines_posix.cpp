// The manager's input on POSIX: bytes as they come.
#include <unistd.h>

#include <cerrno>

#include "pbrain/lines.hpp"

namespace gomoku::pbrain {

void binarymode(int) {}

long readsome(int fd, char* buf, std::size_t n) {
  for (;;) {
    ssize_t got = read(fd, buf, n);
    if (got >= 0 || errno != EINTR) return static_cast<long>(got);
  }
}

}  // namespace gomoku::pbrain
