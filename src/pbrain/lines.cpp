#include "pbrain/lines.hpp"

#include <algorithm>

namespace gomoku::pbrain {

bool LineReader::next(std::string& line) {
  line.clear();
  bool begun = false;  // some byte of this line has been read
  for (;;) {
    if (pos_ == len_) {
      long n = readsome(fd_, buf_.data(), buf_.size());
      if (n <= 0) return begun;
      pos_ = 0;
      len_ = static_cast<std::size_t>(n);
    }
    if (aftercr_ && buf_[pos_] == '\n') ++pos_;
    aftercr_ = false;
    const char* from = buf_.data() + pos_;
    const char* to = std::find_if(from, static_cast<const char*>(buf_.data() + len_),
                                  [](char c) { return c == '\n' || c == '\r'; });
    begun = begun || to != from;
    line.append(from, std::min<std::size_t>(to - from, limit_ + 1 - line.size()));
    pos_ = static_cast<std::size_t>(to - buf_.data());
    if (pos_ < len_) {
      aftercr_ = buf_[pos_++] == '\r';
      return true;
    }
  }
}

}  // namespace gomoku::pbrain
