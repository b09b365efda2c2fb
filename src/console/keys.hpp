// Turns the bytes a terminal sends into the key bytes the game reads.
#pragma once

#include <cstddef>
#include <string_view>

namespace gomoku::console {

// Prefix byte of an arrow key, as the game expects it before H, P, K or M.
inline constexpr unsigned char kArrowPrefix = 224;
// Prefix byte of an arrow key on the numeric keypad.
inline constexpr unsigned char kKeypadPrefix = 0;
// The key byte given for an escape sequence the game does not know, and for a lone Esc.
inline constexpr unsigned char kUnknownKey = 27;
// Decoded::mode of the terminal's answer to a device attributes query.
inline constexpr int kAttributesReply = -1;

// The result of decoding the front of a byte buffer: a key, or a terminal's reply to a
// query (no key: count 0, mode says what the reply is about).
struct Decoded {
  bool needmore = false;    // the bytes start a sequence that is not complete yet
  std::size_t used = 0;     // bytes consumed from the front of the buffer
  unsigned char keys[2]{};  // key bytes produced
  int count = 0;            // how many of keys[] are valid; 0 for a reply or needmore
  int mode = 0;             // a reply's subject: the private mode reported, or kAttributesReply
  int setting = 0;          // a mode report's value: 1 set, 2 reset (0 unknown, 3 and 4 fixed)
};

// Decodes one key from the front of `bytes`. When `final` is true no more bytes
// will follow soon, so a partial sequence is taken as it stands (a lone Esc).
// An empty buffer gives needmore.
Decoded decodekey(std::string_view bytes, bool final);

}  // namespace gomoku::console
