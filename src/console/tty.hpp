// The console on a POSIX terminal (or on pipes and files when there is none).
#pragma once

#include <memory>
#include <string>

#include "console/console.hpp"
#include "console/encoding.hpp"
#include "console/reader.hpp"
#include "console/render.hpp"

namespace gomoku::console {

// Reads keys from standard input and draws on standard output with one write per frame.
class TtyConsole : public Console, private KeySource {
 public:
  TtyConsole(int infd, int outfd);
  ~TtyConsole() override;

  int readkey() override;
  int dropkeyrest() override;
  bool echoes() const override { return interm_; }
  void idle(int ms) override;
  void present() override;
  [[noreturn]] void quit(int status, std::string_view message = {}) override;

  // Shows the last frame and gives the terminal back. The way out of every run, by
  // quit() or the destructor; running it again does nothing more.
  void finish();

 private:
  // Reads input bytes as KeySource::get promises, handling signal events meanwhile and
  // dropping what a person types while the board does not fit.
  long get(char* buf, std::size_t n, int ms) override;
  // Takes the next whole key into key_, showing the screen first unless a line is being
  // typed and more input is already at hand. False at the end of input.
  bool nextkey();
  // True while typed keys are dropped: a person types and cannot see the board.
  bool dropping() const { return interm_ && toosmall(); }
  // Waits up to `ms` milliseconds for signals' events only, handling those that come.
  void waitevents(int ms);
  // Reacts to the signals' events: resume takes the terminal again; both repaint.
  void handleevents();
  // Turns off the terminal's modes that send what is no key, asking first which were on.
  void quietmodes();
  // Notes a terminal's reply to the queries that quietmodes() made.
  void noted(const Decoded& reply);
  // Reads on for a moment until the last reply owed is in, so that none reaches the shell.
  void awaitreplies();
  // Writes one frame's bytes; marks the output dead (out_ -1) when it has gone away.
  void send(std::string_view bytes);
  // Tells the signal handlers where to leave the cursor if the program ends now.
  void updateexit();
  // Reads the terminal's size and fits the screen model and the renderer to it.
  void fit();
  // True while the screen is shown and the terminal is smaller than the board.
  bool toosmall() const;
  // The notice shown instead of the screen while the terminal is too small.
  std::string notice() const;

  int in_, out_;
  bool interm_ = false, outterm_ = false, noticed_ = false, replyowed_ = false;
  int tcols_ = kScreenCols, trows_ = kScreenRows;
  std::string quiet_;  // the bytes that turned the terminal's modes off, sent again on resume
  KeyReader reader_;
  std::string key_;  // the bytes of the key being read that are not handed out yet
  std::unique_ptr<Encoder> enc_;
  std::unique_ptr<Renderer> render_;
};

// True when the environment asks for colour to be left off (NO_COLOR, TERM=dumb).
bool colourrefused();

}  // namespace gomoku::console
