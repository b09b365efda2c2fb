#include "input/cursor.hpp"

#include <algorithm>

#include "board/state.hpp"
#include "console/chessmap.hpp"
#include "console/console.hpp"

namespace gomoku {
namespace {

// The step direction that `key` asks for in `s`; false for keys that steer nothing.
bool direction(const Steering& s, int key, int& dr, int& dc) {
  int sign = key == s.right || key == s.down ? 1 : key == s.left || key == s.up ? -1 : 0;
  const int* d = kDirections[key == s.up || key == s.down ? kDown : kAcross];
  dr = sign * d[0];
  dc = sign * d[1];
  return sign != 0;
}

// The key of `s` that steps the way (dr, dc) points: a step along one axis.
int keytowards(const Steering& s, int dr, int dc) {
  if (dr != 0) return dr > 0 ? s.down : s.up;
  return dc > 0 ? s.right : s.left;
}

}  // namespace

void redraw() {
  console::print("\n");
  console::cls();
  printfchessmap();
}

int steplength(int r, int c, int dr, int dc) {
  for (int k = 1; k <= 4; ++k) {
    int rr = r + k * dr, cc = c + k * dc;
    if (!inside(rr, cc) || map[rr][cc] == kEmpty) return k;
  }
  return 5;
}

bool steptarget(int r, int c, int dr, int dc, int& tr, int& tc) {
  int k = steplength(r, c, dr, dc);
  tr = r + k * dr;
  tc = c + k * dc;
  return inside(tr, tc) && map[tr][tc] == kEmpty;
}

Cursor startcursor() {
  Cursor k;
  k.centre = map[kCentre][kCentre];
  return k;
}

Keyed applykey(const Steering& s, Cursor& k, int key) {
  if (key == ' ') {
    if (k.r == kCentre && k.c == kCentre && map[k.r][k.c] != kEmpty) return Keyed::kRefused;
    if (forbid[k.r][k.c]) return Keyed::kForbidden;
    map[k.r][k.c] = s.code;
    return Keyed::kPlaced;
  }
  int dr, dc, tr, tc;
  if (!direction(s, key, dr, dc)) return Keyed::kOther;
  // Refused: nothing changes. A step onto a stone (four hopped, the fifth taken) is
  // refused too, so that steering never removes a stone, which the centre repair
  // counts on.
  if (!steptarget(k.r, k.c, dr, dc, tr, tc)) return Keyed::kRefused;
  map[tr][tc] = s.code;
  map[k.r][k.c] = kEmpty;
  k.r = tr;
  k.c = tc;
  k.moved = true;
  return Keyed::kStepped;
}

void liftcursor(const Cursor& k) {
  if (!k.moved) return;  // on the centre, not yet marked
  map[k.r][k.c] = kEmpty;
  map[kCentre][kCentre] = k.centre;
}

void dropcursor(const Cursor& k, int code) {
  if (!k.moved) return;
  map[kCentre][kCentre] = kEmpty;
  map[k.r][k.c] = code;
}

void movecursor(const Steering& s, int* x, int* y, int (*nextkey)()) {
  Cursor k = startcursor();
  bool told = false;  // the line refusing a forbidden point is on the screen
  for (;;) {
    int key = nextkey();
    if (key < 0) console::inputended();
    Keyed what = applykey(s, k, key);
    if (what == Keyed::kPlaced) {
      *x = k.r;
      *y = k.c;
      return;
    }
    if (what == Keyed::kForbidden) {  // the stone stays; a line under the board says why
      if (!told) console::print("\n%s", kForbiddenText);
      told = true;
    } else if (what != Keyed::kRefused) {
      redraw();
      told = false;
    }
  }
}

void reach(Reach& w, int r0, int c0) {
  int saved = map[kCentre][kCentre];
  map[kCentre][kCentre] = kEmpty;  // the cursor's first step lifts the centre stone
  std::fill(&w.seen[0][0], &w.seen[0][0] + kSize * kSize, false);
  int queue[kSize * kSize][2], head = 0, tail = 0;
  queue[tail][0] = w.startr = r0;
  queue[tail][1] = w.startc = c0;
  ++tail;
  w.seen[r0][c0] = true;
  while (head < tail) {
    int r = queue[head][0], c = queue[head][1];
    ++head;
    for (int axis : {kAcross, kDown})
      for (int sign : {1, -1}) {
        int tr, tc;
        const int* d = kDirections[axis];
        if (!steptarget(r, c, sign * d[0], sign * d[1], tr, tc) || w.seen[tr][tc]) continue;
        w.seen[tr][tc] = true;
        w.fromr[tr][tc] = r;
        w.fromc[tr][tc] = c;
        queue[tail][0] = tr;
        queue[tail][1] = tc;
        ++tail;
      }
  }
  map[kCentre][kCentre] = saved;
}

std::string steerkeys(const Steering& s, const Reach& w, int r, int c) {
  std::string keys = " ";
  while (r != w.startr || c != w.startc) {
    int fr = w.fromr[r][c], fc = w.fromc[r][c];
    keys += static_cast<char>(keytowards(s, r - fr, c - fc));
    r = fr;
    c = fc;
  }
  std::reverse(keys.begin(), keys.end());
  return keys;
}

void move1(int* x, int* y) {
  movecursor(kSteer1, x, y);
}
void move2(int* x, int* y) {
  movecursor(kSteer2, x, y);
}

}  // namespace gomoku
