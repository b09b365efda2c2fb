#include "console/keys.hpp"

#include <charconv>

namespace gomoku::console {
namespace {

constexpr unsigned char kEsc = 27;
constexpr unsigned char kBel = 7;
// Longest escape sequence we wait for before calling it junk.
constexpr std::size_t kMaxSequence = 32;
// Longest string sequence (OSC, DCS, APC, PM, SOS) taken as one key.
constexpr std::size_t kMaxString = 4096;

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

// A result for a sequence cut short: what there is when no more will come, else wait.
Decoded partial(std::string_view b, bool final) {
  return final ? single(kUnknownKey, b.size()) : needmore();
}

// A terminal's reply about `mode` with `setting`, `used` bytes long.
Decoded reply(int mode, int setting, std::size_t used) {
  Decoded d;
  d.used = used;
  d.mode = mode;
  d.setting = setting;
  return d;
}

// Reads a decimal number from the front of `s`, dropping it; -1 when there is none.
int number(std::string_view& s) {
  int v = -1;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc()) return -1;
  s.remove_prefix(static_cast<std::size_t>(p - s.data()));
  return v;
}

// Classifies a complete CSI sequence of `used` bytes with parameters `body` and final
// byte `f`: a reply to our queries (DECRPM "?mode;setting$y", DA "?...c"), or a key.
Decoded csiresult(std::string_view body, unsigned char f, std::size_t used) {
  if (unsigned char a = arrowcode(f)) return arrow(kArrowPrefix, a, used);
  if (body.empty() || body[0] != '?') return single(kUnknownKey, used);
  body.remove_prefix(1);
  if (f == 'c') return reply(kAttributesReply, 0, used);
  int mode = number(body);
  if (f != 'y' || mode < 0 || body.size() < 2 || body[0] != ';') return single(kUnknownKey, used);
  body.remove_prefix(1);
  int setting = number(body);
  return body == "$" ? reply(mode, setting, used) : single(kUnknownKey, used);
}

// Decodes ESC O x (SS3): cursor keys in application mode and keypad keys.
Decoded decodess3(std::string_view b, bool final) {
  if (b.size() < 3) return partial(b, final);
  auto f = static_cast<unsigned char>(b[2]);
  if (unsigned char a = arrowcode(f)) return arrow(kArrowPrefix, a, 3);
  if (unsigned char k = keypadcode(f)) return arrow(kKeypadPrefix, k, 3);
  if (f < 0x20 || f == 0x7f) return single(kUnknownKey, 2);  // a control cuts it short
  return single(kUnknownKey, 3);
}

// Decodes ESC [ params intermediates final (CSI): arrows with or without modifiers,
// replies to queries, and a mouse report ESC [ M with its three bytes of payload.
Decoded decodecsi(std::string_view b, bool final) {
  std::size_t i = 2;
  while (i < b.size() && i < kMaxSequence) {
    auto c = static_cast<unsigned char>(b[i]);
    if (c >= 0x40 && c <= 0x7e) {
      if (c == 'M' && i == 2) return b.size() < 6 ? partial(b, final) : single(kUnknownKey, 6);
      return csiresult(b.substr(2, i - 2), c, i + 1);
    }
    if (c < 0x20 || c > 0x3f) return single(kUnknownKey, i);  // junk ends the sequence
    ++i;
  }
  if (i >= kMaxSequence) return single(kUnknownKey, i);
  return partial(b, final);
}

// Decodes a string sequence (ESC ] OSC, ESC P DCS, ESC _ APC, ESC ^ PM, ESC X SOS),
// ended by BEL or ESC \ and cut short by any other control.
Decoded decodestring(std::string_view b, bool final) {
  std::size_t i = 2;
  for (; i < b.size() && i < kMaxString; ++i) {
    auto c = static_cast<unsigned char>(b[i]);
    if (c == kBel) return single(kUnknownKey, i + 1);
    if (c == kEsc && i + 1 == b.size()) return partial(b, final);
    if (c == kEsc) return single(kUnknownKey, b[i + 1] == '\\' ? i + 2 : i);
    if (c < 0x20) return single(kUnknownKey, i);
  }
  return i >= kMaxString ? single(kUnknownKey, i) : partial(b, final);
}

// True for the byte after ESC that starts a string sequence.
bool startsstring(char c) {
  return c == ']' || c == 'P' || c == '_' || c == '^' || c == 'X';
}

}  // namespace

Decoded decodekey(std::string_view b, bool final) {
  if (b.empty()) return needmore();
  auto c = static_cast<unsigned char>(b[0]);
  if (c != kEsc) return single(c, 1);
  if (b.size() < 2) return partial(b, final);
  if (b[1] == '[') return decodecsi(b, final);
  if (b[1] == 'O') return decodess3(b, final);
  if (startsstring(b[1])) return decodestring(b, final);
  return single(kUnknownKey, 1);  // a lone Esc; the next byte is a key of its own
}

}  // namespace gomoku::console
