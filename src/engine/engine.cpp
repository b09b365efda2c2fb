#include "engine/engine.hpp"

#include <algorithm>
#include <chrono>
#include <system_error>
#include <thread>

namespace gomoku::engine {

namespace {
constexpr size_t kMinMemory = size_t{1} << 20;
}  // namespace

Engine::Engine(size_t memory) : board_(std::make_unique<Board>()) {
  setmemory(memory);
  board_->reset(15);
}

Engine::~Engine() = default;

bool Engine::setmemory(size_t memory) {
  memory = std::max(memory, kMinMemory);
  const bool tt = tt_.resize(memory - memory / 8);
  const bool vcf = vcf_.resize(memory / 8);
  settled_ = false;
  return tt && vcf;
}

size_t Engine::memory() const {
  return tt_.bytes() + vcf_.bytes();
}

bool Engine::newgame(int size, Rule rule) {
  if (size < kMinSize || size > kMaxSize) return false;
  stones_.clear();
  board_->reset(size, rule);
  return true;
}

int Engine::at(int x, int y) const {
  return board_->onboard(x, y) ? board_->at(pointat(x, y)) : kWall;
}

bool Engine::play(int x, int y) {
  if (!board_->onboard(x, y) || !board_->empty(pointat(x, y))) return false;
  Cell c = board_->tomove();
  board_->setup(pointat(x, y), c);
  board_->settomove(other(c));
  stones_.push_back(Stone{pointat(x, y), c, true});
  return true;
}

bool Engine::put(int x, int y, int who) {
  if (!board_->onboard(x, y) || !board_->empty(pointat(x, y)) || who < kBlack || who > kWall)
    return false;
  board_->setup(pointat(x, y), static_cast<Cell>(who));
  stones_.push_back(Stone{pointat(x, y), static_cast<Cell>(who), false});
  return true;
}

bool Engine::remove(int x, int y) {
  if (!board_->onboard(x, y)) return false;
  Move p = pointat(x, y);
  auto it =
      std::find_if(stones_.begin(), stones_.end(), [p](const Stone& s) { return s.point == p; });
  if (it == stones_.end()) return false;
  Cell turn = it->played ? it->colour : board_->tomove();
  stones_.erase(it);
  rebuild(board_->rule());
  board_->settomove(turn);
  return true;
}

bool Engine::undo() {
  if (stones_.empty()) return false;
  return remove(colof(stones_.back().point), rowof(stones_.back().point));
}

void Engine::settomove(int who) {
  if (who == kBlack || who == kWhite) board_->settomove(static_cast<Cell>(who));
}

void Engine::setrule(Rule rule) {
  rebuild(rule);
}

bool Engine::forbidden(int x, int y) {
  return board_->onboard(x, y) && board_->forbidden(pointat(x, y));
}

std::vector<std::pair<int, int>> Engine::forbiddenpoints() {
  std::vector<std::pair<int, int>> out;
  for (int y = 0; y < size(); ++y)
    for (int x = 0; x < size(); ++x)
      if (board_->forbidden(pointat(x, y))) out.emplace_back(x, y);
  return out;
}

bool Engine::wins(int x, int y) const {
  return board_->onboard(x, y) && board_->threat(board_->tomove(), pointat(x, y)) == kWin;
}

Threat Engine::threat(int who, int x, int y) const {
  if (!board_->onboard(x, y) || (who != kBlack && who != kWhite)) return kQuiet;
  return board_->threat(static_cast<Cell>(who), pointat(x, y));
}

int Engine::value(int who, int x, int y) const {
  if (!board_->onboard(x, y) || (who != kBlack && who != kWhite)) return 0;
  return board_->value(static_cast<Cell>(who), pointat(x, y));
}

void Engine::rebuild(Rule rule) {
  Cell turn = board_->tomove();
  board_->reset(board_->size(), rule);
  for (const Stone& s : stones_) board_->setup(s.point, s.colour);
  board_->settomove(turn);
}

void Engine::prepare(const Limits& limits) {
  if (limits.nodes && !limits.time_ms) {
    // A node-limited search must not depend on what earlier searches left behind.
    tt_.clear();
    vcf_.clear();
    settled_ = true;  // every page written
  }
}

Result Engine::convert(const SearchResult& r) const {
  Result out;
  if (r.move != kNoMove) out.x = colof(r.move), out.y = rowof(r.move);
  out.score = r.score;
  out.win = r.score >= kDecided;
  out.loss = r.score <= -kDecided;
  out.depth = r.depth;
  out.nodes = r.nodes;
  out.time_ms = r.time_ms;
  for (Move m : r.pv) out.pv.emplace_back(colof(m), rowof(m));
  return out;
}

int64_t Engine::settletables() {
  if (settled_) return 0;
  const auto start = std::chrono::steady_clock::now();
  tt_.settle();
  vcf_.settle();
  settled_ = true;
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start)
      .count();
}

Result Engine::search(const Limits& given, const std::vector<uint8_t>* allowed) {
  // The time making the tables resident took comes out of the search's own.
  Limits limits = given;
  prepare(limits);
  const int64_t spent = settletables();
  if (limits.time_ms) limits.time_ms = std::max<int64_t>(limits.time_ms - spent, 1);
  if (limits.target_ms) limits.target_ms = std::max<int64_t>(limits.target_ms - spent, 1);
  std::vector<uint8_t> mask;
  if (allowed) {
    mask.assign(kPoints, 0);
    const int n = size();
    for (int y = 0; y < n; ++y)
      for (int x = 0; x < n; ++x)
        if (static_cast<size_t>(y * n + x) < allowed->size() && (*allowed)[y * n + x])
          mask[pointat(x, y)] = 1;
  }
  tt_.newsearch();
  const uint8_t* points = allowed ? mask.data() : nullptr;
  Helpers helpers;
  starthelpers(limits, points, helpers);
  auto searcher = std::make_unique<Searcher>(*board_, tt_, vcf_);
  SearchResult r = searcher->run(limits, points);
  stophelpers(helpers, r);
  return convert(r);
}

void Engine::starthelpers(const Limits& limits, const uint8_t* allowed, Helpers& h) {
  const int threads = std::clamp(limits.threads, 1, kMaxThreads);
  Limits own = limits;
  own.nodes = 0;  // a helper stops with the main thread
  h.results.assign(threads - 1, SearchResult{});
  for (int i = 1; i < threads; ++i) {
    h.boards.push_back(std::make_unique<Board>(*board_));
    h.searchers.push_back(std::make_unique<Searcher>(*h.boards.back(), tt_, vcf_));
    h.searchers.back()->helper(i, &h.halt);
    try {
      h.threads.emplace_back([&h, i, own, allowed] {
        try {
          h.results[i - 1] = h.searchers[i - 1]->run(own, allowed);
        } catch (...) {
          // A helper that cannot go on only leaves the main thread less help.
        }
      });
    } catch (const std::system_error&) {
      break;  // no more threads to be had: the search goes on with those it has
    }
  }
}

Engine::Helpers::~Helpers() {
  halt.store(true);
  for (std::thread& t : threads)
    if (t.joinable()) t.join();
}

void Engine::stophelpers(Helpers& h, SearchResult& r) {
  h.halt.store(true);
  for (std::thread& t : h.threads) t.join();
  r = joinresults(r, h.results);
}

Result Engine::findvcf(const Limits& limits) {
  return findwin(limits, false);
}

Result Engine::findvct(const Limits& limits) {
  return findwin(limits, true);
}

Result Engine::findwin(const Limits& limits, bool threes) {
  prepare(limits);
  auto searcher = std::make_unique<Searcher>(*board_, tt_, vcf_);
  searcher->begin(limits);
  SearchResult r;
  Move first = kNoMove;
  if (threes)
    first = searcher->vct(limits.depth ? limits.depth : 8);
  else if (!searcher->vcf(limits.depth ? limits.depth : kMaxPly / 2, first))
    first = kNoMove;
  if (first != kNoMove) {
    r.move = first;
    r.score = winin(2);
  }
  r.nodes = searcher->nodes();
  r.time_ms = searcher->elapsed();
  return convert(r);
}

}  // namespace gomoku::engine
