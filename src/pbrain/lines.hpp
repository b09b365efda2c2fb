// Lines from the manager, read straight from a file descriptor: LF, CR LF and a lone CR
// each end a line, every other byte (NUL, 0x1A) is kept, and a line too long for any
// command is cut without ever being held whole.
#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace gomoku::pbrain {

// Puts the file descriptor in binary mode: on Windows no byte (0x1A) ends the input and
// no CR is added or taken away; nothing to do elsewhere.
void binarymode(int fd);
// Reads up to `n` bytes from `fd`: their count, 0 at the end of input, -1 on an error
// (an interrupted read is retried).
long readsome(int fd, char* buf, std::size_t n);

class LineReader {
 public:
  // Lines from `fd`, cut to `limit` + 1 bytes when longer.
  LineReader(int fd, std::size_t limit) : fd_(fd), limit_(limit) {}

  // The next line, without its end; a line longer than the limit comes cut to one byte
  // more than the limit, the rest read and dropped. A last line without an end counts.
  // False at the end of input.
  bool next(std::string& line);

 private:
  int fd_;
  std::size_t limit_;
  std::array<char, 65536> buf_;
  std::size_t pos_ = 0, len_ = 0;
  bool aftercr_ = false;  // the last line ended with CR: an LF next is part of its end
};

}  // namespace gomoku::pbrain
