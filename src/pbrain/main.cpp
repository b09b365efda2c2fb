// pbrain-gomoku: the engine for Gomocup tournament managers, on standard input and output.
// Usage: pbrain-gomoku [--nodes N]   (N: a node budget per move instead of the clock)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "pbrain/lines.hpp"
#include "pbrain/session.hpp"

namespace {

// Writes the lines to standard output and sends them on at once.
void sendout(const std::vector<std::string>& lines) {
  for (const std::string& l : lines) {
    std::fwrite(l.data(), 1, l.size(), stdout);
    std::fputc('\n', stdout);
  }
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  uint64_t nodes = 0;
  if (argc == 3 && std::strcmp(argv[1], "--nodes") == 0) {
    nodes = std::strtoull(argv[2], nullptr, 10);
  } else if (argc != 1) {
    std::fprintf(stderr, "usage: %s [--nodes N]\n", argv[0]);
    return 2;
  }
  gomoku::pbrain::binarymode(1);
  try {
    gomoku::pbrain::Protocol protocol(nodes, nodes == 0);
    gomoku::pbrain::serve(0, protocol, sendout);
  } catch (const std::exception& e) {  // no memory for the engine, no thread to read with
    std::fprintf(stderr, "pbrain-gomoku: %s\n", e.what());
    return 1;
  }
  return 0;
}
