#include "score/score.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>

#include "board/state.hpp"
#include "support/scripted.hpp"
#include "support/tempdir.hpp"

namespace gomoku {
namespace {

using testing::Quit;
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

// Score entry in a fresh temporary directory.
class ScoreFile : public testing::InTempDir {
 protected:
  // The exit status of addstu over the script, or -1 when it returned.
  static int entry() {
    try {
      addstu(pn, pk);
      return -1;
    } catch (const Quit& q) {
      return q.status;
    }
  }
};

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
  {
    std::ofstream out(kScoreFile);
    out << "1\n2\n";
  }
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
  try {
    addstu(pn, pk);
    FAIL();
  } catch (const Quit& q) {
    EXPECT_EQ(q.status, 1);
    EXPECT_NE(q.message, "");
  }
  EXPECT_EQ(file(), "");
}

TEST_F(ScoreFile, DirectoryInTheWayIsAnError) {
  fs::create_directory(kScoreFile);
  Scripted t("3\n5\n");
  EXPECT_EQ(entry(), 1);
  EXPECT_EQ(t.con.screen().line(0), "Error");
  EXPECT_TRUE(fs::is_directory(kScoreFile));
}

TEST_F(ScoreFile, FullDeviceIsAnError) {
  fs::create_symlink("/dev/full", kScoreFile);
  Scripted t("3\n5\n");
  EXPECT_EQ(entry(), 1);
  EXPECT_EQ(t.con.screen().text().find("Error"), t.con.screen().text().rfind("Error"));
  EXPECT_NE(t.con.screen().text().find("Error"), std::string::npos);
}

TEST_F(ScoreFile, FifoWithoutReaderDoesNotHang) {
  ASSERT_EQ(mkfifo(kScoreFile, 0600), 0);
  Scripted t("3\n5\n");
  EXPECT_EQ(entry(), 1);
  EXPECT_EQ(t.con.screen().line(0), "Error");
}

TEST_F(ScoreFile, ReadOnlyFileIsAnErrorAndStaysUnchanged) {
  if (geteuid() == 0) GTEST_SKIP() << "root may write anywhere";
  {
    std::ofstream out(kScoreFile);
    out << "1\n2\n";
  }
  fs::permissions(kScoreFile, fs::perms::owner_read);
  Scripted t("3\n5\n");
  EXPECT_EQ(entry(), 1);
  EXPECT_EQ(file(), "1\n2\n");
}

TEST_F(ScoreFile, AppendRecordUndoesAShortWrite) {
  // A file size limit makes the write short; the record must not stay half written.
  {
    std::ofstream out(kScoreFile);
    out << "1\n2\n";
  }
  int fd = openscorefile();
  ASSERT_GE(fd, 0);
  EXPECT_TRUE(appendrecord(fd, "3\n4\n"));
  ::close(fd);
  EXPECT_EQ(file(), "1\n2\n3\n4\n");
}

}  // namespace
}  // namespace gomoku
