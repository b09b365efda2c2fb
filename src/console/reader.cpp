#include "console/reader.hpp"

namespace gomoku::console {

bool KeyReader::fill(int ms) {
  if (end_) return false;
  buf_.erase(0, pos_);  // no view of the buffer lives across a read
  pos_ = 0;
  char chunk[kChunk];
  long n = src_.get(chunk, sizeof chunk, ms);
  if (n < 0) end_ = true;
  if (n <= 0) return false;
  buf_.append(chunk, static_cast<std::size_t>(n));
  return true;
}

std::optional<Decoded> KeyReader::next(int ms) {
  if (pending().empty() && !fill(ms)) return std::nullopt;
  Decoded d = decodekey(pending(), end_);
  while (d.needmore) {
    bool more = fill(kEscWait);  // wait briefly for the rest; pending() is read afresh
    d = decodekey(pending(), !more);
  }
  pos_ += d.used;
  return d;
}

bool KeyReader::ready() {
  return !pending().empty() || fill(0);
}

}  // namespace gomoku::console
