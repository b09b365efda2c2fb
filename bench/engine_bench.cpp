// Engine speed figures: depth reached and nodes per second from middle-game positions,
// and the time to find long wins by continuous fours.
//
//   engine-bench depth [MS]     search each middle-game position for MS ms (default 1000)
//   engine-bench nodes [N]      search each position for N nodes (default 1000000)
//   engine-bench vcf            solve each continuous-four position
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/engine.hpp"

namespace {

using gomoku::engine::Engine;
using gomoku::engine::Limits;
using gomoku::engine::Result;

// Positions as moves from an empty 19x19 board, black first, in the notation of the
// match scripts: column letter A..T without I, row 1..19.
const char* const kMiddleGames[] = {
    "K10 H10 H12 J11 G9 K12 H8 L13 M14 L11 F10 E11 M10 J7 G11 E9 G8 G10 L10 N10 E8 F8",
    "K10 L8 K9 K8 J8 M8 J9 L10 L11 H8 H9 G9 J7 J10 M9 L9 L6 K7 K12 K11",
    "K10 M8 M9 L8 L10 N8 K8 K9 J10 M10 H10 G10 J9 G11",
    "K10 L11 H8 J9 L9 K8 M10 N11 J10 H10 L10 N10 L12 L8",
};

// Positions where the player to move wins by continuous fours, with the winning line's
// length in plies.
struct Puzzle {
  const char* moves;
  int plies;
};
const Puzzle kFours[] = {
    {"K10 L11", 0},
};

// Parses "K10" into x (column) and y (row), both from 0.
bool parsepoint(const std::string& s, int& x, int& y) {
  static const std::string letters = "ABCDEFGHJKLMNOPQRST";
  size_t col = letters.find(s.empty() ? '?' : s[0]);
  if (col == std::string::npos) return false;
  x = static_cast<int>(col);
  y = std::atoi(s.c_str() + 1) - 1;
  return y >= 0 && y < 19;
}

// Sets up `e` with the moves of `game`.
bool setup(Engine& e, const char* game) {
  e.newgame(19);
  char buf[2048];
  std::snprintf(buf, sizeof buf, "%s", game);
  for (char* tok = std::strtok(buf, " "); tok; tok = std::strtok(nullptr, " ")) {
    int x, y;
    if (!parsepoint(tok, x, y) || !e.play(x, y)) return false;
  }
  return true;
}

std::string name(int x, int y) {
  static const char letters[] = "ABCDEFGHJKLMNOPQRST";
  return x < 0 ? "none" : letters[x] + std::to_string(y + 1);
}

int searches(const Limits& limits) {
  Engine e(size_t{128} << 20);
  uint64_t nodes = 0;
  int64_t ms = 0;
  for (const char* game : kMiddleGames) {
    if (!setup(e, game)) return std::fprintf(stderr, "bad position %s\n", game), 1;
    Result r = e.search(limits);
    nodes += r.nodes, ms += r.time_ms;
    std::printf("depth %2d  nodes %9llu  time %5lld ms  nps %8llu  move %-4s score %d\n", r.depth,
                static_cast<unsigned long long>(r.nodes), static_cast<long long>(r.time_ms),
                static_cast<unsigned long long>(r.time_ms ? r.nodes * 1000 / r.time_ms : 0),
                name(r.x, r.y).c_str(), r.score);
  }
  std::printf("total nodes %llu in %lld ms: %llu nodes/s\n", static_cast<unsigned long long>(nodes),
              static_cast<long long>(ms),
              static_cast<unsigned long long>(ms ? nodes * 1000 / ms : 0));
  return 0;
}

int puzzles() {
  Engine e(size_t{64} << 20);
  for (const Puzzle& p : kFours) {
    if (!setup(e, p.moves)) return std::fprintf(stderr, "bad position %s\n", p.moves), 1;
    auto t0 = std::chrono::steady_clock::now();
    Result r = e.findvcf(Limits{});
    double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    std::printf("%2d plies: first four %-4s nodes %8llu  time %8.3f ms\n", p.plies,
                name(r.x, r.y).c_str(), static_cast<unsigned long long>(r.nodes), ms);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "depth";
  if (mode == "depth") return searches(Limits{.time_ms = argc > 2 ? std::atoll(argv[2]) : 1000});
  if (mode == "nodes")
    return searches(Limits{.nodes = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1000000});
  if (mode == "vcf") return puzzles();
  std::fprintf(stderr, "usage: engine-bench depth [MS] | nodes [N] | vcf\n");
  return 2;
}
