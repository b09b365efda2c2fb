#include "engine/pattern.hpp"

#include <algorithm>
#include <array>
#include <memory>
#include <mutex>
#include <vector>

namespace gomoku::engine {
namespace {

// What makes a five along one line: the rules differ only here (and in what renju
// forbids black, which the point tables add).
enum class FiveKind : uint8_t {
  kAtLeast,  // five or more
  kExactly,  // exactly five; six or more is an overline
  kRenju,    // exactly five, and a three counts only if it can become a straight four
  kCaro,     // five or more, but not exactly five with the opponent beyond both ends
  kKinds,
};

// Weight of each line pattern in a point's value, and extra weight of each threat class
// for the lines working together: the move ordering's weights.
constexpr int kLineWeight[] = {0, 1, 7, 9, 29, 81, 177, 546, 4000, 400, 0};
constexpr int kThreatBonus[] = {0, 0, 0, 15, 1, 14, 13, 534, 0, 0};
// The same for a point's worth: the evaluation's weights.
constexpr int kLineWorth[] = {0, 1, 9, 92, 116, 118, 15, 246, 4000, 400, 0};
constexpr int kThreatWorth[] = {0, 0, 0, 0, 0, 0, 103, 880, 12, 0};

constexpr int kOwn = kBlack, kOpp = kWhite;

// The cell at offset k of a line code.
int cellat(LineCode code, int k) {
  return (code >> slotshift(k)) & 3;
}

// The line code with an own stone added at offset k (which is empty).
LineCode withstone(LineCode code, int k) {
  return code | static_cast<LineCode>(kOwn << slotshift(k));
}

// The same line with the colours swapped: black's view of white's line.
LineCode swapcolours(LineCode code) {
  constexpr LineCode low = 0x55555, high = 0xaaaaa;
  return ((code & low) << 1) | ((code & high) >> 1);
}

// Own stones in an unbroken run from the centre along `side` (+1 or -1).
int runfrom(LineCode code, int side) {
  int n = 0;
  while (n < kReach && cellat(code, side * (n + 1)) == kOwn) ++n;
  return n;
}

// True when the run through the centre (its stone counted) wins under `kind`.
bool makesfive(LineCode code, FiveKind kind) {
  const int left = runfrom(code, -1), right = runfrom(code, 1), run = left + right + 1;
  switch (kind) {
    case FiveKind::kAtLeast:
      return run >= 5;
    case FiveKind::kCaro:
      return run >= 6 ||
             (run == 5 && !(cellat(code, -left - 1) == kOpp && cellat(code, right + 1) == kOpp));
    default:
      return run == 5;
  }
}

// True when the run through the centre is six or more.
bool makesoverline(LineCode code) {
  return runfrom(code, -1) + runfrom(code, 1) + 1 >= 6;
}

// True when filling the empty points of some five (or, under caro, six) points through
// the centre with own stones makes a winning line.
bool canreachfive(LineCode code, FiveKind kind) {
  for (int len = 5; len <= (kind == FiveKind::kCaro ? 6 : 5); ++len)
    for (int start = 1 - len; start <= 0; ++start) {
      if (start < -kReach || start + len - 1 > kReach) continue;
      LineCode filled = code;
      bool open = true;
      for (int k = start; k < start + len && open; ++k) {
        if (k == 0) continue;
        const int c = cellat(code, k);
        open = c == kOwn || c == kEmpty;
        if (c == kEmpty) filled = withstone(filled, k);
      }
      if (open && makesfive(filled, kind)) return true;
    }
  return false;
}

// The pattern that one more stone making `p` leaves now.
Pattern weaker(Pattern p) {
  switch (p) {
    case kFlex4:
      return kFlex3;
    case kBlock4:
    case kFourFour:
      return kBlock3;
    case kFlex3:
      return kFlex2;
    case kBlock3:
      return kBlock2;
    default:
      return kDead;
  }
}

// Classifies every line code for black under one kind of five, remembering results.
class Classifier {
 public:
  explicit Classifier(FiveKind kind) : kind_(kind), memo_(kLineCodes, 0xff) {}

  // The pattern of a black stone put down at the centre of `code`.
  Pattern classify(LineCode code) {
    if (memo_[code] == 0xff) memo_[code] = compute(code);
    return static_cast<Pattern>(memo_[code]);
  }

 private:
  // Five; an overline; a four by the points left that make five; else what one more
  // stone makes.
  Pattern compute(LineCode code) {
    if (makesfive(code, kind_)) return kFive;
    if (makesoverline(code)) return kOverline;
    int fives = 0, first = 0, last = 0;
    for (int k = -kReach; k <= kReach; ++k)
      if (k != 0 && cellat(code, k) == kEmpty && makesfive(withstone(code, k), kind_)) {
        if (fives++ == 0) first = k;
        last = k;
      }
    if (fives == 1) return kBlock4;
    if (fives >= 2) {
      // Under renju two points five apart are one straight four; others are two fours.
      bool straight = fives == 2 && last - first == 5;
      return kind_ != FiveKind::kRenju || straight ? kFlex4 : kFourFour;
    }
    Pattern best = kDead;
    for (int k = -kReach; k <= kReach; ++k)
      if (k != 0 && cellat(code, k) == kEmpty)
        best = std::max(best, weaker(classify(withstone(code, k))));
    if (best >= kBlock2) return best;
    return canreachfive(code, kind_) ? kAlive : kDead;
  }

  FiveKind kind_;
  std::vector<uint8_t> memo_;
};

// Calls `f` with every line code that can occur: on each side some points on the board,
// then only points off it.
template <typename F>
void eachcode(F f) {
  std::vector<LineCode> sides;  // one side, nearest point in the lowest slot
  for (int onboard = 0; onboard <= kReach; ++onboard) {
    int combos = 1;
    for (int i = 0; i < onboard; ++i) combos *= 3;
    for (int v = 0; v < combos; ++v) {
      LineCode side = 0;
      for (int i = 0, rest = v; i < kReach; ++i, rest /= 3)
        side |= static_cast<LineCode>((i < onboard ? rest % 3 : kWall) << (2 * i));
      sides.push_back(side);
    }
  }
  for (LineCode a : sides)
    for (LineCode b : sides) {
      LineCode code = 0;
      for (int i = 0; i < kReach; ++i) {
        code |= ((a >> (2 * i)) & 3) << slotshift(-i - 1);
        code |= ((b >> (2 * i)) & 3) << slotshift(i + 1);
      }
      f(code);
    }
}

// Black's pattern for every possible line code under `kind` (0 for impossible codes),
// built once per kind.
const std::vector<uint8_t>& blackpatterns(FiveKind kind) {
  static std::once_flag once[static_cast<int>(FiveKind::kKinds)];
  static std::vector<uint8_t> tables[static_cast<int>(FiveKind::kKinds)];
  const int i = static_cast<int>(kind);
  std::call_once(once[i], [&] {
    auto c = std::make_unique<Classifier>(kind);
    tables[i].assign(kLineCodes, kDead);
    eachcode([&](LineCode code) { tables[i][code] = c->classify(code); });
  });
  return tables[i];
}

// The threat class of four line patterns, for renju's black when `renjublack`.
Threat combine(const int count[16], bool renjublack) {
  if (count[kFive]) return kWin;
  const int fours = count[kBlock4] + count[kFlex4] + 2 * count[kFourFour];
  if (renjublack) {
    if (count[kOverline] || fours >= 2) return kForbidden;
    if (count[kFlex3] >= 2) return kThreeThree;  // forbidden if both threes are real
  }
  if (count[kFlex4] || fours >= 2) return kOpenFour;
  if (count[kBlock4]) return count[kFlex3] ? kFourThree : kFour;
  if (count[kFlex3]) return count[kFlex3] >= 2 ? kThreeThree : kThree;
  int twos = count[kBlock3] + count[kFlex2];
  if (twos) return twos >= 2 ? kTwoTwo : kTwo;
  return kQuiet;
}

// Threat class, value and worth of every packing of four line patterns.
void buildpoints(PointInfo* out, bool renjublack) {
  for (int packed = 0; packed < (1 << 16); ++packed) {
    int count[16] = {};
    int value = 0, worth = 0;
    for (int d = 0; d < 4; ++d) {
      int p = (packed >> (4 * d)) & 15;
      ++count[p];
      value += p <= kOverline ? kLineWeight[p] : 0;
      worth += p <= kOverline ? kLineWorth[p] : 0;
    }
    const Threat th = combine(count, renjublack);
    if (th == kForbidden || (renjublack && th == kThreeThree)) {
      value = worth = 0;
    } else {
      value += kThreatBonus[th];
      worth += kThreatWorth[th];
    }
    out[packed] = PointInfo{static_cast<int16_t>(value), static_cast<int16_t>(worth), th, 0};
  }
}

// Fills the tables of `rule`.
void build(RuleTables& t, Rule rule) {
  FiveKind black = FiveKind::kAtLeast, white = FiveKind::kAtLeast;
  if (rule == Rule::kStandard) black = white = FiveKind::kExactly;
  if (rule == Rule::kRenju) black = FiveKind::kRenju;
  if (rule == Rule::kCaro) black = white = FiveKind::kCaro;
  const std::vector<uint8_t>& b = blackpatterns(black);
  const std::vector<uint8_t>& w = blackpatterns(white);
  for (LineCode code = 0; code < kLineCodes; ++code)
    t.pair[code] = static_cast<uint8_t>(b[code] | w[swapcolours(code)] << 4);
  buildpoints(t.point[0], rule == Rule::kRenju);
  buildpoints(t.point[1], false);
}

}  // namespace

const RuleTables& ruletables(Rule rule) {
  static std::once_flag once[kRules];
  static std::unique_ptr<RuleTables> tables[kRules];
  const int i = static_cast<int>(rule);
  std::call_once(once[i], [&] {
    tables[i] = std::make_unique<RuleTables>();
    build(*tables[i], rule);
  });
  return *tables[i];
}

Pattern linepattern(LineCode code, Cell colour, Rule rule) {
  return static_cast<Pattern>((ruletables(rule).pair[code] >> (4 * (colour - 1))) & 15);
}

}  // namespace gomoku::engine
