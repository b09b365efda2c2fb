#include "console/posix/terminal.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <thread>

#include "console/giveback.hpp"
#include "support/pty.hpp"

namespace gomoku::console::term {
namespace {

using testing::drain;
using testing::Pipe;
using testing::Pty;

// A non-blocking pipe drained slowly: writes come back short or would block.
TEST(WriteAll, SendsEverythingThroughShortAndWouldBlockWrites) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  fcntl(fds[1], F_SETFL, fcntl(fds[1], F_GETFL) | O_NONBLOCK);
  std::string data;
  for (int i = 0; data.size() < 300000; ++i) data += std::to_string(i) + ",";
  std::string got;
  std::thread reader([&] {
    char buf[777];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0) got.append(buf, static_cast<std::size_t>(n));
  });
  EXPECT_TRUE(writeall(fds[1], data));
  close(fds[1]);
  reader.join();
  close(fds[0]);
  EXPECT_EQ(got, data);
}

TEST(WriteAll, ReportsOutputThatHasGoneAway) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  close(fds[0]);
  signal(SIGPIPE, SIG_IGN);
  EXPECT_FALSE(writeall(fds[1], "frame"));
  close(fds[1]);
  signal(SIGPIPE, SIG_DFL);
}

// The terminal modes that matter to the game, for comparing.
std::string flags(const termios& t) {
  return std::to_string(t.c_iflag) + " " + std::to_string(t.c_oflag) + " " +
         std::to_string(t.c_lflag) + " " + std::to_string(t.c_cc[VMIN]) + " " +
         std::to_string(t.c_cc[VTIME]);
}

// Whatever the input is, the output gets the exit bytes and every undo step, newest
// first, once per taking; a terminal input gets its own mode back.
TEST(GiveBack, RestoresTheModeAndWritesEveryUndoOnce) {
  for (bool interminal : {true, false}) {
    SCOPED_TRACE(interminal ? "input a terminal" : "input a pipe");
    Pty out;
    Pipe pipe;
    int in = interminal ? out.slave : pipe.in();
    termios before{}, game{}, after{};
    tcgetattr(out.slave, &before);
    ASSERT_TRUE(before.c_iflag & IXON);
    setoutput(out.slave);
    EXPECT_EQ(enter(in), interminal);
    tcgetattr(out.slave, &game);
    giveback::addundo("<colour off>");
    giveback::addundo("<mouse on>");
    giveback::setexit("<under the board>");
    restore();
    restore();
    tcgetattr(out.slave, &after);
    EXPECT_EQ(drain(out.master), "<under the board><mouse on><colour off>");
    EXPECT_EQ(flags(after), flags(before));
    if (interminal) {
      EXPECT_EQ(game.c_lflag & (ICANON | ECHO | ISIG), tcflag_t{ISIG});
      EXPECT_FALSE(game.c_iflag & IXON);
      reenter();
      restore();
      EXPECT_EQ(drain(out.master), "<under the board><mouse on><colour off>");
    }
    forget();
    giveback::forget();
  }
}

}  // namespace
}  // namespace gomoku::console::term
