// Program entry: the game on this process's terminal.
#include "console/console.hpp"
#include "game/game.hpp"

int main() {
  gomoku::console::Console& tty = gomoku::console::openconsole();
  tty.quit(gomoku::gamemain());
}
