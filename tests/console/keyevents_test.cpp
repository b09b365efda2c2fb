#include "console/keyevents.hpp"

#include <gtest/gtest.h>

#include <string>

namespace gomoku::console {
namespace {

using vk::kLeftAlt;
using vk::kLeftCtrl;
using vk::kRightAlt;

// Key events and the keys they give, each key's bytes followed by '|'.
struct EventCase {
  const char* name;
  std::vector<KeyEvent> events;
  std::string keys;
};

void PrintTo(const EventCase& c, std::ostream* os) {
  *os << c.name;
}

// A key pressed once: virtual-key code, the character it types, the modifiers held.
KeyEvent press(std::uint16_t code, char16_t ch, std::uint32_t state = 0) {
  return KeyEvent{true, 1, code, ch, state};
}

class Translate : public ::testing::TestWithParam<EventCase> {};

TEST_P(Translate, GivesTheGamesKeys) {
  std::string got;
  char16_t high = 0;
  for (const KeyEvent& e : GetParam().events)
    for (const std::string& key : translatekey(e, high)) got += key + "|";
  EXPECT_EQ(got, GetParam().keys);
}

const KeyEvent kShiftDown = press(vk::kShift, 0, 0x10);

INSTANTIATE_TEST_SUITE_P(
    KeyEvents, Translate,
    ::testing::Values(
        EventCase{
            "arrows",
            {press(vk::kUp, 0), press(vk::kDown, 0), press(vk::kLeft, 0), press(vk::kRight, 0)},
            "\xe0H|\xe0P|\xe0K|\xe0M|"},
        EventCase{"arrows_with_modifiers",
                  {press(vk::kUp, 0, kLeftCtrl), press(vk::kLeft, 0, kLeftAlt),
                   press(vk::kDown, 0, 0x10)},
                  "\xe0H|\xe0K|\xe0P|"},
        EventCase{
            "wasd_and_space",
            {press('W', 'w'), press('A', 'a'), press('S', 's'), press('D', 'd'), press(0x20, ' ')},
            "w|a|s|d| |"},
        EventCase{"enter_backspace_esc",
                  {press(0x0D, '\r'), press(0x08, '\b'), press(0x1B, 0x1B)},
                  "\r|\b|\x1b|"},
        EventCase{"shifted_letter_after_lone_shift", {kShiftDown, press('Y', 'Y', 0x10)}, "Y|"},
        EventCase{"modifiers_and_locks_alone",
                  {press(vk::kControl, 0, kLeftCtrl), press(vk::kMenu, 0, kLeftAlt), press(0x14, 0),
                   press(0x5B, 0)},
                  ""},
        EventCase{"ctrl_letters_are_control_bytes",
                  {press('D', 0x04, kLeftCtrl), press('H', 0x08, kLeftCtrl)},
                  "\x04|\x08|"},
        EventCase{"alt_letter_is_one_unknown_key", {press('W', 'w', kLeftAlt)}, "\x1b|"},
        EventCase{"altgr_types_its_character", {press('Q', '@', kRightAlt | kLeftCtrl)}, "@|"},
        EventCase{"function_and_editing_keys",
                  {press(vk::kF1, 0), press(0x24, 0), press(0x2E, 0)},
                  "\x1b|\x1b|\x1b|"},
        EventCase{"key_up_gives_nothing",
                  {KeyEvent{false, 1, 'W', 'w', 0}, KeyEvent{false, 1, vk::kUp, 0, 0}},
                  ""},
        EventCase{"repeat_count_gives_copies",
                  {KeyEvent{true, 3, vk::kRight, 0, 0}, KeyEvent{true, 2, 'S', 's', 0}},
                  "\xe0M|\xe0M|\xe0M|s|s|"},
        EventCase{"chinese_character_is_a_key_per_byte", {press(0, u'玩')}, "\xe7|\x8e|\xa9|"},
        EventCase{"surrogate_pair_is_one_character",
                  {press(0, 0xD83D), press(0, 0xDE00), press(0, 0xDE00)},
                  "\xf0|\x9f|\x98|\x80|\xef|\xbf|\xbd|"}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace gomoku::console
