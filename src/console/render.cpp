#include "console/render.hpp"

#include <algorithm>

namespace gomoku::console {
namespace {

// A CSI sequence with one number, leaving the number out when it is 1.
std::string csi(int n, char final) {
  std::string s = "\x1b[";
  if (n != 1) s += std::to_string(n);
  s += final;
  return s;
}

// Absolute cursor address of column x, line y (both from 0), shortest form.
std::string cup(int x, int y) {
  if (x == 0 && y == 0) return "\x1b[H";
  std::string s = "\x1b[" + std::to_string(y + 1);
  if (x != 0) s += ";" + std::to_string(x + 1);
  return s + "H";
}

// The shortest of the candidate byte strings.
const std::string& shortest(std::initializer_list<const std::string*> c) {
  return **std::min_element(c.begin(), c.end(),
                            [](auto* a, auto* b) { return a->size() < b->size(); });
}

// The SGR parameters that turn on the attributes `a`, each after a ';'.
std::string sgrcodes(std::uint8_t a) {
  std::string s;
  if (a & kPlayer1) s += ";31";
  if (a & kPlayer2) s += ";34";
  if (a & kLast) s += ";1;4";
  if (a & kWinning) s += ";7";
  return s;
}

// The shortest SGR sequence that changes the display attributes from `from` to `to`.
std::string sgr(std::uint8_t from, std::uint8_t to) {
  if (to == kPlain) return "\x1b[m";
  if ((from & ~to) == 0) return "\x1b[" + sgrcodes(to & ~from).substr(1) + "m";  // only adds
  return "\x1b[0" + sgrcodes(to) + "m";
}

}  // namespace

Renderer::Renderer(Encoder& enc, bool color, int termcols, int termrows)
    : enc_(enc), color_(color), tcols_(termcols), trows_(termrows) {}

void Renderer::resize(int termcols, int termrows) {
  tcols_ = termcols;
  trows_ = termrows;
  valid_ = false;
}

bool Renderer::same(const Cell& a, const Cell& b) const {
  return a.ch == b.ch && a.width == b.width && shown(a) == shown(b);
}

// The first line of `back` to show: the terminal's view goes down the model only as far
// as it must to show the cursor's line.
int Renderer::topline(const Screen& back) const {
  return std::clamp(back.cury() - trows_ + 1, 0, std::max(0, back.rows() - trows_));
}

std::string Renderer::repaint(const Screen& back) {
  front_ = Screen(back.cols(), back.rows(), back.ambiguous());
  pen_ = Pen{0, 0, true, kPlain};
  top_ = topline(back);
  valid_ = true;
  std::string out = color_ ? "\x1b[m\x1b[H\x1b[2J" : "\x1b[H\x1b[2J";
  diff(back, out);
  return out;
}

std::string Renderer::frame(const Screen& back) {
  if (!valid_ || front_.cols() != back.cols() || front_.rows() != back.rows() ||
      topline(back) != top_)
    return repaint(back);
  std::string out;
  diff(back, out);
  return out;
}

// Appends the changed cells of the shown lines of `back` and the final cursor move;
// front_ becomes what the terminal shows.
void Renderer::diff(const Screen& back, std::string& out) {
  int rows = std::min(back.rows() - top_, trows_), cols = std::min(back.cols(), tcols_);
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < cols;) {
      if (same(front_.at(x, y), cell(back, x, y))) {
        ++x;
        continue;
      }
      int s = cell(back, x, y).width == 0 && x > 0 ? x - 1 : x;
      int e = blankrun(back, s, y, cols);
      if (e - s > kEraseMin) {
        erase(s, e, y, cols, out);
        x = e;
        continue;
      }
      drawcell(back, s, y, out);
      x = s + std::max<int>(1, cell(back, s, y).width);
    }
    for (int x = 0; x < back.cols(); ++x) front_.setcell(x, y, cell(back, x, y));
  }
  int cx = std::min(back.curx(), back.cols() - 1), cy = back.cury() - top_;
  if (cx < tcols_ && cy < trows_) moveto(cx, cy, out);
}

// Where the run of plain blanks of `back` that starts at column x of line y ends.
int Renderer::blankrun(const Screen& back, int x, int y, int cols) const {
  while (x < cols && cell(back, x, y).ch == U' ' && cell(back, x, y).width == 1 &&
         shown(cell(back, x, y)) == kPlain)
    ++x;
  return x;
}

// Appends the bytes that blank columns s to e-1 of line y: erase to the end of the line
// when the run reaches it, else erase that many characters; the cursor stays at s.
void Renderer::erase(int s, int e, int y, int cols, std::string& out) {
  moveto(s, y, out);
  if (pen_.attr != kPlain) {  // erasing fills with the current background
    out += sgr(pen_.attr, kPlain);
    pen_.attr = kPlain;
  }
  bool toend = e == cols && cols == tcols_;
  out += toend ? std::string("\x1b[K") : csi(e - s, 'X');
  for (int x = s; x < e; ++x) front_.setcell(x, y, Cell{});
  if (e < front_.cols() && front_.at(e, y).width == 0) front_.setcell(e, y, Cell{});
  if (toend)
    for (int x = e; x < front_.cols(); ++x) front_.setcell(x, y, Cell{});
}

// Appends the bytes that draw the character that starts at column x of the model's line
// shown on the terminal's line y.
void Renderer::drawcell(const Screen& back, int x, int y, std::string& out) {
  const Cell& c = cell(back, x, y);
  if (x + c.width > tcols_) return;  // cut off by a narrow terminal
  moveto(x, y, out);
  if (shown(c) != pen_.attr) {
    out += sgr(pen_.attr, shown(c));
    pen_.attr = shown(c);
  }
  std::string utf8;
  encodeutf8(c.ch, utf8);
  enc_.convert(utf8, out);
  for (int i = 0; i < c.width; ++i) front_.setcell(x + i, y, cell(back, x + i, y));
  pen_.x += c.width;
  if (pen_.x >= tcols_ || isambiguous(c.ch)) pen_.known = false;
}

// Bytes that move the cursor right along line y from column `from` to `to`: a
// cursor-forward sequence, or the cells in between written again when that is shorter.
std::string Renderer::forward(int from, int to, int y) {
  if (from == to) return {};
  std::string move = csi(to - from, 'C'), same;
  for (int x = from; x < to && same.size() < move.size(); ++x) {
    const Cell& c = front_.at(x, y);
    if (c.width != 1 || c.ch >= 0x80 || shown(c) != pen_.attr) return move;
    same += static_cast<char>(c.ch);
  }
  return same.size() < move.size() ? same : move;
}

// Appends the cheapest bytes that take the cursor from where it is to (x, y).
void Renderer::moveto(int x, int y, std::string& out) {
  if (pen_.known && pen_.x == x && pen_.y == y) return;
  std::string abs = cup(x, y);
  if (!pen_.known) {
    out += abs;
  } else {
    int dy = y - pen_.y, dx = x - pen_.x;
    std::string v = dy == 0 ? "" : dy > 0 ? csi(dy, 'B') : csi(-dy, 'A');
    std::string h =
        dx >= 0 ? forward(pen_.x, x, y) : (dx >= -3 ? std::string(-dx, '\b') : csi(-dx, 'D'));
    std::string rel = v + h;
    std::string cr = v + "\r" + forward(0, x, y);
    std::string nl = dy == 1 ? "\r\n" + forward(0, x, y) : abs;
    out += shortest({&abs, &rel, &cr, &nl});
  }
  pen_ = Pen{x, y, true, pen_.attr};
}

}  // namespace gomoku::console
