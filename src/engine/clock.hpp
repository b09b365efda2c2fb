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

}  // namespace gomoku::engine
