// The Gomocup "pbrain" protocol: one command per line in, reply lines out. Kept apart
// from the input loop so that every exchange can be checked line by line.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine.hpp"
#include "engine/level.hpp"
#include "pbrain/margin.hpp"

namespace gomoku::pbrain {

// The longest line any command needs (INFO folder with a long path): longer lines are
// refused, and never kept whole.
inline constexpr std::size_t kMaxLine = 8192;
// Times beyond this (about 35 years, in milliseconds) are taken as this.
inline constexpr int64_t kMaxTime = int64_t{1} << 40;
// The most the tables take, whatever max_memory allows: 1 GB.
inline constexpr std::size_t kMaxTables = std::size_t{1} << 30;

// The clock and memory settings a manager sends with INFO (times in milliseconds).
struct Settings {
  int64_t timeout_turn = 5000;  // per move; 0 means as fast as possible
  int64_t timeout_match = 0;    // whole match; 0 means no limit
  int64_t time_left = -1;       // of the match; -1 until the manager says
  uint64_t max_memory = 0;      // bytes; 0 means no limit
  int rule = 0;                 // bits: 1 exactly five, 2 continuous game, 4 renju, 8 caro
  int thread_num = 1;           // threads the engine may use
  bool operator==(const Settings&) const = default;
};

// The rule an INFO rule value asks for; false for a combination the engine does not
// play (`why` then names it). The continuous-game bit changes nothing.
bool ruleof(int value, engine::Rule& rule, std::string& why);

// Time the engine may think about one move, keeping a margin for the reply to reach
// the manager within timeout_turn (`held` more on a busy machine) and spreading the
// match time over the moves left.
int64_t movebudget(const Settings& s, int64_t held = 0);
// The time a move aims at within movebudget(s, held): half of it when the match time
// left is what limits the move, so that a move that stands out saves time for later ones
// and an unclear one may take up to the whole budget; 0 (use the budget) otherwise.
int64_t movetarget(const Settings& s, int64_t held = 0);
// Engine table size allowed by max_memory, leaving room for the rest of the program.
std::size_t enginememory(const Settings& s);
// Input quoted in a reply: at most 40 bytes, printable ASCII only (any other byte as
// \xNN), "..." when cut.
std::string excerpt(std::string_view text);
// True when the line is the command END, which ends the session.
bool isend(std::string_view line);

class Protocol {
 public:
  using Time = std::chrono::steady_clock::time_point;

  // Moves within timeout_turn by the clock, or, with `nodes`, within that many positions
  // (and by the clock too when `clock` is true); a node budget alone makes the replies
  // depend only on the commands. It plays at strength `level` (engine::kMinLevel to
  // kMaxLevel, the full engine), its randomness drawn from `seed`.
  explicit Protocol(uint64_t nodes = 0, bool clock = true, int level = engine::kMaxLevel,
                    uint64_t seed = 1);

  // Handles one line from the manager, which arrived at `arrived` (the move's time is
  // counted from then), and appends the lines to send back to `reply`. False once END
  // has been read.
  bool handle(const std::string& line, std::vector<std::string>& reply,
              Time arrived = std::chrono::steady_clock::now());
  // Stops the search in progress and makes every later one answer at once; may be
  // called from any thread.
  void stop() { stop_ = true; }

  const Settings& settings() const { return settings_; }
  // Bytes the engine's tables hold now.
  std::size_t tablebytes() const { return engine_.memory(); }

 private:
  // Carries out a command the engine knows; false for any other.
  bool command(const std::string& cmd, const std::string& args, std::vector<std::string>& reply,
               Time arrived);
  // START n: a new game on an n x n board.
  void start(const std::string& args, std::vector<std::string>& reply);
  // TURN x,y: the opponent's stone, then the engine's move.
  void turn(const std::string& args, std::vector<std::string>& reply, Time arrived);
  // One line between BOARD and DONE; DONE asks for the engine's move.
  void boardline(const std::string& line, std::vector<std::string>& reply, Time arrived);
  // TAKEBACK x,y: the stone on x,y comes off.
  void takeback(const std::string& args, std::vector<std::string>& reply);
  // INFO key value: a setting, taken only when its value is good; unknown keys ignored.
  void info(const std::string& args, std::vector<std::string>& reply);
  // INFO rule value: the rule of this and later games, or an ERROR line naming it.
  bool setrule(const std::string& value, std::vector<std::string>& reply);
  // DONE: the stones of BOARD go down in the order given, the first one black's.
  void boarddone(std::vector<std::string>& reply, Time arrived);
  // YXSHOWFORBID: black's forbidden points, as "FORBID xxyyxxyy..."
  void showforbid(std::vector<std::string>& reply);
  // Sizes the engine's tables for the settings, saying so when less could be had.
  void fitmemory(std::vector<std::string>& reply);
  // The engine chooses a point for its own stone, puts it down and names it.
  void move(std::vector<std::string>& reply, Time arrived);
  // True when a game has been started; else an ERROR line.
  bool ready(std::vector<std::string>& reply);
  // True when (x, y) is on the board and empty; else an ERROR line saying why.
  bool emptypoint(int x, int y, std::vector<std::string>& reply);

  // The table size the settings allow, and no more than the level needs.
  std::size_t tablesize() const;

  Settings settings_;           // before engine_, whose tables it sizes
  engine::LevelPlayer player_;  // ... as does the level
  engine::Engine engine_;
  engine::Rule rule_ = engine::Rule::kFreestyle;
  int me_ = 0;  // the engine's colour in this game: 1 black, 2 white, 0 not known yet
  std::vector<std::array<int, 3>> board_;  // the lines of BOARD so far
  LoadMargin margin_;
  std::atomic<bool> stop_{false};
  uint64_t nodes_;
  bool clock_;
  std::size_t memory_ = 0;
  bool started_ = false;
  bool inboard_ = false;
  bool skipping_ = false;  // after an unknown command: its data lines get no reply
};

}  // namespace gomoku::pbrain
