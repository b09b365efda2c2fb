#include "console/keyevents.hpp"

#include <algorithm>

#include "console/keys.hpp"
#include "console/screen.hpp"

namespace gomoku::console {
namespace {

// The game's code for an arrow's virtual-key code, or 0.
char arrowcode(std::uint16_t code) {
  switch (code) {
    case vk::kUp:
      return 'H';
    case vk::kDown:
      return 'P';
    case vk::kLeft:
      return 'K';
    case vk::kRight:
      return 'M';
    default:
      return 0;
  }
}

// True for keys that type nothing but are keys of their own: Page Up to Help (the
// arrows among them), Clear and the function keys. Modifiers, locks and the like are not.
bool plainkey(std::uint16_t code) {
  return (code >= vk::kPrior && code <= vk::kHelp) || code == vk::kClear ||
         (code >= vk::kF1 && code <= vk::kF24);
}

// True when Alt is held without Ctrl (Ctrl with Alt is AltGr, which types characters).
bool altonly(std::uint32_t state) {
  return (state & (vk::kLeftAlt | vk::kRightAlt)) && !(state & (vk::kLeftCtrl | vk::kRightCtrl));
}

// The code point that `unit` completes, or 0 while a surrogate pair is half read.
char32_t codepoint(char16_t unit, char16_t& high) {
  if (unit >= 0xD800 && unit < 0xDC00) {
    high = unit;
    return 0;
  }
  char16_t first = high;
  high = 0;
  if (unit < 0xDC00 || unit >= 0xE000) return unit;
  if (first == 0) return 0xFFFD;  // a second half alone
  return 0x10000 + ((char32_t(first) - 0xD800) << 10) + (unit - 0xDC00);
}

// The keys for one press of the key `e` names, before its repeat count.
std::vector<std::string> onepress(const KeyEvent& e, char16_t& high) {
  if (char code = arrowcode(e.vk)) return {std::string{static_cast<char>(kArrowPrefix), code}};
  if (e.ch == 0) {
    if (plainkey(e.vk)) return {std::string(1, static_cast<char>(kUnknownKey))};
    return {};
  }
  if (altonly(e.state)) return {std::string(1, static_cast<char>(kUnknownKey))};
  char32_t c = codepoint(e.ch, high);
  if (c == 0) return {};
  std::string bytes;
  encodeutf8(c, bytes);
  std::vector<std::string> keys;
  for (char b : bytes) keys.emplace_back(1, b);
  return keys;
}

}  // namespace

std::vector<std::string> translatekey(const KeyEvent& e, char16_t& high) {
  if (!e.down) return {};
  std::vector<std::string> one = onepress(e, high), keys;
  for (int i = 0; i < std::max<int>(1, e.repeat); ++i)
    keys.insert(keys.end(), one.begin(), one.end());
  return keys;
}

}  // namespace gomoku::console
