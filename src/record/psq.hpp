// PSQ, the record format of the Piskvork tournament manager: one game per file.
#pragma once

#include <string>
#include <string_view>

#include "record/record.hpp"

namespace gomoku::record {

// Reads a PSQ record: the header "Piskvorky WxH, A:B, S" (A and B non-zero for a
// computer side, S non-zero when player 2 started), then one "x,y[,ms]" line per move,
// x the column and y the row from 1. The moves end at the first other line (Piskvork's
// closing lines). False with the reason, saying which line, otherwise: no header, a
// board other than 19x19, a point off the board.
bool readpsq(std::string_view text, Game& g, std::string& why);

// The game as a PSQ record: the header, one "x,y,ms" line per move, then a line "0".
std::string writepsq(const Game& g);

}  // namespace gomoku::record
