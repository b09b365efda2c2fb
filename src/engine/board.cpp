#include "engine/board.hpp"

#include <algorithm>
#include <array>

namespace gomoku::engine {
namespace {

// Zobrist keys: fixed pseudo-random numbers (splitmix64), the same in every run.
struct Keys {
  std::array<std::array<uint64_t, kPoints>, 3> key;
  Keys() {
    uint64_t s = 0x2545f4914f6cdd1dull;
    for (auto& row : key)
      for (auto& k : row) {
        uint64_t z = (s += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        k = z ^ (z >> 31);
      }
  }
};

// The keys, made on first use.
const Keys& keys() {
  static const Keys k;
  return k;
}

// Zobrist key of a stone of colour c (or a wall) on point p.
uint64_t zobrist(Cell c, Move p) {
  return keys().key[c - 1][p];
}

// Key of each rule, so that no table entry is taken for the same stones under another.
constexpr uint64_t kRuleKeys[kRules] = {0, 0x6a09e667f3bcc908ull, 0xbb67ae8584caa73bull,
                                        0x3c6ef372fe94f82bull};

}  // namespace

void Board::reset(int size, Rule rule) {
  t_ = &ruletables(rule);
  rule_ = rule;
  size_ = size;
  side_ = kBlack;
  stones_ = top_ = 0;
  hash_ = kRuleKeys[static_cast<int>(rule)];
  x0_ = y0_ = 0;
  x1_ = y1_ = -1;
  std::fill(std::begin(cell_), std::end(cell_), kWall);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) cell_[pointat(x, y)] = kEmpty;
  std::fill(std::begin(points_), std::end(points_), PointState{});
  std::fill(&count_[0][0], &count_[0][0] + 2 * kThreats, 0);
  total_[0] = total_[1] = 0;
  for (int p = 0; p < kPoints; ++p)
    for (int d = 0; d < 4; ++d) code_[p][d] = 0;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      Move p = pointat(x, y);
      for (int d = 0; d < 4; ++d)
        for (int k = -kReach; k <= kReach; ++k)
          if (k != 0) code_[p][d] |= static_cast<LineCode>(cell_[p + k * kDirs[d]] << slotshift(k));
      refresh(p);
      addpoint(p);
    }
}

void Board::refresh(Move p) {
  for (int i = 0; i < 2; ++i) {
    uint16_t packed = 0;
    for (int d = 0; d < 4; ++d)
      packed |= static_cast<uint16_t>(((t_->pair[code_[p][d]] >> (4 * i)) & 15) << (4 * d));
    points_[p].packed[i] = packed;
    const PointInfo& info = t_->point[i][packed];
    points_[p].threat[i] = info.threat;
    points_[p].value[i] = info.value;
    points_[p].worth[i] = info.worth;
  }
}

void Board::addpoint(Move p) {
  for (int i = 0; i < 2; ++i) {
    ++count_[i][points_[p].threat[i]];
    total_[i] += points_[p].worth[i];
  }
}

void Board::droppoint(Move p) {
  for (int i = 0; i < 2; ++i) {
    --count_[i][points_[p].threat[i]];
    total_[i] -= points_[p].worth[i];
  }
}

void Board::touch(Move p, int d) {
  const int shift = 4 * d;
  const unsigned pair = t_->pair[code_[p][d]];
  for (int i = 0; i < 2; ++i) {
    const unsigned nibble = (pair >> (4 * i)) & 15;
    const uint16_t packed =
        static_cast<uint16_t>((points_[p].packed[i] & ~(15u << shift)) | nibble << shift);
    if (packed == points_[p].packed[i]) continue;
    points_[p].packed[i] = packed;
    const PointInfo& info = t_->point[i][packed];
    --count_[i][points_[p].threat[i]];
    ++count_[i][info.threat];
    total_[i] += info.worth - points_[p].worth[i];
    points_[p].threat[i] = info.threat;
    points_[p].value[i] = info.value;
    points_[p].worth[i] = info.worth;
  }
}

void Board::fliplines(Move p, Cell c) {
  for (int d = 0; d < 4; ++d) {
    const int step = kDirs[d];
    for (int k = 1; k <= kReach; ++k) {
      Move a = static_cast<Move>(p + k * step), b = static_cast<Move>(p - k * step);
      code_[a][d] ^= static_cast<LineCode>(c << slotshift(-k));
      code_[b][d] ^= static_cast<LineCode>(c << slotshift(k));
      if (cell_[a] == kEmpty) touch(a, d);
      if (cell_[b] == kEmpty) touch(b, d);
    }
  }
}

void Board::put(Move p, Cell c) {
  droppoint(p);
  for (int i = 0; i < 2; ++i)
    points_[p].value[i] = points_[p].worth[i] = 0, points_[p].threat[i] = kQuiet;
  cell_[p] = c;
  hash_ ^= zobrist(c, p);
  ++stones_;
  fliplines(p, c);
}

void Board::lift(Move p) {
  const Cell c = static_cast<Cell>(cell_[p]);
  cell_[p] = kEmpty;
  hash_ ^= zobrist(c, p);
  --stones_;
  fliplines(p, c);
  refresh(p);
  addpoint(p);
}

void Board::play(Move p) {
  history_[top_++] = Step{p, static_cast<int8_t>(x0_), static_cast<int8_t>(y0_),
                          static_cast<int8_t>(x1_), static_cast<int8_t>(y1_)};
  setup(p, side_);
  side_ = other(side_);
}

void Board::undo() {
  const Step& s = history_[--top_];
  lift(s.move);
  x0_ = s.x0, y0_ = s.y0, x1_ = s.x1, y1_ = s.y1;
  side_ = other(side_);
}

void Board::setup(Move p, Cell c) {
  put(p, c);
  const int x = colof(p), y = rowof(p);
  if (x1_ < x0_) {
    x0_ = x1_ = x, y0_ = y1_ = y;
    return;
  }
  x0_ = std::min(x0_, x), x1_ = std::max(x1_, x);
  y0_ = std::min(y0_, y), y1_ = std::max(y1_, y);
}

int Board::countatleast(Cell c, Threat t) const {
  int n = 0;
  for (int i = t; i < kThreats; ++i) n += count_[c - 1][i];
  return n;
}

bool Board::nearstone(Move p) const {
  unsigned stones = 0;
  for (int d = 0; d < 4; ++d) {
    // the points one and two steps away, two bits each; a stone is 01 or 10
    constexpr LineCode near = 0xffu << slotshift(-2), low = 0x55u << slotshift(-2);
    unsigned v = code_[p][d] & near;
    stones |= (v ^ (v >> 1)) & low;
  }
  return stones != 0;
}

bool Board::area(int margin, int& x0, int& y0, int& x1, int& y1) const {
  if (x1_ < x0_) return false;
  x0 = std::max(0, x0_ - margin), y0 = std::max(0, y0_ - margin);
  x1 = std::min(size_ - 1, x1_ + margin), y1 = std::min(size_ - 1, y1_ + margin);
  return true;
}

Move Board::findfive(Cell c, Move hint) const {
  if (hint != kNoMove)
    for (int d = 0; d < 4; ++d)
      for (int k = -4; k <= 4; ++k) {
        Move q = static_cast<Move>(hint + k * kDirs[d]);
        if (cell_[q] == kEmpty && points_[q].threat[c - 1] == kWin) return q;
      }
  int x0, y0, x1, y1;
  if (!area(1, x0, y0, x1, y1)) return kNoMove;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      Move q = pointat(x, y);
      if (cell_[q] == kEmpty && points_[q].threat[c - 1] == kWin) return q;
    }
  return kNoMove;
}

bool Board::forbidden(Move p) {
  if (rule_ != Rule::kRenju || cell_[p] != kEmpty) return false;
  const Threat t = threat(kBlack, p);
  if (t != kThreeThree) return t == kForbidden;
  int lines[4], n = 0;
  for (int d = 0; d < 4; ++d)
    if (pattern(kBlack, p, d) == kFlex3) lines[n++] = d;
  put(p, kBlack);
  int real = 0;
  for (int i = 0; i < n && real < 2; ++i) real += realthree(p, lines[i]);
  lift(p);
  return real >= 2;
}

bool Board::realthree(Move p, int d) {
  for (int side : {1, -1}) {
    const int step = side * kDirs[d];
    Move q = static_cast<Move>(p + step);
    while (cell_[q] == kBlack) q = static_cast<Move>(q + step);
    // The first point past the stones joined to p; the straight four must hold p.
    if (cell_[q] == kEmpty && pattern(kBlack, q, d) == kFlex4 && threat(kBlack, q) != kWin &&
        !forbidden(q))
      return true;
  }
  return false;
}

}  // namespace gomoku::engine
