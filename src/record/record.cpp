#include "record/record.hpp"

#include "record/psq.hpp"
#include "record/sgf.hpp"

namespace gomoku::record {
namespace {

constexpr int kMaxGameNumber = 1000000;

// True when `s` is one or more decimal digits.
bool digits(std::string_view s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

Format formatof(std::string_view path) {
  if (path.size() < 4) return Format::kSgf;
  std::string ext(path.substr(path.size() - 4));
  for (char& ch : ext) ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
  return ext == ".psq" ? Format::kPsq : Format::kSgf;
}

bool splitref(const std::string& arg, std::string& path, int& n) {
  std::size_t colon = arg.rfind(':');
  path = arg;
  n = 0;
  if (colon == std::string::npos || !digits(std::string_view(arg).substr(colon + 1))) return true;
  path = arg.substr(0, colon);
  std::string num = arg.substr(colon + 1);
  if (num.size() > 7 || std::stoi(num) < 1 || std::stoi(num) > kMaxGameNumber) return false;
  n = std::stoi(num);
  return !path.empty();
}

bool readgame(std::string_view text, Format f, int n, Game& g, std::string& why) {
  if (f == Format::kSgf) return sgfgame(text, n, g, why);
  if (n > 1) return refuse(why, "a PSQ file holds one game, not " + std::to_string(n));
  return readpsq(text, g, why);
}

std::string where(int line, int col) {
  std::string at = "line " + std::to_string(line);
  return col > 0 ? at + ", column " + std::to_string(col) : at;
}

}  // namespace gomoku::record
