#include "game/lone.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "board/state.hpp"
#include "console/chessmap.hpp"
#include "game/game.hpp"
#include "input/cursor.hpp"
#include "support/board.hpp"
#include "support/scripted.hpp"

namespace gomoku {
namespace {

using Point = std::pair<int, int>;
using testing::Quit;
using testing::Scripted;

// The person plays `person` against the computer, node-limited, over the script `keys`.
struct Lone : Scripted {
  Lone(int person, std::string keys) : Scripted(std::move(keys)) {
    computer = 3 - person;
    thinknodes = 3000;
    console::cls();
    printfchessmap();
  }
};

// What a turn starts from: the board, the last stone, the turn, the moves, and what the
// screen shows of them (board lines, the lines under the board, the last mark).
struct TurnStart {
  std::vector<int> board;
  Point last;
  int turn;
  std::vector<Point> moved;
  std::vector<std::string> shown;
  std::vector<Point> marked;
  bool operator==(const TurnStart&) const = default;
};

TurnStart turnstart(const console::Screen& s) {
  TurnStart t{{&map[0][0], &map[0][0] + kSize * kSize}, {lastr, lastc}, whoturn, {}, {}, {}};
  for (int i = 0; i < nmoves; ++i) t.moved.emplace_back(moves[i].r, moves[i].c);
  t.shown = testing::lines(s, 30);
  t.shown.erase(t.shown.begin() + 20, t.shown.begin() + 28);  // the frame and the prompt
  for (int r = 1; r < kSize; ++r)
    for (int c = 1; c < kSize; ++c)
      if (s.at(signcolumn(c), r).attr & console::kLast) t.marked.emplace_back(r, c);
  return t;
}

struct TakeBackCase {
  const char* name;
  int person;
  std::string keys;  // the person's fourth turn, ending in take-backs
  int back;          // the turn whose start that comes back to (0: the first)
};

class TakeBack : public ::testing::TestWithParam<TakeBackCase> {};

// Three turns of the person (steering with both key sets) and the computer's replies,
// then take-backs: each goes back to the start of an earlier turn, board, marks, turn
// and lines under the board alike.
TEST_P(TakeBack, GoesBackToTheStartOfAnEarlierTurn) {
  const TakeBackCase& k = GetParam();
  // Player 1 puts the first stone on the centre, which later turns lift and put back.
  const std::string turns[] = {k.person == 1 ? " " : "d ", "wwww ", "\xe0K\xe0KK ", k.keys};
  Lone t(k.person, turns[0] + turns[1] + turns[2] + turns[3]);
  std::vector<TurnStart> starts;
  std::size_t next = 0;  // the key that starts the next turn
  t.con.onkey = [&](int i) {
    if (starts.size() == 5 || static_cast<std::size_t>(i) != next) return;
    starts.push_back(turnstart(t.con.screen()));
    if (starts.size() < 5) next += turns[starts.size() - 1].size();
  };
  try {
    for (;; ++whoturn) ASSERT_EQ(playchess(), 0);
  } catch (const Quit&) {
  }
  ASSERT_EQ(starts.size(), 5u);
  EXPECT_EQ(starts[4], starts[k.back]);
  EXPECT_EQ(starts[3].moved.size(), starts[0].moved.size() + 6);
  // The lines under the board say the person's side and where the computer's last stone
  // is, which alone has the last mark.
  for (const TurnStart& s : starts) {
    EXPECT_EQ(s.shown[20],
              (k.person == 1 ? "你执O" : "你执X") + std::string("，u 悔棋，h 提示        +"));
    Point c = s.moved.empty() ? Point{} : s.moved.back();
    std::string said =
        "电脑落子：第" + std::to_string(c.first) + "行第" + std::to_string(c.second) + "列";
    if (s.moved.empty()) said = testing::emptyboard()[29];
    EXPECT_EQ(s.shown[21].substr(0, said.size()), said);
    EXPECT_EQ(s.marked, s.moved.empty() ? std::vector<Point>{} : std::vector<Point>{c});
  }
}

INSTANTIATE_TEST_SUITE_P(Lone, TakeBack,
                         ::testing::Values(TakeBackCase{"one", 1, "u", 2},
                                           TakeBackCase{"two", 1, "uu", 1},
                                           TakeBackCase{"all", 1, "uuu", 0},
                                           TakeBackCase{"more_than_all", 1, "uuuuu", 0},
                                           TakeBackCase{"after_steering", 1, "sdu", 2},
                                           TakeBackCase{"computer_first_one", 2, "u", 2},
                                           TakeBackCase{"computer_opening_stays", 2, "uuuu", 0}),
                         [](const auto& i) { return std::string(i.param.name); });

// Stones in a line from (r, c), a step (dr, dc) apart: O, X, or '.' for an empty point.
struct Line {
  int r, c, dr, dc;
  const char* signs;
};

struct HintCase {
  const char* name;
  int person;
  std::string before;  // keys before 'h'
  std::vector<Line> stones;
  Point point;  // where the hint steers the stone, which Space then puts down
  int won;
  int level = 9;      // the computer's
  Point other{0, 0};  // a point as good as `point`, where the hint may steer instead
};

class Hint : public ::testing::TestWithParam<HintCase> {};

// 'h' steers the stone to the point that matters among those it can put it down on, and
// leaves it there until Space; it is the strongest computer's choice at any level.
TEST_P(Hint, SteersTheStoneWithoutPuttingItDown) {
  const HintCase& k = GetParam();
  Lone t(k.person, k.before + "h ");
  whoturn = k.person - 1;
  level = k.level;
  for (const Line& s : k.stones)
    for (int i = 0; s.signs[i]; ++i)
      map[s.r + i * s.dr][s.c + i * s.dc] = s.signs[i] == 'O' ? 1 : s.signs[i] == 'X' ? 2 : 0;
  int placed = -1;  // the stones of the game, and the line under the board, at the Space
  std::string said;
  t.con.onkey = [&](int i) {
    if (static_cast<std::size_t>(i) != k.before.size() + 1) return;
    placed = nmoves;
    said = t.con.screen().line(28);
  };
  EXPECT_EQ(playchess(), k.won);
  EXPECT_EQ(placed, 0);  // not by the hint
  const Point got(lastr, lastc);
  EXPECT_TRUE(got == k.point || got == k.other) << got.first << "," << got.second;
  std::string point = std::to_string(got.first) + "行第" + std::to_string(got.second);
  EXPECT_EQ(said.substr(0, said.find("列")), "提示：第" + point);
}

// O's four on the diagonal wins only at the corner, which the stones of row 1 and
// column 1 wall off from every step: O blocks X's four on row 12 instead.
const std::vector<Line> kWalled = {
    {2, 2, 1, 1, "OOOOX"}, {1, 2, 0, 1, "XOXOX"}, {2, 1, 1, 0, "OXOXO"}, {12, 2, 0, 1, "OXXX.X"}};
// O's four on row 9 wins only on the centre; X's four on row 15 must be blocked at (15, 7).
const std::vector<Line> kCentreWin = {{9, 4, 0, 1, "XOOOO"}, {15, 2, 0, 1, "OXXXX"}};
// X's four on row 12 must be blocked at (12, 9), four steps down through the centre,
// whose X the stone lifts as it leaves it.
const std::vector<Line> kBlockBelow = {{9, 9, 0, 1, "X"}, {12, 9, 0, 1, ".XXXXO"}};
// X's open three on row 5, which the strongest computer blocks (at either end) and the
// beginner of level 1 (seeded as in every node-limited game) does not see.
const std::vector<Line> kOpenThree = {{5, 5, 0, 1, ".XXX."}, {8, 7, 0, 1, "O"}};

INSTANTIATE_TEST_SUITE_P(
    Lone, Hint,
    ::testing::Values(HintCase{"win", 1, "", {{3, 2, 0, 1, "XOOOO"}}, {3, 7}, 1},
                      HintCase{"x_wins", 2, "dd", {{2, 3, 1, 0, "OXXXX"}}, {7, 3}, 1},
                      HintCase{"walled_off_win", 1, "", kWalled, {12, 6}, 0},
                      HintCase{"centre_before_moving", 1, "", kCentreWin, {9, 9}, 1},
                      HintCase{"no_centre_after_moving", 1, "s", kCentreWin, {15, 7}, 0},
                      HintCase{"from_the_point_itself", 1, "ssssssaa", kCentreWin, {15, 7}, 0},
                      HintCase{"through_the_lifted_centre", 1, "w", kBlockBelow, {12, 9}, 0},
                      HintCase{"strongest_at_level_1", 1, "", kOpenThree, {5, 5}, 0, 1, {5, 9}}),
    [](const auto& i) { return std::string(i.param.name); });

// The lone person steers with either key set, whichever side they play: down, right,
// up, left, left.
TEST(Lone, EitherKeySetSteers) {
  for (auto [person, keys] : {std::pair{1, "\xe0P\xe0M\xe0H\xe0K\xe0K "}, {2, "sdwaa "}}) {
    Lone t(person, keys);
    int r = 0, c = 0;
    EXPECT_TRUE(personmove(person == 1 ? kSteer1 : kSteer2, &r, &c));
    EXPECT_EQ(Point(r, c), Point(9, 8)) << person;
  }
}

// After score entry the screen tells the lone person what to press and 's' shows the
// new board; the hot-seat game keeps its blank screen.
TEST(Lone, BetweenGamesTheScreenSaysWhatToPress) {
  for (int who : {0, 2})
    for (char key : {'s', 'q'}) {
      Scripted t(std::string(1, key));
      computer = who;
      console::cls();
      std::string shown = "?";
      t.con.onkey = [&](int) { shown = t.con.screen().line(0); };
      EXPECT_EQ(againkey(), key);
      EXPECT_EQ(shown, who ? "按 s 再来一局，按其他键退出" : "");
      EXPECT_EQ(testing::lines(t.con.screen(), 30) == testing::emptyboard(), who && key == 's');
    }
}

// Against the computer under renju, the person's Space on black's forbidden point is
// refused with the line that says why, in place of the line of their keys.
TEST(LoneRenju, AForbiddenPointIsRefusedWithALine) {
  Lone t(1, " d ");
  rule = kRenju;
  for (auto [r, c] : {Point{7, 9}, {8, 9}, {9, 7}, {9, 8}}) map[r][c] = kPlayer1;
  std::string said;
  t.con.onkey = [&](int i) {
    if (i == 1) said = t.con.screen().line(28);
  };
  EXPECT_EQ(playchess(), 0);
  EXPECT_TRUE(said.starts_with(kForbiddenText)) << said;
  EXPECT_EQ(map[9][9], kEmpty);
  EXPECT_EQ(map[9][10], kPlayer1);
}

}  // namespace
}  // namespace gomoku
