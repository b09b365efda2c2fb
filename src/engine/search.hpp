// The search: iterative deepening principal-variation alpha-beta over the board, with
// a transposition table, threat-ordered moves, killers and history, forced replies to
// fours, the defences against open threes, and the threat-space searches for wins by
// continuous fours and by threes and fours. Every search follows the board's rule: a
// point renju forbids black is never played by black, and a four whose only block is
// forbidden wins for white.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/board.hpp"
#include "engine/clock.hpp"
#include "engine/movegen.hpp"
#include "engine/tt.hpp"

namespace gomoku::engine {

// Scores: evaluation units for quiet play; a forced result in n plies counted from the
// root (from the node in the transposition table) is winin(n) or lossin(n).
inline constexpr int kWinScore = 30000;
inline constexpr int kMaxPly = 128;
// The side to move wins in n plies.
constexpr int winin(int n) {
  return kWinScore - n;
}
// The side to move loses in n plies.
constexpr int lossin(int n) {
  return n - kWinScore;
}
// Scores at least this far from even are forced results, not evaluations.
inline constexpr int kDecided = kWinScore - 1000;
// True when `score` says one side wins by force.
constexpr bool isdecided(int score) {
  return score >= kDecided || score <= -kDecided;
}

// When to stop: the first budget reached ends the search; zero means no budget.
struct Limits {
  int64_t time_ms = 0;  // wall-clock time for this move, never passed
  // The time the search aims at when the caller would rather save time (a match clock):
  // more when the best move keeps changing or the score falls, less when one move
  // stands out, never more than time_ms. 0: time_ms is there to be used.
  int64_t target_ms = 0;
  uint64_t nodes = 0;  // positions visited, the only budget that keeps a search
                       // repeatable
  int depth = 0;       // deepest iteration
  // The search returns soon after *stop becomes true (set from any thread); the
  // engine only reads it.
  const std::atomic<bool>* stop = nullptr;
  // Search threads sharing the tables (Lazy SMP); with more than one a node-limited
  // search is no longer repeatable.
  int threads = 1;
};

struct SearchResult {
  Move move = kNoMove;
  int score = 0;  // for the side to move, in evaluation units or a win score
  int depth = 0;  // last iteration completed
  uint64_t nodes = 0;
  int64_t time_ms = 0;
  std::vector<Move> pv;  // expected line, starting with `move`
};

// The answer of a search on several threads: the main thread's `main`, or, when it came
// from deepening and is no win, the result of the helper that completed the deepest
// iteration beyond it; the nodes of all threads, the main thread's time.
SearchResult joinresults(const SearchResult& main, const std::vector<SearchResult>& helpers);

// The failed continuous-four attempts, by position key and depth.
class VcfCache {
 public:
  // Sizes the cache to the largest power of two of entries within `bytes`, all empty;
  // short of memory, as resizetable() says.
  bool resize(size_t bytes) { return resizetable(slots_, mask_, bytes); }
  void clear();
  // Makes the whole cache resident now.
  void settle() { engine::settle(slots_.get(), bytes()); }
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

  // Makes this searcher helper number `id` (from 1) of a parallel search: run() then
  // only deepens, filling the shared tables, until *halt is set or its limits end it.
  void helper(int id, const std::atomic<bool>* halt);

  // Starts the clock and the node count for a search within `limits`.
  void begin(const Limits& limits);

  // True when the side to move wins by continuous fours of at most `fours` fours;
  // `first` gets the first four. Counts nodes like run().
  bool vcf(int fours, Move& first);

  // The first move of a win by threes and fours of at most `threats` threats for the
  // side to move, or kNoMove. Counts nodes like run().
  Move vct(int threats);

  // Positions visited since begin().
  uint64_t nodes() const { return nodes_; }
  // Milliseconds since begin().
  int64_t elapsed() { return clock_.elapsed(); }

 private:
  struct Scored {
    Move move;
    int score;
  };

  // Negamax principal-variation search of the position to `depth` plies; the score is
  // exact inside (alpha, beta), a bound outside it.
  int pvs(int depth, int alpha, int beta, int ply, bool pvnode);
  // True when the table's entry for `key` settles the node (its score in `score`);
  // `ttmove` gets the entry's move either way.
  bool probe(uint64_t key, int depth, int alpha, int beta, int ply, bool pvnode, Move& ttmove,
             int& score) const;
  // The score of move m, the i-th tried: full window first, then null windows, late
  // quiet moves reduced, searched again in full when they beat alpha.
  int searchmove(Move m, int i, int depth, int alpha, int beta, int ply, bool pvnode);
  // The score after the only move that stops the opponent's five (no ply counted).
  int forcedreply(Move forced, int depth, int alpha, int beta, int ply, bool pvnode);
  // The static score for the side to move.
  int evaluate() const;
  // True when a node near the horizon off the main line is so far above beta that its
  // moves need no search, and the opponent has no four-three or straight four to make.
  bool futile(int depth, int beta, bool pvnode) const;

  // The moves worth trying, unsorted, each with its ordering score; their number.
  int generate(Scored* out, Move ttmove, int ply);
  // The allowed points that may be played: those near stones, best first, or when there
  // is none every allowed empty point, the centre's first; their number.
  int rootmoves(const uint8_t* allowed, Scored* out);
  // One iteration over the root moves, best first; the best goes to the front.
  int searchroot(Scored* moves, int n, int depth, int alpha, int beta);
  // True when a five can be made, or must be blocked, now; the move goes to `result`.
  bool immediate(const Scored* moves, int n, SearchResult& result) const;
  // The first move of a win by fours, else by threes and fours, each within its share of
  // the budget; kNoMove when none is found.
  Move threatwin(const uint8_t* allowed);
  // One iteration within a window around the `last` iteration's score, widened and
  // searched again until the score falls inside it.
  int aspire(Scored* moves, int n, int depth, int last);
  // Iterative deepening over the root moves until the budget or a decided score.
  void deepen(Scored* moves, int n, SearchResult& result);
  // True when the side to move wins by fours within `fours` fours; `first` its first.
  bool vcfnode(int fours, Move& first);
  // The first four of a win by fours when it is allowed, else kNoMove.
  Move vcfroot(const uint8_t* allowed, int fours);
  // True when the attacker (to move) wins with at most `depth` more threes and fours.
  bool vctattack(int depth);
  // True when every answer of the defender (to move) still loses to the attacker.
  bool vctdefend(int depth);
  // The first allowed threat of a win by threes and fours, shortest first, or kNoMove.
  Move vctroot(const uint8_t* allowed, int depth);
  // Caps the search at `percent` of what is left of the budget, until endphase().
  void beginphase(int percent);
  // Lifts the cap; the search stays stopped only if the whole budget is spent.
  void endphase();
  // Makes m followed by the line below it the principal line at `ply`.
  void updatepv(int ply, Move m);
  // Remembers m as a killer at `ply` and rewards it in the history table.
  void rewardcutoff(Move m, int depth, int ply);
  // True, from then on, once a budget is spent or the stop flag is set.
  bool outofbudget();
  // True when the caller's stop flag is set.
  bool stopped() const;
  // True when colour c is renju's black, whose double threes are mostly forbidden.
  bool renjublack(Cell c) const { return c == kBlack && b_.rule() == Rule::kRenju; }

  Board& b_;
  TranspositionTable& tt_;
  VcfCache& vcf_;
  Limits limits_;
  Clock clock_;
  uint64_t nodes_ = 0;
  uint64_t nodecap_ = 0;  // the search stops at this many nodes (0: no cap)
  int64_t mscap_ = 0;     // ... or after this many milliseconds (0: no cap)
  bool aborted_ = false;
  int helper_ = 0;                           // 0: the main thread, else a helper's number
  const std::atomic<bool>* halt_ = nullptr;  // set when a helper is to stop
  bool rootdone_ = false;  // a root move got an exact score in the current iteration
  int rootscore_ = 0;

  Move killers_[kMaxPly][2] = {};
  int history_[2][kPoints] = {};
  Move pv_[kMaxPly][kMaxPly] = {};
  int pvlen_[kMaxPly] = {};
};

}  // namespace gomoku::engine
