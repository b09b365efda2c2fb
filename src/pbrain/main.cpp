// pbrain-gomoku: the engine for Gomocup tournament managers, on standard input and output.
// Usage: pbrain-gomoku [--nodes N] [--level L] [--seed S]
//   N: a node budget per move instead of the clock; L: the strength, 1 (a beginner) to
//   9 (the strongest, the default); S: where a weaker level's randomness starts (by
//   default fixed with --nodes, so that such a run is repeatable, else from the clock).
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "pbrain/lines.hpp"
#include "pbrain/session.hpp"

namespace {

// What the command line asks for.
struct Options {
  uint64_t nodes = 0;  // a node budget per move; 0: the clock
  int level = 9;       // strength, 1 to 9
  uint64_t seed = 1;   // where a weaker level's randomness starts
};

// Writes the lines to standard output and sends them on at once.
void sendout(const std::vector<std::string>& lines) {
  for (const std::string& l : lines) {
    std::fwrite(l.data(), 1, l.size(), stdout);
    std::fputc('\n', stdout);
  }
  std::fflush(stdout);
}

// What the command line asks for; false for anything it does not know.
bool parse(int argc, char** argv, Options& o) {
  bool seeded = false;
  for (int i = 1; i < argc; i += 2) {
    if (i + 1 == argc) return false;
    uint64_t v = 0;
    const char* text = argv[i + 1];
    const auto [end, error] = std::from_chars(text, text + std::strlen(text), v);
    if (error != std::errc() || *end != '\0') return false;
    if (std::strcmp(argv[i], "--nodes") == 0) {
      o.nodes = v;
    } else if (std::strcmp(argv[i], "--level") == 0 && v >= 1 && v <= 9) {
      o.level = static_cast<int>(v);
    } else if (std::strcmp(argv[i], "--seed") == 0) {
      o.seed = v;
      seeded = true;
    } else {
      return false;
    }
  }
  if (!seeded && o.nodes == 0)
    o.seed = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!parse(argc, argv, o)) {
    std::fprintf(stderr, "usage: %s [--nodes N] [--level 1-9] [--seed S]\n", argv[0]);
    return 2;
  }
  gomoku::pbrain::binarymode(1);
  try {
    gomoku::pbrain::Protocol protocol(o.nodes, o.nodes == 0, o.level, o.seed);
    gomoku::pbrain::serve(0, protocol, sendout);
  } catch (const std::exception& e) {  // no memory for the engine, no thread to read with
    std::fprintf(stderr, "pbrain-gomoku: %s\n", e.what());
    return 1;
  }
  return 0;
}
