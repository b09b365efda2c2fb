#include "engine/engine.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/rules.hpp"

namespace gomoku::engine {
namespace {

using Point = std::pair<int, int>;

// A position drawn as rows, top row y = 0: 'x' the first player's stones, 'o' the
// second's, '.' empty, '*' empty and one of the right answers.
struct Diagram {
  std::vector<std::string> rows;

  // Sets up `e` with the stones, `tomove` (1 or 2) to move.
  void setup(Engine& e, int tomove) const {
    e.newgame(static_cast<int>(rows.size()));
    for (int y = 0; y < static_cast<int>(rows.size()); ++y)
      for (int x = 0; x < static_cast<int>(rows[y].size()); ++x) {
        char c = rows[y][x];
        if (c == 'x' || c == 'o') {
          EXPECT_TRUE(e.put(x, y, c == 'x' ? 1 : 2));
        }
      }
    e.settomove(tomove);
  }

  std::set<Point> answers() const {
    std::set<Point> s;
    for (int y = 0; y < static_cast<int>(rows.size()); ++y)
      for (int x = 0; x < static_cast<int>(rows[y].size()); ++x)
        if (rows[y][x] == '*') s.emplace(x, y);
    return s;
  }
};

// Stones given as (x, y) lists on a 19x19 board.
Diagram fromstones(const std::vector<Point>& x, const std::vector<Point>& o, Point answer) {
  Diagram d{std::vector<std::string>(19, std::string(19, '.'))};
  for (auto [px, py] : x) d.rows[py][px] = 'x';
  for (auto [px, py] : o) d.rows[py][px] = 'o';
  d.rows[answer.second][answer.first] = '*';
  return d;
}

struct Tactic {
  const char* name;
  Diagram board;
  int tomove;
};

// Moves from an empty 19x19 board, black ('x') first, in the match notation (column
// letter A..T without I, row 1..19), with the answer marked.
Diagram frommoves(const std::string& moves, Point answer) {
  static const std::string letters = "ABCDEFGHJKLMNOPQRST";
  std::vector<Point> black, white;
  size_t i = 0;
  for (size_t at = 0; at < moves.size(); ++i) {
    size_t end = std::min(moves.find(' ', at), moves.size());
    Point p{static_cast<int>(letters.find(moves[at])), std::stoi(moves.substr(at + 1)) - 1};
    (i % 2 ? white : black).push_back(p);
    at = end + 1;
  }
  return fromstones(black, white, answer);
}

// Wins by continuous fours built as staircases: each four's stone starts the next line,
// the last four also makes an open three; and one from a game, 25 plies long. Checked
// with a separate brute-force solver: the marked first four is the only one that wins.
const Diagram kFours3 =
    fromstones({{2, 2}, {3, 2}, {4, 2}, {5, 3}, {5, 5}, {7, 6}, {8, 7}}, {{1, 2}, {5, 1}}, {5, 2});
const Diagram kFours5 = fromstones(
    {{2, 2}, {3, 3}, {4, 5}, {4, 7}, {5, 5}, {5, 7}, {6, 8}, {7, 11}, {7, 12}, {8, 11}, {9, 12}},
    {{1, 1}, {3, 5}, {4, 3}, {7, 8}}, {4, 4});
const Diagram kFours6 = fromstones({{2, 2},
                                    {3, 3},
                                    {4, 4},
                                    {4, 15},
                                    {5, 7},
                                    {5, 8},
                                    {5, 14},
                                    {6, 7},
                                    {6, 11},
                                    {7, 8},
                                    {7, 10},
                                    {7, 14},
                                    {8, 15}},
                                   {{1, 1}, {4, 5}, {4, 11}, {5, 4}, {9, 8}}, {5, 5});
const Diagram kFours7 =
    fromstones({{2, 2},
                {3, 2},
                {4, 3},
                {4, 5},
                {4, 10},
                {5, 2},
                {5, 5},
                {5, 9},
                {6, 6},
                {7, 9},
                {8, 10},
                {9, 12},
                {9, 14},
                {10, 15},
                {10, 17},
                {11, 15},
                {12, 16}},
               {{1, 2}, {3, 3}, {4, 1}, {5, 7}, {8, 6}, {8, 12}, {9, 10}}, {4, 2});

const Diagram kFours25 = frommoves(
    "K10 M10 M9 K9 L8 L11 N8 O8 N9 N10 O9 P9 P10 M7 R10 Q11 O7 L10 Q9 P8 Q10 S10 J8 N12 P11 "
    "K8 R8 O11 O12",
    {11, 10});

const Tactic kTactics[] = {
    {"five_from_open_four",
     {{"...........", "...........", "...........", "....o......", "...*xxxx*..", "...ooo.....",
       "...........", "...........", "...........", "...........", "..........."}},
     1},
    {"five_in_the_gap",
     {{"...........", "...........", "...........", "....o.o....", "...oxx*xxo.", "....o......",
       "...........", "...........", "...........", "...........", "..........."}},
     1},
    {"five_before_blocking",
     {{"...........", "....x......", "...x.......", "...........", ".x.........", "x..xoooo*x.",
       ".x.........", "...........", "...........", "...........", "..........."}},
     2},
    {"block_the_four",
     {{"...........", "...........", "....x......", ".....x.....", "...........", "..xoooo*...",
       "...........", "...........", "...........", "...........", "..........."}},
     1},
    {"block_the_split_four",
     {{"...........", "...........", "...........", "...........", "..x........", "..o........",
       "..o........", "..*...x....", "..o........", "..o........", "..........."}},
     1},
    {"block_the_open_three",
     {{"...............", "...............", "...............", "...............",
       "...............", "......x........", "...............", "....*ooo*......",
       "...............", "...............", "...............", "...............",
       "...............", "...............", "..............."}},
     1},
    {"block_the_split_three",
     {{"...............", "...............", "...............", "...............",
       "...............", "...............", ".......*.......", ".......o.......",
       ".......*.......", ".......o.......", ".......o.......", ".....x.*.......",
       "...............", "...............", "..............."}},
     1},
    {"fours_7_plies", kFours3, 1},
    {"fours_11_plies", kFours5, 1},
    {"fours_13_plies", kFours6, 1},
    {"fours_15_plies", kFours7, 1},
    {"fours_25_plies_from_a_game", kFours25, 2},
};

class Tactics : public ::testing::TestWithParam<Tactic> {};

TEST_P(Tactics, FindsTheRightMoveWithinANodeBudget) {
  const Tactic& t = GetParam();
  Engine e(size_t{4} << 20);
  t.board.setup(e, t.tomove);
  Result r = e.search(Limits{.nodes = 50000});
  EXPECT_TRUE(t.board.answers().count({r.x, r.y})) << "chose " << r.x << "," << r.y;
}

// Helper threads on the shared tables change how the main thread gets there, not
// where: a right answer, the one thread's own where only one point is right.
TEST_P(Tactics, ParallelSearchChoosesTheOneThreadMove) {
  const Tactic& t = GetParam();
  Engine one(size_t{4} << 20), three(size_t{4} << 20);
  t.board.setup(one, t.tomove);
  t.board.setup(three, t.tomove);
  const Result r1 = one.search(Limits{.nodes = 50000});
  const Result r3 = three.search(Limits{.nodes = 50000, .threads = 3});
  EXPECT_EQ(three.at(r3.x, r3.y), 0);
  EXPECT_TRUE(t.board.answers().count({r3.x, r3.y})) << "chose " << r3.x << "," << r3.y;
  if (t.board.answers().size() == 1) {
    EXPECT_EQ(Point(r3.x, r3.y), Point(r1.x, r1.y));
  }
}

// Which thread's result a parallel search answers with.
TEST(Parallel, TheDeepestCompletedIterationAnswersUnlessTheMainThreadIsSure) {
  auto result = [](Move move, int score, int depth, uint64_t nodes, int64_t ms = 0) {
    SearchResult r;
    r.move = move, r.score = score, r.depth = depth, r.nodes = nodes, r.time_ms = ms;
    return r;
  };
  const SearchResult main = result(1, 50, 8, 100, 7), forced = result(1, winin(2), 0, 100),
                     won = result(1, winin(9), 8, 100), d9 = result(2, 60, 9, 10, 9),
                     d10 = result(3, 70, 10, 20), d8 = result(4, 90, 8, 30),
                     none = result(kNoMove, 0, 12, 40);
  struct Case {
    const char* name;
    SearchResult main;
    std::vector<SearchResult> helpers;
    Move move;
    uint64_t nodes;
  } cases[] = {
      {"deeper helper", main, {d9}, 2, 110}, {"deepest of two", main, {d9, d10}, 3, 130},
      {"as deep: main", main, {d8}, 1, 130}, {"helper without a move", main, {none}, 1, 140},
      {"forced win", forced, {d10}, 1, 120}, {"win by deepening", won, {d10}, 1, 120},
  };
  for (const Case& c : cases) {
    const SearchResult r = joinresults(c.main, c.helpers);
    EXPECT_EQ(r.move, c.move) << c.name;
    EXPECT_EQ(r.nodes, c.nodes) << c.name;
    EXPECT_EQ(r.time_ms, c.main.time_ms) << c.name;
  }
}

INSTANTIATE_TEST_SUITE_P(Engine, Tactics, ::testing::ValuesIn(kTactics),
                         [](const auto& test) { return std::string(test.param.name); });

struct FourChain {
  const Diagram* board;
  int attacker;
  int plies;  // to the five, counting both sides
};

TEST(Fours, LongWinsByContinuousFoursAreFoundAlone) {
  for (FourChain c :
       {FourChain{&kFours3, 1, 7}, FourChain{&kFours5, 1, 11}, FourChain{&kFours6, 1, 13},
        FourChain{&kFours7, 1, 15}, FourChain{&kFours25, 2, 25}}) {
    Engine e(size_t{4} << 20);
    c.board->setup(e, c.attacker);
    // One four is not enough; what that search remembers must not hide the longer win.
    EXPECT_EQ(e.findvcf(Limits{.depth = 1}).x, -1) << c.plies << " plies";
    Result r = e.findvcf(Limits{});
    EXPECT_EQ(c.board->answers(), (std::set<Point>{{r.x, r.y}})) << c.plies << " plies";
    EXPECT_TRUE(r.win);
    // In the staircases the defender has no win by fours: the search says so rather than
    // guessing. (In the game both sides have one.)
    if (c.board == &kFours25) continue;
    e.settomove(2);
    EXPECT_EQ(e.findvcf(Limits{.nodes = 100000}).x, -1) << c.plies << " plies";
  }
}

// A middle-game position: black has just moved, white to move, no forced win yet.
void middlegame(Engine& e) {
  e.newgame(19);
  const Point moves[] = {{9, 9},   {8, 9},   {8, 11},  {8, 10}, {6, 8},  {9, 11}, {7, 7},
                         {10, 12}, {11, 13}, {10, 10}, {5, 9},  {4, 10}, {11, 9}, {8, 6}};
  for (auto [x, y] : moves) ASSERT_TRUE(e.play(x, y));
}

// True when the stone on (x, y) is in five or more in a row.
bool five(const Engine& e, int x, int y) {
  const int dirs[4][2] = {{1, 0}, {0, 1}, {1, 1}, {1, -1}};
  for (auto [dx, dy] : dirs) {
    int n = 1;
    for (int s : {1, -1})
      for (int k = 1; e.at(x + s * k * dx, y + s * k * dy) == e.at(x, y); ++k) ++n;
    if (n >= 5) return true;
  }
  return false;
}

// A one-move-deep player: makes five, else blocks a five, else takes the point with the
// most stones close around it.
Point greedy(Engine& e) {
  const int me = e.tomove(), n = e.size();
  for (int who : {me, 3 - me})
    for (int y = 0; y < n; ++y)
      for (int x = 0; x < n; ++x) {
        if (!e.put(x, y, who)) continue;
        bool won = five(e, x, y);
        e.remove(x, y);
        if (won) return {x, y};
      }
  Point best{-1, -1};
  int top = -1;
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      if (e.at(x, y) != 0) continue;
      int s = 0;
      for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
          int c = e.at(x + dx, y + dy), far = std::max(std::abs(dx), std::abs(dy));
          if (c == 1 || c == 2) s += (c == me ? 3 : 2) * (3 - far);
        }
      if (s > top) top = s, best = {x, y};
    }
  return best;
}

TEST(Play, BeatsAOneMoveDeepPlayerWithEitherColour) {
  const Point openings[][3] = {{{7, 7}, {8, 8}, {6, 8}}, {{7, 7}, {7, 8}, {9, 7}}};
  for (const auto& opening : openings)
    for (int engineside : {1, 2}) {
      Engine e(size_t{4} << 20);
      e.newgame(15);
      for (auto [x, y] : opening) ASSERT_TRUE(e.play(x, y));
      int winner = 0;
      for (int moves = 3; moves < 120 && !winner; ++moves) {
        Point p = greedy(e);
        if (e.tomove() == engineside) {
          Result r = e.search(Limits{.nodes = 2000});
          p = {r.x, r.y};
        }
        ASSERT_TRUE(e.play(p.first, p.second));
        if (five(e, p.first, p.second)) winner = e.at(p.first, p.second);
      }
      EXPECT_EQ(winner, engineside) << "opening " << opening[1].first << "," << opening[1].second;
    }
}

// x: two twos crossing; o: a three with a four to come crossing an open two, or nothing.
void twotwos(Engine& e, bool counter) {
  e.newgame(15);
  for (auto [x, y] : {Point{5, 7}, {6, 7}, {7, 5}, {7, 6}, {9, 1}}) e.put(x, y, 1);
  for (auto [x, y] : {Point{6, 6}, {8, 8}, {1, 13}, {12, 12}, {10, 1}, {11, 1}}) e.put(x, y, 2);
  if (counter)
    for (auto [x, y] : {Point{12, 1}, {13, 2}, {13, 3}}) e.put(x, y, 2);
  e.settomove(1);
}

TEST(Threes, AWinClaimedByThreesAndFoursHoldsAgainstTheFullSearch) {
  Engine e(size_t{4} << 20);
  twotwos(e, false);
  ASSERT_EQ(e.findvcf(Limits{.nodes = 100000}).x, -1);
  ASSERT_GE(e.findvct(Limits{.nodes = 100000}).x, 0);
  // The attacker plays only what the threat searches find; the defender searches.
  int winner = 0;
  for (int move = 0; move < 40 && !winner; ++move) {
    Result r = e.tomove() == 1 ? e.findvct(Limits{.nodes = 100000}) : e.search({.nodes = 20000});
    ASSERT_GE(r.x, 0) << "move " << move;
    ASSERT_TRUE(e.play(r.x, r.y));
    if (five(e, r.x, r.y)) winner = e.at(r.x, r.y);
  }
  EXPECT_EQ(winner, 1);
}

TEST(Threes, NoWinIsClaimedWhenTheDefenderWinsByFoursFirst) {
  Engine e(size_t{4} << 20);
  twotwos(e, true);  // a double three for x, but o's four-three comes first
  EXPECT_EQ(e.findvct(Limits{.nodes = 100000}).x, -1);
  Result r = e.search(Limits{.nodes = 50000});
  EXPECT_FALSE(r.win);
}

TEST(Evaluation, TheSideWithTheStrongerShapeIsAheadWhoeverMoves) {
  // Three stones together against three in the corners: a clear lead (or a win).
  Diagram board{{"o.............o", "...............", "...............", "...............",
                 "...............", "...............", "...............", ".......xx......",
                 ".......x.......", "...............", "...............", "...............",
                 "...............", "...............", "..............o"}};
  Engine e(size_t{4} << 20);
  for (int tomove : {1, 2}) {
    board.setup(e, tomove);
    Result r = e.search(Limits{.nodes = 20000});
    if (tomove == 1)
      EXPECT_GT(r.score, 500);
    else
      EXPECT_LT(r.score, -500);
  }
}

TEST(Mask, TheMoveIsAlwaysAnAllowedEmptyPoint) {
  Engine e(size_t{4} << 20);
  middlegame(e);
  const int n = e.size();
  // Only the points of one column, one diagonal, a single point, or nothing at all.
  std::vector<std::vector<uint8_t>> masks(4, std::vector<uint8_t>(n * n, 0));
  for (int i = 0; i < n; ++i) masks[0][i * n + 3] = masks[1][i * n + i] = 1;
  masks[2][18 * n + 18] = 1;
  for (size_t k = 0; k < masks.size(); ++k) {
    Result r = e.search(Limits{.nodes = 20000}, &masks[k]);
    if (k == 3) {
      EXPECT_EQ(r.x, -1);
      continue;
    }
    ASSERT_GE(r.x, 0) << "mask " << k;
    EXPECT_TRUE(masks[k][r.y * n + r.x]) << "mask " << k << " chose " << r.x << "," << r.y;
    EXPECT_EQ(e.at(r.x, r.y), 0);
  }
  // The five is not allowed: another allowed point is chosen, never the five.
  Diagram four{{"...........", "...........", "....*xxxx*.", "...........", "...ooo.....",
                "...........", "...........", "...........", "...........", "...........",
                "..........."}};
  four.setup(e, 1);
  std::vector<uint8_t> nofive(11 * 11, 1);
  nofive[2 * 11 + 4] = nofive[2 * 11 + 9] = 0;
  Result r = e.search(Limits{.nodes = 20000}, &nofive);
  ASSERT_GE(r.x, 0);
  EXPECT_TRUE(nofive[r.y * 11 + r.x]);
}

TEST(Determinism, SameNodeBudgetAndMemorySameMoveOnAnyEngineAndThread) {
  // A 1 MB engine's table holds 32768 entries: 200000 nodes fill it many times over, so
  // what it keeps matters; the same memory keeps the same.
  Engine first(size_t{1} << 20);
  middlegame(first);
  const Limits limits{.nodes = 200000};
  Result a = first.search(limits);
  // The same engine after another search, and another engine on another thread.
  first.search(Limits{.nodes = 30000});
  Result b = first.search(limits);
  Result c;
  std::thread t([&] {
    Engine e(size_t{1} << 20);
    middlegame(e);
    c = e.search(limits);
  });
  t.join();
  for (const Result* r : {&b, &c}) {
    EXPECT_EQ(std::make_pair(r->x, r->y), std::make_pair(a.x, a.y));
    EXPECT_EQ(r->nodes, a.nodes);
    EXPECT_EQ(r->score, a.score);
    EXPECT_EQ(r->depth, a.depth);
  }
}

TEST(Clock, AOneMillisecondAnswerToTheCentreStaysNearIt) {
  Engine e(size_t{4} << 20);
  e.newgame(19);
  ASSERT_TRUE(e.play(9, 9));
  for (int i = 0; i < 5; ++i) {
    Result r = e.search(Limits{.time_ms = 1});
    EXPECT_LE(std::max(std::abs(r.x - 9), std::abs(r.y - 9)), 2) << r.x << "," << r.y;
  }
}

// Sets `e` up with a position of the rules table on a 15x15 board, `mover` to move;
// `marks` gets the points drawn with `what` (any of its characters).
void setuprows(Engine& e, Rule rule, const std::vector<std::string>& rows, int mover,
               const std::string& what, std::set<Point>& marks) {
  e.newgame(15, rule);
  for (int y = 0; y < static_cast<int>(rows.size()); ++y)
    for (int x = 0; x < static_cast<int>(rows[y].size()); ++x) {
      const char c = rows[y][x];
      if (c == 'x' || c == 'o') {
        EXPECT_TRUE(e.put(x, y, c == 'x' ? 1 : 2));
      }
      if (what.find(c) != std::string::npos) marks.emplace(x, y);
    }
  e.settomove(mover);
}

class RuleJudge : public ::testing::TestWithParam<testing::RulePosition> {};

TEST_P(RuleJudge, WinsAndForbiddenPointsFollowTheRule) {
  const testing::RulePosition& c = GetParam();
  Engine e(size_t{1} << 20);
  std::set<Point> move, forbidden;
  setuprows(e, static_cast<Rule>(c.rule), c.rows, c.mover, "*!", move);
  setuprows(e, static_cast<Rule>(c.rule), c.rows, c.mover, "F!", forbidden);
  auto [x, y] = *move.begin();
  EXPECT_EQ(e.wins(x, y), c.wins);
  const auto found = e.forbiddenpoints();
  EXPECT_EQ(std::set<Point>(found.begin(), found.end()), forbidden);
}

INSTANTIATE_TEST_SUITE_P(Engine, RuleJudge, ::testing::ValuesIn(testing::rulepositions()),
                         [](const auto& test) { return std::string(test.param.name); });

struct RuleTactic {
  const char* name;
  Rule rule;
  int tomove;
  std::vector<std::string> rows;  // '*' the right answers, '!' a point never to choose
  bool win, loss;                 // what the search must say of the position
};

const RuleTactic kRuleTactics[] = {
    // Black's gap makes six: a win only in freestyle; otherwise white's four is blocked.
    {"standard_six_is_no_win", Rule::kStandard, 1, {".", ".xx.xxx", ".", "..xoooo*"}, false, false},
    {"freestyle_six_wins", Rule::kFreestyle, 1, {".", ".xx*xxx", ".", "..xoooo."}, true, false},
    // Black's gap makes a five with white beyond both ends: no win under caro.
    {"caro_blocked_five_is_no_win",
     Rule::kCaro,
     1,
     {".", "oxx.xxo", ".", "..xoooo*"},
     false,
     false},
    {"freestyle_blocked_five_wins",
     Rule::kFreestyle,
     1,
     {".", "oxx*xxo", ".", "..xoooo."},
     true,
     false},
    // '!' is black's double three: white's four through it cannot be blocked under renju
    // (black's stone in the corner stops white's straight four there).
    {"renju_four_with_a_forbidden_block_wins",
     Rule::kRenju,
     2,
     {".......x", "....x.o", "....xo", "..xx!", "...o", "..*"},
     true,
     false},
    {"freestyle_that_four_is_blocked",
     Rule::kFreestyle,
     2,
     {".......x", "....x.o", "....xo", "..xx.", "...o", "..."},
     false,
     false},
    {"renju_black_never_plays_the_forbidden_block",
     Rule::kRenju,
     1,
     {".......x", "....x.o", "....xo", "..xx!", "...o", "..o"},
     false,
     true},
    {"freestyle_black_blocks_with_a_double_three",
     Rule::kFreestyle,
     1,
     {".......x", "....x.o", "....xo", "..xx*", "...o", "..o"},
     false,
     false},
};

class RuleTactics : public ::testing::TestWithParam<RuleTactic> {};

TEST_P(RuleTactics, TheSearchPlaysByTheRule) {
  const RuleTactic& t = GetParam();
  Engine e(size_t{4} << 20);
  std::set<Point> answers, never;
  setuprows(e, t.rule, t.rows, t.tomove, "*", answers);
  setuprows(e, t.rule, t.rows, t.tomove, "!", never);
  Result r = e.search(Limits{.nodes = 50000});
  ASSERT_GE(r.x, 0);
  if (!answers.empty()) {
    EXPECT_TRUE(answers.count({r.x, r.y})) << "chose " << r.x << "," << r.y;
  }
  EXPECT_FALSE(never.count({r.x, r.y})) << "chose " << r.x << "," << r.y;
  EXPECT_EQ(r.win, t.win);
  EXPECT_EQ(r.loss, t.loss);
}

INSTANTIATE_TEST_SUITE_P(Engine, RuleTactics, ::testing::ValuesIn(kRuleTactics),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(Stop, AnotherThreadEndsAnUnlimitedSearch) {
  Engine e(size_t{8} << 20);
  middlegame(e);
  std::atomic<bool> stop{false};
  Result r;
  std::thread t([&] { r = e.search(Limits{.stop = &stop}); });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // well into the search
  stop = true;
  t.join();
  EXPECT_GE(r.x, 0);
  EXPECT_EQ(e.at(r.x, r.y), 0);
}

// Pages a search would fault in one at a time, two threads at once in the kernel, are
// had before the first search after the tables were sized (not when they are sized:
// a manager's INFO max_memory may shrink them first).
TEST(Memory, TablesAreResidentFromTheFirstSearch) {
#if !defined(__linux__)
  GTEST_SKIP() << "resident memory is read from Linux's /proc";
#endif
  auto resident = [] {  // bytes, from /proc/self/statm; -1 without it
    long size = 0, pages = -1;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
      if (std::fscanf(f, "%ld %ld", &size, &pages) != 2) pages = -1;
      std::fclose(f);
    }
    return pages < 0 ? -1L : pages * 4096L;
  };
  Engine e(size_t{64} << 20);
  const long before = resident();
  if (before < 0) GTEST_SKIP() << "no /proc/self/statm";
  middlegame(e);
  e.search(Limits{.time_ms = 1});
  EXPECT_GE(resident() - before, static_cast<long>(e.memory() / 2));
}

TEST(Memory, TablesStayWithinTheBudget) {
  for (size_t budget : {size_t{1} << 20, size_t{3} << 20, size_t{100} << 20}) {
    Engine e(budget);
    EXPECT_LE(e.memory(), budget);
    EXPECT_GE(e.memory(), budget / 4);
  }
}

}  // namespace
}  // namespace gomoku::engine
