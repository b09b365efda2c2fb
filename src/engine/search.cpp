#include "engine/search.hpp"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

namespace gomoku::engine {
namespace {

constexpr int kInfinity = kWinScore + 1;
constexpr int kFarScore = -(1 << 20);              // root order of the points far from every stone
constexpr int64_t kMaxTimeMs = int64_t{1} << 40;   // 35 years
constexpr uint64_t kMaxNodes = uint64_t{1} << 56;  // centuries at any speed

// Settings chosen by matches of the engine against itself (80 games each, 0.1 s a move).
constexpr int kMaxFours = 24;           // longest continuous-four attack tried
constexpr int kVctDepth = 6;            // most threes and fours in a three-and-four attack
constexpr int kDefenderFours = 12;      // ... and in the defender's counter-attack by fours
constexpr int kVcfShare = 10;           // percent of the budget for the continuous-four search
constexpr int kVctShare = 15;           // ... and then for the three-and-four search
constexpr int kTempo = 121;             // percent weight of the mover's points against 100
constexpr int kFourThreeBonus = 277;    // the mover can make a four-three
constexpr int kThreeThreeBonus = 9313;  // ... or a double three, with no four against it
// The evaluation's own weight of each threat class the side to move, and the other side,
// can make (beyond the points' worth), fitted to game results with the worth.
constexpr int kMoverClass[kThreats] = {0, 0, -110, -200, -77, -68, 48, 1820, 0, 0};
constexpr int kOtherClass[kThreats] = {0, 0, -91, -166, -79, -75, 50, -149, 292, 0};
constexpr double kReductionScale = 1.2;
// Aspiration windows: from this depth on, each iteration first searches the root within
// this far of the last score, widening on failure. +18.2 Elo [-5.1, +41.8] at 20,000
// nodes a move, 648 games, no SPRT verdict [0, 10] (LLR 0.92; stopped for time).
constexpr int kAspirationDepth = 5, kAspirationWindow = 100;
// Futility pruning (of the node, before its moves): near the horizon, a static score this
// far above beta per ply left, with no four-three or straight four the opponent could
// make, is taken as a cutoff. +17.4 Elo [-3.6, +38.5] at 20,000 nodes a move against
// the aspiration commit, 840 games, no SPRT verdict [0, 10] (LLR 1.07; stopped for time);
// with "no four at all" as the threat check it never fired (the same games).
constexpr int kFutilityDepth = 3, kFutilityMargin = 120;
// Moves looked at away from the main line: 4 + 3 x depth. Against 4 + 2 x depth,
// +9.1 Elo [-0.0, +18.3] at 20,000 nodes a move, 4,292 games, no SPRT verdict [0, 10]
// (LLR 1.89; stopped for time); 4 + 4 x depth -5.9 [-26.2, +14.4], 886 games.
constexpr int kMovesBase = 4, kMovesPerPly = 3;

// Scores of wins and losses are stored relative to the node, not the root.
int toTT(int score, int ply) {
  if (score >= kDecided) return score + ply;
  if (score <= -kDecided) return score - ply;
  return score;
}

// ... and back from the node to the root.
int fromTT(int score, int ply) {
  if (score >= kDecided) return score - ply;
  if (score <= -kDecided) return score + ply;
  return score;
}

// How many plies less the i-th move (from 0) is searched at `depth`, late moves more.
int reduction(int depth, int i) {
  static const auto table = [] {
    std::array<std::array<int8_t, 64>, 64> t{};
    for (int d = 1; d < 64; ++d)
      for (int k = 1; k < 64; ++k)
        t[d][k] = static_cast<int8_t>(0.5 + std::log(d) * std::log(k + 1) / kReductionScale);
    return t;
  }();
  return std::min<int>(table[std::min(depth, 63)][std::min(i, 63)], depth - 1);
}

// How many moves, best first, a node other than the principal line looks at.
int movecap(int depth) {
  return kMovesBase + kMovesPerPly * depth;
}

// Sorts moves by score, best first, keeping the generation order among equals.
void sortmoves(auto* moves, int n) {
  for (int i = 1; i < n; ++i) {
    auto m = moves[i];
    int j = i;
    for (; j > 0 && moves[j - 1].score < m.score; --j) moves[j] = moves[j - 1];
    moves[j] = m;
  }
}

// Brings the best of moves[i..n) to i; the first of equals wins.
void picknext(auto* moves, int i, int n) {
  int best = i;
  for (int j = i + 1; j < n; ++j)
    if (moves[j].score > moves[best].score) best = j;
  if (best != i) std::swap(moves[i], moves[best]);
}

}  // namespace

SearchResult joinresults(const SearchResult& main, const std::vector<SearchResult>& helpers) {
  // The deepest completed iteration is the best informed; a forced win found by the threat
  // searches (depth 0), a single reply, or a win found by deepening stands.
  const bool deepened = main.depth > 0 && main.score < kDecided;
  SearchResult r = main;
  uint64_t nodes = main.nodes;
  for (const SearchResult& h : helpers) {
    nodes += h.nodes;
    if (deepened && h.move != kNoMove && h.depth > r.depth) r = h;
  }
  r.nodes = nodes;
  r.time_ms = main.time_ms;
  return r;
}

void VcfCache::Free::operator()(void* p) const {
  std::free(p);
}

void VcfCache::clear() {
  std::memset(slots_.get(), 0, bytes());
}

bool VcfCache::failed(uint64_t key, int depth) const {
  // Slots are shared by the search threads: each is read and written whole.
  const uint64_t s =
      std::atomic_ref<const uint64_t>(slots_[key & mask_]).load(std::memory_order_relaxed);
  return (s & ~uint64_t{0xff}) == (key & ~uint64_t{0xff}) && static_cast<int>(s & 0xff) >= depth;
}

void VcfCache::storefail(uint64_t key, int depth) {
  std::atomic_ref<uint64_t>(slots_[key & mask_])
      .store((key & ~uint64_t{0xff}) | static_cast<uint64_t>(depth), std::memory_order_relaxed);
}

Searcher::Searcher(Board& board, TranspositionTable& tt, VcfCache& vcf)
    : b_(board), tt_(tt), vcf_(vcf) {}

bool Searcher::outofbudget() {
  if (aborted_) return true;
  if (nodecap_ && nodes_ >= nodecap_) return aborted_ = true;
  if ((nodes_ & 255) != 0) return false;  // the clock and the stop flag every 256 nodes
  if (stopped()) return aborted_ = true;
  if (clock_.reached(mscap_)) return aborted_ = true;
  return false;
}

bool Searcher::stopped() const {
  return (limits_.stop && limits_.stop->load(std::memory_order_relaxed)) ||
         (halt_ && halt_->load(std::memory_order_relaxed));
}

void Searcher::beginphase(int percent) {
  if (limits_.nodes)
    nodecap_ = nodes_ + (limits_.nodes - std::min(nodes_, limits_.nodes)) * percent / 100;
  if (limits_.time_ms)
    mscap_ = elapsed() + (limits_.time_ms - std::min(elapsed(), limits_.time_ms)) * percent / 100;
}

void Searcher::endphase() {
  nodecap_ = limits_.nodes;
  mscap_ = limits_.time_ms;
  aborted_ = stopped() || (nodecap_ && nodes_ >= nodecap_) || clock_.reached(mscap_);
}

// ---------------------------------------------------------------- evaluation

int Searcher::evaluate() const {
  const Cell us = b_.tomove(), op = other(us);
  int score = b_.total(us) * kTempo / 100 - b_.total(op);
  for (int t = kTwo; t <= kOpenFour; ++t)
    score += kMoverClass[t] * b_.count(us, static_cast<Threat>(t)) -
             kOtherClass[t] * b_.count(op, static_cast<Threat>(t));
  if (b_.countatleast(us, kFourThree))
    score += kFourThreeBonus;
  else if (b_.count(us, kThreeThree) && !b_.countatleast(op, kFour) && !renjublack(us))
    score += kThreeThreeBonus;  // (renju's black: mostly forbidden, so worth nothing)
  return std::clamp(score, -kWinScore / 2, kWinScore / 2);
}

bool Searcher::futile(int depth, int beta, bool pvnode) const {
  if (pvnode || depth > kFutilityDepth || isdecided(beta)) return false;
  const Cell op = other(b_.tomove());
  if (b_.countatleast(op, kFourThree)) return false;  // the threat check: no winning threat
  return evaluate() - kFutilityMargin * depth >= beta;
}

// ---------------------------------------------------------------- move generation

int Searcher::generate(Scored* out, Move ttmove, int ply) {
  const Cell us = b_.tomove(), op = other(us);
  const bool defend = b_.countatleast(op, kOpenFour) > 0;
  Move points[kMaxMoves];
  const int n = genmoves(b_, defend ? MoveKind::kDefendThree : MoveKind::kAll, points);
  for (int i = 0; i < n; ++i) {
    const Move p = points[i];
    int s = b_.value(us, p) * 5 / 4 + b_.value(op, p) + history_[us - 1][p] / 64;
    if (p == ttmove)
      s += 1 << 24;
    else if (p == killers_[ply][0])
      s += 1 << 12;
    else if (p == killers_[ply][1])
      s += 1 << 11;
    out[i] = Scored{p, s};
  }
  return n;
}

// ---------------------------------------------------------------- main search

void Searcher::updatepv(int ply, Move m) {
  pv_[ply][0] = m;
  int n = ply + 1 < kMaxPly ? pvlen_[ply + 1] : 0;
  for (int i = 0; i < n && i + 1 < kMaxPly; ++i) pv_[ply][i + 1] = pv_[ply + 1][i];
  pvlen_[ply] = std::min(n + 1, kMaxPly - 1);
}

void Searcher::rewardcutoff(Move m, int depth, int ply) {
  if (killers_[ply][0] != m) {
    killers_[ply][1] = killers_[ply][0];
    killers_[ply][0] = m;
  }
  int& h = history_[b_.tomove() - 1][m];
  h = std::min(h + depth * depth, 1 << 20);
}

int Searcher::forcedreply(Move forced, int depth, int alpha, int beta, int ply, bool pvnode) {
  b_.play(forced);
  int score = -pvs(depth, -beta, -alpha, ply + 1, pvnode);
  b_.undo();
  if (!aborted_ && score > alpha) updatepv(ply, forced);
  return score;
}

bool Searcher::probe(uint64_t key, int depth, int alpha, int beta, int ply, bool pvnode,
                     Move& ttmove, int& score) const {
  TTEntry e;
  if (!tt_.probe(key, e)) return false;
  ttmove = e.move;
  score = fromTT(e.score, ply);
  return !pvnode && e.depth >= depth &&
         (e.bound == kExact || (e.bound == kLower && score >= beta) ||
          (e.bound == kUpper && score <= alpha));
}

int Searcher::searchmove(Move m, int i, int depth, int alpha, int beta, int ply, bool pvnode) {
  // Plain fours are reduced: sparing them measured -14.5 Elo [-36.0, +6.9] at 20,000
  // nodes a move (864 games, no verdict); sparing blocks of a three, +2.9 [-19.4, +25.2].
  const bool reducible = depth >= 2 && i >= 2 && b_.threat(b_.tomove(), m) < kFourThree;
  b_.play(m);
  int score;
  if (i == 0) {
    score = -pvs(depth - 1, -beta, -alpha, ply + 1, pvnode);
  } else {
    const int r = reducible ? reduction(depth, i) : 0;
    score = -pvs(depth - 1 - r, -alpha - 1, -alpha, ply + 1, false);
    if (score > alpha && r) score = -pvs(depth - 1, -alpha - 1, -alpha, ply + 1, false);
    if (score > alpha && score < beta) score = -pvs(depth - 1, -beta, -alpha, ply + 1, true);
  }
  b_.undo();
  return score;
}

int Searcher::pvs(int depth, int alpha, int beta, int ply, bool pvnode) {
  pvlen_[ply] = 0;
  ++nodes_;
  if (outofbudget()) return 0;
  const Cell us = b_.tomove(), op = other(us);
  if (b_.count(us, kWin)) return winin(ply + 1);
  if (b_.count(op, kWin)) {
    Move block;
    // Two fives, or renju's black whose only block is forbidden: lost.
    if (genmoves(b_, MoveKind::kDefendFour, &block) == 0) return lossin(ply + 2);
    if (ply >= kMaxPly - 2) return evaluate();
    return forcedreply(block, depth, alpha, beta, ply, pvnode);
  }
  if (b_.countatleast(us, kOpenFour)) return winin(ply + 3);
  // Continuous fours searched at the horizon instead of the static score (up to 4 fours):
  // -186 +- 81 Elo at 20,000 nodes a move, 96 games, stopped (2 to 3 plies less depth).
  if (depth <= 0 || ply >= kMaxPly - 2) return evaluate();

  alpha = std::max(alpha, lossin(ply + 2));
  beta = std::min(beta, winin(ply + 3));
  if (alpha >= beta) return alpha;

  const uint64_t key = b_.hash();
  Move ttmove = kNoMove;
  int stored;
  if (probe(key, depth, alpha, beta, ply, pvnode, ttmove, stored)) return stored;
  if (futile(depth, beta, pvnode)) return beta;

  Scored moves[kMaxMoves];
  int n = generate(moves, ttmove, ply);
  if (n == 0) return 0;  // no point left near the stones: a draw for search purposes

  const int alpha0 = alpha;
  int best = -kInfinity;
  Move bestmove = kNoMove;
  const int tried = pvnode ? n : std::min(n, movecap(depth));
  for (int i = 0; i < tried; ++i) {
    picknext(moves, i, n);

    const Move m = moves[i].move;
    const int score = searchmove(m, i, depth, alpha, beta, ply, pvnode);
    if (aborted_) return 0;
    if (score > best) {
      best = score, bestmove = m;
      if (score > alpha) {
        alpha = score;
        updatepv(ply, m);
        if (alpha >= beta) {
          rewardcutoff(m, depth, ply);
          break;
        }
      }
    }
  }
  Bound bound = best >= beta ? kLower : best > alpha0 ? kExact : kUpper;
  tt_.store(key, bestmove, toTT(best, ply), depth, bound);
  return best;
}

// ---------------------------------------------------------------- continuous fours

bool Searcher::vcf(int fours, Move& first) {
  first = kNoMove;
  return vcfnode(fours, first);
}

bool Searcher::vcfnode(int fours, Move& first) {
  ++nodes_;
  if (outofbudget()) return false;
  const Cell att = b_.tomove(), def = other(att);
  if (b_.count(att, kWin)) {
    first = b_.findfive(att, b_.lastmove());
    return true;
  }
  Scored moves[kMaxMoves];
  int n = 0;
  if (b_.count(def, kWin)) {
    Move block;
    // The attacker must block, and goes on only when the block is itself a four.
    if (genmoves(b_, MoveKind::kDefendFour, &block) == 0 || b_.threat(att, block) < kFour)
      return false;
    moves[n++] = Scored{block, 0};
  } else if (b_.countatleast(att, kFour) == 0) {
    return false;
  }
  if (fours <= 0) return false;
  const uint64_t key = b_.hash();
  if (vcf_.failed(key, fours)) return false;
  if (n == 0) {
    Move points[kMaxMoves];
    const int k = genmoves(b_, MoveKind::kFours, points);
    for (int i = 0; i < k; ++i) {
      const Move p = points[i];
      const Threat t = b_.threat(att, p);
      if (t >= kOpenFour) {
        first = p;
        return true;
      }
      moves[n++] = Scored{p, t * 4096 + b_.value(att, p)};
    }
    sortmoves(moves, n);
  }
  for (int i = 0; i < n; ++i) {
    const Move m = moves[i].move;
    b_.play(m);
    Move block = b_.findfive(att, m);
    bool win = false;
    if (block != kNoMove && !b_.legal(def, block)) {
      win = true;  // renju: the only block is forbidden for black
    } else if (block != kNoMove) {
      b_.play(block);
      Move next;
      win = vcfnode(fours - 1, next);
      b_.undo();
    }
    b_.undo();
    if (win) {
      first = m;
      return true;
    }
    if (aborted_) return false;
  }
  vcf_.storefail(key, fours);
  return false;
}

// ---------------------------------------------------------------- threes and fours

bool Searcher::vctattack(int depth) {
  ++nodes_;
  if (outofbudget()) return false;
  const Cell att = b_.tomove(), def = other(att);
  if (b_.count(att, kWin)) return true;
  if (b_.count(def, kWin)) {
    Move block;
    if (genmoves(b_, MoveKind::kDefendFour, &block) == 0) return false;
    b_.play(block);
    bool win = vctdefend(depth);
    b_.undo();
    return win;
  }
  if (b_.countatleast(att, kOpenFour)) return true;
  if (depth <= 0 || b_.countatleast(att, kThree) == 0) return false;
  const uint64_t key = b_.hash() ^ 0x5bd1e9955bd1e995ull;
  if (vcf_.failed(key, depth)) return false;
  Move points[kMaxMoves];
  const int n = genmoves(b_, MoveKind::kThreesFours, points);
  Scored moves[kMaxMoves];
  for (int i = 0; i < n; ++i) {
    const Move p = points[i];
    moves[i] = Scored{p, b_.threat(att, p) * 4096 + b_.value(att, p) + b_.value(def, p)};
  }
  sortmoves(moves, n);
  for (int i = 0; i < n; ++i) {
    b_.play(moves[i].move);
    bool win = vctdefend(depth - 1);
    b_.undo();
    if (win) return true;
    if (aborted_) return false;
  }
  vcf_.storefail(key, depth);
  return false;
}

bool Searcher::vctdefend(int depth) {
  ++nodes_;
  if (outofbudget()) return false;
  const Cell def = b_.tomove(), att = other(def);
  if (b_.count(def, kWin)) return false;
  if (b_.count(att, kWin)) {
    Move block;
    if (genmoves(b_, MoveKind::kDefendFour, &block) == 0) return true;
    b_.play(block);
    bool win = vctattack(depth);
    b_.undo();
    return win;
  }
  if (b_.countatleast(att, kOpenFour) == 0) return false;  // no threat: the defender is free
  if (b_.countatleast(def, kFour)) {
    Move first;
    if (vcfnode(kDefenderFours, first)) return false;
    if (aborted_) return false;
  }
  Move points[kMaxMoves];
  const int n = genmoves(b_, MoveKind::kDefendThree, points);
  Scored moves[kMaxMoves];
  for (int i = 0; i < n; ++i) {
    const Move p = points[i];
    moves[i] = Scored{p, b_.threat(att, p) * 4096 + b_.value(att, p)};
  }
  sortmoves(moves, n);
  for (int i = 0; i < n; ++i) {
    b_.play(moves[i].move);
    bool win = vctattack(depth);
    b_.undo();
    if (!win) return false;
  }
  return !aborted_;
}

Move Searcher::vct(int threats) {
  Move first;
  if (vcf(kMaxFours, first)) return first;
  return vctroot(nullptr, threats);
}

Move Searcher::vctroot(const uint8_t* allowed, int depth) {
  const Cell def = other(b_.tomove());
  const Move block = b_.count(def, kWin) ? b_.findfive(def, b_.lastmove()) : kNoMove;
  Move points[kMaxMoves];
  const int n = genmoves(b_, MoveKind::kThreesFours, points);
  for (int d = 2; d <= depth; ++d)
    for (int i = 0; i < n; ++i) {
      const Move p = points[i];
      if (allowed && !allowed[p]) continue;
      if (block != kNoMove && p != block) continue;  // the opponent's five comes first
      b_.play(p);
      bool win = vctdefend(d - 1);
      b_.undo();
      if (aborted_) return kNoMove;
      if (win) return p;
    }
  return kNoMove;
}

// ---------------------------------------------------------------- root

int Searcher::rootmoves(const uint8_t* allowed, Scored* out) {
  const Cell us = b_.tomove(), op = other(us);
  const int size = b_.size();
  int n = 0;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      Move p = pointat(x, y);
      if (!b_.empty(p) || (allowed && !allowed[p]) || !b_.legal(us, p)) continue;
      int s = b_.value(us, p) * 5 / 4 + b_.value(op, p);
      if (!b_.nearstone(p)) {
        int dx = x - size / 2, dy = y - size / 2;
        s = kFarScore - dx * dx - dy * dy;  // far from every stone: last, centre first
      }
      out[n++] = Scored{p, s};
    }
  sortmoves(out, n);
  // Points far from every stone are searched only when there is no other: the search
  // below the root never looks at them, so one can only win on a shallow iteration's
  // misjudgement (a 1 ms search answering the centre with a point five rows away).
  int near = 0;
  while (near < n && out[near].score > kFarScore) ++near;
  return near > 0 ? near : n;
}

Move Searcher::vcfroot(const uint8_t* allowed, int fours) {
  Move first;
  if (!vcf(fours, first)) return kNoMove;
  if (!allowed || allowed[first]) return first;
  return kNoMove;
}

int Searcher::searchroot(Scored* moves, int n, int depth, int alpha, int beta) {
  int best = -kInfinity;
  rootdone_ = false;
  for (int i = 0; i < n; ++i) {
    const Move m = moves[i].move;
    b_.play(m);
    int score;
    if (i == 0) {
      score = -pvs(depth - 1, -beta, -alpha, 1, true);
    } else {
      score = -pvs(depth - 1, -alpha - 1, -alpha, 1, false);
      if (score > alpha && score < beta) score = -pvs(depth - 1, -beta, -alpha, 1, true);
    }
    b_.undo();
    if (aborted_) break;
    moves[i].score = score;
    if (score > best) {
      best = score;
      if (score > alpha) {
        alpha = score;
        updatepv(0, m);
        rootdone_ = true;
        rootscore_ = score;
        std::rotate(moves, moves + i, moves + i + 1);  // best first for the next iteration
        if (alpha >= beta) break;  // above an aspiration window: searched again wider
      }
    }
  }
  return best;
}

void Searcher::begin(const Limits& limits) {
  limits_ = limits;
  // Budgets beyond any real use are cut so that the time and node arithmetic cannot
  // overflow; a negative time is the least there is.
  limits_.time_ms = limits.time_ms < 0 ? 1 : std::min(limits.time_ms, kMaxTimeMs);
  limits_.nodes = std::min(limits.nodes, kMaxNodes);
  limits_.target_ms = std::clamp<int64_t>(limits.target_ms, 0, limits_.time_ms);
  nodecap_ = limits_.nodes;
  mscap_ = limits_.time_ms;
  clock_.start();
  nodes_ = 0;
  aborted_ = false;
}

bool Searcher::immediate(const Scored* moves, int n, SearchResult& result) const {
  const Cell us = b_.tomove(), op = other(us);
  if (!b_.count(us, kWin) && !b_.count(op, kWin)) return false;
  const Cell who = b_.count(us, kWin) ? us : op;  // own five first, else block theirs
  for (int i = 0; i < n; ++i)
    if (b_.threat(who, moves[i].move) == kWin) {
      result.move = moves[i].move;
      result.score = who == us ? winin(1) : 0;
      return true;
    }
  return false;
}

Move Searcher::threatwin(const uint8_t* allowed) {
  beginphase(kVcfShare);
  Move win = vcfroot(allowed, kMaxFours);
  endphase();
  if (win != kNoMove) return win;
  beginphase(kVctShare);
  win = vctroot(allowed, kVctDepth);
  endphase();
  return win;
}

void Searcher::deepen(Scored* moves, int n, SearchResult& result) {
  const int maxdepth = limits_.depth ? std::min(limits_.depth, kMaxPly - 8) : kMaxPly - 8;
  // Lazy SMP: every other helper thread starts one ply deeper, so that the threads
  // sharing the table are not all on the same iteration.
  TimePlan plan(limits_.target_ms, limits_.time_ms);
  for (int depth = 1 + helper_ % 2; depth <= maxdepth; ++depth) {
    const int score = aspire(moves, n, depth, result.score);
    if (aborted_ && !rootdone_) return;
    // A move searched to the end in an unfinished iteration is the better guess.
    result.move = pv_[0][0];
    result.score = aborted_ ? rootscore_ : score;
    result.pv.assign(pv_[0], pv_[0] + pvlen_[0]);
    if (aborted_) return;
    result.depth = depth;
    if (isdecided(score) && kWinScore - std::abs(score) <= depth) return;
    plan.iteration(result.move, score);
    if (limits_.time_ms && elapsed() > plan.deadline()) return;
  }
}

int Searcher::aspire(Scored* moves, int n, int depth, int last) {
  if (depth < kAspirationDepth || isdecided(last))
    return searchroot(moves, n, depth, -kInfinity, kInfinity);
  int delta = kAspirationWindow;
  int alpha = last - delta, beta = last + delta;
  for (;;) {
    const int score = searchroot(moves, n, depth, alpha, beta);
    if (aborted_) return score;
    if (score <= alpha)
      alpha = std::max(score - delta, -kInfinity);
    else if (score >= beta)
      beta = std::min(score + delta, kInfinity);
    else
      return score;
    delta *= 2;
    if (delta > kAspirationWindow * 8) alpha = -kInfinity, beta = kInfinity;
  }
}

void Searcher::helper(int id, const std::atomic<bool>* halt) {
  helper_ = id;
  halt_ = halt;
}

SearchResult Searcher::run(const Limits& limits, const uint8_t* allowed) {
  begin(limits);
  SearchResult result;
  std::vector<Scored> list(kMaxMoves);
  Scored* moves = list.data();
  const int n = rootmoves(allowed, moves);
  if (n > 0) {
    result.move = moves[0].move;
    bool decided = b_.stones() == 0 || n == 1 || immediate(moves, n, result);
    if (!decided && helper_) {
      deepen(moves, n, result);  // the threat searches are the main thread's
    } else if (!decided) {
      if (Move win = threatwin(allowed); win != kNoMove) {
        result.move = win;
        result.score = winin(2);  // a forced win; its length is not tracked
      } else {
        deepen(moves, n, result);
      }
    }
  }
  result.nodes = nodes_;
  result.time_ms = elapsed();
  if (result.pv.empty() && result.move != kNoMove) result.pv.push_back(result.move);
  return result;
}

}  // namespace gomoku::engine
