// The Windows part of the way out, on a real pipe: every undo once, and a pipe nobody
// reads never holds the program's end up.
#include "console/windows/modes.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "console/giveback.hpp"

namespace gomoku::console::win {
namespace {

// A pipe whose write end is the give-back's output.
struct OutPipe {
  HANDLE r = nullptr, w = nullptr;
  explicit OutPipe(DWORD size = 0) {
    CreatePipe(&r, &w, nullptr, size);
    giveback::forget();
    setoutput(w);
    giveback::addundo("<colour off>");
    giveback::setexit("<cursor>");
  }
  ~OutPipe() {
    giveback::forget();
    if (w) CloseHandle(w);
    CloseHandle(r);
  }
  // Everything written, once the write end is closed.
  std::string rest() {
    CloseHandle(w);
    w = nullptr;
    std::string got;
    char buf[4096];
    DWORD n;
    while (ReadFile(r, buf, sizeof buf, &n, nullptr) && n > 0) got.append(buf, n);
    return got;
  }
};

TEST(WinGiveBack, WritesEveryUndoOnceAndNoFrameAfter) {
  OutPipe out;
  EXPECT_TRUE(writeout("<frame>"));
  restore();
  restore();
  EXPECT_TRUE(writeout("<frame after the end>"));
  EXPECT_EQ(out.rest(), "<frame><cursor><colour off>");
}

// Killed while nobody reads the output: the give-back's write gives up after a few short
// waits, so the control handler goes on to end the program.
TEST(WinGiveBack, FullPipeNobodyReadsDoesNotHoldTheWayOutUp) {
  OutPipe out(4096);
  DWORD mode = PIPE_READMODE_BYTE | PIPE_NOWAIT, n = 1;
  SetNamedPipeHandleState(out.w, &mode, nullptr, nullptr);
  std::string fill(4096, 'x');
  while (n > 0 && WriteFile(out.w, fill.data(), DWORD(fill.size()), &n, nullptr)) {
  }
  mode = PIPE_READMODE_BYTE | PIPE_WAIT;
  SetNamedPipeHandleState(out.w, &mode, nullptr, nullptr);
  std::atomic<bool> done{false};
  std::thread way([&] {
    restore();
    done = true;
  });
  for (int ms = 0; ms < 5000 && !done; ms += 10) Sleep(10);
  EXPECT_TRUE(done);
  out.rest();  // lets a blocked give-back go on, so that the test ends either way
  way.join();
}

}  // namespace
}  // namespace gomoku::console::win
