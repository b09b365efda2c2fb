// The console on a POSIX terminal (or on pipes and files when there is none).
#pragma once

#include <memory>
#include <string>

#include "console/console.hpp"
#include "console/encoding.hpp"
#include "console/render.hpp"

namespace gomoku::console {

// Reads keys from standard input and draws on standard output with one write per frame.
class TtyConsole : public Console {
 public:
  TtyConsole(int infd, int outfd);
  ~TtyConsole() override;

  int readkey() override;
  bool echoes() const override { return interm_; }
  void present() override;
  [[noreturn]] void quit(int status, std::string_view message = {}) override;

  // Ends the run: shows the last frame and gives the terminal back. Runs at exit.
  void finish();

 private:
  // Reads input bytes into raw_, waiting for them (briefly unless `waitlong`).
  bool fill(bool waitlong);
  // Reacts to the signals' events: resize and resume repaint the whole screen.
  void handleevents();
  // Writes one frame's bytes; marks the output dead when it has gone away.
  void send(std::string_view bytes);
  // Tells the signal handlers where to leave the cursor if the program ends now.
  void updateexit();
  // Reads the terminal's size.
  void querysize();
  // True while the screen is shown and the terminal is smaller than the board.
  bool toosmall() const;
  // The notice shown instead of the screen while the terminal is too small.
  std::string notice() const;

  int in_, out_;
  bool interm_ = false, outterm_ = false, eof_ = false, dead_ = false, noticed_ = false;
  int tcols_ = 80, trows_ = 30;
  std::string raw_;   // bytes read but not yet decoded
  std::string keys_;  // decoded key bytes not yet handed out
  std::unique_ptr<Encoder> enc_;
  std::unique_ptr<Renderer> render_;
};

// True when the environment asks for colour to be left off (NO_COLOR, TERM=dumb).
bool colourrefused();

}  // namespace gomoku::console
