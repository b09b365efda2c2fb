// Program entry: the game on this process's terminal.
#include <unistd.h>

#include "console/terminal.hpp"
#include "console/tty.hpp"
#include "game/game.hpp"

int main() {
  gomoku::console::term::openstdfds();  // before anything opens a descriptor
  gomoku::console::TtyConsole tty(STDIN_FILENO, STDOUT_FILENO);
  gomoku::console::setconsole(&tty);
  tty.quit(gomoku::gamemain());
}
