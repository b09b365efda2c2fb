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

namespace {
constexpr int kStartShare = 85;       // percent of the hard limit after which no iteration starts
constexpr int kChangeBonus = 60;      // percent more time when the best move changed, halved
                                      // each iteration after
constexpr int kFallMargin = 30;       // a score lower by more than this has fallen ...
constexpr int kFallBonus = 50;        // ... and earns this percent more time
constexpr int kStableIterations = 4;  // the same best move this often stands out ...
constexpr int kStableShare = 50;      // ... and gets this percent of the target
}  // namespace

void TimePlan::iteration(int move, int score) {
  if (iterations_++ > 0) {
    unstable_ /= 2;
    if (move != move_) unstable_ += kChangeBonus;
    stable_ = move == move_ ? stable_ + 1 : 0;
    falling_ = score < score_ - kFallMargin ? kFallBonus : 0;
  }
  move_ = move, score_ = score;
}

int64_t TimePlan::deadline() const {
  const int64_t last = max_ * kStartShare / 100;
  if (target_ <= 0) return last;
  int64_t percent = 100 + unstable_ + falling_;
  if (stable_ >= kStableIterations && !unstable_ && !falling_) percent = kStableShare;
  return std::min(last, target_ * percent / 100 * kStartShare / 100);
}

}  // namespace gomoku::engine
