// Checks candidate openings for balance: for each opening read from standard input (one
// a line, black first, in the match scripts' notation, e.g. "H8 J9 G9"), whether either
// side has a win by continuous fours or by threes and fours, and what a short search
// thinks of the position for the side to move.
//
//   opening-check SIZE [NODES]    (NODES: the short search's budget, default 300000)
//
// Prints one line per opening:
//   OPENING | vcf MOVER OTHER vct MOVER OTHER score S depth D move M
// MOVER and OTHER are 1 when that side (the one to move, the other one given the move)
// wins by force, 0 when no such win was found within the budget. S is the search's
// score for the side to move; "win" or "loss" when it found the game decided. A line
// that is not an opening on a SIZE x SIZE board gets "| bad".
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

#include "engine/engine.hpp"

namespace {

using gomoku::engine::Engine;
using gomoku::engine::Limits;
using gomoku::engine::Result;

const char kLetters[] = "ABCDEFGHJKLMNOPQRSTU";  // columns A..U without I: boards up to 20

// Parses "K10" on a size x size board into x (column) and y (row), both from 0.
bool parsepoint(const std::string& s, int size, int& x, int& y) {
  const std::string letters(kLetters, static_cast<size_t>(size));
  size_t col = s.empty() ? std::string::npos : letters.find(s[0]);
  if (col == std::string::npos || s.size() < 2 || s.size() > 3) return false;
  for (size_t i = 1; i < s.size(); ++i)
    if (s[i] < '0' || s[i] > '9') return false;
  x = static_cast<int>(col);
  y = std::atoi(s.c_str() + 1) - 1;
  return y >= 0 && y < size;
}

// Plays the opening's moves on a fresh board; false when one is not a legal move.
bool setup(Engine& e, int size, const std::string& opening) {
  e.newgame(size);
  std::istringstream in(opening);
  std::string tok;
  int x, y;
  while (in >> tok)
    if (!parsepoint(tok, size, x, y) || !e.play(x, y)) return false;
  return true;
}

// The move's name in the match scripts' notation, or "none".
std::string name(int x, int y) {
  return x < 0 ? "none" : kLetters[x] + std::to_string(y + 1);
}

// 1 when `who` (1 or 2), given the move, wins by fours (threes: or by threes and fours).
int forcedwin(Engine& e, int who, bool threes, uint64_t nodes) {
  const int mover = e.tomove();
  e.settomove(who);
  Limits limits{.nodes = nodes};
  Result r = threes ? e.findvct(limits) : e.findvcf(limits);
  e.settomove(mover);
  return r.x >= 0 ? 1 : 0;
}

// The report line for one opening.
std::string check(Engine& e, int size, const std::string& opening, uint64_t nodes) {
  if (!setup(e, size, opening)) return opening + " | bad";
  const int mover = e.tomove(), other = 3 - mover;
  char buf[256];
  std::snprintf(buf, sizeof buf, " | vcf %d %d vct %d %d", forcedwin(e, mover, false, nodes),
                forcedwin(e, other, false, nodes), forcedwin(e, mover, true, nodes),
                forcedwin(e, other, true, nodes));
  Result r = e.search(Limits{.nodes = nodes});
  std::string score = r.win ? "win" : r.loss ? "loss" : std::to_string(r.score);
  return opening + buf + " score " + score + " depth " + std::to_string(r.depth) + " move " +
         name(r.x, r.y);
}

}  // namespace

int main(int argc, char** argv) {
  const int size = argc > 1 ? std::atoi(argv[1]) : 0;
  const uint64_t nodes = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 300000;
  if (size < 5 || size > 20 || nodes == 0) {
    std::fprintf(stderr, "usage: opening-check SIZE [NODES]\n");
    return 2;
  }
  Engine e(size_t{64} << 20);
  std::string line;
  while (std::getline(std::cin, line)) {
    const size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos) continue;
    line = line.substr(first, line.find_last_not_of(" \t\r") + 1 - first);
    std::cout << check(e, size, line, nodes) << std::endl;
  }
  return 0;
}
