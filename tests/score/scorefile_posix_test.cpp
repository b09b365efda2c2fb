// Score file faults that only POSIX systems make: devices, FIFOs, symbolic links,
// permissions, file-size limits and signals, another game holding the lock.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>

#include "score/score.hpp"
#include "support/tempdir.hpp"

namespace gomoku {
namespace {

using testing::ScoreFile;
using testing::Scripted;
namespace fs = std::filesystem;

// A score file that cannot be written: made by `prepare` in the test's directory.
struct UnwritableCase {
  const char* name;
  bool (*prepare)();  // false when the case cannot be made here
  bool early;         // it cannot be opened: "Error" comes before the scores are typed
};

void PrintTo(const UnwritableCase& k, std::ostream* os) {
  *os << k.name;
}

class Unwritable : public ScoreFile, public ::testing::WithParamInterface<UnwritableCase> {};

// "Error" once, status 1, and nothing written to the file or whatever it names; opening
// never blocks, and a file that cannot be opened is reported before the scores are typed.
TEST_P(Unwritable, ShowErrorOnceAndWriteNothing) {
  earliergame("kept.txt");
  if (!GetParam().prepare()) GTEST_SKIP() << "root may write anywhere";
  Scripted t("3\n5\n");
  EXPECT_EQ(entry(), 1);
  std::string text = t.con.screen().text();
  EXPECT_NE(text.find("Error"), std::string::npos);
  EXPECT_EQ(text.find("Error"), text.rfind("Error"));
  if (GetParam().early) {
    EXPECT_EQ(t.con.screen().line(0), "Error");
  }
  std::ifstream kept("kept.txt");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "1\n2\n");
}

INSTANTIATE_TEST_SUITE_P(
    ScoreFile, Unwritable,
    ::testing::Values(UnwritableCase{"full_device",
                                     [] {
                                       fs::create_symlink("/dev/full", kScoreFile);
                                       return true;
                                     },
                                     false},
                      UnwritableCase{"fifo_without_reader",
                                     [] { return mkfifo(kScoreFile, 0600) == 0; }, true},
                      UnwritableCase{"read_only_file",
                                     [] {
                                       fs::create_symlink("kept.txt", kScoreFile);
                                       fs::permissions("kept.txt", fs::perms::owner_read);
                                       return geteuid() != 0;
                                     },
                                     true}),
    [](const auto& i) { return std::string(i.param.name); });

// A linked score file is followed: players and scripts may keep it elsewhere.
TEST_F(ScoreFile, SymbolicLinkIsFollowed) {
  earliergame("kept.txt");
  fs::create_symlink("kept.txt", kScoreFile);
  Scripted t("3\n5\n");
  EXPECT_EQ(entry(), -1);
  EXPECT_TRUE(fs::is_symlink(kScoreFile));
  EXPECT_EQ(file(), "1\n2\n3\n5\n");
}

// Runs score entry over "3\n5\n" after `prepare`, in a child process of a death test;
// exits with its status, or with 99 when "Error" is not on the screen at the end.
[[noreturn]] void entryexit(void (*prepare)(Scripted&)) {
  Scripted t("3\n5\n");
  prepare(t);
  int status = std::max(ScoreFile::entry(), 0);
  _exit(t.con.screen().text().find("Error") == std::string::npos ? 99 : status);
}

// Limits the size of files this process writes to `bytes`.
void limitfilesize(rlim_t bytes) {
  rlimit rl{bytes, bytes};
  setrlimit(RLIMIT_FSIZE, &rl);
}

// Room for two of the record's four bytes: the write comes back short.
void roomfortwobytes(Scripted&) {
  std::signal(SIGXFSZ, SIG_IGN);
  limitfilesize(6);
}

// No room at all: the write fails and raises SIGXFSZ, which must not end the program.
void noroom(Scripted&) {
  limitfilesize(4);
}

struct FaultCase {
  const char* name;
  void (*prepare)(Scripted&);
};

class FileFaults : public ScoreFile, public ::testing::WithParamInterface<FaultCase> {};

// A fault while the record is written: "Error", status 1, the file as it was, and
// never death by a signal.
TEST_P(FileFaults, ShowErrorAndLeaveTheFileAsItWas) {
  earliergame();
  EXPECT_EXIT(entryexit(GetParam().prepare), ::testing::ExitedWithCode(1), "");
  EXPECT_EQ(file(), "1\n2\n");
}

INSTANTIATE_TEST_SUITE_P(ScoreFile, FileFaults,
                         ::testing::Values(FaultCase{"short_write", roomfortwobytes},
                                           FaultCase{"size_limit_signal", noroom}),
                         [](const auto& i) { return std::string(i.param.name); });

// The reader of a FIFO score file goes away while the scores are typed.
void readerleaves(Scripted& t) {
  int reader = ::open(kScoreFile, O_RDONLY | O_NONBLOCK);
  t.con.onkey = [reader](int i) {
    if (i == 2) ::close(reader);
  };
}

TEST_F(ScoreFile, FifoWhoseReaderLeavesIsAnError) {
  ASSERT_EQ(mkfifo(kScoreFile, 0600), 0);
  EXPECT_EXIT(entryexit(readerleaves), ::testing::ExitedWithCode(1), "");
}

TEST(AppendRecord, PipeWithoutReaderIsAFailureNotASignal) {
  EXPECT_EXIT(
      {
        int p[2];
        if (pipe(p) != 0) _exit(2);
        ::close(p[0]);
        _exit(appendrecord(p[1], "3\n5\n") ? 0 : 1);
      },
      ::testing::ExitedWithCode(1), "");
}

// After the other game's record, room for half of this one.
void roomforhalf(Scripted&) {
  std::signal(SIGXFSZ, SIG_IGN);
  limitfilesize(10);
}

// Another game holds the file: this one waits for it, and undoing its own short write
// keeps the record the other game appended meanwhile.
TEST_F(ScoreFile, UndoKeepsTheRecordOfAGameFinishingMeanwhile) {
  earliergame();
  int other = ::open(kScoreFile, O_WRONLY | O_APPEND);
  ASSERT_EQ(flock(other, LOCK_EX), 0);
  pid_t pid = fork();
  if (pid == 0) {  // the other game: appends its record a moment later, then lets go
    usleep(300000);
    _exit(::write(other, "7\n8\n", 4) == 4 && flock(other, LOCK_UN) == 0 ? 0 : 1);
  }
  ::close(other);
  EXPECT_EXIT(entryexit(roomforhalf), ::testing::ExitedWithCode(1), "");
  waitpid(pid, nullptr, 0);
  EXPECT_EQ(file(), "1\n2\n7\n8\n");
}

}  // namespace
}  // namespace gomoku
