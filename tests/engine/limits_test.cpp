#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <thread>
#include <utility>
#include <vector>

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

namespace gomoku::engine {
namespace {

// Iterations' best moves and scores, and the bounds on the time after which no further
// iteration starts, for a target of 100 ms within a hard limit of 400 ms (or none).
struct PlanCase {
  const char* name;
  int64_t target;
  std::vector<std::pair<int, int>> iterations;  // best move, score
  int64_t atleast, atmost;
};

const PlanCase kPlans[] = {
    {"no_target_uses_the_limit", 0, {{1, 0}, {2, 0}, {3, -500}}, 340, 340},
    {"first_iteration_aims_at_the_target", 100, {{1, 0}}, 85, 85},
    {"one_move_stands_out", 100, {{1, 0}, {1, 5}, {1, 0}, {1, 10}, {1, 5}}, 1, 50},
    {"best_move_changes", 100, {{1, 0}, {2, 0}, {3, 0}}, 120, 340},
    {"score_falls", 100, {{1, 0}, {1, 0}, {1, -100}}, 120, 340},
    {"a_fall_cancels_standing_out",
     100,
     {{1, 0}, {1, 0}, {1, 0}, {1, 0}, {1, 0}, {1, -200}},
     120,
     340},
    {"never_past_the_limit", 390, {{1, 0}, {2, -100}, {3, -200}, {4, -300}, {5, -400}}, 340, 340},
};

class Plans : public ::testing::TestWithParam<PlanCase> {};

TEST_P(Plans, MoreTimeWhenUnclearLessWhenClearNeverPastTheLimit) {
  const PlanCase& c = GetParam();
  TimePlan plan(c.target, 400);
  for (auto [move, score] : c.iterations) plan.iteration(move, score);
  EXPECT_GE(plan.deadline(), c.atleast);
  EXPECT_LE(plan.deadline(), c.atmost);
}

INSTANTIATE_TEST_SUITE_P(TimePlan, Plans, ::testing::ValuesIn(kPlans),
                         [](const auto& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace gomoku::engine
