// The Gomocup "pbrain" protocol: one command per line in, reply lines out. Kept apart
// from the input loop so that every exchange can be checked line by line.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/engine.hpp"

namespace gomoku::pbrain {

// The clock and memory settings a manager sends with INFO (times in milliseconds).
struct Settings {
  int64_t timeout_turn = 5000;  // per move; 0 means as fast as possible
  int64_t timeout_match = 0;    // whole match; 0 means no limit
  int64_t time_left = -1;       // of the match; -1 until the manager says
  uint64_t max_memory = 0;      // bytes; 0 means no limit
  int rule = 0;                 // bits: 1 exactly five, 2 continuous game, 4 renju, 8 caro
};

// The rule an INFO rule value asks for; false for a combination the engine does not
// play (`why` then names it). The continuous-game bit changes nothing.
bool ruleof(int value, engine::Rule& rule, std::string& why);

// Time the engine may think about one move, keeping a margin for the reply to reach
// the manager within timeout_turn and spreading the match time over the moves left.
int64_t movebudget(const Settings& s);
// Engine table size allowed by max_memory, leaving room for the rest of the program.
size_t enginememory(const Settings& s);

class Protocol {
 public:
  // `nodes`, when not 0, replaces the clock with a node budget per move, so that
  // replies depend only on the commands (for tests).
  explicit Protocol(uint64_t nodes = 0);

  // Handles one line from the manager and appends the lines to send back to `reply`.
  // False once END has been read.
  bool handle(std::string line, std::vector<std::string>& reply);

  const Settings& settings() const { return settings_; }
  // Bytes the engine's tables hold now.
  size_t tablebytes() const { return engine_.memory(); }

 private:
  // START n: a new game on an n x n board.
  void start(const std::string& args, std::vector<std::string>& reply);
  // TURN x,y: the opponent's stone, then the engine's move.
  void turn(const std::string& args, std::vector<std::string>& reply);
  // One line between BOARD and DONE; DONE asks for the engine's move.
  void boardline(const std::string& line, std::vector<std::string>& reply);
  // TAKEBACK x,y: the stone on x,y comes off.
  void takeback(const std::string& args, std::vector<std::string>& reply);
  // INFO key value: a setting; unknown keys are ignored.
  void info(const std::string& args, std::vector<std::string>& reply);
  // INFO rule value: the rule of this and later games, or an ERROR line naming it.
  bool setrule(const std::string& value, std::vector<std::string>& reply);
  // DONE: the stones of BOARD go down in the order given, the first one black's.
  void boarddone(std::vector<std::string>& reply);
  // YXSHOWFORBID: black's forbidden points, as "FORBID xxyyxxyy..."
  void showforbid(std::vector<std::string>& reply);
  // The engine chooses a point for its own stone, puts it down and names it.
  void move(std::vector<std::string>& reply);
  // True when a game has been started; else an ERROR line.
  bool ready(std::vector<std::string>& reply);

  engine::Engine engine_;
  engine::Rule rule_ = engine::Rule::kFreestyle;
  int me_ = 0;  // the engine's colour in this game: 1 black, 2 white, 0 not known yet
  std::vector<std::array<int, 3>> board_;  // the lines of BOARD so far
  Settings settings_;
  uint64_t nodes_;
  size_t memory_ = 0;
  bool started_ = false;
  bool inboard_ = false;
};

}  // namespace gomoku::pbrain
