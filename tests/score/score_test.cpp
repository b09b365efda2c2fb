#include "score/score.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>

#include "board/state.hpp"
#include "support/scripted.hpp"
#include "support/tempdir.hpp"

namespace gomoku {
namespace {

using testing::Quit;
using testing::ScoreFile;
using testing::Scripted;
namespace fs = std::filesystem;

struct ParseCase {
  const char* line;
  ScoreLine kind;
  int value;
};

TEST(ParseScore, Table) {
  const ParseCase cases[] = {
      {"3", ScoreLine::kNumber, 3},
      {"-5", ScoreLine::kNumber, -5},
      {"+5", ScoreLine::kNumber, 5},
      {"  42  ", ScoreLine::kNumber, 42},
      {"\t7 8", ScoreLine::kNumber, 7},
      {"7 abc", ScoreLine::kNumber, 7},
      {"0", ScoreLine::kNumber, 0},
      {"007", ScoreLine::kNumber, 7},
      {"2147483647", ScoreLine::kNumber, INT_MAX},
      {"-2147483648", ScoreLine::kNumber, INT_MIN},
      {"2147483648", ScoreLine::kBad, 0},
      {"-2147483649", ScoreLine::kBad, 0},
      {"99999999999999999999999", ScoreLine::kBad, 0},
      {"", ScoreLine::kBlank, 0},
      {"   \t ", ScoreLine::kBlank, 0},
      {"abc", ScoreLine::kBad, 0},
      {"12abc", ScoreLine::kBad, 0},
      {"+-5", ScoreLine::kBad, 0},
      {"-+5", ScoreLine::kBad, 0},
      {"--5", ScoreLine::kBad, 0},
      {"+", ScoreLine::kBad, 0},
      {"-", ScoreLine::kBad, 0},
      {"1.5", ScoreLine::kBad, 0},
      {"0x10", ScoreLine::kBad, 0},
      {"１２", ScoreLine::kBad, 0},
  };
  for (const auto& c : cases) {
    int v = 0;
    EXPECT_EQ(parsescore(c.line, v), c.kind) << '"' << c.line << '"';
    if (c.kind == ScoreLine::kNumber) {
      EXPECT_EQ(v, c.value) << c.line;
    }
  }
}

TEST_F(ScoreFile, FirstGameCreatesTheFile) {
  Scripted t("3\n5\n");
  map[4][4] = kPlayer1;
  EXPECT_EQ(entry(), -1);
  EXPECT_EQ(file(), "3\n5\n");
  EXPECT_EQ(score1, 3);
  EXPECT_EQ(score2, 5);
  EXPECT_EQ(map[4][4], kEmpty);
  EXPECT_EQ(t.con.screen().text(), "");
}

TEST_F(ScoreFile, LaterGamesAppendTwoLines) {
  earliergame();
  Scripted t("-4\n7 8\n");
  EXPECT_EQ(entry(), -1);
  EXPECT_EQ(file(), "1\n2\n-4\n7\n");
  EXPECT_EQ(score1, -4);
  EXPECT_EQ(score2, 7);
}

TEST_F(ScoreFile, BadLinesAreAskedAgainAndBlankOnesSkipped) {
  Scripted t("abc\n\n12abc\n9\n   \n2147483648\n-1\n");
  t.con.onkey = [&](int i) {
    if (i == 0) {
      EXPECT_EQ(t.con.screen().line(0), "玩家一得分:");
    }
  };
  EXPECT_EQ(entry(), -1);
  EXPECT_EQ(file(), "9\n-1\n");
  EXPECT_EQ(t.con.left(), 0u);
}

TEST_F(ScoreFile, RefusalIsShownUnderTheLabel) {
  Scripted t("x\n4\n5\n");
  std::vector<std::string> seen;
  t.con.onkey = [&](int i) {
    if (i == 2) seen = {t.con.screen().line(0), t.con.screen().line(1), t.con.screen().line(2)};
  };
  entry();
  EXPECT_EQ(seen, (std::vector<std::string>{"玩家一得分:", "x", "请输入整数"}));
}

TEST_F(ScoreFile, EndOfInputWritesNothing) {
  Scripted t("3\n");
  std::string message;
  EXPECT_EQ(entry(&message), 1);
  EXPECT_NE(message, "");
  EXPECT_EQ(file(), "");
}

TEST_F(ScoreFile, DirectoryInTheWayIsAnError) {
  fs::create_directory(kScoreFile);
  Scripted t("3\n5\n");
  EXPECT_EQ(entry(), 1);
  EXPECT_EQ(t.con.screen().line(0), "Error");
  EXPECT_TRUE(fs::is_directory(kScoreFile));
}

// Renames the score file as a log rotation would.
void rotate() {
  fs::rename(kScoreFile, "old.txt");
}

// Removes the score file.
void erase() {
  fs::remove(kScoreFile);
}

// The file is rotated or removed while the scores are typed: the record goes to the
// file that is named xsxx.txt when it is written.
TEST_F(ScoreFile, RecordGoesToTheFileNamedWhenItIsWritten) {
  for (auto move : {rotate, erase}) {
    earliergame();
    Scripted t("3\n5\n");
    t.con.onkey = [&](int i) {
      if (i == 2) move();
    };
    EXPECT_EQ(entry(), -1);
    EXPECT_EQ(file(), "3\n5\n");
  }
}

}  // namespace
}  // namespace gomoku
