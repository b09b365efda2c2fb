#include "record/recorder.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "board/state.hpp"
#include "game/game.hpp"
#include "support/scripted.hpp"
#include "support/tempdir.hpp"

namespace gomoku {
namespace {

using testing::Quit;
using testing::Scripted;
namespace fs = std::filesystem;

// Player 1 wins along row 9 while player 2 stacks up column 9; then the same with
// player 2 moving first, as the loser of the first game.
const std::string kGame1 = " H d H d H d H d ", kGame2 = " w M w M w M w M ";
const char kRow9[] = "9,9 8,9 9,10 7,9 9,11 6,9 9,12 5,9 9,13";

class Recorder : public testing::InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
    resetrecorder();
  }
  void TearDown() override {
    resetrecorder();
    InTempDir::TearDown();
  }
  // Plays a whole run over `keys`, recording to `path`, the computer playing player
  // `machine` (0: none): its exit status, -1 when it returned.
  static int run(const std::string& path, const std::string& keys, int machine = 0) {
    Scripted t(keys);
    computer = machine;
    thinknodes = 3000;
    std::string why;
    EXPECT_TRUE(startrecord(path, "", why)) << why;
    try {
      gamemain();
      return -1;
    } catch (const Quit& q) {
      return q.status;
    }
  }
  // Game n of the record file `path`, in short: its moves, who moved first, the result
  // (B, W, 0 or - for none) and the comment.
  static std::string recorded(const std::string& path, int n) {
    std::string why, out;
    record::Game g;
    if (!readrecord(path, n, g, why)) return why;
    for (const record::Move& m : g.moves)
      out += std::to_string(m.r) + "," + std::to_string(m.c) + (&m == &g.moves.back() ? "" : " ");
    return out + " | " + std::to_string(g.first) + " " + "-BW0"[static_cast<int>(g.result)] + " " +
           g.comment;
  }
  static std::string content(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
};

// Every game of the run is added to the games the file held, which are kept as they were.
TEST_F(Recorder, GamesAreAddedToThoseTheFileHolds) {
  const std::string kept = "(;GM[4]C[another tool's](;B[aa])(;B[bb]))";
  std::ofstream("g.sgf") << kept;
  EXPECT_EQ(run("g.sgf", "y\n" + kGame1 + "k10\n-3\ns" + kGame2 + "k0\n4\nq"), -1);
  EXPECT_EQ(content("g.sgf").substr(0, kept.size() + 1), kept + "\n");
  EXPECT_EQ(recorded("g.sgf", 2), std::string(kRow9) + " | 1 B scores: player 1 10, player 2 -3");
  EXPECT_EQ(recorded("g.sgf", 3), std::string(kRow9) + " | 2 B scores: player 1 0, player 2 4");
  EXPECT_NE(content("g.sgf").find("PB[player 2]PW[player 1]RE[B+]"), std::string::npos);
}

// A game that another run adds to the file meanwhile is kept: each write replaces only
// this game's own tree.
TEST_F(Recorder, GamesAddedMeanwhileAreKept) {
  Scripted t("y\n" + kGame1 + "k1\n2\nq");
  t.con.onkey = [](int i) {
    if (i == 5) std::ofstream("g.sgf", std::ios::app) << "(;B[aa]C[meanwhile])";
  };
  std::string why;
  ASSERT_TRUE(startrecord("g.sgf", "", why));
  EXPECT_EQ(gamemain(), 0);
  EXPECT_EQ(recorded("g.sgf", 1), std::string(kRow9) + " | 1 B scores: player 1 1, player 2 2");
  EXPECT_EQ(recorded("g.sgf", 2), "1,1 | 1 - meanwhile");
}

// Input that ends in the middle of a game (as Ctrl-C or a kill would) leaves every move
// played in the file, and no result.
TEST_F(Recorder, AGameCutShortKeepsEveryMove) {
  EXPECT_EQ(run("g.sgf", "y\n H d H "), 1);
  EXPECT_EQ(recorded("g.sgf", 0), "9,9 8,9 9,10 7,9 | 1 - ");
}

// Against the computer, a take-back leaves the record with the stones then on the board.
TEST_F(Recorder, TakeBackRewritesTheRecord) {
  EXPECT_EQ(run("g.sgf", "y\n d u", 2), 1);
  std::string game = recorded("g.sgf", 0);
  EXPECT_TRUE(std::regex_match(game, std::regex("9,9 [0-9]+,[0-9]+ \\| 1 - "))) << game;
}

// A game that ends without five in a row is a draw.
TEST_F(Recorder, NoFiveIsADraw) {
  Scripted t("");
  std::string why;
  ASSERT_TRUE(startrecord("g.sgf", "", why));
  recordturn();
  addmove(1, 1, kPlayer1);
  recordmoves();
  recordgameover();
  EXPECT_EQ(recorded("g.sgf", 0), "1,1 | 1 0 ");
}

// PSQ: a file per game, later games to NAME-k.psq, never over a file that is there.
TEST_F(Recorder, PsqGamesGoToFilesOfTheirOwn) {
  std::ofstream("g-2.psq") << "keep";
  EXPECT_EQ(run("g.psq", "y\n" + kGame1 + "k1\n2\ns" + kGame2 + "k3\n4\nq"), -1);
  EXPECT_EQ(recorded("g.psq", 0), std::string(kRow9) + " | 1 - ");
  EXPECT_EQ(recorded("g-3.psq", 0), std::string(kRow9) + " | 2 - ");
  EXPECT_EQ(content("g-2.psq"), "keep");
}

struct RefusedCase {
  const char* name;
  std::string path;
  std::string loaded;  // the file the game on the board came from
  std::string why;     // empty: recorded
};

class Refused : public Recorder, public ::testing::WithParamInterface<RefusedCase> {};

// A file that cannot be recorded in is refused before the game starts, left as it was.
TEST_P(Refused, BeforeTheGameStarts) {
  fs::create_directory("dir.sgf");
  std::ofstream("junk.sgf") << "junk";
  std::ofstream("old.psq") << "Piskvorky 19x19, 0:0, 0\n0\n";
  std::string why;
  EXPECT_EQ(startrecord(GetParam().path, GetParam().loaded, why), GetParam().why.empty());
  EXPECT_EQ(why, GetParam().why);
  EXPECT_EQ(content("junk.sgf"), "junk");
}

INSTANTIATE_TEST_SUITE_P(
    Recorder, Refused,
    ::testing::Values(
        RefusedCase{"directory", "dir.sgf", "", "Is a directory"},
        RefusedCase{"no_such_directory", "none/g.sgf", "", "No such file or directory"},
        RefusedCase{"not_sgf", "junk.sgf", "",
                    "it holds no SGF records to add to (line 1, column 1: unexpected 'j' outside "
                    "a game tree)"},
        RefusedCase{"psq_there", "old.psq", "",
                    "it exists, and a PSQ file holds one game: name a new file"},
        RefusedCase{"psq_loaded", "old.psq", "./old.psq", ""}),
    [](const auto& i) { return std::string(i.param.name); });

// A symbolic link is followed: the games go to the file it names, the link stays.
TEST_F(Recorder, LinkIsFollowed) {
  fs::create_directory("real");
  std::error_code ec;
  fs::create_symlink("real/g.sgf", "g.sgf", ec);
  if (ec) GTEST_SKIP() << "no symbolic links here: " << ec.message();
  EXPECT_EQ(run("g.sgf", "y\n H d "), 1);
  EXPECT_TRUE(fs::is_symlink("g.sgf"));
  EXPECT_EQ(recorded("real/g.sgf", 0), "9,9 8,9 9,10 | 1 - ");
}

}  // namespace
}  // namespace gomoku
