// A manager's session: lines are read on a thread of their own, so that END, or the end
// of the input, stops a search in progress at once; every line is answered in turn.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "pbrain/protocol.hpp"

namespace gomoku::pbrain {

// Sends one line's reply lines to the manager.
using Sender = std::function<void(const std::vector<std::string>&)>;

// Reads lines from `fd` (put in binary mode) and answers each with `protocol` through
// `send`, until END or the end of the input; from then on searches answer at once. Ends
// the process with status 1 and a line on standard error when the engine runs out of
// memory beyond what it can stand.
void serve(int fd, Protocol& protocol, const Sender& send);

}  // namespace gomoku::pbrain
