// pbrain-gomoku: the engine for Gomocup tournament managers, on standard input and output.
// Usage: pbrain-gomoku [--nodes N]   (N: a node budget per move instead of the clock)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "pbrain/protocol.hpp"

int main(int argc, char** argv) {
  uint64_t nodes = 0;
  if (argc == 3 && std::strcmp(argv[1], "--nodes") == 0) {
    nodes = std::strtoull(argv[2], nullptr, 10);
  } else if (argc != 1) {
    std::fprintf(stderr, "usage: %s [--nodes N]\n", argv[0]);
    return 2;
  }
  gomoku::pbrain::Protocol protocol(nodes);
  std::string line;
  std::vector<std::string> reply;
  while (std::getline(std::cin, line)) {
    reply.clear();
    bool more = protocol.handle(line, reply);
    for (const std::string& r : reply) std::cout << r << '\n';
    std::cout.flush();
    if (!more) break;
  }
  return 0;
}
