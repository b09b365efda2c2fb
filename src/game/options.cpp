#include "game/options.hpp"

#include <cstdio>

#include "board/state.hpp"
#include "game/replay.hpp"
#include "record/recorder.hpp"

namespace gomoku {
namespace {

constexpr int kMaxThinkMs = 3600000;  // an hour

const char kUsage[] =
    "usage: gomoku [--computer 1|2] [--time MS] [--rule NAME] [--record FILE]\n"
    "              [--load FILE[:N]]\n"
    "       gomoku --replay FILE[:N] | --help | --version\n"
    "  -c, --computer N  the computer plays player N: 1 (O, w a s d) or 2 (X, arrow keys)\n"
    "  -t, --time MS     its thinking time per move in milliseconds (default 1000)\n"
    "      --rule NAME   the rule: freestyle (default), standard, renju or caro\n"
    "      --record FILE record every game in FILE as played (SGF, or PSQ for .psq)\n"
    "      --load FILE[:N]\n"
    "                    play on from game N (default the last) of an SGF or PSQ file\n"
    "      --replay FILE[:N]\n"
    "                    show game N move by move: d a w s or the arrows, q to leave\n"
    "  -h, --help        show this help and exit\n"
    "      --version     show the version and exit\n";

// A command line that is refused: one line saying why, then the usage.
Options refused(const std::string& why) {
  Options o;
  o.status = 2;
  o.err = "gomoku: " + why + "\n" + kUsage;
  return o;
}

// The whole of `text` as a decimal number from `low` to `high`; false for anything else.
bool number(const std::string& text, int low, int high, int& value) {
  long v = 0;
  for (char ch : text) {
    if (ch < '0' || ch > '9') return false;
    v = v * 10 + (ch - '0');
    if (v > high) return false;
  }
  if (text.empty() || v < low) return false;
  value = static_cast<int>(v);
  return true;
}

// The rule called `name` into `value` (kFreestyle ... kCaro); false for any other name.
bool rulenamed(const std::string& name, int& value) {
  static const char* const kNames[] = {"freestyle", "standard", "renju", "caro"};
  for (int i = 0; i < 4; ++i)
    if (name == kNames[i]) {
      value = i;
      return true;
    }
  return false;
}

// Splits an option into its name and an attached value ("--time=50", "-c2"); true when
// a value was attached.
bool attached(const std::string& arg, std::string& name, std::string& value) {
  std::size_t eq = arg.find('=');
  if (arg.starts_with("--") && eq != std::string::npos) {
    name = arg.substr(0, eq);
    value = arg.substr(eq + 1);
    return true;
  }
  bool shortvalue = arg.size() > 2 && arg[0] == '-' && arg[1] != '-';
  name = shortvalue ? arg.substr(0, 2) : arg;
  value = shortvalue ? arg.substr(2) : "";
  return shortvalue;
}

// Writes `message` as one line on standard error; returns `status`.
int said(int status, const std::string& message) {
  std::fputs(("gomoku: " + message + "\n").c_str(), stderr);
  return status;
}

// Loads the game to play on from or to show, and starts recording, as `o` asks; -1 to
// go on, else the status to end with, the reason written out.
int userecords(const Options& o) {
  std::string why;
  record::Game g;
  if (!o.game.empty() && !(readrecord(o.game, o.gamenumber, g, why) && userule(g, o.rule, why) &&
                           (o.replay ? setreplay(g, why) : loadgame(g, why))))
    return said(2, o.game + ": " + why);
  if (!o.record.empty() && !startrecord(o.record, o.game, why))
    return said(1, "cannot record in " + o.record + ": " + why);
  return -1;
}

}  // namespace

Options parseoptions(const std::vector<std::string>& args) {
  Options o;
  bool replayed = false, played = false;  // --replay given; an option of play given
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name, value;
    bool hasvalue = attached(args[i], name, value);
    bool computeropt = name == "-c" || name == "--computer";
    bool timeopt = name == "-t" || name == "--time";
    bool recordopt = name == "--record", gameopt = name == "--load" || name == "--replay";
    bool ruleopt = name == "--rule";
    if (!hasvalue && (name == "-h" || name == "--help")) {
      o.status = 0;
      o.out = kUsage;
      return o;
    }
    if (!hasvalue && name == "--version") {
      o.status = 0;
      o.out = "gomoku " GOMOKU_VERSION "\n";
      return o;
    }
    if (!computeropt && !timeopt && !ruleopt && !recordopt && !gameopt)
      return refused("unknown option '" + args[i] + "'");
    if (!hasvalue && i + 1 == args.size()) return refused(name + " needs a value");
    if (!hasvalue) value = args[++i];
    if ((recordopt || gameopt) && value.empty()) return refused(name + " needs a file name");
    if (recordopt) o.record = value;
    if (gameopt && !record::splitref(value, o.game, o.gamenumber))
      return refused(name + " takes FILE or FILE:N, N a game from 1, not '" + value + "'");
    if (gameopt) o.replay = name == "--replay";
    replayed = replayed || name == "--replay";
    played = played || computeropt || timeopt || ruleopt || recordopt || name == "--load";
    if (computeropt && !number(value, 1, 2, o.computer))
      return refused(name + " takes 1 or 2, not '" + value + "'");
    if (timeopt && !number(value, 1, kMaxThinkMs, o.thinkms))
      return refused(name + " takes milliseconds from 1 to " + std::to_string(kMaxThinkMs) +
                     ", not '" + value + "'");
    if (ruleopt && !rulenamed(value, o.rule))
      return refused(name + " takes freestyle, standard, renju or caro, not '" + value + "'");
  }
  if (replayed && played)
    return refused("--replay shows a recorded game and takes no other option");
  return o;
}

int useoptions(int argc, char** argv) {
  Options o = parseoptions(std::vector<std::string>(argv + (argc > 0), argv + argc));
  std::fputs(o.out.c_str(), stdout);
  std::fputs(o.err.c_str(), stderr);
  std::fflush(stdout);
  computer = o.computer;
  thinkms = o.thinkms;
  rule = o.rule < 0 ? kFreestyle : o.rule;
  return o.status < 0 ? userecords(o) : o.status;
}

}  // namespace gomoku
