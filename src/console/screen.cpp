#include "console/screen.hpp"

#include <algorithm>

namespace gomoku::console {
namespace {

// Inclusive code point ranges that East Asian terminals draw two columns wide.
constexpr char32_t kWide[][2] = {
    {0x1100, 0x115F}, {0x2E80, 0x303E}, {0x3041, 0x33FF}, {0x3400, 0x4DBF},
    {0x4E00, 0x9FFF}, {0xA000, 0xA4CF}, {0xAC00, 0xD7A3}, {0xF900, 0xFAFF},
    {0xFE30, 0xFE4F}, {0xFF00, 0xFF60}, {0xFFE0, 0xFFE6}, {0x20000, 0x3FFFD},
};

}  // namespace

bool isambiguous(char32_t c) {
  return c >= 0x2190 && c <= 0x21FF;
}

int charwidth(char32_t c, int ambiguous) {
  if (c < 0x20 || (c >= 0x7F && c < 0xA0)) return 0;
  if (isambiguous(c)) return ambiguous;
  for (const auto& r : kWide)
    if (c >= r[0] && c <= r[1]) return 2;
  return 1;
}

char32_t decodeutf8(std::string_view s, std::size_t& len) {
  auto b0 = static_cast<unsigned char>(s[0]);
  len = 1;
  if (b0 < 0x80) return b0;
  int n = b0 >= 0xF0 && b0 < 0xF5 ? 3 : b0 >= 0xE0 ? 2 : b0 >= 0xC2 && b0 < 0xE0 ? 1 : -1;
  if (n < 0 || b0 >= 0xF5 || s.size() < static_cast<std::size_t>(n) + 1) return 0xFFFD;
  char32_t c = b0 & (0x3F >> n);
  for (int i = 1; i <= n; ++i) {
    auto b = static_cast<unsigned char>(s[i]);
    if ((b & 0xC0) != 0x80) return 0xFFFD;
    c = (c << 6) | (b & 0x3F);
  }
  constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
  if (c < kMin[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0xFFFD;
  len = static_cast<std::size_t>(n) + 1;
  return c;
}

void encodeutf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

Screen::Screen(int cols, int rows, int ambiguous)
    : cols_(cols),
      rows_(rows),
      ambiguous_(ambiguous),
      cells_(static_cast<std::size_t>(cols * rows)),
      wrapped_(static_cast<std::size_t>(rows), -1) {}

void Screen::clear() {
  std::fill(cells_.begin(), cells_.end(), Cell{});
  std::fill(wrapped_.begin(), wrapped_.end(), -1);
  x_ = y_ = 0;
}

void Screen::resize(int cols, int rows) {
  if (cols == cols_ && rows == rows_) return;
  Screen s(cols, rows, ambiguous_);
  for (int y = 0; y < std::min(rows, rows_); ++y) {
    for (int x = 0; x < std::min(cols, cols_); ++x) s.cells_[s.idx(x, y)] = at(x, y);
    if (cols < cols_ && s.at(cols - 1, y).width == 2) s.cells_[s.idx(cols - 1, y)] = Cell{};
  }
  s.x_ = std::min(x_, cols);
  s.y_ = std::min(y_, rows - 1);
  s.attr_ = attr_;
  *this = std::move(s);
}

void Screen::setpos(int x, int y) {
  x_ = std::clamp(x, 0, cols_ - 1);
  y_ = std::clamp(y, 0, rows_ - 1);
}

void Screen::markcell(int x, int y, std::uint8_t a) {
  if (x >= 0 && x < cols_ && y >= 0 && y < rows_) cells_[idx(x, y)].attr = a;
}

void Screen::write(std::string_view s) {
  while (!s.empty()) {
    std::size_t len = 1;
    char32_t c = decodeutf8(s, len);
    s.remove_prefix(len);
    put(c);
  }
}

// Moves to column 0 of the next line, scrolling the screen up at the bottom. `wrapcol`
// is where the text of the line left wrapped on, or -1 for a line break.
void Screen::newline(int wrapcol) {
  wrapped_[y_] = wrapcol;
  x_ = 0;
  if (++y_ < rows_) return;
  y_ = rows_ - 1;
  std::move(cells_.begin() + cols_, cells_.end(), cells_.begin());
  std::fill(cells_.end() - cols_, cells_.end(), Cell{});
  std::move(wrapped_.begin() + 1, wrapped_.end(), wrapped_.begin());
  wrapped_.back() = -1;
}

// Moves the cursor one column left; from the start of a line that text wrapped onto,
// to the last column of that text on the line above.
void Screen::backspace() {
  if (x_ > 0) {
    --x_;
  } else if (y_ > 0 && wrapped_[y_ - 1] > 0) {
    --y_;
    x_ = wrapped_[y_] - 1;
  }
}

// Blanks whatever is left of a wide character that the cell at x cuts in two.
void Screen::unsplit(int x) {
  Cell& c = cells_[idx(x, y_)];
  if (c.width == 0 && x > 0) cells_[idx(x - 1, y_)] = Cell{};
  if (c.width == 2 && x + 1 < cols_) cells_[idx(x + 1, y_)] = Cell{};
}

// Writes one character at the cursor and advances it, wrapping before a character that
// does not fit on the line.
void Screen::put(char32_t c) {
  if (c == U'\n') return newline(-1);
  if (c == U'\r') return void(x_ = 0);
  if (c == U'\b') return backspace();
  int w = charwidth(c, ambiguous_);
  if (w == 0) return;
  if (x_ + w > cols_) newline(x_);
  unsplit(x_);
  if (w == 2) unsplit(x_ + 1);
  cells_[idx(x_, y_)] = Cell{c, static_cast<std::uint8_t>(w), attr_};
  if (w == 2) cells_[idx(x_ + 1, y_)] = Cell{U' ', 0, attr_};
  x_ += w;
}

std::string Screen::line(int y) const {
  std::string out;
  std::size_t keep = 0;
  for (int x = 0; x < cols_; ++x) {
    const Cell& c = at(x, y);
    if (c.width == 0) continue;
    encodeutf8(c.ch, out);
    if (c.ch != U' ') keep = out.size();
  }
  out.resize(keep);
  return out;
}

std::string Screen::text() const {
  std::string out;
  std::size_t keep = 0;
  for (int y = 0; y < rows_; ++y) {
    std::string l = line(y);
    out += l + '\n';
    if (!l.empty()) keep = out.size();
  }
  out.resize(keep);
  return out;
}

}  // namespace gomoku::console
