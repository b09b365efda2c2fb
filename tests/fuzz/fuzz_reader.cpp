// Fuzzes key reading: bytes that arrive in pieces of any size, read by the key reader the
// game uses, give the same keys and replies as the same bytes read in one piece.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "console/reader.hpp"

using gomoku::console::KeyReader;
using gomoku::console::KeySource;

namespace {

// Hands out its bytes in pieces whose sizes the cut pattern gives, as a slow link might.
class Pieces : public KeySource {
 public:
  Pieces(std::string_view bytes, std::string_view cuts) : bytes_(bytes), cuts_(cuts) {}
  long get(char* buf, std::size_t n, int) override {
    if (bytes_.empty()) return -1;
    std::size_t size = cuts_.empty() ? bytes_.size() : 1 + cut() % 37;
    size = std::min({size, n, bytes_.size()});
    bytes_.copy(buf, size);
    bytes_.remove_prefix(size);
    return static_cast<long>(size);
  }

 private:
  unsigned char cut() { return static_cast<unsigned char>(cuts_[next_++ % cuts_.size()]); }
  std::string_view bytes_, cuts_;
  std::size_t next_ = 0;
};

// Everything the reader gives, keys as their bytes and replies as <mode:setting>; when
// `peek` is set, the reader is also asked whether input is at hand before each key.
std::string readall(KeySource& src, bool peek) {
  KeyReader reader(src);
  std::string out;
  for (;;) {
    if (peek) reader.ready();
    auto d = reader.next();
    if (!d) return out;
    if (d->used == 0 || d->count < 0 || d->count > 2) std::abort();
    out.append(reinterpret_cast<const char*>(d->keys), static_cast<std::size_t>(d->count));
    if (d->count == 0)
      out += "<" + std::to_string(d->mode) + ":" + std::to_string(d->setting) + ">";
  }
}

}  // namespace

// The first eight bytes are the cut pattern, the rest the bytes read.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view all(reinterpret_cast<const char*>(data), size);
  std::string_view cuts = all.substr(0, 8), bytes = all.substr(cuts.size());
  Pieces whole(bytes, {}), cut(bytes, cuts), peeked(bytes, cuts);
  std::string expect = readall(whole, false);
  if (readall(cut, false) != expect || readall(peeked, true) != expect) std::abort();
  return 0;
}
