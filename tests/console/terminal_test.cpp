#include "console/terminal.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <thread>

namespace gomoku::console::term {
namespace {

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

TEST(TerminalMode, NothingChangesWhenInputIsNotATerminal) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  EXPECT_FALSE(enter(fds[0], fds[1], "\x1b[?25h"));
  EXPECT_FALSE(active());
  restore();  // must be harmless
  close(fds[0]);
  close(fds[1]);
}

}  // namespace
}  // namespace gomoku::console::term
