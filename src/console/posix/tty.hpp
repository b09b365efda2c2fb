// The console on a POSIX terminal (or on pipes and files when there is none).
#pragma once

#include <string>

#include "console/frameconsole.hpp"
#include "console/reader.hpp"

namespace gomoku::console {

// Reads keys from standard input and draws on standard output with one write per frame.
class TtyConsole : public FrameConsole, private KeySource {
 public:
  TtyConsole(int infd, int outfd);
  ~TtyConsole() override;

 private:
  // Reads input bytes as KeySource::get promises, handling signal events meanwhile and
  // dropping what a person types while the board does not fit.
  long get(char* buf, std::size_t n, int ms) override;
  bool takekey(std::string& key) override;
  bool keyready() override { return reader_.ready(); }
  void waitbusy(int ms) override;
  bool writeout(std::string_view bytes) override;
  // Reads on for a moment until the last reply owed to quietmodes() is in, so that none
  // reaches the shell.
  void settle() override;
  void restore() override;
  void complain(std::string_view message) override;
  // Waits up to `ms` milliseconds for signals' events only, handling those that come.
  void waitevents(int ms);
  // Reacts to the signals' events: resume takes the terminal again; both repaint.
  void handleevents();
  // Turns off the terminal's modes that send what is no key, asking first which were on.
  void quietmodes();
  // Notes a terminal's reply to the queries that quietmodes() made.
  void noted(const Decoded& reply);
  // Reads the terminal's size and fits the screen model and the renderer to it.
  void fit();

  int in_, out_;
  bool replyowed_ = false;
  std::string quiet_;  // the bytes that turned the terminal's modes off, sent again on resume
  KeyReader reader_;
};

}  // namespace gomoku::console
