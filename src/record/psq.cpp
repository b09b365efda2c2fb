#include "record/psq.hpp"

#include <charconv>

namespace gomoku::record {
namespace {

constexpr int kSide = 19;  // rows and columns of the board

// Takes leading blanks off `s`.
void trim(std::string_view& s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
}

// Takes an integer (after any blanks) off the front of `s`; false when none stands there.
bool number(std::string_view& s, long& v) {
  trim(s);
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc()) return false;
  s.remove_prefix(static_cast<std::size_t>(p - s.data()));
  return true;
}

// Takes the character `ch` (after any blanks) off the front of `s`; false when it is not there.
bool skip(std::string_view& s, char ch) {
  trim(s);
  if (s.empty() || s.front() != ch) return false;
  s.remove_prefix(1);
  return true;
}

// Reads the header "Piskvorky WxH, A:B, S" into `g`; A, B and S may be missing.
bool readheader(std::string_view s, Game& g, std::string& why) {
  long w = 0, h = 0, a = 0, b = 0, started = 0;
  if (!s.starts_with("Piskvorky ")) return refuse(why, "line 1: no PSQ header (Piskvorky 19x19)");
  s.remove_prefix(10);
  if (!number(s, w) || !skip(s, 'x') || !number(s, h))
    return refuse(why, "line 1: no board size in the PSQ header (Piskvorky 19x19)");
  if (w != kSide || h != kSide)
    return refuse(why, "line 1: board size " + std::to_string(w) + "x" + std::to_string(h) +
                           ": only 19x19 boards are played here");
  if (!skip(s, ',') || !number(s, a) || !skip(s, ':') || !number(s, b)) return true;
  g.name[0] = a != 0 ? "computer" : "player 1";
  g.name[1] = b != 0 ? "computer" : "player 2";
  if (skip(s, ',') && number(s, started)) g.first = started == 0 ? 1 : 2;
  return true;
}

// Reads a move line "x,y" or "x,y,ms"; false when the line is no move line.
bool moveline(std::string_view s, long& x, long& y, long& ms) {
  ms = 0;
  if (!number(s, x) || !skip(s, ',') || !number(s, y)) return false;
  if (skip(s, ',') && !number(s, ms)) return false;
  trim(s);
  return s.empty();
}

// The next line of `text` from `pos` on, without its line end; moves `pos` past it.
std::string_view nextline(std::string_view text, std::size_t& pos) {
  std::size_t end = text.find('\n', pos);
  if (end == std::string_view::npos) end = text.size();
  std::string_view line = text.substr(pos, end - pos);
  pos = end + 1;
  if (line.ends_with('\r')) line.remove_suffix(1);
  return line;
}

// '1' for a side the computer played, else '0'.
char machine(const std::string& name) {
  return name.starts_with("computer") ? '1' : '0';
}

}  // namespace

bool readpsq(std::string_view text, Game& g, std::string& why) {
  g = Game{};
  std::size_t pos = 0;
  if (!readheader(nextline(text, pos), g, why)) return false;
  for (int n = 2; pos <= text.size(); ++n) {
    long x, y, ms;
    if (!moveline(nextline(text, pos), x, y, ms)) break;
    if (g.moves.size() == kMaxMoves)
      return refuse(why, where(n, 0) + ": more moves than the board has points");
    if (x < 1 || x > kSide || y < 1 || y > kSide)
      return refuse(why, where(n, 0) + ": point " + std::to_string(x) + "," + std::to_string(y) +
                             " is off the 19x19 board");
    Move m;
    m.r = static_cast<int>(y);
    m.c = static_cast<int>(x);
    m.ms = ms;
    m.line = n;
    g.moves.push_back(m);
  }
  return true;
}

std::string writepsq(const Game& g) {
  std::string out = "Piskvorky 19x19, ";
  out += machine(g.name[0]);
  out += ':';
  out += machine(g.name[1]);
  out += g.first == 1 ? ", 0\n" : ", 1\n";
  for (const Move& m : g.moves)
    out += std::to_string(m.c) + "," + std::to_string(m.r) + "," + std::to_string(m.ms) + "\n";
  return out + "0\n";
}

}  // namespace gomoku::record
