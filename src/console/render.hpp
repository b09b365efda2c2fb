// Turns screen models into the bytes that update a terminal showing an earlier one.
#pragma once

#include <cstdint>
#include <string>

#include "console/encoding.hpp"
#include "console/screen.hpp"

namespace gomoku::console {

// What we know of the terminal's cursor and current display attributes.
struct Pen {
  int x = 0, y = 0;
  bool known = false;  // false after anything that may have left the cursor elsewhere
  std::uint8_t attr = kPlain;
};

// Blank runs longer than this are erased (ECH, EL) rather than written as spaces.
inline constexpr int kEraseMin = 5;

// Keeps a copy of what the terminal shows and sends only the cells that change. A
// terminal with fewer lines than the screen model shows the model's lines from top()
// on: the first line, unless the cursor is further down than the terminal reaches.
class Renderer {
 public:
  Renderer(Encoder& enc, bool color, int termcols, int termrows);

  // Bytes that make the terminal show `back`, with the cursor where back's cursor is.
  std::string frame(const Screen& back);
  // Bytes that clear the terminal and draw `back` whole (first frame, resize, resume).
  std::string repaint(const Screen& back);
  // Tells the renderer the terminal's size; the next frame should be a repaint.
  void resize(int termcols, int termrows);
  // Forgets what the terminal shows, so that the next frame is a repaint.
  void invalidate() { valid_ = false; }
  // The line of the model shown on the terminal's first line.
  int top() const { return top_; }

 private:
  int topline(const Screen& back) const;
  const Cell& cell(const Screen& back, int x, int y) const { return back.at(x, y + top_); }
  void diff(const Screen& back, std::string& out);
  void drawcell(const Screen& back, int x, int y, std::string& out);
  int blankrun(const Screen& back, int x, int y, int cols) const;
  void erase(int s, int e, int y, int cols, std::string& out);
  void moveto(int x, int y, std::string& out);
  std::string forward(int from, int to, int y);
  std::uint8_t shown(const Cell& c) const { return color_ ? c.attr : std::uint8_t{kPlain}; }
  bool same(const Cell& a, const Cell& b) const;

  Encoder& enc_;
  bool color_;
  int tcols_, trows_;
  int top_ = 0;
  bool valid_ = false;
  Screen front_;
  Pen pen_;
};

}  // namespace gomoku::console
