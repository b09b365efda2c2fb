// Program entry: the game on this process's terminal.
#include <unistd.h>

#include "console/tty.hpp"
#include "game/game.hpp"

int main() {
  static gomoku::console::TtyConsole tty(STDIN_FILENO, STDOUT_FILENO);
  gomoku::console::setconsole(&tty);
  int status = gomoku::gamemain();
  tty.finish();
  return status;
}
