// The search: iterative deepening principal-variation alpha-beta over the board, with
// a transposition table, threat-ordered moves, killers and history, forced replies to
// fours, the defences against open threes, and a search for wins by continuous fours.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/board.hpp"
#include "engine/tt.hpp"

namespace gomoku::engine {

// Scores: a win in n plies from the root is kWinScore - n.
inline constexpr int kWinScore = 30000;
inline constexpr int kMaxPly = 128;
// True when `score` says one side wins by force.
constexpr bool ismate(int score) {
  return score >= kWinScore - 1000 || score <= 1000 - kWinScore;
}

// When to stop: the first budget reached ends the search; zero means no budget.
struct Limits {
  int64_t time_ms = 0;  // wall-clock time for this move
  uint64_t nodes = 0;   // positions visited, the only budget that keeps a search
                        // repeatable
  int depth = 0;        // deepest iteration
  // The search returns soon after *stop becomes true (set from any thread); the
  // engine only reads it.
  const std::atomic<bool>* stop = nullptr;
};

struct SearchResult {
  Move move = kNoMove;
  int score = 0;  // for the side to move, in evaluation units or a win score
  int depth = 0;  // last iteration completed
  uint64_t nodes = 0;
  int64_t time_ms = 0;
  std::vector<Move> pv;  // expected line, starting with `move`
};

// The failed continuous-four attempts, by position key and depth.
class VcfCache {
 public:
  // Sizes the cache to the largest power of two of entries within `bytes`.
  void resize(size_t bytes);
  void clear();
  // True when the position failed with at least `depth` fours to spare.
  bool failed(uint64_t key, int depth) const;
  void storefail(uint64_t key, int depth);
  size_t bytes() const { return (mask_ + 1) * sizeof(uint64_t); }

 private:
  struct Free {
    void operator()(void* p) const;
  };
  std::unique_ptr<uint64_t[], Free> slots_;
  uint64_t mask_ = 0;
};

class Searcher {
 public:
  Searcher(Board& board, TranspositionTable& tt, VcfCache& vcf);

  // Searches the position for the side to move. `allowed`, when given, is indexed by
  // point and says which empty points may be chosen; the move returned is always one of
  // them (kNoMove when there is none).
  SearchResult run(const Limits& limits, const uint8_t* allowed);

  // Starts the clock and the node count for a search within `limits`.
  void begin(const Limits& limits);

  // True when the side to move wins by continuous fours of at most `fours` fours;
  // `first` gets the first four. Counts nodes like run().
  bool vcf(int fours, Move& first);

  // The first move of a win by threes and fours of at most `threats` threats for the
  // side to move, or kNoMove. Counts nodes like run().
  Move vct(int threats);

  uint64_t nodes() const { return nodes_; }
  // Milliseconds since begin().
  int64_t elapsed() const;

 private:
  struct Scored {
    Move move;
    int score;
  };

  int pvs(int depth, int alpha, int beta, int ply, bool pvnode);
  int forcedreply(Move forced, int depth, int alpha, int beta, int ply, bool pvnode);
  int evaluate() const;
  int generate(Scored* out, Move ttmove, int ply) const;
  int rootmoves(const uint8_t* allowed, Scored* out) const;
  int searchroot(Scored* moves, int n, int depth, int alpha, int beta);
  bool vcfnode(int fours, Move& first);
  Move vcfroot(const uint8_t* allowed, int fours);
  bool vctattack(int depth);
  bool vctdefend(int depth);
  Move vctroot(const uint8_t* allowed, int depth);
  void beginphase(int percent);
  void endphase();
  void updatepv(int ply, Move m);
  void rewardcutoff(Move m, int depth, int ply);
  bool outofbudget();
  bool stopped() const;

  Board& b_;
  TranspositionTable& tt_;
  VcfCache& vcf_;
  Limits limits_;
  std::chrono::steady_clock::time_point start_;
  uint64_t nodes_ = 0;
  uint64_t nodecap_ = 0;  // the search stops at this many nodes (0: no cap)
  int64_t mscap_ = 0;     // ... or after this many milliseconds (0: no cap)
  bool aborted_ = false;
  bool rootdone_ = false;  // a root move got an exact score in the current iteration
  int rootscore_ = 0;

  Move killers_[kMaxPly][2] = {};
  int history_[2][kPoints] = {};
  Move pv_[kMaxPly][kMaxPly] = {};
  int pvlen_[kMaxPly] = {};
};

}  // namespace gomoku::engine
