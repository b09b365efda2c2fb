// The computer player: a five-in-a-row engine for boards of 5x5 to 32x32 points under
// the freestyle, standard, renju and caro rules. Everything lives in the Engine object,
// so two engines may run at once on two threads. Points are (x, y): x the column, y the
// row, both from 0. Player 1 is black, who moves first.
//
//   Engine e(64 << 20);               // memory budget in bytes
//   e.newgame(15, Rule::kRenju);
//   e.play(9, 9);                     // the first player's stone on the centre
//   Result r = e.search({.time_ms = 1000});
//   e.play(r.x, r.y);
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "engine/search.hpp"

namespace gomoku::engine {

// What search() found. x and y are -1 when there was no point to choose.
struct Result {
  int x = -1, y = -1;
  int score = 0;        // for the side that moves; > 0 good for it
  bool win = false;     // the side to move wins by force
  bool loss = false;    // the opponent wins by force whatever is played
  int depth = 0;        // last search depth completed (0: decided without searching)
  uint64_t nodes = 0;   // positions visited
  int64_t time_ms = 0;  // time taken
  std::vector<std::pair<int, int>> pv;  // expected line of play, (x, y) each
};

// The most search threads one search uses.
inline constexpr int kMaxThreads = 64;

class Engine {
 public:
  // An engine whose tables take at most `memory` bytes (at least 1 MB is used).
  explicit Engine(size_t memory = size_t{64} << 20);
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // Resizes the tables to `memory` bytes; what they remember is lost. False when the
  // system gave less: the tables then take half what it would give, or stay as they were.
  // Throws std::bad_alloc, leaving the engine unusable, only when not even the smallest
  // tables can be had.
  bool setmemory(size_t memory);
  // Bytes held by the tables.
  size_t memory() const;

  // Starts a new game on an empty size x size board (kMinSize..kMaxSize) under `rule`,
  // first player (black) to move. False, and nothing changes, for any other size.
  bool newgame(int size, Rule rule = Rule::kFreestyle);
  int size() const { return board_->size(); }
  Rule rule() const { return board_->rule(); }
  // What is on (x, y): 0 empty, 1 the first player's stone, 2 the second's, 3 a point
  // no one may use; 3 also for a point off the board.
  int at(int x, int y) const;
  // Who moves next: 1 or 2.
  int tomove() const { return board_->tomove(); }
  // Puts the stone of the player to move on the empty point (x, y) and passes the turn.
  // False, and nothing changes, when the point is off the board or taken.
  bool play(int x, int y);
  // Puts `who`'s stone (1 or 2), or a point no one may use (3), on the empty point
  // (x, y) without passing the turn. False, and nothing changes, on bad arguments.
  bool put(int x, int y, int who);
  // Takes the stone on (x, y) off the board, with the turn it took when play() put it.
  // False when there is no stone there.
  bool remove(int x, int y);
  // Takes back the last stone put down; false when the board is empty.
  bool undo();
  // Sets who moves next (1 or 2).
  void settomove(int who);
  // Plays the stones on the board by `rule` from now on.
  void setrule(Rule rule);

  // True when black (player 1) may not play the empty point (x, y): under renju, an
  // overline, double four or double three with no five. False under the other rules.
  bool forbidden(int x, int y);
  // Every such point of the position, row by row.
  std::vector<std::pair<int, int>> forbiddenpoints();
  // True when the player to move, putting a stone on the empty point (x, y), makes a
  // line that wins under the rule.
  bool wins(int x, int y) const;
  // What player `who` (1 or 2) would make by putting a stone on the empty point (x, y):
  // kQuiet for a taken point or one off the board. Under renju black's kThreeThree needs
  // forbidden() to decide.
  Threat threat(int who, int x, int y) const;
  // The weight the engine gives the empty point (x, y) for player `who` (1 or 2) when it
  // orders its moves; 0 for a taken point or one off the board.
  int value(int who, int x, int y) const;

  // Chooses a move for the player to move. `allowed`, when given, holds size*size
  // flags, index y*size + x: only those points may be chosen, and the result is always
  // one of them that is empty (or -1, -1 when there is none); under renju never a point
  // forbidden to black when black is to move. With only a node budget the search, and
  // so its result, depends on nothing but the position, the budget and the memory
  // budget (the table size, which decides what is kept once the table is full).
  Result search(const Limits& limits, const std::vector<uint8_t>* allowed = nullptr);
  // Looks only for a win by continuous fours for the player to move, within `limits`;
  // x is -1 when none is found.
  Result findvcf(const Limits& limits);
  // Looks only for a win by threes and fours (limits.depth: most threats, default 8),
  // after checking there is none by fours alone; x is -1 when none is found.
  Result findvct(const Limits& limits);

 private:
  struct Stone {
    Move point;
    Cell colour;
    bool played;  // by play(): it passed the turn
  };
  // Sets the board up afresh from stones_ under `rule`, keeping the turn.
  void rebuild(Rule rule);
  // The search's result in board coordinates.
  Result convert(const SearchResult& r) const;
  // A win by fours (or by threes and fours) for the player to move.
  Result findwin(const Limits& limits, bool threes);
  // Clears the tables when `limits` asks for a repeatable search.
  void prepare(const Limits& limits);

  // The helper threads of a parallel search, each on its own copy of the board.
  struct Helpers {
    std::atomic<bool> halt{false};
    std::vector<std::unique_ptr<Board>> boards;
    std::vector<std::unique_ptr<Searcher>> searchers;
    std::vector<SearchResult> results;
    std::vector<std::thread> threads;
    // Stops and waits for any helper still running (the main search threw).
    ~Helpers();
  };
  // Starts limits.threads - 1 helpers searching the position on the shared tables.
  void starthelpers(const Limits& limits, const uint8_t* allowed, Helpers& h);
  // Stops the helpers and waits for them; `r` becomes joinresults() of it and theirs.
  void stophelpers(Helpers& h, SearchResult& r);

  // Makes the tables resident when they are not yet, so that no search pays a page fault
  // for each page it first touches: two threads faulting at once spent half their time
  // in the kernel (1.23 M nodes a second on two threads in 100 ms searches instead of
  // 2.44 M; 1.05 M instead of 1.25 M on one). The milliseconds it took.
  int64_t settletables();

  std::unique_ptr<Board> board_;
  bool settled_ = false;  // the tables are resident since they were last sized
  std::vector<Stone> stones_;
  TranspositionTable tt_;
  VcfCache vcf_;
};

}  // namespace gomoku::engine
