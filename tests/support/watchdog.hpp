// Ends the test program when a test runs longer than a generous bound, naming it: a
// hang fails at once instead of at ctest's timeout.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

namespace gomoku::testing {

class Watchdog {
 public:
  explicit Watchdog(std::string name, std::chrono::seconds bound = std::chrono::seconds(20))
      : name_(std::move(name)), bound_(bound), thread_([this] { watch(); }) {}
  ~Watchdog() {
    {
      std::lock_guard<std::mutex> lock(m_);
      done_ = true;
    }
    cv_.notify_one();
    thread_.join();
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  void watch() {
    std::unique_lock<std::mutex> lock(m_);
    if (cv_.wait_for(lock, bound_, [this] { return done_; })) return;
    std::fprintf(stderr, "%s: no end after %lld s\n", name_.c_str(),
                 static_cast<long long>(bound_.count()));
    std::fflush(stderr);
    std::_Exit(1);
  }
  std::string name_;
  std::chrono::seconds bound_;
  std::mutex m_;
  std::condition_variable cv_;
  bool done_ = false;
  std::thread thread_;
};

}  // namespace gomoku::testing
