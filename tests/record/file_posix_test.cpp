// Record file faults that only POSIX systems make: permissions kept, other games' updates
// held off, the file-size limit and its signal in the middle of a game.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "game/game.hpp"
#include "record/file.hpp"
#include "record/recorder.hpp"
#include "support/scripted.hpp"
#include "support/tempdir.hpp"

namespace gomoku {
namespace {

using testing::InTempDir;
using testing::Quit;
using testing::Scripted;
namespace fs = std::filesystem;

using RecordFile = InTempDir;

// A file is replaced by a new one, never rewritten in place (a reader that had it open
// still reads the old bytes), and keeps its permissions; a new one gets what the umask
// leaves.
TEST_F(RecordFile, ReplacedByANewFileWithThePermissions) {
  std::ofstream("old.sgf") << "old";
  chmod("old.sgf", 0640);
  std::ifstream reader("old.sgf");
  mode_t mask = umask(027);
  std::string why, before;
  EXPECT_TRUE(record::replacefile("old.sgf", "new", why) &&
              record::replacefile("new.sgf", "", why));
  umask(mask);
  EXPECT_TRUE(std::getline(reader, before));
  EXPECT_EQ(before, "old");
  struct stat olds {
  }, news{};
  stat("old.sgf", &olds);
  stat("new.sgf", &news);
  EXPECT_EQ(olds.st_mode & 0777, 0640u);
  EXPECT_EQ(news.st_mode & 0777, 0640u);
}

// While a game updates its record, other games wait for it.
TEST_F(RecordFile, UpdatesHoldOffOtherGames) {
  std::intptr_t lock = record::lockrecords("g.sgf");
  int other = ::open(".", O_RDONLY | O_DIRECTORY);
  EXPECT_NE(flock(other, LOCK_EX | LOCK_NB), 0);
  record::unlockrecords(lock);
  EXPECT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
  ::close(other);
}

// Plays two moves and a third under a file-size limit that the third one's record
// passes: the program ends with status 1 and the message, in a child of a death test.
[[noreturn]] void gameoverthelimit() {
  resetrecorder();
  Scripted t("y\n H d ");
  std::string why;
  if (!startrecord("g.sgf", "", why)) _exit(99);
  rlimit rl{};
  getrlimit(RLIMIT_FSIZE, &rl);
  rlim_t was = rl.rlim_cur;
  rl.rlim_cur = 96;  // the record of the first two moves takes 93 bytes, of three 99
  setrlimit(RLIMIT_FSIZE, &rl);
  try {
    gamemain();
  } catch (const Quit& q) {
    rl.rlim_cur = was;  // for the message, which goes to a file too
    setrlimit(RLIMIT_FSIZE, &rl);
    std::fputs(q.message.c_str(), stderr);
    _exit(q.status);
  }
  _exit(98);
}

// A file that cannot be written any more (full disk, size limit) ends the game with
// status 1 and a line saying so, never by the limit's signal; the file keeps every move
// written before.
TEST_F(RecordFile, WriteFailureEndsTheGameAndKeepsTheMovesBefore) {
  EXPECT_EXIT(gameoverthelimit(), ::testing::ExitedWithCode(1),
              "gomoku: the game record could not be written to g.sgf: File too large; it holds "
              "the record as it was before\n");
  record::Game g;
  std::string why;
  ASSERT_TRUE(readrecord("g.sgf", 0, g, why)) << why;
  EXPECT_EQ(g.moves.size(), 2u);
  EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace gomoku
