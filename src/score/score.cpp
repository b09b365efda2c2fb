#include "score/score.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>

#include "board/state.hpp"
#include "console/chessmap.hpp"
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
  struct stat st {};
  bool regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  off_t before = regular ? lseek(fd, 0, SEEK_END) : 0;
  ssize_t w;
  do {
    w = ::write(fd, record.data(), record.size());
  } while (w < 0 && errno == EINTR);
  if (w != static_cast<ssize_t>(record.size())) {
    if (w > 0 && regular) (void)!ftruncate(fd, before);
    return false;
  }
  return !regular || fsync(fd) == 0;
}

void addstu(int* first, int* second) {
  console::cls();
  newgame();
  int fd = openscorefile();
  if (fd < 0) fail();
  console::print("玩家一得分:\n");
  *first = readscore();
  console::print("玩家二得分:\n");
  *second = readscore();
  char record[32];
  int n = std::snprintf(record, sizeof record, "%d\n%d\n", *first, *second);
  bool ok = appendrecord(fd, std::string_view(record, static_cast<std::size_t>(n)));
  if (::close(fd) != 0 || !ok) fail();
  console::cls();
}

}  // namespace gomoku
