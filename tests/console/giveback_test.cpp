// The one way out, on every platform: however the program ends, the screen is given back
// once per taking, the platform's first modes, then the exit bytes and each undo once,
// newest first, then the modes the bytes still needed.
#include "console/giveback.hpp"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <thread>

namespace gomoku::console::giveback {
namespace {

std::string written;  // what the steps did, in order

void before() {
  written += "[modes]";
}
void write(const char* p, std::size_t n) {
  written.append(p, n);
}
void after() {
  written += "[vt off]";
}
constexpr Steps kSteps{before, write, after};

// A way out taken while the bytes are written (a crash, a signal, the handler's thread).
void writeandend(const char* p, std::size_t n) {
  write(p, n);
  run(kSteps);
}

struct WayOut {
  const char* name;
  void (*way)();
  const char* expect;
};

const WayOut kWays[] = {
    {"quit", [] { run(kSteps); }, "[modes]<cursor><mouse on><colour off>[vt off]"},
    {"signal_after_quit",
     [] {
       run(kSteps);
       run(kSteps);
     },
     "[modes]<cursor><mouse on><colour off>[vt off]"},
    {"way_out_during_the_give_back",
     [] {
       run({before, writeandend, after});
     },
     "[modes]<cursor><mouse on><colour off>[vt off]"},
    {"two_threads_at_once",
     [] {
       std::thread other([] { run(kSteps); });
       run(kSteps);
       other.join();
     },
     "[modes]<cursor><mouse on><colour off>[vt off]"},
    {"suspend_resume_then_quit",
     [] {
       run(kSteps);
       take();
       run(kSteps);
     },
     "[modes]<cursor><mouse on><colour off>[vt off][modes]<cursor><mouse on><colour off>[vt off]"},
    {"cursor_moved_since",
     [] {
       setexit("<moved>");
       run(kSteps);
     },
     "[modes]<moved><mouse on><colour off>[vt off]"},
    {"after_the_last_quit",
     [] {
       run(kSteps);
       forget();
       take();
       run(kSteps);
     },
     "[modes]<cursor><mouse on><colour off>[vt off][modes][vt off]"},
};

void PrintTo(const WayOut& w, std::ostream* os) {
  *os << w.name;
}

class WaysOut : public ::testing::TestWithParam<WayOut> {};

TEST_P(WaysOut, GiveTheScreenBackOncePerTaking) {
  forget();
  written.clear();
  take();
  addundo("<colour off>");
  addundo("<mouse on>");
  setexit("<cursor>");
  GetParam().way();
  EXPECT_EQ(written, GetParam().expect);
  forget();
}

INSTANTIATE_TEST_SUITE_P(GiveBack, WaysOut, ::testing::ValuesIn(kWays),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace gomoku::console::giveback
