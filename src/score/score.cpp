#include "score/score.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <csignal>
#include <cstdio>

#include "board/state.hpp"
#include "console/console.hpp"

namespace gomoku {
namespace {

// True for the blanks that separate words in a typed line.
bool blank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Reads lines under the current label until one holds a score.
int readscore() {
  std::string line;
  for (;;) {
    if (!console::getline(line)) console::inputended();
    int value = 0;
    ScoreLine kind = parsescore(line, value);
    if (kind == ScoreLine::kNumber) return value;
    if (kind == ScoreLine::kBad) console::print("请输入整数\n");
  }
}

// Writes "Error" and ends the program with status 1. The original game ended with
// status 0 here; 1 lets a script that plays the game see that a record was lost.
[[noreturn]] void fail() {
  console::print("Error\n");
  console::quit(1);
}

// Discards the SIGPIPE and SIGXFSZ that became pending since `before` was taken, so
// that a failed write shows as an error when they are unblocked, not as death.
void dropraised(const sigset_t& before) {
  sigset_t now;
  sigpending(&now);
  for (int sig : {SIGPIPE, SIGXFSZ}) {
    if (!sigismember(&now, sig) || sigismember(&before, sig)) continue;
    sigset_t one;
    sigemptyset(&one);
    sigaddset(&one, sig);
    timespec zero{};
    while (sigtimedwait(&one, nullptr, &zero) < 0 && errno == EINTR) {
    }
  }
}

// True when what was written to `fd` has reached the file: fsync for a regular file,
// then the close of a duplicate, which reports a failed flush (NFS) while the open
// descriptor still allows the record to be taken back.
bool flushed(int fd, bool regular) {
  if (regular && fsync(fd) != 0) return false;
  int copy = dup(fd);
  return copy < 0 || ::close(copy) == 0;
}

// Appends `record` to `fd` with the file locked against other games from before its
// size is read until the record is on disk or taken back again.
bool lockedappend(int fd, std::string_view record) {
  while (flock(fd, LOCK_EX) != 0 && errno == EINTR) {
  }
  struct stat st {};
  bool regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  ssize_t w;
  do {
    w = ::write(fd, record.data(), record.size());
  } while (w < 0 && errno == EINTR);
  bool ok = w == static_cast<ssize_t>(record.size()) && flushed(fd, regular);
  if (!ok && w > 0 && regular) (void)!ftruncate(fd, st.st_size);
  flock(fd, LOCK_UN);
  return ok;
}

// Opens the score file by name and appends `record` to it; false on any failure.
bool writerecord(std::string_view record) {
  int fd = openscorefile();
  if (fd < 0) return false;
  bool ok = appendrecord(fd, record);
  ::close(fd);  // the duplicate's close has already reported any failed flush
  return ok;
}

}  // namespace

ScoreLine parsescore(std::string_view line, int& value) {
  std::size_t i = 0;
  while (i < line.size() && blank(line[i])) ++i;
  if (i == line.size()) return ScoreLine::kBlank;
  std::size_t end = i;
  while (end < line.size() && !blank(line[end])) ++end;
  std::string_view word = line.substr(i, end - i);
  if (word[0] == '+') {
    word.remove_prefix(1);
    if (word.empty() || word[0] == '-') return ScoreLine::kBad;
  }
  long long v = 0;
  auto [p, ec] = std::from_chars(word.data(), word.data() + word.size(), v);
  if (ec != std::errc() || p != word.data() + word.size() || v < INT_MIN || v > INT_MAX)
    return ScoreLine::kBad;
  value = static_cast<int>(v);
  return ScoreLine::kNumber;
}

int openscorefile() {
  int fd = ::open(kScoreFile, O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

bool appendrecord(int fd, std::string_view record) {
  sigset_t held, old, before;
  sigemptyset(&held);
  sigaddset(&held, SIGPIPE);
  sigaddset(&held, SIGXFSZ);
  sigprocmask(SIG_BLOCK, &held, &old);
  sigpending(&before);
  bool ok = lockedappend(fd, record);
  dropraised(before);
  sigprocmask(SIG_SETMASK, &old, nullptr);
  return ok;
}

void addstu(int* first, int* second) {
  console::cls();
  newgame();
  // Opened now so that a file that cannot be written is an error before the scores
  // are typed, and kept open so that a FIFO's reader does not see its end meanwhile;
  // the record itself goes to the file that bears the name when it is written.
  int early = openscorefile();
  if (early < 0) fail();
  console::print("玩家一得分:\n");
  *first = readscore();
  console::print("玩家二得分:\n");
  *second = readscore();
  char record[32];
  int n = std::snprintf(record, sizeof record, "%d\n%d\n", *first, *second);
  bool ok = writerecord(std::string_view(record, static_cast<std::size_t>(n)));
  ::close(early);
  if (!ok) fail();
  console::cls();
}

}  // namespace gomoku
