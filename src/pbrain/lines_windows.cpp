// The manager's input on Windows: the C runtime's descriptors in binary mode, so that
// a 0x1A byte is only a byte and CR LF comes as it was sent.
#include <fcntl.h>
#include <io.h>

#include <cerrno>

#include "pbrain/lines.hpp"

namespace gomoku::pbrain {

void binarymode(int fd) {
  _setmode(fd, _O_BINARY);
}

long readsome(int fd, char* buf, std::size_t n) {
  for (;;) {
    int got = _read(fd, buf, static_cast<unsigned>(n));
    if (got >= 0 || errno != EINTR) return got;
  }
}

}  // namespace gomoku::pbrain
