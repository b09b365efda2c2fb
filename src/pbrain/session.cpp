#include "pbrain/session.hpp"

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>

#include "pbrain/lines.hpp"

namespace gomoku::pbrain {
namespace {

// Lines read and not yet answered, with the time each arrived.
class Inbox {
 public:
  // Adds a line.
  void put(std::string line) {
    std::lock_guard<std::mutex> lock(m_);
    lines_.emplace_back(std::move(line), std::chrono::steady_clock::now());
    ready_.notify_one();
  }
  // No more lines will come.
  void close() {
    std::lock_guard<std::mutex> lock(m_);
    closed_ = true;
    ready_.notify_one();
  }
  // Waits for the next line; false when there is none and none will come.
  bool take(std::string& line, Protocol::Time& arrived) {
    std::unique_lock<std::mutex> lock(m_);
    ready_.wait(lock, [this] { return !lines_.empty() || closed_; });
    if (lines_.empty()) return false;
    line = std::move(lines_.front().first);
    arrived = lines_.front().second;
    lines_.pop_front();
    return true;
  }

 private:
  std::mutex m_;
  std::condition_variable ready_;
  std::deque<std::pair<std::string, Protocol::Time>> lines_;
  bool closed_ = false;
};

// Reads lines into the inbox up to END or the end of input, then stops the thinking.
void readlines(int fd, Protocol& protocol, Inbox& inbox) {
  LineReader in(fd, kMaxLine);
  std::string line;
  while (in.next(line)) {
    const bool end = isend(line);
    inbox.put(std::move(line));
    if (end) break;
  }
  protocol.stop();
  inbox.close();
}

}  // namespace

void serve(int fd, Protocol& protocol, const Sender& send) {
  binarymode(fd);
  Inbox inbox;
  std::thread reader(readlines, fd, std::ref(protocol), std::ref(inbox));
  std::string line;
  Protocol::Time arrived;
  std::vector<std::string> reply;
  try {
    for (bool more = true; more && inbox.take(line, arrived);) {
      reply.clear();
      more = protocol.handle(line, reply, arrived);
      if (!reply.empty()) send(reply);
    }
  } catch (const std::exception& e) {  // the reader still uses the inbox: no unwinding
    std::fprintf(stderr, "pbrain-gomoku: %s\n", e.what());
    std::fflush(stderr);
    std::_Exit(1);
  }
  reader.join();
}

}  // namespace gomoku::pbrain
