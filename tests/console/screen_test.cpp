#include "console/screen.hpp"

#include <gtest/gtest.h>

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
                         [](const auto& i) { return std::string(i.param.name); });

TEST(ScreenModel, WrapsAtTheRightEdgeAndScrollsAtTheBottom) {
  Screen s(4, 3);
  s.write("abcdefgh\nij");
  EXPECT_EQ(s.line(0), "efgh");
  EXPECT_EQ(s.line(1), "");
  EXPECT_EQ(s.line(2), "ij");
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
