// What a busy machine costs a reply beyond the time it was planned to take, learnt
// from the replies so far, so that the next moves think that much less and still
// answer within timeout_turn.
#pragma once

#include <cstdint>

namespace gomoku::pbrain {

class LoadMargin {
 public:
  // Milliseconds to hold back from the next move's thinking time.
  int64_t held() const { return held_; }
  // Takes note of a reply planned to be ready `planned` ms after its command arrived
  // that was ready after `took` ms: lateness raises the margin at once, by half again
  // for worse to come; a reply in time lets it fall by a quarter.
  void record(int64_t planned, int64_t took);

 private:
  int64_t held_ = 0;
};

}  // namespace gomoku::pbrain
