// Fuzzes the key decoder: any bytes, cut anywhere, decode to the same keys.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "console/keys.hpp"

using gomoku::console::decodekey;

namespace {

// Decodes `bytes` as a reader would, arriving in pieces of at most `chunk` bytes.
std::string decodeinpieces(const std::string& bytes, std::size_t chunk) {
  std::string buf, keys;
  std::size_t fed = 0;
  for (;;) {
    auto d = decodekey(buf, fed == bytes.size());
    if (d.needmore) {
      if (fed == bytes.size()) return keys;  // an empty buffer at the end
      std::size_t n = std::min(chunk, bytes.size() - fed);
      buf.append(bytes, fed, n);
      fed += n;
      continue;
    }
    if (d.used == 0 || d.used > buf.size() || d.count < 0 || d.count > 2) std::abort();
    keys.append(reinterpret_cast<const char*>(d.keys), static_cast<std::size_t>(d.count));
    if (d.count == 0) keys += "<" + std::to_string(d.mode) + ":" + std::to_string(d.setting) + ">";
    buf.erase(0, d.used);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  std::string whole = decodeinpieces(bytes, bytes.size() + 1);
  // A sequence split across reads decodes as if it came in one piece, as long as the
  // reader waits for the rest (pieces of 1 and 3 bytes here).
  if (decodeinpieces(bytes, 1) != whole || decodeinpieces(bytes, 3) != whole) std::abort();
  return 0;
}
