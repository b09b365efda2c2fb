// The search board: stones, the rule, and for every empty point what each colour would
// make by playing there, kept up to date incrementally as stones come and go. A board is
// a plain value: copy it to give each search thread its own.
#pragma once

#include <cstdint>

#include "engine/pattern.hpp"

namespace gomoku::engine {

inline constexpr int kMinSize = 5;
inline constexpr int kMaxSize = 32;
// Points are indices into a square of side kStride: the board plus a border of kReach
// points off the board on every side, so that looking kReach points along a line never
// leaves the array.
inline constexpr int kPad = kReach;
inline constexpr int kStride = kMaxSize + 2 * kPad;
inline constexpr int kPoints = kStride * kStride;
// Index steps along the four lines: across, down, down-right, down-left.
inline constexpr int kDirs[4] = {1, kStride, kStride + 1, kStride - 1};

// A point's index; 0 is always off the board, so it doubles as "no move".
using Move = uint16_t;
inline constexpr Move kNoMove = 0;

// Index of the point in column x, row y (both 0-based).
constexpr Move pointat(int x, int y) {
  return static_cast<Move>((y + kPad) * kStride + x + kPad);
}
constexpr int colof(Move p) {
  return p % kStride - kPad;
}
constexpr int rowof(Move p) {
  return p / kStride - kPad;
}

// The colour other than `c` (kBlack <-> kWhite).
constexpr Cell other(Cell c) {
  return static_cast<Cell>(3 - c);
}

class Board {
 public:
  // An empty board of size x size points (kMinSize..kMaxSize) played by `rule`, black
  // to move.
  void reset(int size, Rule rule = Rule::kFreestyle);

  int size() const { return size_; }
  Rule rule() const { return rule_; }
  Cell at(Move p) const { return static_cast<Cell>(cell_[p]); }
  bool onboard(int x, int y) const { return x >= 0 && y >= 0 && x < size_ && y < size_; }
  bool empty(Move p) const { return cell_[p] == kEmpty; }
  Cell tomove() const { return side_; }
  void settomove(Cell c) { side_ = c; }
  int stones() const { return stones_; }
  Move lastmove() const { return top_ ? history_[top_ - 1].move : kNoMove; }
  // The position's key: stones, side to move and rule.
  uint64_t hash() const { return hash_ ^ (side_ == kWhite ? kWhiteToMove : 0); }

  // Puts a stone of the side to move on the empty point p and passes the turn.
  void play(Move p);
  // Takes back the last play().
  void undo();
  // Puts `c` (a colour, or kWall for a point no one may use) on the empty point p;
  // the turn does not change and undo() does not take it back.
  void setup(Move p, Cell c);

  // What colour c would make by playing on point p (kQuiet for occupied ones). Under
  // renju black's kForbidden is certain; its kThreeThree needs forbidden() to decide.
  Threat threat(Cell c, Move p) const { return static_cast<Threat>(points_[p].threat[c - 1]); }
  // The pattern colour c would make on line d by playing on empty point p.
  Pattern pattern(Cell c, Move p, int d) const {
    return static_cast<Pattern>((points_[p].packed[c - 1] >> (4 * d)) & 15);
  }
  // Weight of empty point p for colour c.
  int value(Cell c, Move p) const { return points_[p].value[c - 1]; }
  // Sum over all empty points of their worth for colour c: the evaluation's weight,
  // fitted apart from value()'s.
  int total(Cell c) const { return total_[c - 1]; }
  // Number of empty points where colour c has threat class t.
  int count(Cell c, Threat t) const { return count_[c - 1][t]; }
  // Number of empty points where colour c has threat class t or stronger.
  int countatleast(Cell c, Threat t) const;
  // True when a stone lies within two points of empty point p along one of its lines.
  bool nearstone(Move p) const;
  // The rectangle holding every stone, widened by `margin` and clipped to the board,
  // as first and last column and row; false when the board is empty.
  bool area(int margin, int& x0, int& y0, int& x1, int& y1) const;
  // An empty point where colour c makes five, near `hint` if it can, else kNoMove.
  Move findfive(Cell c, Move hint) const;

  // True when p is a point black may not play under renju: no five, and an overline, a
  // double four, or two threes that are both real (the point that makes each a
  // straight four is itself allowed, asked recursively). False under the other rules.
  // The board is the same afterwards (it tries stones on it meanwhile).
  bool forbidden(Move p);
  // True when colour c may put a stone on empty point p under the rule.
  bool legal(Cell c, Move p) {
    const Threat t = threat(c, p);
    return t != kForbidden && (t != kThreeThree || c != kBlack || !forbidden(p));
  }

 private:
  static constexpr uint64_t kWhiteToMove = 0x9e3779b97f4a7c15ull;

  // Adds or takes away (the same operation) a stone of colour c at p in the line codes of
  // the points within kReach steps along its lines, and updates those that are empty.
  void fliplines(Move p, Cell c);
  // Puts c on p and brings the 40 points along its lines up to date.
  void put(Move p, Cell c);
  // Takes the stone off p and brings p and the points along its lines up to date.
  void lift(Move p);
  // Re-reads line d of empty point p for both colours, keeping counts and sums right.
  void touch(Move p, int d);
  // Reads p's line patterns afresh from its line codes and sets its classes and values.
  void refresh(Move p);
  // True when black's three on line d through p (a black stone now) is real: the point
  // that makes it a straight four makes no five and is not forbidden.
  bool realthree(Move p, int d);
  // Counts empty point p in the class counts and value sums.
  void addpoint(Move p);
  // Takes point p out of the class counts and value sums.
  void droppoint(Move p);

  struct Step {
    Move move;
    int8_t x0, y0, x1, y1;
  };

  const RuleTables* t_ = &ruletables(Rule::kFreestyle);
  Rule rule_ = Rule::kFreestyle;
  int size_ = 0;
  Cell side_ = kBlack;
  int stones_ = 0;
  int top_ = 0;
  uint64_t hash_ = 0;
  int x0_ = 0, y0_ = 0, x1_ = -1, y1_ = -1;  // rectangle holding every stone
  uint8_t cell_[kPoints];
  LineCode code_[kPoints][4];
  // What each colour would make on a point: line patterns packed 4 bits per line, value,
  // worth and threat class (kept together: they change together); 0 and kQuiet once taken.
  struct PointState {
    uint16_t packed[2] = {0, 0};
    int16_t value[2] = {0, 0};
    int16_t worth[2] = {0, 0};
    uint8_t threat[2] = {kQuiet, kQuiet};
  };
  PointState points_[kPoints];
  int total_[2];
  int count_[2][kThreats];
  Step history_[kMaxSize * kMaxSize];
};

}  // namespace gomoku::engine
