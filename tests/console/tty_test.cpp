// The console on real descriptors: whole keys from bytes cut anywhere, lines, pauses,
// echo, and output that is no terminal.
#include "console/posix/tty.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/pty.hpp"
#include "support/vt.hpp"

namespace gomoku::console {
namespace {

using testing::drain;
using testing::Pipe;
using testing::Pty;
using testing::put;

// The game's console reading `in` and writing `out` (a pipe of its own unless given).
class OnFds {
 public:
  explicit OnFds(int in, int out = -1) : tty(in, out < 0 ? pipe.out() : out) { setconsole(&tty); }
  ~OnFds() { setconsole(nullptr); }
  Pipe pipe;
  TtyConsole tty;
};

// Every key read until the end of input.
std::string allkeys(TtyConsole& tty) {
  std::string keys;
  for (int k; (k = tty.readkey()) >= 0;) keys += static_cast<char>(k);
  return keys;
}

// A held arrow key over a slow link: thousands of arrows in one burst, so that reads cut
// sequences anywhere; every arrow arrives whole.
TEST(TtyKeys, BurstOfArrowsArrivesWhole) {
  std::string burst, expect;
  for (int i = 0; i < 2000; ++i) {
    burst += "\x1b[A";
    expect += "\xe0H";
  }
  Pipe in;
  put(in.out(), burst);
  in.end();
  OnFds c(in.in());
  EXPECT_EQ(allkeys(c.tty), expect);
}

struct ReadCase {
  const char* name;
  std::string bytes;
  const char* reads;  // p: pause, l: getline, k: getch
  std::vector<std::string> got;
};

void PrintTo(const ReadCase& c, std::ostream* os) {
  *os << c.name;
}

class Reads : public ::testing::TestWithParam<ReadCase> {};

// Pauses take one whole key, lines hold what was typed and end at LF, CR or CR LF.
TEST_P(Reads, TakeWholeKeysAndLineEnds) {
  Pipe in;
  put(in.out(), GetParam().bytes);
  in.end();
  OnFds c(in.in());
  std::vector<std::string> got;
  for (const char* r = GetParam().reads; *r; ++r) {
    std::string line;
    int k = 0;
    if (*r == 'p') got.push_back(pause() ? "pause" : "<end>");
    if (*r == 'l') got.push_back(getline(line) ? line : "<end>");
    if (*r == 'k') got.push_back((k = getch()) < 0 ? "<end>" : std::string(1, char(k)));
  }
  EXPECT_EQ(got, GetParam().got);
}

INSTANTIATE_TEST_SUITE_P(
    Tty, Reads,
    ::testing::Values(ReadCase{"arrow_at_pause", "\x1b[A7\n", "pl", {"pause", "7"}},
                      ReadCase{"arrow_in_a_line", "1\x1b[D2\n", "l", {"12"}},
                      ReadCase{"thai_letter_in_a_line", "\xe0\xb8\x81\n", "l", {"\xe0\xb8\x81"}},
                      ReadCase{"crlf_ends_one_line", "3\r\n5\r\nk", "llk", {"3", "5", "k"}},
                      ReadCase{"cr_alone_ends_a_line", "3\rk", "lk", {"3", "k"}},
                      ReadCase{"lf_after_a_line_is_a_key", "3\n\n", "lk", {"3", "\n"}}),
    [](const auto& test) { return std::string(test.param.name); });

// Typed at a terminal, only printable characters are echoed (no C1 controls, no broken
// UTF-8), and Backspace erases exactly what its character's echo took.
TEST(TtyEcho, OnlyPrintableCharactersAreEchoed) {
  Pty term;
  OnFds c(term.slave);
  put(term.master,
      "a\xc2\x9b"
      "2J\x9b\xe7\x8e\xa9\x7f\x7f\n");
  std::string line;
  ASSERT_TRUE(getline(line));
  EXPECT_EQ(line,
            "a\xc2\x9b"
            "2J");
  c.tty.present();
  EXPECT_EQ(drain(c.pipe.in()), "a2J玩\b\b  \b\b\n");
}

// Output that is no terminal gets the whole screen, whatever terminal the input is.
TEST(TtySize, OutputToAFileIsNeverCut) {
  Pty small(80, 24);
  OnFds c(small.slave);
  cls();
  SetPos(0, 28);
  con().write("line 28");
  c.tty.present();
  testing::Vt vt(80, 31);
  vt.apply(drain(c.pipe.in()));
  EXPECT_EQ(vt.scr.line(28), "line 28");
}

// While the game is busy, what a person types is dropped and what a script sends is kept.
TEST(TtyIdle, DropsTypedKeysAndKeepsScriptedOnes) {
  {
    Pty term;
    OnFds typed(term.slave);
    put(term.master, "ab\x1b[A");
    typed.tty.idle(50);
    put(term.master, "z");
    EXPECT_EQ(typed.tty.readkey(), 'z');
  }
  Pipe script;
  OnFds scripted(script.in());
  put(script.out(), "ab");
  script.end();
  scripted.tty.idle(10);
  EXPECT_EQ(allkeys(scripted.tty), "ab");
}

}  // namespace
}  // namespace gomoku::console
