#include "console/keys.hpp"

namespace gomoku::console {
namespace {

constexpr unsigned char kEsc = 27;
// Longest escape sequence we wait for before calling it junk.
constexpr std::size_t kMaxSequence = 32;

// The game's code for a final byte that names an arrow (A B C D), or 0.
unsigned char arrowcode(unsigned char final) {
  switch (final) {
    case 'A':
      return 'H';
    case 'B':
      return 'P';
    case 'C':
      return 'M';
    case 'D':
      return 'K';
    default:
      return 0;
  }
}

// The game's code for a keypad digit in application mode (8 2 6 4), or 0.
unsigned char keypadcode(unsigned char final) {
  switch (final) {
    case 'x':
      return 'H';
    case 'r':
      return 'P';
    case 'v':
      return 'M';
    case 't':
      return 'K';
    default:
      return 0;
  }
}

// A result of one plain key byte.
Decoded single(unsigned char key, std::size_t used) {
  Decoded d;
  d.used = used;
  d.keys[0] = key;
  d.count = 1;
  return d;
}

// A result of an arrow: prefix byte, then the game's direction code.
Decoded arrow(unsigned char prefix, unsigned char code, std::size_t used) {
  Decoded d;
  d.used = used;
  d.keys[0] = prefix;
  d.keys[1] = code;
  d.count = 2;
  return d;
}

// A result asking for more bytes.
Decoded needmore() {
  Decoded d;
  d.needmore = true;
  return d;
}

// Decodes ESC O x (SS3): cursor keys in application mode and keypad keys.
Decoded decodess3(std::string_view b, bool final) {
  if (b.size() < 3) return final ? single(kUnknownKey, b.size()) : needmore();
  auto f = static_cast<unsigned char>(b[2]);
  if (unsigned char a = arrowcode(f)) return arrow(kArrowPrefix, a, 3);
  if (unsigned char k = keypadcode(f)) return arrow(kKeypadPrefix, k, 3);
  if (f < 0x20 || f == 0x7f) return single(kUnknownKey, 2);  // a control cuts it short
  return single(kUnknownKey, 3);
}

// Decodes ESC [ params intermediates final (CSI), arrows with or without modifiers.
Decoded decodecsi(std::string_view b, bool final) {
  std::size_t i = 2;
  while (i < b.size() && i < kMaxSequence) {
    auto c = static_cast<unsigned char>(b[i]);
    if (c >= 0x40 && c <= 0x7e) {
      unsigned char a = arrowcode(c);
      return a ? arrow(kArrowPrefix, a, i + 1) : single(kUnknownKey, i + 1);
    }
    if (c < 0x20 || c > 0x3f) return single(kUnknownKey, i);  // junk ends the sequence
    ++i;
  }
  if (i >= kMaxSequence) return single(kUnknownKey, i);
  return final ? single(kUnknownKey, b.size()) : needmore();
}

}  // namespace

Decoded decodekey(std::string_view b, bool final) {
  if (b.empty()) return needmore();
  auto c = static_cast<unsigned char>(b[0]);
  if (c != kEsc) return single(c, 1);
  if (b.size() < 2) return final ? single(kUnknownKey, 1) : needmore();
  if (b[1] == '[') return decodecsi(b, final);
  if (b[1] == 'O') return decodess3(b, final);
  return single(kUnknownKey, 1);  // a lone Esc; the next byte is a key of its own
}

}  // namespace gomoku::console
