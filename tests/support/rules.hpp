// Deciding positions under each rule, for the engine's judge and the game's: one move,
// whether it wins, and which points renju forbids black. Every verdict here was checked
// against the match referee's judge.
#pragma once

#include <string>
#include <vector>

namespace gomoku::testing {

// The rules in the order of the engine's Rule and the game's rule numbers.
enum RuleNo { kFree = 0, kStd = 1, kRenju = 2, kCaroRule = 3 };

// Rows from the top-left corner of a 15x15 board (rows and columns beyond are empty):
// 'x' black, 'o' white, '.' empty; '*' the move of `mover` (1 black, 2 white), '!' the
// same but a point forbidden to black; 'F' another point forbidden to black.
struct RulePosition {
  const char* name;
  int rule;
  int mover;
  std::vector<std::string> rows;
  bool wins;  // the move makes a line that wins under the rule
};

inline const std::vector<RulePosition>& rulepositions() {
  static const std::vector<RulePosition> cases = {
      {"renju_double_three", kRenju, 1, {".", "....x", "....x", "..xx!"}, false},
      // The vertical three's straight-four point makes two fours: not a real three.
      {"renju_three_not_real", kRenju, 1, {".", ".", "...FxxF", ".", "...xx", "..xx*"}, false},
      // The diagonal three's straight-four point (the F beside '!') looks like a double
      // three, but one of its threes is the one above, not real: so that point is
      // allowed, the diagonal three is real, and '!' is a double three.
      {"renju_three_real_two_levels",
       kRenju,
       1,
       {".", ".", "...FxxF", ".", "...xx", "..xxF", "...F.!", "......x", ".....x", ".....x"},
       false},
      {"renju_four_three_allowed", kRenju, 1, {"....o", "....x", "....x", "....x", "..xx*"}, false},
      {"renju_double_four_on_one_line", kRenju, 1, {".", ".", ".xxx.!.xxx"}, false},
      {"renju_overline", kRenju, 1, {".", ".", ".xx!xxx"}, false},
      {"renju_five_with_overline_wins",
       kRenju,
       1,
       {".....x", ".....x", ".xxxx*", "...F.x", ".....x", ".....x"},
       true},
      {"renju_five_with_double_three_wins",
       kRenju,
       1,
       {".", ".", ".", ".", ".xxxx*", ".....x", ".....xx", ".......x"},
       true},
      {"renju_white_overline_wins", kRenju, 2, {".", ".", ".oo*ooo"}, true},
      {"standard_six_does_not_win", kStd, 1, {".", ".", ".xx*xxx"}, false},
      {"standard_five_wins", kStd, 2, {".", ".", ".oo*oo"}, true},
      {"freestyle_six_wins", kFree, 1, {".", ".", ".xx*xxx"}, true},
      {"caro_five_blocked_both_ends", kCaroRule, 1, {".", ".", "oxxxx*o"}, false},
      {"caro_five_blocked_one_end", kCaroRule, 1, {".", ".", "oxxxx*"}, true},
      {"caro_five_at_the_edge", kCaroRule, 2, {".", ".", "oooo*x"}, true},
      {"caro_six_blocked_both_ends", kCaroRule, 1, {".", ".", "oxx*xxxo"}, true},
  };
  return cases;
}

}  // namespace gomoku::testing
