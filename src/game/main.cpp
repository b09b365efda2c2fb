// Program entry: the game on this process's terminal.
#include <unistd.h>

#include "console/terminal.hpp"
#include "console/tty.hpp"
#include "game/game.hpp"
#include "game/options.hpp"

int main(int argc, char** argv) {
  gomoku::console::term::openstdfds();  // before anything opens a descriptor
  if (int status = gomoku::useoptions(argc, argv); status >= 0) return status;
  gomoku::console::TtyConsole tty(STDIN_FILENO, STDOUT_FILENO);
  gomoku::console::setconsole(&tty);
  tty.quit(gomoku::gamemain());
}
