#include "engine/movegen.hpp"

namespace gomoku::engine {
namespace {

// True when empty point p belongs to `kind` for `us` against `op` (legality aside).
bool ofkind(const Board& b, MoveKind kind, Cell us, Cell op, Move p) {
  switch (kind) {
    case MoveKind::kAll:
      return b.nearstone(p);
    case MoveKind::kFours:
      return b.threat(us, p) >= kFour;
    case MoveKind::kThreesFours:
      return b.threat(us, p) >= kThree;
    case MoveKind::kDefendThree:
      return b.threat(us, p) >= kFour || b.threat(op, p) >= kFour;
    case MoveKind::kDefendFour:
      return b.threat(op, p) == kWin;
  }
  return false;
}

}  // namespace

int genmoves(Board& b, MoveKind kind, Move* out) {
  const Cell us = b.tomove(), op = other(us);
  if (kind == MoveKind::kDefendFour) {
    // One five is stopped on its one point, found from the stone that made it.
    if (b.count(op, kWin) != 1) return 0;
    const Move block = b.findfive(op, b.lastmove());
    if (block == kNoMove || !b.legal(us, block)) return 0;
    out[0] = block;
    return 1;
  }
  int x0, y0, x1, y1, n = 0;
  if (!b.area(2, x0, y0, x1, y1)) return 0;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      const Move p = pointat(x, y);
      if (b.empty(p) && ofkind(b, kind, us, op, p) && b.legal(us, p)) out[n++] = p;
    }
  return n;
}

}  // namespace gomoku::engine
