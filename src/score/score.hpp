// Score entry after a game and the score file that keeps every game's scores.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace gomoku {

// The score file, in the current directory.
inline constexpr const char* kScoreFile = "xsxx.txt";

// What a typed score line holds.
enum class ScoreLine { kNumber, kBlank, kBad };

// Reads a score from a typed line: its first word must be a decimal integer in the
// signed 32-bit range, with an optional sign; the rest of the line is ignored.
ScoreLine parsescore(std::string_view line, int& value);

// The score file's platform part (scorefile_posix.cpp, scorefile_windows.cpp). A file is
// a descriptor on POSIX, a handle on Windows.

// Opens the score file for appending without ever blocking; -1 on failure.
std::intptr_t openscorefile();
// Closes a file that openscorefile() opened.
void closescorefile(std::intptr_t file);
// The score file opened before the scores are typed, so that a file that cannot be
// written is an error before they are typed. POSIX keeps it open until the record is
// written, so that a FIFO's reader does not see its end meanwhile; Windows closes it at
// once, as a file removed while open would keep its name until closed.
class EarlyOpen {
 public:
  EarlyOpen();
  ~EarlyOpen();
  EarlyOpen(const EarlyOpen&) = delete;
  EarlyOpen& operator=(const EarlyOpen&) = delete;
  // False when the score file cannot be opened for writing.
  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
  std::intptr_t file_ = -1;  // the file kept open, or -1
};
// Appends `record` to the open `file` in one write under a lock against other games,
// flushing it to disk; on any failure takes it back, so the file is as it was, and
// returns false (never dies of a signal the write raises, never ends half-way).
bool appendrecord(std::intptr_t file, std::string_view record);

// Clears the board, asks both players for their scores, stores them through `first`
// and `second` (the game passes `pn` and `pk`) and appends them to the score file;
// then clears the screen. On a file failure writes "Error" and ends the program with
// status 1.
void addstu(int* first, int* second);

}  // namespace gomoku
