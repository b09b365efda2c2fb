#include "console/render.hpp"

#include <gtest/gtest.h>

#include <random>

#include "support/vt.hpp"

namespace gomoku::console {
namespace {

using testing::Vt;

// Expects the emulated terminal to show exactly the model, cursor included.
void expectshows(const Vt& vt, const Screen& s, bool colour) {
  for (int y = 0; y < s.rows(); ++y) {
    EXPECT_EQ(vt.scr.line(y), s.line(y)) << "line " << y;
    for (int x = 0; colour && x < s.cols(); ++x)
      EXPECT_EQ(vt.scr.at(x, y).attr, s.at(x, y).attr) << x << "," << y;
  }
  EXPECT_EQ(vt.x, std::min(s.curx(), s.cols() - 1));  // past the last column: wrap pending
  EXPECT_EQ(vt.y, s.cury());
}

// Writes a random piece of text at a random place of `s`.
void scribble(Screen& s, std::mt19937& rng, bool colour) {
  static const char* const kBits[] = {"O", "X", "*", " ", "玩家", "一", "12", "+", "↑", "  "};
  std::uniform_int_distribution<int> col(0, s.cols() - 1), row(0, s.rows() - 2), bit(0, 9),
      len(1, 6), attr(0, 15);
  s.setpos(col(rng), row(rng));
  if (colour) s.setattr(static_cast<std::uint8_t>(attr(rng)));
  for (int i = len(rng); i > 0; --i) s.write(kBits[bit(rng)]);
  if (bit(rng) == 0) s.clear();
}

class RandomFrames : public ::testing::TestWithParam<bool> {};

// Any sequence of frames, applied to a terminal, leaves it showing the model.
TEST_P(RandomFrames, TerminalAlwaysShowsTheModel) {
  bool colour = GetParam();
  std::mt19937 rng(20261208);
  Encoder enc;
  Screen s(40, 12);
  Renderer r(enc, colour, 40, 12);
  Vt vt(40, 12);
  for (int frame = 0; frame < 400; ++frame) {
    scribble(s, rng, colour);
    vt.apply(r.frame(s));
    expectshows(vt, s, colour);
    if (HasFailure()) FAIL() << "frame " << frame;
  }
}

INSTANTIATE_TEST_SUITE_P(Render, RandomFrames, ::testing::Values(false, true));

TEST(Render, UnchangedScreenSendsNothing) {
  Encoder enc;
  Screen s(40, 12);
  s.write("hello");
  Renderer r(enc, false, 40, 12);
  r.frame(s);
  EXPECT_EQ(r.frame(s), "");
}

TEST(Render, FirstFrameClearsAndLaterOnesDoNot) {
  Encoder enc;
  Screen s(40, 12);
  Renderer r(enc, false, 40, 12);
  Vt vt(40, 12);
  vt.apply(r.frame(s));
  EXPECT_EQ(vt.clears, 1);
  s.clear();
  s.write("x");
  vt.apply(r.frame(s));
  EXPECT_EQ(vt.clears, 1);
  r.invalidate();
  vt.apply(r.frame(s));
  EXPECT_EQ(vt.clears, 2);
  expectshows(vt, s, false);
}

TEST(Render, NarrowTerminalCutsOffWithoutWrapping) {
  Encoder enc;
  Screen s(40, 12);
  s.write(std::string(35, 'a') + "\nb");
  Renderer r(enc, false, 20, 6);
  Vt vt(20, 6);
  vt.apply(r.frame(s));
  EXPECT_EQ(vt.scr.line(0), std::string(20, 'a'));
  EXPECT_EQ(vt.scr.line(1), "b");
}

// A terminal with fewer lines than the model shows the lines down to the cursor's.
TEST(Render, ViewFollowsTheCursorDownTheModel) {
  Encoder enc;
  Screen s(20, 6);
  s.write("l0\nl1\nl2\nl3\nl4\nl5");
  Renderer r(enc, false, 20, 4);
  Vt vt(20, 4);
  vt.apply(r.frame(s));
  EXPECT_EQ(vt.scr.text(), "l2\nl3\nl4\nl5\n");
  EXPECT_EQ(vt.y, 3);
  s.setpos(0, 1);
  vt.apply(r.frame(s));
  EXPECT_EQ(vt.scr.text(), "l0\nl1\nl2\nl3\n");
  EXPECT_EQ(vt.y, 1);
}

TEST(Render, ColourOffSendsNoAttributes) {
  Encoder enc;
  Screen s(40, 12);
  s.setattr(kPlayer1 | kLast);
  s.write("O");
  Renderer r(enc, false, 40, 12);
  EXPECT_EQ(r.frame(s).find("m"), std::string::npos);
}

TEST(Render, GbkOutputIsConverted) {
  Encoder enc("GBK");
  if (!enc.gb()) GTEST_SKIP() << "no GBK converter";
  Screen s(40, 12, 2);
  s.write("玩家↑");
  Renderer r(enc, false, 40, 12);
  std::string out = r.frame(s);
  EXPECT_NE(out.find("\xcd\xe6\xbc\xd2\xa1\xfc"), std::string::npos);
}

}  // namespace
}  // namespace gomoku::console
