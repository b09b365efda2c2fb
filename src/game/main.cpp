// Program entry: the command line, then the game on this process's console.
#include "console/console.hpp"
#include "game/game.hpp"
#include "game/options.hpp"
#include "game/replay.hpp"

int main(int argc, char** argv) {
  if (int status = gomoku::useoptions(argc, argv); status >= 0) return status;
  gomoku::console::Console& tty = gomoku::console::openconsole();
  tty.quit(gomoku::replaying() ? gomoku::replay() : gomoku::gamemain());
}
