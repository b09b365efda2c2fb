#include "console/screen.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gomoku::console {
namespace {

TEST(ScreenModel, TextOverwritesAtTheCursor) {
  Screen s(20, 5);
  s.write("abcdef");
  s.setpos(2, 0);
  s.write("XY");
  EXPECT_EQ(s.line(0), "abXYef");
  EXPECT_EQ(s.curx(), 4);
}

TEST(ScreenModel, LineBreakMovesDownWithoutErasing) {
  Screen s(20, 5);
  s.write("first\nsecond");
  s.setpos(0, 0);
  s.write("1\n");
  EXPECT_EQ(s.line(0), "1irst");
  EXPECT_EQ(s.line(1), "second");
  EXPECT_EQ(s.curx(), 0);
  EXPECT_EQ(s.cury(), 1);
}

TEST(ScreenModel, SetPosIsAbsoluteAndClamped) {
  Screen s(20, 5);
  s.write("xx\nyy");
  s.setpos(10, 3);
  s.write("z");
  EXPECT_EQ(s.line(3), std::string(10, ' ') + "z");
  s.setpos(99, 99);
  EXPECT_EQ(s.curx(), 19);
  EXPECT_EQ(s.cury(), 4);
}

TEST(ScreenModel, ClearBlanksAndHomes) {
  Screen s(20, 5);
  s.write("abc\ndef");
  s.clear();
  EXPECT_EQ(s.text(), "");
  EXPECT_EQ(s.curx(), 0);
  EXPECT_EQ(s.cury(), 0);
}

TEST(ScreenModel, ChineseCharactersTakeTwoColumns) {
  Screen s(20, 5);
  s.write("玩家:1");
  EXPECT_EQ(s.curx(), 6);
  EXPECT_EQ(s.at(0, 0).width, 2);
  EXPECT_EQ(s.at(1, 0).width, 0);
  EXPECT_EQ(s.at(4, 0).ch, U':');
}

struct SplitCase {
  const char* name;
  int x;
  const char* text;
  const char* expect;
};

class WideSplit : public ::testing::TestWithParam<SplitCase> {};

// Writing over half of a wide character blanks its other half.
TEST_P(WideSplit, BlanksTheOrphanedHalf) {
  Screen s(20, 5);
  s.write("a玩家b");
  s.setpos(GetParam().x, 0);
  s.write(GetParam().text);
  EXPECT_EQ(s.line(0), GetParam().expect);
}

INSTANTIATE_TEST_SUITE_P(Screen, WideSplit,
                         ::testing::Values(SplitCase{"first_half", 1, "x", "ax 家b"},
                                           SplitCase{"second_half", 2, "x", "a x家b"},
                                           SplitCase{"wide_over_two_halves", 2, "一", "a 一 b"}),
                         [](const auto& test) { return std::string(test.param.name); });

struct WrapCase {
  const char* name;
  const char* text;
  std::vector<std::string> lines;
  int x, y;
};

void PrintTo(const WrapCase& c, std::ostream* os) {
  *os << c.name;
}

class Wrap : public ::testing::TestWithParam<WrapCase> {};

// Text wraps before the character that does not fit (a full line's own line break adds
// no empty line), scrolls at the bottom, and Backspace goes back across a wrap only.
TEST_P(Wrap, WrapsScrollsAndBacksUp) {
  Screen s(4, 3);
  s.write(GetParam().text);
  EXPECT_EQ(std::vector<std::string>({s.line(0), s.line(1), s.line(2)}), GetParam().lines);
  EXPECT_EQ(s.curx(), GetParam().x);
  EXPECT_EQ(s.cury(), GetParam().y);
}

INSTANTIATE_TEST_SUITE_P(
    ScreenModel, Wrap,
    ::testing::Values(
        WrapCase{"full_line_waits_to_wrap", "abcd", {"abcd", "", ""}, 4, 0},
        WrapCase{"full_line_then_break", "abcd\nef", {"abcd", "ef", ""}, 2, 1},
        WrapCase{"wraps_and_scrolls", "abcdefghijklm", {"efgh", "ijkl", "m"}, 1, 2},
        WrapCase{"erase_back_over_wrap", "abcde\b \b\b \b", {"abc", "", ""}, 3, 0},
        WrapCase{"erase_after_scroll", "abcdefghijklm\b \b\b \b", {"efgh", "ijk", ""}, 3, 1},
        WrapCase{"wide_char_wraps_whole", "abc一\b\b  \b\b\b \b", {"ab", "", ""}, 2, 0},
        WrapCase{"no_backspace_over_break", "ab\ncd\b\b\b", {"ab", "cd", ""}, 0, 1}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(ScreenModel, ResizeKeepsWhatFits) {
  Screen s(6, 3);
  s.write("ab玩家\nxyz");
  s.resize(5, 2);
  EXPECT_EQ(s.line(0), "ab玩");
  EXPECT_EQ(s.line(1), "xyz");
  s.resize(8, 4);
  EXPECT_EQ(s.line(0), "ab玩");
  EXPECT_EQ(s.cols(), 8);
  EXPECT_EQ(s.curx(), 3);
  EXPECT_EQ(s.cury(), 1);
}

TEST(ScreenModel, WideCharacterDoesNotStraddleTheEdge) {
  Screen s(5, 3);
  s.write("abcd玩");
  EXPECT_EQ(s.line(0), "abcd");
  EXPECT_EQ(s.line(1), "玩");
}

TEST(ScreenModel, ControlCharactersAreNotStored) {
  Screen s(20, 3);
  s.write("a\x1b[2Jb\x07");
  EXPECT_EQ(s.line(0), "a[2Jb");
}

TEST(ScreenModel, BackspaceMovesLeft) {
  Screen s(20, 3);
  s.write("ab\b\bX");
  EXPECT_EQ(s.line(0), "Xb");
}

TEST(ScreenModel, ArrowsFollowTheAmbiguousWidth) {
  Screen narrow(20, 3, 1), wide(20, 3, 2);
  narrow.write("↑x");
  wide.write("↑x");
  EXPECT_EQ(narrow.at(1, 0).ch, U'x');
  EXPECT_EQ(wide.at(2, 0).ch, U'x');
}

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
