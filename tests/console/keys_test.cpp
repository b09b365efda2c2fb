#include "console/keys.hpp"

#include <gtest/gtest.h>

#include <string>

namespace gomoku::console {
namespace {

// Decodes a whole buffer, as the reader does, into the key bytes it gives.
std::string decodeall(std::string bytes, bool final) {
  std::string keys;
  while (!bytes.empty()) {
    Decoded d = decodekey(bytes, final);
    if (d.needmore) return keys + "<more>";
    keys.append(reinterpret_cast<const char*>(d.keys), d.count);
    if (d.count == 0) keys += "<" + std::to_string(d.mode) + ":" + std::to_string(d.setting) + ">";
    bytes.erase(0, d.used);
  }
  return keys;
}

struct Case {
  const char* name;
  std::string bytes;
  bool final;
  std::string keys;
};

const std::string kUp = "\xe0H", kDown = "\xe0P", kLeft = "\xe0K", kRight = "\xe0M";
const std::string kU = "\x1b";  // the byte given for an unknown key

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class DecodeTable : public ::testing::TestWithParam<Case> {};

TEST_P(DecodeTable, GivesTheGamesKeyBytes) {
  const Case& c = GetParam();
  EXPECT_EQ(decodeall(c.bytes, c.final), c.keys);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, DecodeTable,
    ::testing::Values(
        Case{"plain_letters", "wasd ", false, "wasd "},
        Case{"csi_arrows", "\x1b[A\x1b[B\x1b[C\x1b[D", false, kUp + kDown + kRight + kLeft},
        Case{"ss3_arrows", "\x1bOA\x1bOB\x1bOC\x1bOD", false, kUp + kDown + kRight + kLeft},
        Case{"keypad_application", "\x1bOx\x1bOr\x1bOv\x1bOt", false,
             std::string("\0H\0P\0M\0K", 8)},
        Case{"modified_arrow", "\x1b[1;5A", false, kUp}, Case{"lone_esc_final", "\x1b", true, kU},
        Case{"lone_esc_then_key", "\x1bw", false, kU + "w"},
        Case{"esc_esc", "\x1b\x1b[A", false, kU + kUp},
        Case{"unknown_csi_is_one_key", "\x1b[15~w", false, kU + "w"},
        Case{"unknown_ss3_is_one_key", "\x1bOPw", false, kU + "w"},
        Case{"csi_cut_by_control", "\x1b[1\nw", false, kU + "\nw"},
        Case{"csi_cut_by_high_byte", "\x1b[\xe0H", false, kU + "\xe0H"},
        Case{"overlong_csi", "\x1b[" + std::string(40, '1') + "A", false,
             kU + std::string(10, '1') + "A"},
        Case{"partial_csi_waits", "w\x1b[", false, "w<more>"},
        Case{"partial_csi_final", "w\x1b[1", true, "w" + kU},
        Case{"partial_ss3_waits", "\x1bO", false, "<more>"},
        Case{"partial_ss3_final", "\x1bO", true, kU},
        Case{"several_keys_one_read", "a\x1b[Cd\x1bOB ", false, "a" + kRight + "d" + kDown + " "},
        Case{"high_bytes_pass", "\xe0H\xe4\xb8\x80", false, "\xe0H\xe4\xb8\x80"},
        Case{"x10_mouse_report", "\x1b[M !!w", false, kU + "w"},
        Case{"x10_mouse_report_waits", "\x1b[M !", false, "<more>"},
        Case{"sgr_mouse_report", "\x1b[<0;12;5M\x1b[<0;12;5mw", false, kU + kU + "w"},
        Case{"bracketed_paste", "\x1b[200~3\n\x1b[201~", false, kU + "3\n" + kU},
        Case{"osc_ended_by_bel", "\x1b]11;rgb:0/0/0\x07w", false, kU + "w"},
        Case{"dcs_ended_by_st", "\x1bP1$r0m\x1b\\w", false, kU + "w"},
        Case{"osc_waits_for_its_end", "\x1b]0;title", false, "<more>"},
        Case{"osc_cut_by_a_control", "\x1b]0;ti\nw", false, kU + "\nw"},
        Case{"mode_report", "\x1b[?1000;1$y\x1b[?2004;2$yw", false, "<1000:1><2004:2>w"},
        Case{"attributes_reply", "\x1b[?62;22cw", false, "<-1:0>w"},
        Case{"malformed_mode_report", "\x1b[?1000$yw", false, kU + "w"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(Decode, SequenceSplitAcrossTwoReads) {
  std::string buf = "\x1b[";
  EXPECT_TRUE(decodekey(buf, false).needmore);
  buf += "D";
  Decoded d = decodekey(buf, false);
  ASSERT_FALSE(d.needmore);
  EXPECT_EQ(d.used, 3u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(d.keys), d.count), kLeft);
}

TEST(Decode, EmptyBufferNeedsMore) {
  EXPECT_TRUE(decodekey("", true).needmore);
}

}  // namespace
}  // namespace gomoku::console
