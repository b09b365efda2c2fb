// Engine speed figures: depth reached and nodes per second from middle-game positions,
// and the time to find long wins by continuous fours.
//
//   engine-bench depth [MS [RULE [THREADS]]]  search each middle-game position for MS ms
//                               (default 1000) under RULE (freestyle, standard, renju,
//                               caro) on THREADS threads (1)
//   engine-bench nodes [N [RULE]]   search each position for N nodes (default 1000000)
//   engine-bench vcf            solve each continuous-four position (mean of 20 runs)
//   engine-bench forbid [SIZE]  renju: for each line of standard input, black's stones
//                               then '|' then white's ("x,y x,y | x,y"), print black's
//                               forbidden points ("x,y x,y"); the cost per query to stderr
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
// match scripts (column letter A..T without I, row 1..19), taken from the engine's games
// against itself where neither side had a forced win yet.
const char* const kMiddleGames[] = {
    "K10 M10 M9 L11 K12 L9 K11 K13 J12 L10 L12 H12 M13 J10 N14 O15 L8 K8 N12 M12 N11 N10 J7 N15 "
    "M15 L16",
    "K10 J11 L11 J9 L12 L10 K12 K9 J13 M10 J8 M9 L9 N10 M11 P10 O10 J12 K11 O11 K13 K14 P12 H11 "
    "J10 M13",
    "K10 H12 H10 G12 K12 J10 F12 G11 K11 K9 H11 K13 G9 J11 J13 G14 G13 H14 J14 H16 K6 H8 J8 J15 "
    "H15 F15",
    "K10 K8 L10 L9 M10 J10 O10 N10 O9 O8 P9 N8 Q8 N11 N9 M8 L8 Q9 P5 J9",
    "K10 K9 L8 L9 J9 H8 H10 L10 H7 J6 G9 G11 K8 J11 H11 M6 F10 G10 F7 G7",
    "K10 H12 H10 G12 K12 J10 F12 G11 K11 K9 H11 K13 G9 J11 J13 G14 G13 H14 J14 H16",
};

// Positions where the player to move ('x') wins by continuous fours, as stones (x,y from
// 0), with the winning line's length in plies: the staircases of the unit tests, then two
// positions from the engine's games against itself.
struct Puzzle {
  const char* x;
  const char* o;
  int plies;
};
const Puzzle kFours[] = {
    {"2,2 3,2 4,2 5,3 5,5 7,6 8,7", "1,2 5,1", 7},
    {"2,2 3,3 4,5 4,7 5,5 5,7 6,8 7,11 7,12 8,11 9,12", "1,1 3,5 4,3 7,8", 11},
    {"2,2 3,3 4,4 4,15 5,7 5,8 5,14 6,7 6,11 7,8 7,10 7,14 8,15", "1,1 4,5 4,11 5,4 9,8", 13},
    {"2,2 3,2 4,3 4,5 4,10 5,2 5,5 5,9 6,6 7,9 8,10 9,12 9,14 10,15 10,17 11,15 12,16",
     "1,2 3,3 4,1 5,7 8,6 8,12 9,10", 15},
    {"11,9 9,8 10,10 13,7 12,9 14,8 11,6 15,10 10,9 14,7 17,9 12,11 9,7 13,10",
     "9,9 11,8 10,7 12,7 12,8 13,8 14,9 16,9 13,6 15,8 15,9 8,7 14,10 16,7 13,11", 25},
    {"10,7 9,7 10,10 11,7 8,9 9,8 7,8 13,6 12,6 14,8 10,9 15,5 9,11 6,12 7,12 8,11 13,5 14,4 "
     "6,13 11,13 8,12 5,11 10,11 13,8 6,14 13,9 7,14 6,8 8,10 8,15 4,13 12,9 4,10 11,11 12,14 "
     "10,6 11,6 17,5 12,0 14,9 13,11 15,1 6,6",
     "9,9 7,9 7,7 10,8 12,7 11,8 7,10 12,8 12,5 14,6 9,10 8,7 9,12 7,11 7,13 10,13 11,5 9,13 "
     "15,3 8,13 6,10 4,12 11,10 13,3 13,7 6,15 12,10 5,14 5,10 8,8 5,12 14,12 3,10 14,2 12,11 "
     "10,12 16,4 9,6 13,1 15,7 11,9 12,4 5,5 15,9",
     25},
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

// The rule named `name` (freestyle when none is given).
gomoku::engine::Rule rulenamed(const char* name) {
  static const char* const names[] = {"freestyle", "standard", "renju", "caro"};
  for (int i = 0; i < gomoku::engine::kRules; ++i)
    if (name && std::strcmp(name, names[i]) == 0) return static_cast<gomoku::engine::Rule>(i);
  return gomoku::engine::Rule::kFreestyle;
}

// Sets up `e` with the moves of `game` under `rule`.
bool setup(Engine& e, const char* game, gomoku::engine::Rule rule) {
  e.newgame(19, rule);
  char buf[2048];
  std::snprintf(buf, sizeof buf, "%s", game);
  for (char* tok = std::strtok(buf, " "); tok; tok = std::strtok(nullptr, " ")) {
    int x, y;
    if (!parsepoint(tok, x, y) || !e.play(x, y)) return false;
  }
  return true;
}

// Puts `who`'s stones, listed as "x,y x,y ...", on the board.
void putstones(Engine& e, const char* list, int who) {
  char buf[1024];
  std::snprintf(buf, sizeof buf, "%s", list);
  for (char* tok = std::strtok(buf, " "); tok; tok = std::strtok(nullptr, " ")) {
    int x, y;
    if (std::sscanf(tok, "%d,%d", &x, &y) == 2) e.put(x, y, who);
  }
}

std::string name(int x, int y) {
  static const char letters[] = "ABCDEFGHJKLMNOPQRST";
  return x < 0 ? "none" : letters[x] + std::to_string(y + 1);
}

// Searches every middle-game position within `limits` under `rule` and prints what it
// reached.
int searches(const Limits& limits, gomoku::engine::Rule rule) {
  Engine e(size_t{128} << 20);
  uint64_t nodes = 0;
  int64_t ms = 0;
  for (const char* game : kMiddleGames) {
    if (!setup(e, game, rule)) return std::fprintf(stderr, "bad position %s\n", game), 1;
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

// Solves every continuous-four position and prints the first four and the time taken,
// each time with fresh tables (16 MB), as a game's first search would have them.
int puzzles() {
  for (const Puzzle& p : kFours) {
    const int runs = 20;
    double ms = 0;
    Result r;
    for (int i = 0; i < runs; ++i) {
      Engine e(size_t{16} << 20);
      e.newgame(19);
      putstones(e, p.x, 1);
      putstones(e, p.o, 2);
      e.settomove(1);
      auto t0 = std::chrono::steady_clock::now();
      r = e.findvcf(Limits{});
      ms +=
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    }
    std::printf("%2d plies: first four %-4s nodes %7llu  time %7.3f ms (mean of %d)\n", p.plies,
                name(r.x, r.y).c_str(), static_cast<unsigned long long>(r.nodes), ms / runs, runs);
  }
  return 0;
}

// Renju positions from standard input, black's forbidden points of each to standard
// output; the mean cost of one point's query and of a whole board's to standard error.
int forbid(int size) {
  Engine e(size_t{1} << 20);
  char buf[8192];
  double pointns = 0, boardns = 0, forbiddenns = 0;
  long points = 0, boards = 0, forbidden = 0;
  while (std::fgets(buf, sizeof buf, stdin)) {
    std::string line = buf;
    size_t bar = line.find('|');
    if (bar == std::string::npos) continue;
    e.newgame(size, gomoku::engine::Rule::kRenju);
    putstones(e, line.substr(0, bar).c_str(), 1);
    putstones(e, line.substr(bar + 1).c_str(), 2);
    auto t0 = std::chrono::steady_clock::now();
    std::vector<std::pair<int, int>> found;
    for (int rep = 0; rep < 20; ++rep) found = e.forbiddenpoints();
    auto t1 = std::chrono::steady_clock::now();
    boardns += std::chrono::duration<double, std::nano>(t1 - t0).count() / 20;
    ++boards;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x)
        if (e.at(x, y) == 0) {
          auto a = std::chrono::steady_clock::now();
          const bool f = e.forbidden(x, y);
          const double ns =
              std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - a)
                  .count();
          pointns += ns, ++points;
          if (f) forbiddenns += ns, ++forbidden;
        }
    for (size_t i = 0; i < found.size(); ++i)
      std::printf("%s%d,%d", i ? " " : "", found[i].first, found[i].second);
    std::printf("\n");
  }
  std::fprintf(stderr,
               "%ld positions: %.0f ns a point, %.0f ns a forbidden point, %.1f us a board\n",
               boards, points ? pointns / points : 0.0, forbidden ? forbiddenns / forbidden : 0.0,
               boards ? boardns / boards / 1000 : 0.0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "depth";
  const gomoku::engine::Rule rule = rulenamed(argc > 3 ? argv[3] : nullptr);
  const int threads = argc > 4 ? std::atoi(argv[4]) : 1;
  if (mode == "depth")
    return searches(Limits{.time_ms = argc > 2 ? std::atoll(argv[2]) : 1000, .threads = threads},
                    rule);
  if (mode == "nodes")
    return searches(Limits{.nodes = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1000000},
                    rule);
  if (mode == "vcf") return puzzles();
  if (mode == "forbid") return forbid(argc > 2 ? std::atoi(argv[2]) : 15);
  std::fprintf(
      stderr,
      "usage: engine-bench depth [MS [RULE [THREADS]]] | nodes [N [RULE]] | vcf | forbid [SIZE]\n");
  return 2;
}
