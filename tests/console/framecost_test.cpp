// What each key press sends to the terminal: exact byte counts held to their goals.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "board/state.hpp"
#include "console/chessmap.hpp"
#include "console/render.hpp"
#include "game/game.hpp"
#include "support/scripted.hpp"

namespace gomoku {
namespace {

using testing::RenderingConsole;

// The frame cost goals, by name, from the file that holds them for every test.
std::size_t goal(const std::string& name) {
  static const std::map<std::string, std::size_t> goals = [] {
    std::map<std::string, std::size_t> g;
    std::ifstream in(GOMOKU_SOURCE_DIR "/bench/goals.txt");
    std::string key;
    std::size_t value;
    for (std::string line; std::getline(in, line);)
      if (!line.starts_with('#') && std::istringstream(line) >> key >> value) g[key] = value;
    return g;
  }();
  return goals.at(name);
}

// Plays `turns` (each the keys of one turn) from a cleared board screen; returns, for
// every step but a turn's first, the bytes of its frame.
std::vector<std::size_t> stepcosts(const std::vector<std::string>& turns, bool colour) {
  std::string keys;
  for (const auto& t : turns) keys += t;
  RenderingConsole con(keys, colour);
  resetstate();
  console::setconsole(&con);
  console::cls();
  printfchessmap();
  std::vector<std::size_t> costs;
  for (const auto& t : turns) {
    std::size_t first = con.frames.size();
    playchess();
    ++whoturn;
    // frames[first] is shown before the turn's first key, frames[first+1] after it;
    // the frame after the last steering key is shown before Space.
    for (std::size_t f = first + 2; f < con.frames.size() && f < first + t.size(); ++f)
      costs.push_back(con.frames[f].size());
  }
  console::setconsole(nullptr);
  return costs;
}

const std::vector<std::string> kTurns = {
    "wwwwdddd ",                                       // player 1 up and right
    "\xe0P\xe0P\xe0P\xe0K\xe0K ",                      // player 2 down and left, with prefix bytes
    "wwwwddddd ",                                      // player 1 hops over its own stone
    "\xe0H\xe0H\xe0H\xe0H\xe0H\xe0H\xe0H\xe0H\xe0M ",  // player 2 to the top edge
    "sssssssssaaaaaaaa ",                              // player 1 to the bottom-left corner
    "\xe0M\xe0M\xe0M\xe0M\xe0M\xe0M\xe0M\xe0M\xe0M\xe0M ",  // player 2 to the right edge
};

class MoveCost : public ::testing::TestWithParam<bool> {};

TEST_P(MoveCost, OneStoneMoveStaysWithinItsBytes) {
  bool colour = GetParam();
  auto costs = stepcosts(kTurns, colour);
  ASSERT_GT(costs.size(), 40u);
  std::size_t worst = 0;
  for (std::size_t c : costs) worst = std::max(worst, c);
  EXPECT_LE(worst, goal(colour ? "move_colour" : "move_plain"));
}

INSTANTIATE_TEST_SUITE_P(FrameCost, MoveCost, ::testing::Values(false, true),
                         [](const auto& test) { return test.param ? "colour" : "plain"; });

TEST(FrameCost, FirstBoardScreenAndRepaint) {
  for (bool colour : {false, true}) {
    testing::Scripted t("");
    console::cls();
    printfchessmap();
    console::Encoder enc;
    console::Renderer r(enc, colour, 80, 32);
    std::size_t first = r.frame(t.con.screen()).size();
    std::size_t again = r.repaint(t.con.screen()).size();
    EXPECT_LE(first, goal("screen")) << colour;
    EXPECT_LE(again, goal("screen")) << colour;
    EXPECT_GT(first, 1200u);  // a real board, not an empty frame
  }
}

}  // namespace
}  // namespace gomoku
