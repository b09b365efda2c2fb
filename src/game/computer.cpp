#include "game/computer.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <functional>
#include <new>
#include <string>
#include <system_error>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "board/state.hpp"
#include "console/console.hpp"
#include "engine/engine.hpp"
#include "engine/level.hpp"

namespace gomoku {
namespace {

constexpr int kSide = kSize - 1;  // rows and columns of the playing area
constexpr int kSliceMs = 20;      // the screen is kept alive in slices this long
constexpr std::size_t kMemory = std::size_t{64} << 20;  // the engine's tables

std::string planned;    // the keys that steer the computer's stone this turn
std::size_t taken = 0;  // how many of them the cursor has read

// The engine, made on first use and never destroyed, so that no way out of the program
// can take it away from under a search.
engine::Engine& brain() {
  static engine::Engine* e = new engine::Engine(kMemory);
  return *e;
}

// The computer of a level below the strongest: its own engine, with tables of the size
// the level needs, and the level's player. Its randomness comes from the clock, or is
// fixed when the computer thinks by node counts, so that such games can be replayed.
struct Weaker {
  Weaker()
      : player(engine::levelsettings(
            level, thinknodes > 0
                       ? 1
                       : static_cast<std::uint64_t>(
                             std::chrono::steady_clock::now().time_since_epoch().count()))),
        e(player.level().memory) {}
  engine::LevelPlayer player;
  engine::Engine e;
};

// The computer of the level set now, made on first use and again when the level has
// changed, at no other time; like brain(), never destroyed while it may be searching.
Weaker& weaker() {
  static Weaker* w = nullptr;
  if (!w || w->player.level().level != level) {
    delete w;  // no search runs: each one is over before its caller goes on
    w = new Weaker;
  }
  return *w;
}

// The engine's index of the point at row r, column c.
int index(int r, int c) {
  return (r - 1) * kSide + (c - 1);
}

// The points that the stone can be put down on this turn, as the engine's flags: those
// the cursor reaches, and the centre only while it is empty.
std::vector<std::uint8_t> choosable(const Reach& w) {
  std::vector<std::uint8_t> allowed(kSide * kSide, 0);
  for (int r = 1; r < kSize; ++r)
    for (int c = 1; c < kSize; ++c) allowed[index(r, c)] = w.seen[r][c] && map[r][c] == kEmpty;
  return allowed;
}

// Sets the engine up with the stones of `map` under the game's rule, `player` to move.
// The engine's player 1 is black: under renju that is whoever moved first in this game;
// the other rules treat both colours alike, so there the players keep their numbers.
void setup(engine::Engine& e, int player) {
  const int black = rule == kRenju ? blackplayer() : kPlayer1;
  e.newgame(kSide, static_cast<engine::Rule>(rule));
  for (int r = 1; r < kSize; ++r)
    for (int c = 1; c < kSize; ++c)
      if (map[r][c] != kEmpty) e.put(c - 1, r - 1, map[r][c] == black ? 1 : 2);
  e.settomove(player == black ? 1 : 2);
}

// The limits of one search: the thinking time on every core of the machine or, when a
// node count is set, that count on one thread (repeatable). Two threads against one at
// 100 ms a move: +50.7 Elo [+8.6, +94.4], 200 games (doc/engine.md).
engine::Limits limits() {
  engine::Limits l;
  if (thinknodes > 0) {
    l.nodes = static_cast<std::uint64_t>(thinknodes);
  } else {
    l.time_ms = thinkms;
    l.threads = static_cast<int>(std::thread::hardware_concurrency());  // the engine clamps
  }
  return l;
}

// Runs `think` (a search) on a worker thread while the main thread keeps the screen
// alive; what it throws is thrown here.
engine::Result searchidling(const std::function<engine::Result()>& think) {
  std::atomic<bool> done{false};
  engine::Result result;
  std::exception_ptr failure;
  std::jthread worker([&] {
    shieldthread();
    try {
      result = think();
    } catch (...) {
      failure = std::current_exception();
    }
    done = true;
  });
  while (!done) console::con().idle(kSliceMs);
  worker.join();
  if (failure) std::rethrow_exception(failure);
  return result;
}

// The point that the computer chooses for `player` among `allowed`, as (row, column):
// at its level, or as the strongest when `best` (a hint should be the best move).
std::pair<int, int> choose(int player, const std::vector<std::uint8_t>& allowed, bool best) {
  const bool weak = !best && level < engine::kMaxLevel;
  engine::Engine& e = weak ? weaker().e : brain();
  setup(e, player);
  engine::Result result = searchidling([&] {
    return weak ? weaker().player.choose(e, limits(), &allowed) : e.search(limits(), &allowed);
  });
  if (result.x >= 0 && allowed[index(result.y + 1, result.x + 1)])
    return {result.y + 1, result.x + 1};
  for (int i = 0; i < kSide * kSide; ++i)  // the engine promises one of them; if not
    if (allowed[i]) return {i / kSide + 1, i % kSide + 1};
  return {kCentre, kCentre};
}

// The next planned key, after the last frame has been on the screen for a step's time.
int plannedkey() {
  console::con().idle(kStepMs);
  return taken < planned.size() ? static_cast<unsigned char>(planned[taken++]) : -1;
}

// Ends the program, status 1, with a line saying why the computer cannot think.
[[noreturn]] void cannotthink(const std::string& why) {
  console::con().quit(1, "gomoku: the computer cannot think: " + why + "\n");
  std::abort();  // never reached: quit() does not return
}

// The point the computer chooses, as (row, column), as choose() says; the program ends
// when there is no memory for its engine or no thread to think on.
std::pair<int, int> chooseorquit(int player, const std::vector<std::uint8_t>& allowed, bool best) {
  try {
    return choose(player, allowed, best);
  } catch (const std::bad_alloc&) {
    cannotthink("not enough memory");
  } catch (const std::system_error& e) {
    cannotthink("no thread to think on (" + e.code().message() + ")");
  }
}

}  // namespace

bool bestpoint(int player, const Reach& w, bool moved, int& r, int& c) {
  std::vector<std::uint8_t> allowed = choosable(w);
  if (moved) allowed[index(kCentre, kCentre)] = 0;  // Space is refused there once it has moved
  if (std::find(allowed.begin(), allowed.end(), 1) == allowed.end()) return false;
  std::tie(r, c) = chooseorquit(player, allowed, true);
  return true;
}

void computermove(const Steering& s, int* x, int* y) {
  Reach w;
  reach(w);
  console::print("\n电脑正在思考. . .");
  auto [r, c] = chooseorquit(s.code, choosable(w), false);
  planned = steerkeys(s, w, r, c);
  taken = 0;
  movecursor(s, x, y, plannedkey);
}

}  // namespace gomoku
