#include "engine/search.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace gomoku::engine {
namespace {
static double envd(const char* n, double d) {
  const char* v = std::getenv(n);
  return v ? std::atof(v) : d;
}
static const double LMRDIV = envd("LMRDIV", 1.8);
static const int CAPBASE = (int)envd("CAPBASE", 6);
static const int CAPMUL = (int)envd("CAPMUL", 3);
static const int LEAFVCF = (int)envd("LEAFVCF", 0);
static const Threat FOURMIN = (Threat)(int)envd("FOURMIN", 5);

constexpr int kInfinity = kWinScore + 1;
constexpr int kMaxMoves = kMaxSize * kMaxSize;
constexpr int kMaxFours = 24;  // longest continuous-four attack tried

// Scores of wins and losses are stored relative to the node, not the root.
int toTT(int score, int ply) {
  if (score >= kWinScore - 1000) return score + ply;
  if (score <= 1000 - kWinScore) return score - ply;
  return score;
}

int fromTT(int score, int ply) {
  if (score >= kWinScore - 1000) return score - ply;
  if (score <= 1000 - kWinScore) return score + ply;
  return score;
}

// How many plies less the i-th move (from 0) is searched at `depth`, late moves more.
int reduction(int depth, int i) {
  static const auto table = [] {
    std::array<std::array<int8_t, 64>, 64> t{};
    for (int d = 1; d < 64; ++d)
      for (int k = 1; k < 64; ++k)
        t[d][k] = static_cast<int8_t>(0.5 + std::log(d) * std::log(k + 1) / LMRDIV);
    return t;
  }();
  return std::min<int>(table[std::min(depth, 63)][std::min(i, 63)], depth - 1);
}

// How many moves, best first, a node other than the principal line looks at.
int movecap(int depth) {
  return CAPBASE + CAPMUL * depth;
}

// Sorts moves by score, best first, keeping the generation order among equals.
void sortmoves(auto* moves, int n) {
  std::stable_sort(moves, moves + n,
                   [](const auto& a, const auto& b) { return a.score > b.score; });
}

}  // namespace

void VcfCache::Free::operator()(void* p) const {
  std::free(p);
}

void VcfCache::resize(size_t bytes) {
  size_t n = 1;
  while (n * 2 * sizeof(uint64_t) <= bytes) n *= 2;
  slots_.reset();
  slots_.reset(static_cast<uint64_t*>(std::calloc(n, sizeof(uint64_t))));
  if (!slots_) throw std::bad_alloc();
  mask_ = n - 1;
}

void VcfCache::clear() {
  std::memset(slots_.get(), 0, bytes());
}

bool VcfCache::failed(uint64_t key, int depth) const {
  uint64_t s = slots_[key & mask_];
  return (s & ~uint64_t{0xff}) == (key & ~uint64_t{0xff}) && static_cast<int>(s & 0xff) >= depth;
}

void VcfCache::storefail(uint64_t key, int depth) {
  slots_[key & mask_] = (key & ~uint64_t{0xff}) | static_cast<uint64_t>(depth);
}

Searcher::Searcher(Board& board, TranspositionTable& tt, VcfCache& vcf,
                   const std::atomic<bool>& cancel)
    : b_(board), tt_(tt), vcf_(vcf), cancel_(cancel) {}

bool Searcher::outofbudget() {
  if (aborted_) return true;
  if (limits_.nodes && nodes_ >= limits_.nodes) return aborted_ = true;
  if ((nodes_ & 1023) != 0) return false;
  if (cancel_.load(std::memory_order_relaxed)) return aborted_ = true;
  if (limits_.time_ms && elapsed() >= limits_.time_ms) return aborted_ = true;
  return false;
}

// ---------------------------------------------------------------- evaluation

int Searcher::evaluate() const {
  const Cell us = b_.tomove(), op = other(us);
  int score = b_.total(us) * 6 / 5 - b_.total(op);
  return std::clamp(score, -kWinScore / 2, kWinScore / 2);
}

// ---------------------------------------------------------------- move generation

int Searcher::generate(Scored* out, Move ttmove, int ply) const {
  const Cell us = b_.tomove(), op = other(us);
  const bool defend = b_.countatleast(op, kOpenFour) > 0;
  int x0, y0, x1, y1, n = 0;
  if (!b_.area(2, x0, y0, x1, y1)) return 0;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      Move p = pointat(x, y);
      if (!b_.empty(p) || !b_.nearstone(p)) continue;
      if (defend && b_.threat(us, p) < kFour && b_.threat(op, p) < kFour) continue;
      int s = b_.value(us, p) * 5 / 4 + b_.value(op, p) + history_[us - 1][p] / 64;
      if (p == ttmove)
        s += 1 << 24;
      else if (p == killers_[ply][0])
        s += 1 << 12;
      else if (p == killers_[ply][1])
        s += 1 << 11;
      out[n++] = Scored{p, s};
    }
  sortmoves(out, n);
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

int Searcher::pvs(int depth, int alpha, int beta, int ply, bool pvnode) {
  pvlen_[ply] = 0;
  ++nodes_;
  if (outofbudget()) return 0;
  const Cell us = b_.tomove(), op = other(us);
  if (b_.count(us, kWin)) return kWinScore - ply - 1;
  if (b_.count(op, kWin) >= 2) return -(kWinScore - ply - 2);
  if (b_.count(op, kWin) == 1) {
    if (ply >= kMaxPly - 2) return evaluate();
    return forcedreply(b_.findfive(op, b_.lastmove()), depth, alpha, beta, ply, pvnode);
  }
  if (b_.countatleast(us, kOpenFour)) return kWinScore - ply - 3;
  if (depth <= 0 || ply >= kMaxPly - 2) {
    Move first;
    if (LEAFVCF && ply < kMaxPly - 2 * LEAFVCF - 4 && b_.countatleast(us, kFour) &&
        vcfnode(LEAFVCF, first))
      return kWinScore - ply - 2 * LEAFVCF;
    if (aborted_) return 0;
    return evaluate();
  }

  alpha = std::max(alpha, -(kWinScore - ply - 2));
  beta = std::min(beta, kWinScore - ply - 3);
  if (alpha >= beta) return alpha;

  const uint64_t key = b_.hash();
  Move ttmove = kNoMove;
  if (const TTEntry* e = tt_.probe(key)) {
    ttmove = e->move;
    int s = fromTT(e->score, ply);
    if (!pvnode && e->depth >= depth &&
        ((e->bound == kExact) || (e->bound == kLower && s >= beta) ||
         (e->bound == kUpper && s <= alpha)))
      return s;
  }

  Scored moves[kMaxMoves];
  int n = generate(moves, ttmove, ply);
  if (n == 0) return 0;  // no point left near the stones: a draw for search purposes

  const int alpha0 = alpha;
  int best = -kInfinity;
  Move bestmove = kNoMove;
  if (!pvnode) n = std::min(n, movecap(depth));
  for (int i = 0; i < n; ++i) {
    const Move m = moves[i].move;
    const bool four = b_.threat(us, m) >= FOURMIN;
    b_.play(m);
    int score;
    if (i == 0) {
      score = -pvs(depth - 1, -beta, -alpha, ply + 1, pvnode);
    } else {
      int r = (depth >= 2 && i >= 2 && !four) ? reduction(depth, i) : 0;
      score = -pvs(depth - 1 - r, -alpha - 1, -alpha, ply + 1, false);
      if (score > alpha && r) score = -pvs(depth - 1, -alpha - 1, -alpha, ply + 1, false);
      if (score > alpha && score < beta) score = -pvs(depth - 1, -beta, -alpha, ply + 1, true);
    }
    b_.undo();
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
    if (b_.count(def, kWin) >= 2) return false;
    Move block = b_.findfive(def, b_.lastmove());
    if (b_.threat(att, block) < kFour) return false;
    moves[n++] = Scored{block, 0};
  } else if (b_.countatleast(att, kFour) == 0) {
    return false;
  }
  if (fours <= 0) return false;
  const uint64_t key = b_.hash();
  if (vcf_.failed(key, fours)) return false;
  if (n == 0) {
    int x0, y0, x1, y1;
    b_.area(2, x0, y0, x1, y1);
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) {
        Move p = pointat(x, y);
        if (!b_.empty(p)) continue;
        Threat t = b_.threat(att, p);
        if (t >= kOpenFour) {
          first = p;
          return true;
        }
        if (t >= kFour) moves[n++] = Scored{p, t * 4096 + b_.value(att, p)};
      }
    sortmoves(moves, n);
  }
  for (int i = 0; i < n; ++i) {
    const Move m = moves[i].move;
    b_.play(m);
    Move block = b_.findfive(att, m);
    bool win = false;
    if (block != kNoMove) {
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

// ---------------------------------------------------------------- root

int Searcher::rootmoves(const uint8_t* allowed, Scored* out) const {
  const Cell us = b_.tomove(), op = other(us);
  const int size = b_.size();
  int n = 0;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      Move p = pointat(x, y);
      if (!b_.empty(p) || (allowed && !allowed[p])) continue;
      int s = b_.value(us, p) * 5 / 4 + b_.value(op, p);
      if (!b_.nearstone(p)) {
        int dx = x - size / 2, dy = y - size / 2;
        s = -(1 << 20) - dx * dx - dy * dy;  // far from every stone: last, centre first
      }
      out[n++] = Scored{p, s};
    }
  sortmoves(out, n);
  return n;
}

Move Searcher::vcfroot(const uint8_t* allowed, int fours) {
  Move first;
  if (!vcf(fours, first)) return kNoMove;
  if (!allowed || allowed[first]) return first;
  return kNoMove;
}

int Searcher::searchroot(Scored* moves, int n, int depth, int alpha, int beta) {
  int best = -kInfinity;
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
        std::rotate(moves, moves + i, moves + i + 1);  // best first for the next iteration
      }
    }
  }
  return best;
}

void Searcher::begin(const Limits& limits) {
  limits_ = limits;
  start_ = std::chrono::steady_clock::now();
  nodes_ = 0;
  aborted_ = false;
}

int64_t Searcher::elapsed() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start_)
      .count();
}

SearchResult Searcher::run(const Limits& limits, const uint8_t* allowed) {
  begin(limits);
  tt_.newsearch();
  SearchResult result;
  auto finish = [&](SearchResult& r) -> SearchResult& {
    r.nodes = nodes_;
    r.time_ms = elapsed();
    if (r.pv.empty() && r.move != kNoMove) r.pv.push_back(r.move);
    return r;
  };

  std::vector<Scored> list(kMaxMoves);
  Scored* moves = list.data();
  int n = rootmoves(allowed, moves);
  if (n == 0) return finish(result);
  result.move = moves[0].move;
  if (b_.stones() == 0 || n == 1) return finish(result);

  const Cell us = b_.tomove(), op = other(us);
  if (b_.count(us, kWin) || b_.count(op, kWin)) {
    // Five now, or block the opponent's five: nothing else counts.
    Cell who = b_.count(us, kWin) ? us : op;
    for (int i = 0; i < n; ++i)
      if (b_.threat(who, moves[i].move) == kWin) {
        result.move = moves[i].move;
        result.score = who == us ? kWinScore - 1 : 0;
        return finish(result);
      }
  }
  if (Move win = vcfroot(allowed, kMaxFours); win != kNoMove) {
    result.move = win;
    result.score = kWinScore - 2;  // a forced win; its length is not tracked
    return finish(result);
  }
  aborted_ = false;

  const int maxdepth = limits.depth ? std::min(limits.depth, kMaxPly - 8) : kMaxPly - 8;
  for (int depth = 1; depth <= maxdepth; ++depth) {
    int score = searchroot(moves, n, depth, -kInfinity, kInfinity);
    if (aborted_) break;  // the last complete iteration decides
    if (std::getenv("DBG"))
      std::fprintf(stderr, "d%d score %d nodes %llu ms %lld\n", depth, score,
                   (unsigned long long)nodes_, (long long)elapsed());
    result.move = pv_[0][0];
    result.score = score;
    result.depth = depth;
    result.pv.assign(pv_[0], pv_[0] + pvlen_[0]);
    if (ismate(score) && kWinScore - std::abs(score) <= depth) break;
    if (limits.time_ms && elapsed() * 5 > limits.time_ms * 2) break;  // next would not finish
  }
  return finish(result);
}

}  // namespace gomoku::engine
