#include "pbrain/protocol.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <new>

namespace gomoku::pbrain {
namespace {

using engine::Engine;

constexpr std::size_t kDefaultMemory = std::size_t{64} << 20;
constexpr std::size_t kProgramMemory = std::size_t{12} << 20;  // code, stacks, pattern tables
constexpr std::size_t kExcerpt = 40;

// The line without leading and trailing blanks.
std::string trim(std::string_view s) {
  size_t a = s.find_first_not_of(" \t"), b = s.find_last_not_of(" \t");
  return a == std::string::npos ? std::string() : std::string(s.substr(a, b - a + 1));
}

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// The first word of a trimmed line, in capitals.
std::string firstword(const std::string& line) {
  return upper(line.substr(0, line.find_first_of(" \t")));
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

// A time in milliseconds, not negative; beyond kMaxTime (however many digits) taken as
// kMaxTime.
bool duration(const std::string& s, int64_t& out) {
  const std::string t = trim(s);
  if (t.empty() || t.find_first_not_of("0123456789") != std::string::npos) return false;
  uint64_t v = kMaxTime;
  number(t, v);  // fails only when too large for any integer: kMaxTime stays
  out = static_cast<int64_t>(std::min<uint64_t>(v, kMaxTime));
  return true;
}

// A line of data that follows some commands (points, DONE) rather than a command.
bool isdata(const std::string& line) {
  return upper(line) == "DONE" || line.find_first_not_of("0123456789,+- \t") == std::string::npos;
}

// Reads the setting `key` from `value` into `s`; false when the value is not one the key
// takes. Unknown keys are taken and ignored.
bool setting(const std::string& key, const std::string& value, Settings& s) {
  if (key == "timeout_turn") return duration(value, s.timeout_turn);
  if (key == "timeout_match") return duration(value, s.timeout_match);
  if (key == "max_memory") return number(value, s.max_memory);
  if (key == "thread_num") return number(value, s.thread_num) && s.thread_num >= 1;
  if (key == "time_left") {  // may be below zero when the match time is overdrawn
    int64_t left = 0;
    if (!number(value, left)) return false;
    s.time_left = std::clamp<int64_t>(left, 0, kMaxTime);
  }
  return true;
}

int64_t since(Protocol::Time t) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t)
      .count();
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

int64_t movebudget(const Settings& s, int64_t held) {
  int64_t turn = s.timeout_turn > 0 ? s.timeout_turn : 20;
  int64_t margin = std::max(turn / 8, std::min<int64_t>(20, turn / 2)) + held;
  int64_t budget = turn - std::min(margin, turn * 3 / 4);
  if (s.timeout_match > 0 && s.time_left >= 0)
    budget = std::min(budget, s.time_left / 12 - std::min<int64_t>(20, s.time_left / 24) - held);
  return std::max<int64_t>(budget, 1);
}

int64_t movetarget(const Settings& s, int64_t held) {
  Settings turnonly = s;
  turnonly.timeout_match = 0;
  const int64_t budget = movebudget(s, held);
  return budget < movebudget(turnonly, held) ? std::max<int64_t>(budget / 2, 1) : 0;
}

std::size_t enginememory(const Settings& s) {
  const uint64_t m = s.max_memory;
  if (m == 0) return kDefaultMemory;
  if (m <= 2 * kProgramMemory) return m / 4;
  return std::min<uint64_t>({m - kProgramMemory, m / 4 * 3, kMaxTables});
}

std::string excerpt(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size() && i < kExcerpt; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    out += c >= 0x20 && c < 0x7f ? std::string(1, static_cast<char>(c)) : format("\\x%02X", c);
  }
  return text.size() > kExcerpt ? out + "..." : out;
}

bool isend(std::string_view line) {
  return line.size() <= kMaxLine && firstword(trim(line)) == "END";
}

Protocol::Protocol(uint64_t nodes, bool clock, int level, uint64_t seed)
    : player_(engine::levelsettings(level, seed)),
      engine_(tablesize()),
      nodes_(nodes),
      clock_(clock || !nodes),
      memory_(tablesize()) {}

std::size_t Protocol::tablesize() const {
  const std::size_t allowed = enginememory(settings_), needed = player_.level().memory;
  return needed ? std::min(allowed, needed) : allowed;
}

bool Protocol::handle(const std::string& raw, std::vector<std::string>& reply, Time arrived) {
  if (raw.size() > kMaxLine) {
    reply.push_back(format("ERROR line longer than %zu bytes: ", kMaxLine) + excerpt(raw));
    return true;
  }
  if (isend(raw)) return false;
  const std::string line = trim(raw);
  if (line.empty()) return true;
  size_t space = line.find_first_of(" \t");
  const std::string cmd = upper(line.substr(0, space));
  const std::string args = space == std::string::npos ? "" : trim(line.substr(space));
  if (inboard_) {
    boardline(line, reply, arrived);
  } else if (!skipping_ || !isdata(line)) {
    skipping_ = !command(cmd, args, reply, arrived);
    if (skipping_) reply.push_back("UNKNOWN command " + excerpt(line.substr(0, space)));
  }
  return true;
}

bool Protocol::command(const std::string& cmd, const std::string& args,
                       std::vector<std::string>& reply, Time arrived) {
  if (cmd == "START") {
    start(args, reply);
  } else if (cmd == "RESTART") {
    if (ready(reply)) engine_.newgame(engine_.size(), rule_), me_ = 0, reply.push_back("OK");
  } else if (cmd == "BEGIN") {
    if (ready(reply)) move(reply, arrived);
  } else if (cmd == "TURN") {
    turn(args, reply, arrived);
  } else if (cmd == "BOARD") {
    if (ready(reply)) engine_.newgame(engine_.size(), rule_), board_.clear(), inboard_ = true;
  } else if (cmd == "TAKEBACK") {
    takeback(args, reply);
  } else if (cmd == "INFO") {
    info(args, reply);
  } else if (cmd == "YXSHOWFORBID") {
    if (ready(reply)) showforbid(reply);
  } else if (cmd == "ABOUT") {
    reply.push_back("name=\"gomoku\", version=\"" GOMOKU_VERSION
                    "\", author=\"gomoku developers\", country=\"China\"");
  } else {
    return false;
  }
  return true;
}

bool Protocol::ready(std::vector<std::string>& reply) {
  if (!started_) reply.push_back("ERROR no game started: START first");
  return started_;
}

bool Protocol::emptypoint(int x, int y, std::vector<std::string>& reply) {
  const int n = engine_.size();
  if (x < 0 || y < 0 || x >= n || y >= n)
    reply.push_back(format("ERROR %d,%d is off the board (0 to %d)", x, y, n - 1));
  else if (engine_.at(x, y) != 0)
    reply.push_back(format("ERROR %d,%d is not an empty point", x, y));
  else
    return true;
  return false;
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

void Protocol::turn(const std::string& args, std::vector<std::string>& reply, Time arrived) {
  int xy[2];
  if (!ready(reply)) return;
  if (!numbers(args, 2, xy)) {
    reply.push_back("ERROR TURN needs x,y");
  } else if (emptypoint(xy[0], xy[1], reply)) {
    if (me_ == 0) me_ = engine::kWhite;  // the opponent moved first
    engine_.put(xy[0], xy[1], 3 - me_);
    move(reply, arrived);
  }
}

void Protocol::boardline(const std::string& line, std::vector<std::string>& reply, Time arrived) {
  int f[3];
  if (upper(line) == "DONE") {
    boarddone(reply, arrived);
  } else if (!numbers(line, 3, f) || f[2] < 1 || f[2] > 3) {
    reply.push_back("ERROR expected x,y,1|2|3 or DONE");
  } else if (emptypoint(f[0], f[1], reply)) {
    engine_.put(f[0], f[1], f[2]);  // to find points given twice; set up again at DONE
    board_.push_back({f[0], f[1], f[2]});
  }
}

void Protocol::boarddone(std::vector<std::string>& reply, Time arrived) {
  inboard_ = false;
  me_ = engine::kBlack;
  for (const auto& s : board_)
    if (s[2] != 3) {
      me_ = s[2] == 1 ? engine::kBlack : engine::kWhite;
      break;
    }
  engine_.newgame(engine_.size(), rule_);
  for (const auto& s : board_) engine_.put(s[0], s[1], s[2] == 3 ? 3 : s[2] == 1 ? me_ : 3 - me_);
  move(reply, arrived);
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
  Settings next = settings_;
  if (key.empty()) {
    reply.push_back("ERROR INFO needs a key and a value");
  } else if (key == "rule") {
    if (!setrule(value, reply)) reply.push_back("ERROR bad INFO " + excerpt(args));
  } else if (!setting(key, value, next)) {
    reply.push_back("ERROR bad INFO " + excerpt(args));
  } else {
    settings_ = next;
    fitmemory(reply);
  }
}

void Protocol::fitmemory(std::vector<std::string>& reply) {
  const std::size_t memory = tablesize();
  if (memory == memory_) return;
  memory_ = memory;
  if (!engine_.setmemory(memory))
    reply.push_back(
        format("MESSAGE tables of %zu MB: the system would give no more", engine_.memory() >> 20));
}

void Protocol::move(std::vector<std::string>& reply, Time arrived) {
  if (me_ == 0) me_ = engine::kBlack;  // the engine moves first
  engine_.settomove(me_);
  engine::Limits limits;
  limits.stop = &stop_;
  limits.nodes = nodes_;
  const int64_t planned = movebudget(settings_, margin_.held());
  if (clock_) limits.time_ms = std::max<int64_t>(planned - since(arrived), 1);
  const int64_t target = movetarget(settings_, margin_.held());
  if (clock_ && target) limits.target_ms = std::max<int64_t>(target - since(arrived), 1);
  // INFO thread_num threads on the clock; a node budget keeps to one thread, so that its
  // games can be replayed.
  if (clock_) limits.threads = settings_.thread_num;
  engine::Result r;
  try {
    r = player_.choose(engine_, limits);
  } catch (const std::bad_alloc&) {
    reply.push_back("ERROR out of memory: no move chosen");
    return;
  }
  if (clock_) margin_.record(planned, since(arrived));
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
