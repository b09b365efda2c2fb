// What the game's console has in common on a POSIX terminal and on the Windows console:
// one write per frame drawn from the screen model, the notice shown while the window is
// too small, whole keys handed out byte by byte, the wait while the game is busy, and
// the one way out (where the cursor is left, the undo bytes, quit).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "console/console.hpp"
#include "console/encoding.hpp"
#include "console/render.hpp"

namespace gomoku::console {

// The smallest window that the board screen fits in.
inline constexpr int kNeedCols = 60;
inline constexpr int kNeedRows = 30;

// A console on a real terminal or console window. The platform's console waits for input,
// writes the bytes and gives back its own modes; everything else is done here.
class FrameConsole : public Console {
 public:
  ~FrameConsole() override = default;
  int readkey() override;
  int dropkeyrest() override;
  bool echoes() const override { return interm_; }
  void present() override;
  void idle(int ms) override;
  [[noreturn]] void quit(int status, std::string_view message = {}) override;

  // Shows the last frame and gives the screen back. The way out of every run, by quit()
  // or the platform's destructor; running it again does nothing more.
  void finish();

 protected:
  FrameConsole() : Console(Screen()) {}
  // Makes the screen model and the renderer once the platform knows its streams: keys
  // typed by a person (`interm`), output to a window that has a size (`outterm`), the
  // output's character set and whether to draw in colour.
  void setup(bool interm, bool outterm, std::unique_ptr<Encoder> enc, bool colour);
  // Fits the screen model and the renderer to a window of `cols` by `rows`: the model is
  // as wide as the window, so that long lines wrap where its edge is, but never narrower
  // than the board. The next frame repaints.
  void resizeto(int cols, int rows);
  // Shows the whole screen again (or the notice again, while the window is too small).
  void repaint();
  // Shows everything again after the program was stopped and the terminal used by
  // others: the whole screen, or before the first one, the line being written.
  void resumed();
  // Writes bytes at once (not part of a frame), unless the output has gone away.
  void send(std::string_view bytes);
  // True while typed keys are dropped: a person types and cannot see the board.
  bool dropping() const { return interm_ && toosmall(); }
  bool interm() const { return interm_; }
  bool outterm() const { return outterm_; }
  int cols() const { return tcols_; }
  int rows() const { return trows_; }

 private:
  // The platform's part.
  // Takes the next whole key into `key`, or nothing (empty) for input that is no key.
  // False at the end of input.
  virtual bool takekey(std::string& key) = 0;
  // True when more input is at hand at once.
  virtual bool keyready() = 0;
  // Waits up to `ms` milliseconds while the game is busy: what a person types meanwhile
  // is dropped, keys from a pipe or file wait for their turn, window and signal events
  // are handled.
  virtual void waitbusy(int ms) = 0;
  // Writes all of `bytes`; false when the output has gone away.
  virtual bool writeout(std::string_view bytes) = 0;
  // Waits briefly for what the terminal still owes (answers to queries) before the end.
  virtual void settle() {}
  // Gives the console back: the platform's modes and the give-back's bytes.
  virtual void restore() = 0;
  // Writes `message` to standard error.
  virtual void complain(std::string_view message) = 0;

  // Takes the next whole key into key_, showing the screen first unless a line is being
  // typed and more input is already at hand. False at the end of input.
  bool nextkey();
  // True while the screen is shown and the window is smaller than the board.
  bool toosmall() const;
  // The notice shown in place of the screen while the window is too small.
  std::string notice() const;
  // Records where to leave the cursor if the program ends now.
  void updateexit();

  bool interm_ = false;   // keys are typed by a person at a terminal or console
  bool outterm_ = false;  // the output is a terminal or console window, which has a size
  bool outgone_ = false;  // the output has gone away
  int tcols_ = kScreenCols, trows_ = kScreenRows;
  std::string key_;   // the bytes of the key being read that are not handed out yet
  std::string line_;  // before the first frame: what the terminal's last line shows
  bool noticed_ = false;
  std::unique_ptr<Encoder> enc_;
  std::unique_ptr<Renderer> render_;
};

// True when the environment asks for colour to be left off (NO_COLOR, TERM=dumb).
bool colourrefused();

}  // namespace gomoku::console
