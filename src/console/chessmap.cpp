#include "console/chessmap.hpp"

#include <string>

#include "board/judge.hpp"
#include "board/state.hpp"
#include "console/console.hpp"

namespace gomoku {
namespace {

// The sign drawn for point (r, c): its stone, '#' for an empty point black may not take
// this turn (renju), '*' for another empty point.
char sign(int r, int c) {
  const int code = map[r][c];
  if (code == kEmpty && forbid[r][c]) return '#';
  return code == kPlayer1 ? 'O' : code == kPlayer2 ? 'X' : '*';
}

// One line of the board: row r as twenty three-column fields.
std::string boardline(int r) {
  char field[16];
  std::string line;
  for (int c = 0; c < kSize; ++c) {
    if (r == 0 || c == 0)
      std::snprintf(field, sizeof field, "%3d", r == 0 ? c : r);
    else
      std::snprintf(field, sizeof field, "%3c", sign(r, c));
    line += field;
  }
  return line + "\n";
}

// One line of the frame: fifteen two-column fields, '+' on the border.
std::string frameline(int i) {
  std::string line;
  for (int j = 0; j < 15; ++j) line += (i == 0 || i == 9 || j == 0 || j == 14) ? " +" : "  ";
  return line + "\n";
}

// The legend's field j of line i, three columns wide (arrows take one column in
// UTF-8 terminals and two in GBK ones, so they get one or two spaces before them).
// Against the computer it adds the person's keys for take-back and hint.
std::string helpfield(int i, int j, bool widearrows) {
  static const char* const kKeys1[] = {"1", "w", "a", "s", "d"};
  static const char* const kArrows[] = {"↑", "←", "↓", "→"};
  if (i == 0 || i == 14 || j == 0 || j == 14) return "  +";
  if (i == 4 && j >= 5 && j <= 9) return std::string("  ") + kKeys1[j - 5];
  if (i == 5 && j == 5) return "  2";
  if (i == 5 && j >= 6 && j <= 9) return (widearrows ? " " : "  ") + std::string(kArrows[j - 6]);
  // Against the computer: take back, hint; each word fills two fields.
  static const char* const kExtras[2][3] = {{"  u", "  悔棋", ""}, {"  h", "  提示", ""}};
  if (computer != 0 && (i == 7 || i == 8) && j >= 5 && j <= 7) return kExtras[i - 7][j - 5];
  return "   ";
}

// The display attributes of the stone at (r, c): its player's colour, and the mark of
// the last stone put down.
std::uint8_t stoneattr(int r, int c) {
  std::uint8_t a = map[r][c] == kPlayer1 ? console::kPlayer1 : console::kPlayer2;
  return r == lastr && c == lastc ? a | console::kLast : a;
}

// Sets the attributes of the stone signs on the board lines just written.
void markstones() {
  for (int r = 1; r < kSize; ++r)
    for (int c = 1; c < kSize; ++c)
      if (map[r][c] == kPlayer1 || map[r][c] == kPlayer2)
        console::con().screen().markcell(signcolumn(c), r, stoneattr(r, c));
}

}  // namespace

void markwin(int r, int c) {
  for (const auto& d : kDirections) {
    if (!winningline(r, c, d)) continue;
    int back = runlength(r, c, d[0], d[1], map[r][c], kSize);
    int ahead = runlength(r, c, -d[0], -d[1], map[r][c], kSize);
    for (int k = -ahead; k <= back; ++k) {
      int rr = r + k * d[0], cc = c + k * d[1];
      console::con().screen().markcell(signcolumn(cc), rr, stoneattr(rr, cc) | console::kWinning);
    }
  }
}

void printfchessmap() {
  for (int r = 0; r < kSize; ++r) console::con().write(boardline(r));
  markstones();
  for (int i = 0; i < 10; ++i) console::con().write(frameline(i));
  SetPos(10, 25);
  console::print("玩家一得分:%d\n", score1);
  console::print("%3c", ' ');
  console::print("玩家二得分:%d\n", score2);
}

void bangzhu() {
  bool wide = console::con().screen().ambiguous() == 2;
  for (int i = 0; i < 15; ++i) {
    std::string line;
    for (int j = 0; j < 15; ++j) line += helpfield(i, j, wide);
    console::con().write(line + "\n");
  }
}

}  // namespace gomoku
