// SGF (Smart Game Format, FF[4]): a reader of its general syntax, and the game trees
// this game writes (GM[4], five in a row).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "record/record.hpp"

namespace gomoku::record {

// One property of a node: its identifier and its values, unescaped.
struct SgfProp {
  std::string id;  // the capital letters of the identifier (old files' "PlayerBlack" is PB)
  std::vector<std::string> values;
};

// One node: its properties, and where its ';' stands in the text.
struct SgfNode {
  std::vector<SgfProp> props;
  int line = 0, col = 0;
  // The values of property `id`, or nullptr when the node has none.
  const std::vector<std::string>* get(std::string_view id) const;
};

// Reads the syntax of an SGF collection: game trees in parentheses, nodes, properties
// with one or more values, escapes (`\]`, `\\`, soft line breaks) and variations.
// Returns the number of game trees, or -1 with the reason, saying where, in `why`.
// With `mainline`, fills it with the nodes of game `want` (from 1) along its main line:
// a tree's nodes, then those of its first variation, and so on.
int readsgf(std::string_view text, std::string& why, int want = 0,
            std::vector<SgfNode>* mainline = nullptr);

// Reads game `n` (from 1; 0 for the last) of an SGF collection into `g`, following the
// main line. False with the reason otherwise: bad syntax, a board other than 19x19, a
// game other than Gomoku, an unknown rule, setup stones, a pass, a point off the board,
// a move out of turn.
bool sgfgame(std::string_view text, int n, Game& g, std::string& why);

// The game as one SGF game tree: the root with the rule, date, players and result, one
// node per move, the comment on the last; ends with a line break.
std::string writesgf(const Game& g);

}  // namespace gomoku::record
