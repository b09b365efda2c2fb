#include "engine/level.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <thread>

namespace gomoku::engine {
namespace {

constexpr size_t kSmallTables = size_t{4} << 20;

// The settings of each level, weakest first. Chosen by matches of each level against the
// level two below it and against BSD gomoku (doc/engine.md, "Strength levels").
constexpr Level kLevels[] = {
    // level, candidates, nodes, depth, fours, blur, noise, overlook %, slip %, memory
    {1, 3, 400, 1, 1, 80, 400, 80, 10, kSmallTables},
    {2, 4, 800, 1, 2, 50, 300, 55, 4, kSmallTables},
    {3, 5, 2000, 2, 3, 30, 200, 30, 0, kSmallTables},
    {4, 6, 6000, 3, 4, 15, 150, 20, 0, kSmallTables},
    {5, 8, 12000, 4, 6, 6, 100, 12, 0, kSmallTables},
    {6, 10, 25000, 5, 8, 0, 80, 5, 0, kSmallTables},
    {7, 0, 20000, 0, 0, 0, 0, 0, 0, size_t{16} << 20},
    {8, 0, 60000, 0, 0, 0, 0, 0, 0, size_t{16} << 20},
    {9, 0, 0, 0, 0, 0, 0, 0, 0, 0},
};

// One step of the splitmix64 generator: the same numbers on every platform.
uint64_t splitmix(uint64_t& state) {
  uint64_t z = (state += 0x9e3779b97f4a7c15ull);
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
  return z ^ (z >> 31);
}

// True when a stone lies within two points of (x, y) along one of its four lines.
bool nearstone(const Engine& e, int x, int y) {
  static constexpr int kSteps[4][2] = {{1, 0}, {0, 1}, {1, 1}, {1, -1}};
  for (const auto& d : kSteps)
    for (int k = -2; k <= 2; ++k) {
      const int v = e.at(x + k * d[0], y + k * d[1]);
      if (k != 0 && (v == kBlack || v == kWhite)) return true;
    }
  return false;
}

// True when the player to move may put a stone on (x, y): empty, allowed, and under
// renju not forbidden to black.
bool choosable(Engine& e, const std::vector<uint8_t>* allowed, int x, int y) {
  if (e.at(x, y) != kEmpty) return false;
  const size_t i = static_cast<size_t>(y) * e.size() + x;
  if (allowed && (i >= allowed->size() || !(*allowed)[i])) return false;
  const Threat t = e.threat(e.tomove(), x, y);
  return t != kForbidden && (t != kThreeThree || e.tomove() != kBlack || !e.forbidden(x, y));
}

// True when player `who` has an open three on the board: a point where it makes a
// straight four (or two fours) with no five.
bool hasthree(const Engine& e, int who) {
  for (int y = 0; y < e.size(); ++y)
    for (int x = 0; x < e.size(); ++x)
      if (e.threat(who, x, y) == kOpenFour) return true;
  return false;
}

// A result that names the point (x, y) and nothing more.
Result pointresult(int x, int y) {
  Result r;
  r.x = x, r.y = y;
  return r;
}

// Raises a flag at the caller's deadline or when the caller's stop flag is set, from a
// thread of its own, so that the look-aheads under it can stay purely node-limited (and
// so repeatable) and still end in time.
class Watchdog {
 public:
  static constexpr int64_t kMaxWaitMs = int64_t{1} << 40;  // 35 years: no deadline
  static constexpr int kPollMs = 2;                        // how often it looks
  explicit Watchdog(const Limits& outer) {
    if (!outer.time_ms && !outer.stop) return;
    if (outer.stop && outer.stop->load()) {
      flag_ = true;  // already stopped: raised now, not whenever the thread first runs
      return;
    }
    const bool timed = outer.time_ms > 0;
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(std::min<int64_t>(outer.time_ms, kMaxWaitMs));
    const std::atomic<bool>* callerstop = outer.stop;
    // A plain sleep between looks: waiting on a condition variable with a stop token
    // deadlocked now and then under wine when the thread was joined.
    thread_ = std::thread([this, timed, deadline, callerstop] {
      while (!done_.load()) {
        if ((callerstop && callerstop->load()) ||
            (timed && std::chrono::steady_clock::now() >= deadline)) {
          flag_ = true;
          return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
      }
    });
  }
  // Stops the thread and waits for it (at most one look's time).
  ~Watchdog() {
    done_ = true;
    if (thread_.joinable()) thread_.join();
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;
  const std::atomic<bool>* flag() const { return &flag_; }

 private:
  std::atomic<bool> flag_{false};
  std::atomic<bool> done_{false};
  std::thread thread_;
};

}  // namespace

Level levelsettings(int n, uint64_t seed) {
  Level l = kLevels[std::clamp(n, kMinLevel, kMaxLevel) - kMinLevel];
  l.seed = seed;
  return l;
}

uint64_t LevelPlayer::draw(uint64_t n) {
  return splitmix(rng_) % n;
}

bool LevelPlayer::chance(int percent) {
  if (percent <= 0) return false;
  if (percent >= 100) return true;
  return static_cast<int>(draw(100)) < percent;
}

std::vector<LevelPlayer::Candidate> LevelPlayer::candidates(Engine& e,
                                                            const std::vector<uint8_t>* allowed) {
  const int me = e.tomove(), op = 3 - me;
  const bool blind = chance(level_.slip);  // a beginner's slip: no five seen, nor a four
  const bool overlooked = hasthree(e, op) && chance(level_.overlook);
  std::vector<Candidate> out;
  for (int y = 0; y < e.size(); ++y)
    for (int x = 0; x < e.size(); ++x) {
      if (!choosable(e, allowed, x, y) || !nearstone(e, x, y)) continue;
      const Threat mine = e.threat(me, x, y), theirs = e.threat(op, x, y);
      if (blind && (mine == kWin || theirs == kWin)) continue;
      // Overlooking the three, it does not see the points that stop it, unless they
      // are good for its own attack.
      if (overlooked && theirs >= kFour && theirs < kWin && mine < kFour) continue;
      // The engine's own root ordering (its own chances first, a quarter more), blurred.
      const int blur = level_.blur ? static_cast<int>(draw(level_.blur + 1)) : 0;
      out.push_back(Candidate{x, y, e.value(me, x, y) * 5 / 4 + e.value(op, x, y) + blur});
    }
  std::stable_sort(out.begin(), out.end(),
                   [](const Candidate& a, const Candidate& b) { return a.order > b.order; });
  return out;
}

Result LevelPlayer::lookahead(Engine& e, int x, int y, const Limits& look) {
  const int me = e.tomove();
  e.play(x, y);
  Result r = e.search(look);  // the opponent's best answer, as far as the level looks
  r.score = -r.score;
  if (r.x >= 0 && r.depth == 0 && e.threat(me, r.x, r.y) == kWin &&
      e.threat(3 - me, r.x, r.y) != kWin) {
    // The move made a four and the answer only blocks it, which the engine takes as
    // settled at once: what counts is the position after the block, for the mover.
    e.play(r.x, r.y);
    const Result after = e.search(look);
    e.undo();
    r.score = after.x < 0 ? 0 : after.score;
    r.nodes += after.nodes, r.depth = after.depth + 1;
  }
  e.undo();
  if (r.x < 0) r.score = 0;  // the board is full
  return r;
}

Result LevelPlayer::weigh(Engine& e, const std::vector<Candidate>& list,
                          const std::atomic<bool>* stop) {
  const Limits look{.nodes = level_.nodes, .depth = level_.depth, .stop = stop};
  Result best = pointresult(list.front().x, list.front().y);
  int bestscore = INT_MIN;
  for (const Candidate& c : list) {
    const Result r = lookahead(e, c.x, c.y, look);
    if (stop && stop->load()) break;  // cut short: not weighed
    best.nodes += r.nodes;
    const int noise =
        level_.noise ? static_cast<int>(draw(2 * level_.noise + 1)) - level_.noise : 0;
    if (r.score + noise > bestscore) {
      bestscore = r.score + noise;
      best.x = c.x, best.y = c.y, best.score = r.score, best.depth = r.depth + 1;
    }
  }
  return best;
}

Result LevelPlayer::choose(Engine& e, const Limits& limits, const std::vector<uint8_t>* allowed) {
  if (level_.level >= kMaxLevel) return e.search(limits, allowed);
  const Watchdog watch(limits);
  Limits look{.nodes = level_.nodes, .depth = level_.depth, .stop = watch.flag()};
  if (limits.nodes) look.nodes = std::min(look.nodes, limits.nodes);
  if (level_.candidates == 0) return e.search(look, allowed);

  std::vector<Candidate> list = candidates(e, allowed);
  if (list.empty()) return e.search(look, allowed);  // nothing near the stones: the engine's choice
  for (int who : {e.tomove(), 3 - e.tomove()})  // its own five, else the block of the opponent's
    for (const Candidate& c : list)
      if (e.threat(who, c.x, c.y) == kWin) return pointresult(c.x, c.y);
  const Result vcf = e.findvcf({.nodes = look.nodes, .depth = level_.fours, .stop = look.stop});
  if (vcf.x >= 0 && std::any_of(list.begin(), list.end(),
                                [&](const Candidate& c) { return c.x == vcf.x && c.y == vcf.y; }))
    return vcf;
  if (list.size() > static_cast<size_t>(level_.candidates)) list.resize(level_.candidates);
  return weigh(e, list, look.stop);
}

}  // namespace gomoku::engine
