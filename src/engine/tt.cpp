#include "engine/tt.hpp"

#include <atomic>
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

void settle(void* p, size_t bytes) {
  // A write to each page (volatile: a compiler may drop plain writes of zeros to memory
  // that calloc zeroed) makes the system give it now.
  volatile char* c = static_cast<char*>(p);
  for (size_t i = 0; i < bytes; i += 4096) c[i] = 0;
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

void TranspositionTable::settle() {
  engine::settle(buckets_.get(), bytes());
}

void TranspositionTable::clear() {
  std::memset(static_cast<void*>(buckets_.get()), 0, bytes());
}

namespace {

// An entry as one word: move, score, depth, bound and age.
uint64_t pack(const TTEntry& e) {
  return uint64_t{e.move} | uint64_t{static_cast<uint16_t>(e.score)} << 16 |
         uint64_t{static_cast<uint8_t>(e.depth)} << 32 | uint64_t{e.bound} << 40 |
         uint64_t{e.age} << 48;
}

// The entry of a word made by pack().
TTEntry unpack(uint64_t w) {
  return TTEntry{static_cast<Move>(w), static_cast<int16_t>(w >> 16), static_cast<int8_t>(w >> 32),
                 static_cast<uint8_t>(w >> 40), static_cast<uint8_t>(w >> 48)};
}

// A word shared between search threads, read or written whole.
uint64_t load(const uint64_t& w) {
  return std::atomic_ref<const uint64_t>(w).load(std::memory_order_relaxed);
}
void save(uint64_t& w, uint64_t v) {
  std::atomic_ref<uint64_t>(w).store(v, std::memory_order_relaxed);
}

}  // namespace

bool TranspositionTable::probe(uint64_t key, TTEntry& out) const {
  const Bucket& b = buckets_[key & mask_];
  for (const Slot& s : b.e) {
    const uint64_t data = load(s.data);
    if ((load(s.check) ^ data) != key) continue;
    out = unpack(data);
    if (out.bound != kNoBound) return true;
  }
  return false;
}

void TranspositionTable::store(uint64_t key, Move move, int score, int depth, Bound bound) {
  Bucket& b = buckets_[key & mask_];
  Slot* victim = nullptr;
  int worst = 1 << 30;
  for (Slot& s : b.e) {
    const uint64_t data = load(s.data);
    const TTEntry e = unpack(data);
    if (e.bound != kNoBound && (load(s.check) ^ data) == key) {
      if (depth < e.depth - 2 && bound != kExact) return;  // keep the deeper result
      if (move == kNoMove) move = e.move;
      victim = &s;
      break;
    }
    int worth = e.bound == kNoBound ? -1000 : e.depth - 4 * static_cast<uint8_t>(age_ - e.age);
    if (worth < worst) worst = worth, victim = &s;
  }
  const uint64_t data =
      pack(TTEntry{move, static_cast<int16_t>(score), static_cast<int8_t>(depth), bound, age_});
  save(victim->check, key ^ data);
  save(victim->data, data);
}

}  // namespace gomoku::engine
