// The transposition table: search results by position key, in a fixed memory budget.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

#include "engine/board.hpp"

namespace gomoku::engine {

// How a stored score bounds the true one.
enum Bound : uint8_t { kNoBound = 0, kUpper = 1, kLower = 2, kExact = 3 };

// One stored result, as probe() gives it.
struct TTEntry {
  Move move = kNoMove;
  int16_t score = 0;
  int8_t depth = 0;
  uint8_t bound = kNoBound;
  uint8_t age = 0;
};

// The largest power of two of `size`-byte items within `bytes`, at least one.
size_t tablefit(size_t bytes, size_t size);
// Makes the `bytes` at p, zeroed memory, resident now (a write to each page).
void settle(void* p, size_t bytes);
// Zeroed memory for `want` items of `size` bytes; short of memory, half the largest power
// of two of them the system gives, halving down to just above `floor` items (`want` is
// tried even when it is no more than `floor`). `got` is the count; null when none.
void* tablealloc(size_t want, size_t floor, size_t size, size_t& got);

// Sizes `table`, of `mask` + 1 items, to the largest power of two of items within
// `bytes`, all zero; short of memory, to half the largest the system gives, or, when
// growing, not at all: false then. Throws std::bad_alloc, leaving no table, only when
// not even one item can be had.
template <typename Table>
bool resizetable(Table& table, uint64_t& mask, size_t bytes) {
  using Item = typename Table::element_type;
  const size_t want = tablefit(bytes, sizeof(Item));
  if (table && mask + 1 > want) table.reset(), mask = 0;  // shrinking: give back first
  const size_t old = table ? mask + 1 : 0;
  size_t got = 0;
  if (void* p = tablealloc(want, old, sizeof(Item), got)) {
    table.reset(static_cast<Item*>(p));
    mask = got - 1;
  }
  if (!table) throw std::bad_alloc();
  return mask + 1 == want;
}

// Any number of search threads may probe and store at once: an entry is two 64-bit
// words read and written atomically, the first the position key xor the second, so a
// probe that meets an entry half overwritten by another thread sees a key that does not
// match and takes it for empty.
class TranspositionTable {
 public:
  // Sizes the table to the largest power of two of buckets within `bytes` (at least one),
  // all empty; the system gives the memory page by page as it is first written, or at
  // settle(). Short of memory, as resizetable() says.
  bool resize(size_t bytes) { return resizetable(buckets_, mask_, bytes); }
  // Forgets every entry.
  void clear();
  // Makes the whole table resident now.
  void settle();
  // Marks the start of a new search, so that older entries are replaced first.
  void newsearch() { ++age_; }
  // True when an entry is stored for `key`; it goes to `out`.
  bool probe(uint64_t key, TTEntry& out) const;
  // Stores a result for `key`, replacing the least useful entry of its bucket.
  void store(uint64_t key, Move move, int score, int depth, Bound bound);
  // Bytes held by the table.
  size_t bytes() const { return (mask_ + 1) * sizeof(Bucket); }

 private:
  static constexpr int kWays = 4;
  struct Slot {
    uint64_t check;  // the key xor data
    uint64_t data;   // the entry packed by pack()
  };
  struct Bucket {
    Slot e[kWays];
  };
  struct Free {
    void operator()(void* p) const;
  };
  std::unique_ptr<Bucket[], Free> buckets_;
  uint64_t mask_ = 0;
  uint8_t age_ = 0;
};

}  // namespace gomoku::engine
