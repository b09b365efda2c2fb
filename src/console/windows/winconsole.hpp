// The console in a Windows console window (or on pipes and files when there is none).
#pragma once

#include <windows.h>

#include <deque>
#include <string>

#include "console/frameconsole.hpp"
#include "console/reader.hpp"

namespace gomoku::console {

// Reads key events from the console input (bytes from a pipe or file when standard input
// is none) and draws on standard output with one write per frame.
class WinConsole : public FrameConsole, private KeySource {
 public:
  WinConsole();
  ~WinConsole() override;

 private:
  // Reads bytes from a pipe or file as KeySource::get promises.
  long get(char* buf, std::size_t n, int ms) override;
  bool takekey(std::string& key) override;
  bool keyready() override;
  void waitbusy(int ms) override;
  bool writeout(std::string_view bytes) override;
  void restore() override;
  void complain(std::string_view message) override;
  // Waits up to `ms` milliseconds (-1: as long as it takes) for console input events and
  // handles those at hand: key events become keys (dropped while the board does not
  // fit), a changed window size repaints. False when the console input has failed.
  bool pump(int ms);
  // Handles one input event as pump() says.
  void event(const INPUT_RECORD& r);
  // Reads the window's size and fits the screen model and the renderer to it; true when
  // it changed.
  bool fit();

  HANDLE in_, out_;
  bool coninput_ = false;         // standard input is the console's input, read as events
  std::deque<std::string> keys_;  // keys translated from events and not taken yet
  char16_t high_ = 0;             // the first half of a character typed as a surrogate pair
  KeyReader reader_;              // keys from a pipe or file
};

}  // namespace gomoku::console
