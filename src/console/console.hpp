// The console services the game draws and reads with: keys, lines, text, clear, pause.
#pragma once

#include <string>
#include <string_view>

#include "console/screen.hpp"

// Lets GCC and clang check print()'s format against its arguments.
#if defined(__GNUC__)
#define GOMOKU_PRINTF_FORMAT __attribute__((format(printf, 1, 2)))
#else
#define GOMOKU_PRINTF_FORMAT
#endif

namespace gomoku::console {

// A console: a screen model the game writes into and a source of key bytes.
// Text written before the first clear is plain output at the terminal's cursor
// ("line mode"); from the first clear on, the screen model holds what is shown.
class Console {
 public:
  explicit Console(Screen screen) : screen_(std::move(screen)) {}
  virtual ~Console() = default;
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  // The next key byte, like _getch; -1 at the end of input. Shows the screen first
  // (while a line is typed, only when no more input is at hand).
  virtual int readkey() = 0;
  // Drops the bytes of the key last read that have not been read yet (an arrow's code
  // after its prefix); returns how many there were.
  virtual int dropkeyrest() { return 0; }
  // True when typed lines must be echoed (the input is a terminal).
  virtual bool echoes() const = 0;
  // Shows the screen, then lets `ms` milliseconds pass while the game is busy (the
  // computer thinks or steps its stone): signals work as ever, keys a person types
  // meanwhile are discarded, keys from a pipe or file wait for their turn. A console
  // without a clock (a test's script) only shows the screen.
  virtual void idle(int ms) {
    (void)ms;
    present();
  }
  // Makes what has been written visible.
  virtual void present() = 0;
  // Ends the program with `status`, leaving the terminal as it was found; then
  // writes `message`, if any, to standard error.
  [[noreturn]] virtual void quit(int status, std::string_view message = {}) = 0;

  // The next key byte for the game: readkey(), except that a line feed right after a
  // line ended by a carriage return belongs to that line end and is no key.
  int key();
  // Notes the key that ended a typed line.
  void lineended(int k) { aftercr_ = k == '\r'; }
  // Says whether a line is being typed: then the screen need be shown before a key only
  // when no more input is at hand (a long paste is drawn once, not once per byte).
  void typing(bool on) { typing_ = on; }

  // Writes UTF-8 text at the cursor.
  void write(std::string_view utf8);
  // Blanks the screen; output continues at the top-left.
  virtual void cls();
  // Moves the output cursor to column x, line y.
  void setpos(int x, int y);

  Screen& screen() { return screen_; }
  bool screenmode() const { return screenmode_; }

 protected:
  Screen screen_;
  bool screenmode_ = false;
  std::string pending_;  // line-mode text not yet sent
  bool typing_ = false;  // a line is being typed, past its first key

 private:
  bool aftercr_ = false;  // the last typed line ended with a carriage return
};

// The console the game uses.
Console& con();
// Makes `c` the console the game uses (the program's terminal, or a test's script).
void setconsole(Console* c);
// Opens this process's own console (its terminal, or the Windows console) and makes it
// the one the game uses; it lives until the program ends.
Console& openconsole();

// Reads one key byte without echo; -1 at the end of input.
int getch();
// Reads one line with echo and Backspace, without its line break (LF, CR or CR LF).
// Echoes only printable characters; keys of several bytes (arrows) are ignored. False
// at the end of input with nothing typed.
bool getline(std::string& line);
// Writes the pause message and waits for one whole key. False at the end of input.
bool pause();
// Writes printf-formatted text at the cursor.
void print(const char* fmt, ...) GOMOKU_PRINTF_FORMAT;
// Blanks the screen; output continues at column 0, line 0.
void cls();
// Ends the program with `status`.
[[noreturn]] void quit(int status);
// Ends the program with status 1 and a one-line message on standard error, for
// input that ended where the game cannot go on without it.
[[noreturn]] void inputended();

}  // namespace gomoku::console

namespace gomoku {
// Moves the console's output cursor to column x, line y, both from 0 at the top-left.
void SetPos(int x, int y);
}  // namespace gomoku
