// Strength levels: how the computer plays when it is asked to play weaker than it can.
// Level 9 is the engine's full search within the caller's limits. Levels 1 to 8 play the
// way weaker people do: they weigh only the few points that catch the eye first (the
// engine's own move ordering), look less far ahead, misjudge what they see a little
// (seeded noise on the scores their look-ahead gives), and now and then overlook an open
// three of the opponent. From level 3 up a level never misses a five of its own nor
// leaves the opponent's four unanswered; levels 1 and 2 do, rarely, as beginners do.
//
//   Engine e(levelsettings(5, seed).memory);  // a node-limited look-ahead depends on it
//   LevelPlayer p(levelsettings(5, seed));
//   Result r = p.choose(e, {.time_ms = 1000});  // the time only as a deadline
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/engine.hpp"

namespace gomoku::engine {

inline constexpr int kMinLevel = 1, kMaxLevel = 9;

// How one level plays.
struct Level {
  int level = kMaxLevel;
  int candidates = 0;  // points it weighs, best first by the engine's ordering; 0: it runs
                       // the engine's own search over every point
  uint64_t nodes = 0;  // positions each look-ahead visits; 0: the caller's limits
  int depth = 0;       // plies each look-ahead goes at most; 0: as far as `nodes` allow
  int fours = 0;       // the longest win by continuous fours it spots before weighing
  int blur = 0;        // each point's ordering score is off by up to this much upwards, so
                       // that the points it weighs are not always the ones that matter
  int noise = 0;       // each weighed point's score is off by up to this much either way
  int overlook = 0;    // percent chance that it does not see an open three of the opponent
  int slip = 0;        // percent chance that it does not see a five, its own or the opponent's
  size_t memory = 0;   // bytes the engine's tables should take for it (the outcome of a
                       // node-limited look-ahead depends on them); 0: any
  uint64_t seed = 1;   // where its randomness starts
};

// The settings of level n (clamped to kMinLevel..kMaxLevel), its randomness from `seed`.
Level levelsettings(int n, uint64_t seed);

// A player of one level: its settings and how far its randomness has gone.
class LevelPlayer {
 public:
  explicit LevelPlayer(const Level& level) : level_(level), rng_(level.seed) {}
  const Level& level() const { return level_; }

  // Chooses a move for the player to move in `e` as the level would; `allowed` as for
  // Engine::search. Level 9 is Engine::search within `limits`. The lower levels' look-aheads
  // are node-limited: the time and stop flag of `limits` only cut them short, so that with a
  // table of the level's memory their choice depends on nothing but the position, the
  // settings and the randomness drawn before, unless the deadline comes first.
  Result choose(Engine& e, const Limits& limits, const std::vector<uint8_t>* allowed = nullptr);

 private:
  struct Candidate {
    int x, y;
    int order;  // the engine's ordering score; its look-ahead's score once weighed
  };

  // A number from 0 to n - 1 from the level's randomness.
  uint64_t draw(uint64_t n);
  // True with `percent` percent chance (drawing only when 0 < percent < 100).
  bool chance(int percent);
  // The points the player to move may choose: allowed, empty, not forbidden to it, and
  // within two points of a stone along a line; best first by the engine's ordering, what
  // the level does not see left out.
  std::vector<Candidate> candidates(Engine& e, const std::vector<uint8_t>* allowed);
  // The score for the player to move of its stone on (x, y), by a look-ahead within
  // `look` (the opponent's best answer, or after a four the block and its own best).
  Result lookahead(Engine& e, int x, int y, const Limits& look);
  // Weighs the candidates with a look-ahead each and returns the best, as the level sees
  // it; the look-aheads stop when *stop becomes true.
  Result weigh(Engine& e, const std::vector<Candidate>& list, const std::atomic<bool>* stop);

  Level level_;
  uint64_t rng_;
};

}  // namespace gomoku::engine
