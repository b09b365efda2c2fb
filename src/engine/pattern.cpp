#include "engine/pattern.hpp"

#include <algorithm>
#include <array>
#include <memory>

namespace gomoku::engine {
namespace {

// Weight of each line pattern in a point's value.
constexpr int kLineWeight[] = {0, 1, 4, 12, 12, 40, 45, 400, 4000};
// Extra weight of each threat class, for the lines working together.
constexpr int kThreatBonus[] = {0, 0, 10, 0, 120, 0, 150, 400, 0};

// The cell at offset k of a line code.
int cellat(LineCode code, int k) {
  return (code >> slotshift(k)) & 3;
}

// The line code with an own stone added at offset k (which is empty).
LineCode withstone(LineCode code, int k, int own) {
  return static_cast<LineCode>(code | (own << slotshift(k)));
}

// True when the centre stone lies in an unbroken run of five or more own stones.
bool makesfive(LineCode code, int own) {
  int run = 1;
  for (int k = 1; k <= 4 && cellat(code, k) == own; ++k) ++run;
  for (int k = 1; k <= 4 && cellat(code, -k) == own; ++k) ++run;
  return run >= 5;
}

// True when some five points through the centre hold only own stones and empty points.
bool canreachfive(LineCode code, int own) {
  for (int start = -4; start <= 0; ++start) {
    bool open = true;
    for (int k = start; k < start + 5 && open; ++k)
      open = k == 0 || cellat(code, k) == own || cellat(code, k) == kEmpty;
    if (open) return true;
  }
  return false;
}

// The pattern one step weaker than `p`, for what one more stone would make.
Pattern weaker(Pattern p) {
  switch (p) {
    case kFlex4:
      return kFlex3;
    case kBlock4:
      return kBlock3;
    case kFlex3:
      return kFlex2;
    case kBlock3:
      return kBlock2;
    default:
      return kDead;
  }
}

// Classifies every line code for one colour, remembering results in `memo`.
class Classifier {
 public:
  explicit Classifier(int own) : own_(own) { memo_.fill(0xff); }

  // The pattern of a stone put down at the centre of `code`.
  Pattern classify(LineCode code) {
    if (memo_[code] == 0xff) memo_[code] = compute(code);
    return static_cast<Pattern>(memo_[code]);
  }

 private:
  // Five; else a four by the points left that make five; else what one more stone makes.
  Pattern compute(LineCode code) {
    if (makesfive(code, own_)) return kFive;
    int fivepoints = 0;
    for (int k = -4; k <= 4; ++k)
      if (k != 0 && cellat(code, k) == kEmpty && makesfive(withstone(code, k, own_), own_))
        ++fivepoints;
    if (fivepoints > 0) return fivepoints >= 2 ? kFlex4 : kBlock4;
    Pattern best = kDead;
    for (int k = -4; k <= 4; ++k)
      if (k != 0 && cellat(code, k) == kEmpty)
        best = std::max(best, weaker(classify(withstone(code, k, own_))));
    if (best >= kBlock2) return best;
    return canreachfive(code, own_) ? kAlive : kDead;
  }

  int own_;
  std::array<uint8_t, 1 << 16> memo_;
};

// The threat class of four line patterns.
Threat combine(const int count[9]) {
  if (count[kFive]) return kWin;
  if (count[kFlex4] || count[kBlock4] >= 2) return kOpenFour;
  if (count[kBlock4]) return count[kFlex3] ? kFourThree : kFour;
  if (count[kFlex3]) return count[kFlex3] >= 2 ? kThreeThree : kThree;
  int twos = count[kBlock3] + count[kFlex2];
  if (twos) return twos >= 2 ? kTwoTwo : kTwo;
  return kQuiet;
}

// Fills all tables.
void build(PatternTables& t) {
  for (int colour = 1; colour <= 2; ++colour) {
    auto c = std::make_unique<Classifier>(colour);
    for (int code = 0; code < (1 << 16); ++code)
      t.line[colour - 1][code] = c->classify(static_cast<LineCode>(code));
  }
  for (int packed = 0; packed < (1 << 16); ++packed) {
    int count[16] = {};
    int value = 0;
    for (int d = 0; d < 4; ++d) {
      int p = (packed >> (4 * d)) & 15;
      ++count[p];
      value += p <= kFive ? kLineWeight[p] : 0;
    }
    Threat th = combine(count);
    t.point[packed] = PointInfo{static_cast<int16_t>(value + kThreatBonus[th]), th, 0};
  }
  for (int code = 0; code < (1 << 16); ++code)
    t.pair[code] = static_cast<uint8_t>(t.line[0][code] | t.line[1][code] << 4);
}

}  // namespace

const PatternTables& patterntables() {
  static const std::unique_ptr<PatternTables> tables = [] {
    auto t = std::make_unique<PatternTables>();
    build(*t);
    return t;
  }();
  return *tables;
}

Pattern linepattern(LineCode code, Cell colour) {
  return static_cast<Pattern>(patterntables().line[colour - 1][code]);
}

Threat combinedthreat(uint16_t packed) {
  return static_cast<Threat>(patterntables().point[packed].threat);
}

int pointvalue(uint16_t packed) {
  return patterntables().point[packed].value;
}

}  // namespace gomoku::engine
