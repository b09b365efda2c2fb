// A console for tests: keys come from a script, the screen is the model itself.
#pragma once

#include <functional>
#include <string>

#include "board/state.hpp"
#include "console/chessmap.hpp"
#include "console/console.hpp"

namespace gomoku::testing {

// Thrown where the program would end, carrying its exit status.
struct Quit {
  int status;
  std::string message;
};

// Plays a fixed string of key bytes; line-mode text collects in `transcript`.
class ScriptedConsole : public console::Console {
 public:
  explicit ScriptedConsole(std::string keys, bool echo = true, int ambiguous = 1)
      : Console(console::Screen(console::kScreenCols, console::kScreenRows, ambiguous)),
        keys_(std::move(keys)),
        echo_(echo) {}

  int readkey() override {
    present();
    if (onkey) onkey(static_cast<int>(pos_));
    if (pos_ >= keys_.size()) return -1;
    return static_cast<unsigned char>(keys_[pos_++]);
  }
  bool echoes() const override { return echo_; }
  void present() override {
    transcript += pending_;
    pending_.clear();
  }
  [[noreturn]] void quit(int status, std::string_view message = {}) override {
    present();
    throw Quit{status, std::string(message)};
  }
  void cls() override {
    Console::cls();
    ++clears_;
  }
  // Keys not read yet.
  std::size_t left() const { return keys_.size() - pos_; }
  // How many times the screen was cleared.
  int clears() const { return clears_; }

  std::string transcript;
  std::function<void(int)> onkey;  // called before each key is read, with its index

 private:
  std::string keys_;
  std::size_t pos_ = 0;
  bool echo_;
  int clears_ = 0;
};

// Installs a scripted console over a fresh game state for the length of a test.
class Scripted {
 public:
  explicit Scripted(std::string keys, bool echo = true, int ambiguous = 1)
      : con(std::move(keys), echo, ambiguous) {
    resetstate();
    console::setconsole(&con);
  }
  ~Scripted() { console::setconsole(nullptr); }
  ScriptedConsole con;
};

}  // namespace gomoku::testing

#include <vector>

#include "console/encoding.hpp"
#include "console/render.hpp"

namespace gomoku::testing {

// A scripted console that also renders every frame, as the terminal would receive it.
class RenderingConsole : public ScriptedConsole {
 public:
  RenderingConsole(std::string keys, bool colour)
      : ScriptedConsole(std::move(keys)), render_(enc_, colour, 80, 32) {}
  void present() override {
    ScriptedConsole::present();
    if (screenmode()) frames.push_back(render_.frame(screen()));
  }
  std::vector<std::string> frames;  // the bytes of each frame, one per key read

 private:
  console::Encoder enc_;
  console::Renderer render_;
};

}  // namespace gomoku::testing
