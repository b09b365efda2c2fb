// Windows: a file write that the program's end (Ctrl-C, a closed console window) waits
// for, so that a score or record file is never left half written.
#pragma once

namespace gomoku {

// While one lives, the program's end by Ctrl-C or a closed window waits; once the end
// has begun, no new hold is granted (the end keeps the lock).
class EndHold {
 public:
  EndHold();
  ~EndHold();
  EndHold(const EndHold&) = delete;
  EndHold& operator=(const EndHold&) = delete;
};

}  // namespace gomoku
