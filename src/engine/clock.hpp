// The search's clock: the time since the search began, and the longest the search has
// gone between two readings of it. On a busy machine the search is held off the
// processor now and then; a gap as long as the longest seen may come again right before
// the deadline, so a search that stops that much early still answers in time.
#pragma once

#include <chrono>
#include <cstdint>

namespace gomoku::engine {

class Clock {
 public:
  // Starts counting from now, with no gap seen yet.
  void start();
  // Milliseconds since start(); takes note of the gap since the last reading.
  int64_t elapsed();
  // The longest gap between two readings since start(), in whole milliseconds.
  int64_t stall() const;
  // True when `cap` milliseconds (0: no cap) less the longest gap seen have passed.
  bool reached(int64_t cap);

 private:
  using Steady = std::chrono::steady_clock;
  Steady::time_point start_{}, last_{};
  Steady::duration stall_{};
};

// How long a search goes on, iteration by iteration: about `target` ms, more when the
// best move keeps changing or the score falls, less when one move stands out, and no
// iteration starts past 85 % of the hard limit `max` (the search itself stops at `max`).
// With no target every iteration may start until that 85 %.
class TimePlan {
 public:
  TimePlan(int64_t target, int64_t max) : target_(target), max_(max) {}
  // Takes note of a finished iteration's best move and score.
  void iteration(int move, int score);
  // The time (ms since the search began) after which no iteration starts.
  int64_t deadline() const;

 private:
  int64_t target_, max_;
  int iterations_ = 0;
  int move_ = 0, score_ = 0;
  int stable_ = 0;    // iterations in a row that kept the best move
  int unstable_ = 0;  // percent more time for recent changes of the best move
  int falling_ = 0;   // percent more time for a score that fell
};

}  // namespace gomoku::engine
