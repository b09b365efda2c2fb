// A model of a text console: what it shows, cell by cell, and where its cursor is.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gomoku::console {

// Display attributes of a cell (bit flags); 0 is plain text.
enum Attr : std::uint8_t {
  kPlain = 0,
  kPlayer1 = 1,  // colour of player 1's stones
  kPlayer2 = 2,  // colour of player 2's stones
  kLast = 4,     // the stone put down last
  kWinning = 8,  // a stone of the winning line
};

// One character cell. A wide character fills two cells: its own and a continuation.
struct Cell {
  char32_t ch = U' ';
  std::uint8_t width = 1;  // 1 or 2 on the first cell of a character, 0 on a continuation
  std::uint8_t attr = kPlain;
  bool operator==(const Cell&) const = default;
};

// The console's size when it is no terminal's (a terminal's console is as wide as the
// terminal): wider than the 60-column board, and one line more than the 30 the game
// draws, so that the frame's last line break does not scroll the screen.
inline constexpr int kScreenCols = 80;
inline constexpr int kScreenRows = 31;

// How many columns the code point takes: 0 for controls, 2 for wide East Asian
// characters, `ambiguous` for arrows and similar signs whose width depends on the terminal.
int charwidth(char32_t c, int ambiguous);

// True when the terminal may give `c` either one or two columns.
bool isambiguous(char32_t c);

// Decodes one UTF-8 character from the front of `s`; sets `len` to the bytes used.
// Malformed input gives U+FFFD and consumes one byte.
char32_t decodeutf8(std::string_view s, std::size_t& len);

// Appends the UTF-8 form of `c` to `out`.
void encodeutf8(char32_t c, std::string& out);

// A console screen with the Windows console's semantics: text overwrites at the cursor,
// a line break moves to column 0 of the next line without erasing, positions are
// absolute from the top-left, clear blanks everything, wide characters take two columns.
// As on a terminal, a line that fills the width wraps only when the next character
// comes, so that its line break adds no empty line; Backspace at the start of a line
// goes back across a wrap to the end of the text above.
class Screen {
 public:
  Screen(int cols = kScreenCols, int rows = kScreenRows, int ambiguous = 1);

  // Writes UTF-8 text at the cursor, wrapping at the right edge and scrolling at the bottom.
  void write(std::string_view utf8);
  // Gives the screen `cols` columns and `rows` lines, keeping the text that still fits.
  void resize(int cols, int rows);
  // Moves the cursor to column x, line y (clamped into the screen).
  void setpos(int x, int y);
  // Blanks the screen and puts the cursor at the top-left.
  void clear();
  // Sets the attribute given to text written from now on.
  void setattr(std::uint8_t a) { attr_ = a; }
  // Sets the attribute of the cell at (x, y) without changing its character.
  void markcell(int x, int y, std::uint8_t a);

  int cols() const { return cols_; }
  int rows() const { return rows_; }
  // The cursor's column; cols() after a character filled the line's last column.
  int curx() const { return x_; }
  int cury() const { return y_; }
  int ambiguous() const { return ambiguous_; }
  const Cell& at(int x, int y) const { return cells_[idx(x, y)]; }
  // Replaces one cell as it stands, for keeping a copy of what a terminal shows.
  void setcell(int x, int y, const Cell& c) { cells_[idx(x, y)] = c; }

  // The text of line y as UTF-8, trailing blanks removed.
  std::string line(int y) const;
  // All lines, each ended by a line break, trailing blank lines removed.
  std::string text() const;
  bool operator==(const Screen&) const = default;

 private:
  std::size_t idx(int x, int y) const { return static_cast<std::size_t>(y) * cols_ + x; }
  void put(char32_t c);
  void newline(int wrapcol);
  void backspace();
  void unsplit(int x);

  int cols_, rows_, ambiguous_;
  int x_ = 0, y_ = 0;
  std::uint8_t attr_ = kPlain;
  std::vector<Cell> cells_;
  std::vector<int> wrapped_;  // per line: the column where its text wrapped on, or -1
};

}  // namespace gomoku::console
