#include "score/score.hpp"

#include <charconv>
#include <climits>
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

// Writes "Error" and ends the program with status 1, so that a script that plays the
// game sees that a record was lost.
[[noreturn]] void fail() {
  console::print("Error\n");
  console::quit(1);
}

// Opens the score file by name and appends `record` to it; false on any failure.
bool writerecord(std::string_view record) {
  std::intptr_t file = openscorefile();
  if (file == -1) return false;
  bool ok = appendrecord(file, record);
  closescorefile(file);
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

void addstu(int* first, int* second) {
  console::cls();
  newgame();
  // The record itself goes to the file that bears the name when it is written.
  EarlyOpen early;
  if (!early.ok()) fail();
  console::print("玩家一得分:\n");
  *first = readscore();
  console::print("玩家二得分:\n");
  *second = readscore();
  char record[32];
  int n = std::snprintf(record, sizeof record, "%d\n%d\n", *first, *second);
  bool ok = writerecord(std::string_view(record, static_cast<std::size_t>(n)));
  if (!ok) fail();
  console::cls();
}

}  // namespace gomoku
