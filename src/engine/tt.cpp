#include "engine/tt.hpp"

#include <cstdlib>
#include <cstring>
#include <new>

namespace gomoku::engine {

void TranspositionTable::Free::operator()(void* p) const {
  std::free(p);
}

size_t tablefit(size_t bytes, size_t size) {
  size_t n = 1;
  while (n <= bytes / size / 2) n *= 2;  // no product that could wrap
  return n;
}

void* tablealloc(size_t want, size_t floor, size_t size, size_t& got) {
  for (size_t n = want; n > 0 && (n > floor || n == want); n /= 2) {
    void* p = std::calloc(n, size);
    if (p && n < want && n > 1) {
      // Short of memory: half of what could be had, so that as much is left for the
      // rest of the program (a thread's stack, the search's lists).
      std::free(p);
      n /= 2;
      p = n > floor ? std::calloc(n, size) : nullptr;
      if (!p) return nullptr;
    }
    if (p) {
      got = n;
      return p;
    }
  }
  return nullptr;
}

void TranspositionTable::clear() {
  std::memset(static_cast<void*>(buckets_.get()), 0, bytes());
}

const TTEntry* TranspositionTable::probe(uint64_t key) const {
  const Bucket& b = buckets_[key & mask_];
  const uint32_t lock = static_cast<uint32_t>(key >> 32);
  for (const TTEntry& e : b.e)
    if (e.bound != kNoBound && e.lock == lock) return &e;
  return nullptr;
}

void TranspositionTable::store(uint64_t key, Move move, int score, int depth, Bound bound) {
  Bucket& b = buckets_[key & mask_];
  const uint32_t lock = static_cast<uint32_t>(key >> 32);
  TTEntry* victim = nullptr;
  int worst = 1 << 30;
  for (TTEntry& e : b.e) {
    if (e.bound != kNoBound && e.lock == lock) {
      if (depth < e.depth - 2 && bound != kExact) return;  // keep the deeper result
      if (move == kNoMove) move = e.move;
      victim = &e;
      break;
    }
    int worth = e.bound == kNoBound ? -1000 : e.depth - 4 * static_cast<uint8_t>(age_ - e.age);
    if (worth < worst) worst = worth, victim = &e;
  }
  victim->lock = lock;
  victim->move = move;
  victim->score = static_cast<int16_t>(score);
  victim->depth = static_cast<int8_t>(depth);
  victim->bound = bound;
  victim->age = age_;
}

}  // namespace gomoku::engine
