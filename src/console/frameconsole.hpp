// What the game's console has in common on a POSIX terminal and on the Windows console:
// one write per frame drawn from the screen model, the notice shown while the window is
// too small, where the cursor is left on the way out, whole keys handed out byte by byte.
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

// A console on a real terminal or console window. The platform's console reads the keys,
// writes the bytes and records where the cursor is to be left if the program ends.
class FrameConsole : public Console {
 public:
  int readkey() override;
  int dropkeyrest() override;
  bool echoes() const override { return interm_; }
  void present() override;

 protected:
  FrameConsole() : Console(Screen()) {}
  // Makes the screen model and the renderer for output in `enc`'s character set, once
  // interm_ and outterm_ are known.
  void setup(std::unique_ptr<Encoder> enc, bool colour);

  // Takes the next whole key into `key`, or nothing (empty) for input that is no key.
  // False at the end of input.
  virtual bool takekey(std::string& key) = 0;
  // True when more input is at hand at once.
  virtual bool keyready() = 0;
  // Writes one frame's bytes, setting outgone_ when the output has gone away.
  virtual void send(std::string_view bytes) = 0;
  // Records the bytes that leave the cursor in its place if the program ends now.
  virtual void setexit(std::string_view bytes) = 0;

  // Fits the screen model and the renderer to a window of `cols` by `rows`: the model is
  // as wide as the window, so that long lines wrap where its edge is, but never narrower
  // than the board. The next frame repaints.
  void resizeto(int cols, int rows);
  // Shows the whole screen again (or the notice again, while the window is too small).
  void repaint();
  // True while typed keys are dropped: a person types and cannot see the board.
  bool dropping() const { return interm_ && toosmall(); }

  bool interm_ = false;   // keys are typed by a person at a terminal or console
  bool outterm_ = false;  // the output is a terminal or console window, which has a size
  bool outgone_ = false;  // the output has gone away
  int tcols_ = kScreenCols, trows_ = kScreenRows;
  std::string key_;  // the bytes of the key being read that are not handed out yet

 private:
  // Takes the next whole key into key_, showing the screen first unless a line is being
  // typed and more input is already at hand. False at the end of input.
  bool nextkey();
  // True while the screen is shown and the window is smaller than the board.
  bool toosmall() const;
  // The notice shown in place of the screen while the window is too small.
  std::string notice() const;
  // Records where to leave the cursor if the program ends now.
  void updateexit();

  bool noticed_ = false;
  std::unique_ptr<Encoder> enc_;
  std::unique_ptr<Renderer> render_;
};

// True when the environment asks for colour to be left off (NO_COLOR, TERM=dumb).
bool colourrefused();

}  // namespace gomoku::console
