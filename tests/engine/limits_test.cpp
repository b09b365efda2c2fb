#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <thread>

#include "engine/clock.hpp"
#include "engine/engine.hpp"
#include "engine/tt.hpp"
#include "support/watchdog.hpp"

namespace gomoku::engine {
namespace {

// A cap counts as reached as soon as the longest gap seen so far would take the clock
// past it: after a 30 ms gap, a 50 ms cap is reached at about 30 ms.
TEST(Clock, ACapIsReachedTheLongestGapEarly) {
  Clock c;
  c.start();
  EXPECT_FALSE(c.reached(1000));
  EXPECT_FALSE(c.reached(0));  // no cap
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  const int64_t now = c.elapsed();
  EXPECT_GE(c.stall(), 30);
  EXPECT_GE(now, 30);
  EXPECT_TRUE(c.reached(now + 15));
  EXPECT_FALSE(c.reached(now + 1000));
  c.start();
  EXPECT_EQ(c.stall(), 0);
}

// Budgets beyond any real use leave the arithmetic of the time shares sound: the node
// budget, not a time share gone wrong, ends the search.
TEST(Clock, HugeTimeBudgetsAreCut) {
  for (int64_t ms : {std::numeric_limits<int64_t>::max(), int64_t{1} << 62, int64_t{1} << 41}) {
    Engine e(1 << 20);
    e.newgame(15);
    e.play(7, 7);
    Result r = e.search({.time_ms = ms, .nodes = 3000});
    EXPECT_GE(r.x, 0) << ms;
    EXPECT_GE(r.nodes, 3000u) << ms;  // ended by the node budget, not by a wrapped time
  }
}

// A table's size in items: the largest power of two within the bytes, however many.
TEST(Tables, SizesFitTheBytesWithoutWrapping) {
  const struct {
    size_t bytes, size, items;
  } rows[] = {{0, 64, 1},
              {127, 64, 1},
              {128, 64, 2},
              {(64 << 20) - 1, 64, 1 << 19},
              {SIZE_MAX, 64, size_t{1} << 57},
              {SIZE_MAX, 8, size_t{1} << 60},
              {SIZE_MAX, 1, size_t{1} << 63}};
  testing::Watchdog watchdog("tablefit");
  for (const auto& r : rows) EXPECT_EQ(tablefit(r.bytes, r.size), r.items) << r.bytes;
}

}  // namespace
}  // namespace gomoku::engine
