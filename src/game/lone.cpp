#include "game/lone.hpp"

#include <cstdio>
#include <string>

#include "board/judge.hpp"
#include "board/state.hpp"
#include "console/chessmap.hpp"
#include "console/console.hpp"
#include "game/computer.hpp"

namespace gomoku {
namespace {

constexpr int kSideLine = 28;  // the person's side, or the hint (being worked out)
constexpr int kMoveLine = 29;  // where the computer's last stone went
constexpr int kInside = 29;    // the columns of a frame line left of its right edge

// The key of `s`'s own set that the other player's key `key` stands for; any other key
// as it is.
int ownkey(const Steering& s, int key) {
  const Steering& o = s.code == kPlayer1 ? kSteer2 : kSteer1;
  if (key == o.right) return s.right;
  if (key == o.up) return s.up;
  if (key == o.down) return s.down;
  if (key == o.left) return s.left;
  return key;
}

// Writes `text` on line y under the board, over the frame left of its right edge.
void sayat(int y, const std::string& text) {
  SetPos(0, y);
  console::print("%*s", kInside, "");
  SetPos(0, y);
  console::print("%s", text.c_str());
}

// The lines under the board while the person `s` is to move: their side and extra keys
// (or, while a hint is worked out, that the computer thinks), and in words where the
// computer's last stone went, so that it is found without colour.
void personlines(const Steering& s, bool thinking) {
  char text[64];
  std::snprintf(text, sizeof text, "你执%c，u 悔棋，h 提示", s.code == kPlayer1 ? 'O' : 'X');
  sayat(kSideLine, thinking ? "电脑正在思考. . ." : text);
  if (nmoves == 0 || moves[nmoves - 1].player != computer) return;
  std::snprintf(text, sizeof text, "电脑落子：第%d行第%d列", moves[nmoves - 1].r,
                moves[nmoves - 1].c);
  sayat(kMoveLine, text);
}

// Redraws the board with the person's lines under it.
void personredraw(const Steering& s, bool thinking = false) {
  redraw();
  personlines(s, thinking);
}

// Takes back the person's last stone and the computer's reply, the cursor `k` lifted
// first, and shows the board without them; false, and nothing changes, when the person
// has no stone in this game (the computer's opening stays).
bool takeback(const Cursor& k) {
  if (nmoves < 2) return false;  // at the person's turn: their first stone is not down yet
  liftcursor(k);
  undomove();
  undomove();
  whoturn -= 2;
  findforbidden(whoturn % 2 == 0 ? kPlayer1 : kPlayer2);
  console::cls();
  printfchessmap();
  return true;
}

// Steers the person's stone `k` step by step to the point the computer would choose for
// them, found from where the stone is, and says the point in words (the stone is not
// drawn while it still rests on the centre); the stone is not put down.
void hint(const Steering& s, Cursor& k) {
  personredraw(s, true);
  liftcursor(k);
  Reach w;
  reach(w, k.r, k.c);
  int r, c;
  bool found = bestpoint(s.code, w, k.moved, r, c);
  dropcursor(k, s.code);
  if (!found) return personredraw(s);
  std::string keys = steerkeys(s, w, r, c);
  keys.pop_back();  // the Space: the person decides
  for (char key : keys) {
    console::con().idle(kStepMs);
    applykey(s, k, static_cast<unsigned char>(key));
    personredraw(s);
  }
  char text[64];
  std::snprintf(text, sizeof text, "提示：第%d行第%d列", r, c);
  sayat(kSideLine, text);
}

}  // namespace

bool personmove(const Steering& s, int* x, int* y) {
  Cursor k = startcursor();
  personlines(s, false);
  for (;;) {
    int key = console::getch();
    if (key < 0) console::inputended();
    if (key == 'u' && takeback(k)) return false;
    if (key == 'h') {
      hint(s, k);
      continue;
    }
    Keyed what = applykey(s, k, ownkey(s, key));
    if (what == Keyed::kPlaced) {
      *x = k.r;
      *y = k.c;
      return true;
    }
    if (what == Keyed::kForbidden) sayat(kSideLine, kForbiddenText);
    if (what != Keyed::kRefused && what != Keyed::kForbidden) personredraw(s);
  }
}

int againkey() {
  if (computer != 0) console::print("按 s 再来一局，按其他键退出");
  int k = console::getch();
  if (computer != 0 && k == 's') {
    console::cls();
    printfchessmap();
  }
  return k;
}

}  // namespace gomoku
