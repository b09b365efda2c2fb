// Score entry after a game and the score file that keeps every game's scores.
#pragma once

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

// Appends `record` to the open file `fd` in one write under an advisory lock (flock),
// flushing it to disk; on any failure takes it back, so the file is as it was. A
// SIGPIPE or SIGXFSZ that the write raises is discarded: failures come back as false.
bool appendrecord(int fd, std::string_view record);

// Opens the score file for appending without ever blocking; -1 on failure.
int openscorefile();

// Clears the board, asks both players for their scores, stores them through `first`
// and `second` (the game passes `pn` and `pk`) and appends them to the score file;
// then clears the screen. On a file failure writes "Error" and ends the program with
// status 1.
void addstu(int* first, int* second);

}  // namespace gomoku
