// The transposition table: search results by position key, in a fixed memory budget.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/board.hpp"

namespace gomoku::engine {

// How a stored score bounds the true one.
enum Bound : uint8_t { kNoBound = 0, kUpper = 1, kLower = 2, kExact = 3 };

struct TTEntry {
  uint32_t lock = 0;  // upper half of the position key
  Move move = kNoMove;
  int16_t score = 0;
  int8_t depth = 0;
  uint8_t bound = kNoBound;
  uint8_t age = 0;
  uint8_t unused[3] = {};
};

class TranspositionTable {
 public:
  // Sizes the table to the largest power of two of buckets within `bytes` (at least one),
  // all empty. The memory comes zeroed from the system, page by page as it is used.
  void resize(size_t bytes);
  // Forgets every entry.
  void clear();
  // Marks the start of a new search, so that older entries are replaced first.
  void newsearch() { ++age_; }
  // The entry stored for `key`, or nullptr.
  const TTEntry* probe(uint64_t key) const;
  // Stores a result for `key`, replacing the least useful entry of its bucket.
  void store(uint64_t key, Move move, int score, int depth, Bound bound);
  // Bytes held by the table.
  size_t bytes() const { return (mask_ + 1) * sizeof(Bucket); }

 private:
  static constexpr int kWays = 4;
  struct Bucket {
    TTEntry e[kWays];
  };
  struct Free {
    void operator()(void* p) const;
  };
  std::unique_ptr<Bucket[], Free> buckets_;
  uint64_t mask_ = 0;
  uint8_t age_ = 0;
};

}  // namespace gomoku::engine
