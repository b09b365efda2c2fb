// Reads whole keys from a source of bytes that arrive in pieces of any size.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "console/keys.hpp"

namespace gomoku::console {

// Where key bytes come from: a terminal or pipe, or a test's script.
class KeySource {
 public:
  virtual ~KeySource() = default;
  // Reads up to `n` bytes into `buf`, waiting at most `ms` milliseconds for them (-1:
  // as long as it takes). Returns the count; 0 when the wait ran out; -1 at the end.
  virtual long get(char* buf, std::size_t n, int ms) = 0;
};

// Decodes the bytes of a source into keys. Owns every byte it has read until it has
// decoded it, so that no key is lost or misread where a read boundary cuts a sequence.
class KeyReader {
 public:
  explicit KeyReader(KeySource& src) : src_(src) {}

  // The next key or terminal reply, waiting at most `ms` milliseconds for its first
  // byte (-1: as long as it takes) and briefly for the rest of a sequence. Nothing when
  // the wait ran out or the input has ended.
  std::optional<Decoded> next(int ms = -1);
  // True when bytes are at hand: read and not decoded yet, or readable at once.
  bool ready();
  // True once the source has ended and every byte read has been decoded.
  bool ended() const { return end_ && pending().empty(); }

  // How long a partial escape sequence may wait for the rest (a lone Esc), in ms.
  static constexpr int kEscWait = 100;
  // Bytes asked for with each read.
  static constexpr std::size_t kChunk = 4096;

 private:
  // Reads more bytes from the source, waiting at most `ms`; false when none came.
  bool fill(int ms);
  // The bytes read and not decoded yet.
  std::string_view pending() const { return std::string_view(buf_).substr(pos_); }

  KeySource& src_;
  std::string buf_;  // bytes read; those before pos_ are decoded
  std::size_t pos_ = 0;
  bool end_ = false;
};

}  // namespace gomoku::console
