#include "pbrain/protocol.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cinttypes>
#include <cstdio>

namespace gomoku::pbrain {
namespace {

using engine::Engine;

constexpr size_t kDefaultMemory = size_t{64} << 20;
constexpr size_t kProgramMemory = size_t{12} << 20;  // code, stacks, pattern tables

// The line without leading and trailing blanks (and the CR of CRLF input).
std::string trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r\n"), b = s.find_last_not_of(" \t\r\n");
  return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// A whole decimal number, nothing else.
template <typename T>
bool number(const std::string& s, T& out) {
  std::string t = trim(s);
  auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), out);
  return ec == std::errc() && end == t.data() + t.size() && !t.empty();
}

// Comma-separated whole numbers, exactly `n` of them.
bool numbers(const std::string& s, int n, int* out) {
  size_t pos = 0;
  for (int i = 0; i < n; ++i) {
    size_t comma = i + 1 < n ? s.find(',', pos) : s.size();
    if (comma == std::string::npos || !number(s.substr(pos, comma - pos), out[i])) return false;
    pos = comma + 1;
  }
  return true;
}

std::string format(const char* fmt, auto... args) {
  char buf[256];
  std::snprintf(buf, sizeof buf, fmt, args...);
  return buf;
}

}  // namespace

bool ruleof(int value, engine::Rule& rule, std::string& why) {
  using engine::Rule;
  switch (value & ~2) {
    case 0:
      rule = Rule::kFreestyle;
      return true;
    case 1:
      rule = Rule::kStandard;
      return true;
    case 4:
      rule = Rule::kRenju;
      return true;
    case 8:
      rule = Rule::kCaro;
      return true;
  }
  if (value < 0 || value >= 16)
    why = "unknown rule bits";
  else
    why = "no such combination (0 freestyle, 1 exactly five, 4 renju, 8 caro, 2 may be added)";
  return false;
}

int64_t movebudget(const Settings& s) {
  int64_t turn = s.timeout_turn > 0 ? s.timeout_turn : 20;
  int64_t budget = turn - std::max<int64_t>(turn / 8, std::min<int64_t>(20, turn / 2));
  if (s.timeout_match > 0 && s.time_left >= 0)
    budget = std::min(budget, s.time_left / 12 - std::min<int64_t>(20, s.time_left / 24));
  return std::max<int64_t>(budget, 1);
}

size_t enginememory(const Settings& s) {
  if (s.max_memory == 0) return kDefaultMemory;
  if (s.max_memory <= 2 * kProgramMemory) return s.max_memory / 4;
  return std::min<size_t>(s.max_memory - kProgramMemory, s.max_memory / 4 * 3);
}

Protocol::Protocol(uint64_t nodes)
    : engine_(kDefaultMemory), nodes_(nodes), memory_(kDefaultMemory) {}

bool Protocol::handle(std::string line, std::vector<std::string>& reply) {
  line = trim(line);
  if (line.empty()) return true;
  size_t space = line.find_first_of(" \t");
  const std::string cmd = upper(line.substr(0, space));
  const std::string args = space == std::string::npos ? "" : trim(line.substr(space));
  if (cmd == "END") return false;
  if (inboard_) {
    boardline(line, reply);
  } else if (cmd == "START") {
    start(args, reply);
  } else if (cmd == "RESTART") {
    if (ready(reply)) engine_.newgame(engine_.size(), rule_), me_ = 0, reply.push_back("OK");
  } else if (cmd == "BEGIN") {
    if (ready(reply)) move(reply);
  } else if (cmd == "TURN") {
    turn(args, reply);
  } else if (cmd == "BOARD") {
    if (ready(reply)) engine_.newgame(engine_.size(), rule_), board_.clear(), inboard_ = true;
  } else if (cmd == "TAKEBACK") {
    takeback(args, reply);
  } else if (cmd == "INFO") {
    info(args, reply);
  } else if (cmd == "YXSHOWFORBID") {
    if (ready(reply)) showforbid(reply);
  } else if (cmd == "ABOUT") {
    reply.push_back("name=\"gomoku\", version=\"1.0\", author=\"gomoku developers\"");
  } else {
    reply.push_back("ERROR unknown command " + line.substr(0, space));
  }
  return true;
}

bool Protocol::ready(std::vector<std::string>& reply) {
  if (!started_) reply.push_back("ERROR no game started: START first");
  return started_;
}

void Protocol::start(const std::string& args, std::vector<std::string>& reply) {
  int size = 0;
  if (!number(args, size)) {
    reply.push_back("ERROR START needs the board size");
  } else if (!engine_.newgame(size, rule_)) {
    reply.push_back(format("ERROR board size %d not supported (%d to %d)", size, engine::kMinSize,
                           engine::kMaxSize));
  } else {
    started_ = true;
    me_ = 0;
    reply.push_back("OK");
  }
}

void Protocol::turn(const std::string& args, std::vector<std::string>& reply) {
  int xy[2];
  if (!ready(reply)) return;
  if (!numbers(args, 2, xy)) {
    reply.push_back("ERROR TURN needs x,y");
  } else if (engine_.at(xy[0], xy[1]) != 0) {
    reply.push_back(format("ERROR %d,%d is not an empty point", xy[0], xy[1]));
  } else {
    if (me_ == 0) me_ = engine::kWhite;  // the opponent moved first
    engine_.put(xy[0], xy[1], 3 - me_);
    move(reply);
  }
}

void Protocol::boardline(const std::string& line, std::vector<std::string>& reply) {
  int f[3];
  if (upper(line) == "DONE") {
    boarddone(reply);
  } else if (!numbers(line, 3, f) || f[2] < 1 || f[2] > 3) {
    reply.push_back("ERROR expected x,y,1|2|3 or DONE");
  } else if (engine_.at(f[0], f[1]) != 0) {
    reply.push_back(format("ERROR %d,%d is not an empty point", f[0], f[1]));
  } else {
    engine_.put(f[0], f[1], f[2]);  // to find points given twice; set up again at DONE
    board_.push_back({f[0], f[1], f[2]});
  }
}

void Protocol::boarddone(std::vector<std::string>& reply) {
  inboard_ = false;
  me_ = engine::kBlack;
  for (const auto& s : board_)
    if (s[2] != 3) {
      me_ = s[2] == 1 ? engine::kBlack : engine::kWhite;
      break;
    }
  engine_.newgame(engine_.size(), rule_);
  for (const auto& s : board_) engine_.put(s[0], s[1], s[2] == 3 ? 3 : s[2] == 1 ? me_ : 3 - me_);
  move(reply);
}

void Protocol::showforbid(std::vector<std::string>& reply) {
  std::string line = "FORBID ";
  for (auto [x, y] : engine_.forbiddenpoints()) line += format("%02d%02d", x, y);
  reply.push_back(line);
}

bool Protocol::setrule(const std::string& value, std::vector<std::string>& reply) {
  int v = 0;
  engine::Rule rule;
  std::string why;
  if (!number(value, v)) return false;
  if (!ruleof(v, rule, why)) {
    reply.push_back("ERROR rule " + std::to_string(v) + " not supported: " + why);
    return true;
  }
  settings_.rule = v;
  if (rule != rule_) {
    rule_ = rule;
    engine_.setrule(rule);
  }
  return true;
}

void Protocol::takeback(const std::string& args, std::vector<std::string>& reply) {
  int xy[2];
  if (!ready(reply)) return;
  if (!numbers(args, 2, xy))
    reply.push_back("ERROR TAKEBACK needs x,y");
  else if (!engine_.remove(xy[0], xy[1]))
    reply.push_back(format("ERROR no stone on %d,%d", xy[0], xy[1]));
  else
    reply.push_back("OK");
}

void Protocol::info(const std::string& args, std::vector<std::string>& reply) {
  size_t space = args.find_first_of(" \t");
  const std::string key = args.substr(0, space);
  const std::string value = space == std::string::npos ? "" : trim(args.substr(space));
  bool ok = true;
  if (key == "timeout_turn")
    ok = number(value, settings_.timeout_turn) && settings_.timeout_turn >= 0;
  else if (key == "timeout_match")
    ok = number(value, settings_.timeout_match) && settings_.timeout_match >= 0;
  else if (key == "time_left")
    ok = number(value, settings_.time_left);
  else if (key == "max_memory")
    ok = number(value, settings_.max_memory);
  else if (key == "rule")
    ok = setrule(value, reply);
  if (key.empty()) {
    reply.push_back("ERROR INFO needs a key and a value");
    return;
  }
  if (!ok) {
    reply.push_back("ERROR bad INFO " + args);
    return;
  }
  if (size_t memory = enginememory(settings_); memory != memory_) {
    engine_.setmemory(memory);
    memory_ = memory;
  }
}

void Protocol::move(std::vector<std::string>& reply) {
  if (me_ == 0) me_ = engine::kBlack;  // the engine moves first
  engine_.settomove(me_);
  engine::Limits limits;
  if (nodes_)
    limits.nodes = nodes_;
  else
    limits.time_ms = movebudget(settings_);
  engine::Result r = engine_.search(limits);
  if (r.x < 0) {
    reply.push_back("ERROR no empty point left");
    return;
  }
  engine_.put(r.x, r.y, me_);
  uint64_t nps = r.time_ms > 0 ? r.nodes * 1000 / static_cast<uint64_t>(r.time_ms) : 0;
  reply.push_back(format("MESSAGE depth %d score %d nodes %" PRIu64 " nps %" PRIu64 " time %" PRId64
                         "ms%s",
                         r.depth, r.score, r.nodes, nps, r.time_ms, r.win ? " (wins)" : ""));
  reply.push_back(format("%d,%d", r.x, r.y));
}

}  // namespace gomoku::pbrain
