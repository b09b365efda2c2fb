#include "engine/clock.hpp"

#include <algorithm>

namespace gomoku::engine {

void Clock::start() {
  start_ = last_ = Steady::now();
  stall_ = {};
}

int64_t Clock::elapsed() {
  const Steady::time_point now = Steady::now();
  stall_ = std::max(stall_, now - last_);
  last_ = now;
  return std::chrono::duration_cast<std::chrono::milliseconds>(now - start_).count();
}

int64_t Clock::stall() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(stall_).count();
}

bool Clock::reached(int64_t cap) {
  return cap && elapsed() + stall() >= cap;
}

}  // namespace gomoku::engine
