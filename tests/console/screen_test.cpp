#include "console/screen.hpp"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace gomoku::console {
namespace {

// One thing done to a screen: text written, the cursor set, a clear or a resize.
struct Op {
  enum Kind { kWrite, kSetPos, kClear, kResize } kind;
  std::string text;
  int x = 0, y = 0;
};

Op W(std::string text) {
  return {Op::kWrite, std::move(text)};
}
Op P(int x, int y) {
  return {Op::kSetPos, "", x, y};
}
Op C() {
  return {Op::kClear, ""};
}
Op R(int cols, int rows) {
  return {Op::kResize, "", cols, rows};
}

struct ScreenCase {
  const char* name;
  int cols, rows, ambiguous;
  std::vector<Op> ops;
  std::vector<std::string> lines;  // every line of the screen, trailing blanks removed
  int x, y;                        // the cursor
};

void PrintTo(const ScreenCase& c, std::ostream* os) {
  *os << c.name;
}

class Screens : public ::testing::TestWithParam<ScreenCase> {};

// The screen shows what a console would: text overwrites at the cursor, a line break
// moves down without erasing, wide characters take two columns and are never cut in
// half, text wraps before the character that does not fit (a full line's own line
// break adds no empty line) and scrolls at the bottom, and Backspace goes back across a
// wrap only.
TEST_P(Screens, ShowWhatAConsoleWould) {
  const ScreenCase& k = GetParam();
  Screen s(k.cols, k.rows, k.ambiguous);
  for (const Op& op : k.ops) {
    if (op.kind == Op::kWrite) s.write(op.text);
    if (op.kind == Op::kSetPos) s.setpos(op.x, op.y);
    if (op.kind == Op::kClear) s.clear();
    if (op.kind == Op::kResize) s.resize(op.x, op.y);
  }
  std::vector<std::string> lines;
  for (int y = 0; y < s.rows(); ++y) lines.push_back(s.line(y));
  EXPECT_EQ(lines, k.lines);
  EXPECT_EQ(std::make_pair(s.curx(), s.cury()), std::make_pair(k.x, k.y));
}

const ScreenCase kScreens[] = {
    {"overwrites_at_the_cursor", 8, 2, 1, {W("abcdef"), P(2, 0), W("XY")}, {"abXYef", ""}, 4, 0},
    {"line_break_does_not_erase",
     8,
     2,
     1,
     {W("first\nsecond"), P(0, 0), W("1\n")},
     {"1irst", "second"},
     0,
     1},
    {"setpos_is_absolute",
     12,
     4,
     1,
     {W("xx\nyy"), P(10, 3), W("z")},
     {"xx", "yy", "", "          z"},
     11,
     3},
    {"setpos_is_clamped", 8, 2, 1, {P(99, 99)}, {"", ""}, 7, 1},
    {"clear_blanks_and_homes", 8, 2, 1, {W("abc\ndef"), C()}, {"", ""}, 0, 0},
    {"chinese_takes_two_columns", 8, 1, 1, {W("玩家:1")}, {"玩家:1"}, 6, 0},
    {"controls_are_not_stored", 8, 1, 1, {W("a\x1b[2Jb\x07")}, {"a[2Jb"}, 5, 0},
    {"backspace_moves_left", 8, 1, 1, {W("ab\b\bX")}, {"Xb"}, 1, 0},
    {"arrow_one_column", 8, 1, 1, {W("↑x")}, {"↑x"}, 2, 0},
    {"arrow_two_columns", 8, 1, 2, {W("↑x")}, {"↑x"}, 3, 0},
    {"over_first_half_of_wide", 8, 1, 1, {W("a玩家b"), P(1, 0), W("x")}, {"ax 家b"}, 2, 0},
    {"over_second_half_of_wide", 8, 1, 1, {W("a玩家b"), P(2, 0), W("x")}, {"a x家b"}, 3, 0},
    {"wide_over_two_halves", 8, 1, 1, {W("a玩家b"), P(2, 0), W("一")}, {"a 一 b"}, 4, 0},
    {"wide_does_not_straddle_the_edge", 5, 2, 1, {W("abcd玩")}, {"abcd", "玩"}, 2, 1},
    {"full_line_waits_to_wrap", 4, 3, 1, {W("abcd")}, {"abcd", "", ""}, 4, 0},
    {"full_line_then_break", 4, 3, 1, {W("abcd\nef")}, {"abcd", "ef", ""}, 2, 1},
    {"wraps_and_scrolls", 4, 3, 1, {W("abcdefghijklm")}, {"efgh", "ijkl", "m"}, 1, 2},
    {"erase_back_over_wrap", 4, 3, 1, {W("abcde\b \b\b \b")}, {"abc", "", ""}, 3, 0},
    {"erase_after_scroll", 4, 3, 1, {W("abcdefghijklm\b \b\b \b")}, {"efgh", "ijk", ""}, 3, 1},
    {"wide_char_wraps_whole", 4, 3, 1, {W("abc一\b\b  \b\b\b \b")}, {"ab", "", ""}, 2, 0},
    {"no_backspace_over_break", 4, 3, 1, {W("ab\ncd\b\b\b")}, {"ab", "cd", ""}, 0, 1},
    {"resize_keeps_what_fits", 6, 3, 1, {W("ab玩家\nxyz"), R(5, 2)}, {"ab玩", "xyz"}, 3, 1},
    {"resize_back_loses_the_cut",
     6,
     3,
     1,
     {W("ab玩家\nxyz"), R(5, 2), R(8, 4)},
     {"ab玩", "xyz", "", ""},
     3,
     1},
};

INSTANTIATE_TEST_SUITE_P(ScreenModel, Screens, ::testing::ValuesIn(kScreens),
                         [](const auto& test) { return std::string(test.param.name); });

struct Utf8Case {
  std::string bytes;
  char32_t ch;
  std::size_t len;
};

TEST(Utf8, DecodesAndRejectsMalformedInput) {
  const Utf8Case cases[] = {
      {"A", U'A', 1},
      {"\xc3\xa9", U'é', 2},
      {"\xe7\x8e\xa9", U'玩', 3},
      {"\xf0\x9f\x98\x80", 0x1F600, 4},
      {"\xc0\x80", 0xFFFD, 1},
      {"\xe7\x8e", 0xFFFD, 1},
      {"\xed\xa0\x80", 0xFFFD, 1},
      {"\xff", 0xFFFD, 1},
      {"\x80", 0xFFFD, 1},
  };
  for (const auto& c : cases) {
    std::size_t len = 0;
    EXPECT_EQ(decodeutf8(c.bytes, len), c.ch) << c.bytes;
    EXPECT_EQ(len, c.len) << c.bytes;
    if (c.ch != 0xFFFD) {
      std::string back;
      encodeutf8(c.ch, back);
      EXPECT_EQ(back, c.bytes);
    }
  }
}

}  // namespace
}  // namespace gomoku::console
