// Turns the Windows console's key events into the key bytes the game reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gomoku::console {

// A key event as the Windows console reports it (KEY_EVENT_RECORD), in plain types.
struct KeyEvent {
  bool down = true;          // pressed (key-up events give no keys)
  std::uint16_t repeat = 1;  // how many times the key came while held
  std::uint16_t vk = 0;      // virtual-key code
  char16_t ch = 0;           // the UTF-16 unit it types, 0 for none
  std::uint32_t state = 0;   // modifier and lock state (dwControlKeyState)
};

// Virtual-key codes and modifier bits as the console gives them.
namespace vk {
inline constexpr std::uint16_t kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28;
inline constexpr std::uint16_t kShift = 0x10, kControl = 0x11, kMenu = 0x12;
inline constexpr std::uint16_t kPrior = 0x21, kHelp = 0x2F, kClear = 0x0C;
inline constexpr std::uint16_t kF1 = 0x70, kF24 = 0x87;
inline constexpr std::uint32_t kRightAlt = 0x1, kLeftAlt = 0x2, kRightCtrl = 0x4, kLeftCtrl = 0x8;
}  // namespace vk

// The game's keys for one key event, each a string of bytes handed out together: an
// arrow is one key of two bytes (224, then H, P, K or M, whatever modifier is held); a
// typed character is a key per UTF-8 byte, as a terminal sends it; Alt with a character
// and keys that type nothing (F1, Home) are one unknown key. Key releases and lone
// modifiers give nothing; a held key's repeat count gives that many copies. `high`
// keeps the first half of a UTF-16 surrogate pair until its second half comes.
std::vector<std::string> translatekey(const KeyEvent& e, char16_t& high);

}  // namespace gomoku::console
