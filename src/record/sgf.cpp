#include "record/sgf.hpp"

#include <algorithm>
#include <cstdio>

namespace gomoku::record {
namespace {

constexpr int kSide = 19;                   // rows and columns of the board
constexpr std::size_t kMaxMainLine = 4096;  // nodes kept of one game's main line

// The text being read, with the line and column of the next character (columns count
// characters, not the bytes of UTF-8 ones).
class Text {
 public:
  explicit Text(std::string_view s) : s_(s) {
    if (s_.starts_with("\xEF\xBB\xBF")) i_ = 3;  // a byte order mark is no part of it
  }
  bool end() const { return i_ >= s_.size(); }
  char peek() const { return s_[i_]; }
  // Takes the next character's byte, keeping the line and column.
  char take() {
    char ch = s_[i_++];
    if (ch == '\n') {
      ++line_;
      col_ = 1;
    } else if ((static_cast<unsigned char>(ch) & 0xC0) != 0x80) {
      ++col_;
    }
    return ch;
  }
  // Skips white space; true when more text follows.
  bool skipspace() {
    while (!end() && (peek() == ' ' || (peek() >= '\t' && peek() <= '\r'))) take();
    return !end();
  }
  int line() const { return line_; }
  int col() const { return col_; }

 private:
  std::string_view s_;
  std::size_t i_ = 0;
  int line_ = 1, col_ = 1;
};

// Sets `why` to `what` at the text's position; returns -1.
int fail(const Text& t, std::string& why, const std::string& what) {
  why = where(t.line(), t.col()) + ": " + what;
  return -1;
}

// The character `ch` as a message shows it: itself when printable, else its byte.
std::string shown(char ch) {
  char buf[16];
  auto b = static_cast<unsigned char>(ch);
  std::snprintf(buf, sizeof buf, b > 0x20 && b < 0x7f ? "'%c'" : "byte 0x%02X", b);
  return buf;
}

// True for the capital letters A to Z, which alone make a property's identifier.
bool capital(char ch) {
  return ch >= 'A' && ch <= 'Z';
}
// True for the letters that may stand in an identifier (old files mix small ones in).
bool letter(char ch) {
  return capital(ch) || (ch >= 'a' && ch <= 'z');
}

// Reads one value after its '[' up to the ']' that closes it, undoing the escapes: a
// backslash keeps the character after it, and a backslash before a line break (a soft
// line break) takes both away.
int readvalue(Text& t, std::string& value, std::string& why) {
  int line = t.line(), col = t.col();
  t.take();  // '['
  for (;;) {
    if (t.end()) {
      why = where(line, col) + ": the value opened here is never closed with ']'";
      return -1;
    }
    char ch = t.take();
    if (ch == ']') return 0;
    if (ch == '\\' && !t.end()) {
      ch = t.take();
      if (ch == '\r' && !t.end() && t.peek() == '\n') t.take();
      if (ch == '\n' || ch == '\r') continue;
    }
    value += ch;
  }
}

// Reads the properties of a node, after its ';'.
int readprops(Text& t, SgfNode& node, std::string& why) {
  while (t.skipspace() && letter(t.peek())) {
    SgfProp p;
    std::string written;
    while (!t.end() && letter(t.peek())) {
      written += t.peek();
      if (capital(t.take())) p.id += written.back();
    }
    if (p.id.empty()) return fail(t, why, "property '" + written + "' has no capital letter");
    if (!t.skipspace() || t.peek() != '[')
      return fail(t, why, "'[' expected after property " + written);
    while (t.skipspace() && t.peek() == '[') {
      p.values.emplace_back();
      if (readvalue(t, p.values.back(), why) < 0) return -1;
    }
    node.props.push_back(std::move(p));
  }
  return 0;
}

// A game tree being read: whether it lies on the main line of the game wanted, and
// how many variations it has had so far.
struct Open {
  bool main;
  int children;
};

// Reads one node at the text's ';' into the open tree `top`; kept when on the main line.
int readnode(Text& t, const Open& top, std::vector<SgfNode>* mainline, std::string& why) {
  if (top.children > 0) return fail(t, why, "a node after a variation");
  SgfNode node;
  node.line = t.line();
  node.col = t.col();
  t.take();
  if (readprops(t, node, why) < 0) return -1;
  if (!top.main || !mainline) return 0;
  if (mainline->size() == kMaxMainLine)
    return fail(t, why, "more than " + std::to_string(kMaxMainLine) + " nodes in one game");
  mainline->push_back(std::move(node));
  return 0;
}

// A point's two letters, column then row from 'a': the row and column from 1.
bool point(const std::string& v, int& r, int& c) {
  if (v.size() != 2) return false;
  c = v[0] - 'a' + 1;
  r = v[1] - 'a' + 1;
  return r >= 1 && r <= kSide && c >= 1 && c <= kSide;
}

// The single value of property `id` of `node`, or `fallback` when it has none.
std::string value(const SgfNode& node, std::string_view id, const std::string& fallback = "") {
  const std::vector<std::string>* v = node.get(id);
  return v && !v->empty() ? v->front() : fallback;
}

// `s` in lower case (ASCII letters).
std::string lower(std::string s) {
  for (char& ch : s)
    if (capital(ch)) ch = static_cast<char>(ch - 'A' + 'a');
  return s;
}

// The result an RE value gives: "B+..." black won, "W+..." white, "0" or "Draw" a draw.
Result resultof(const std::string& re) {
  if (re.starts_with("B+")) return Result::kBlack;
  if (re.starts_with("W+")) return Result::kWhite;
  if (re == "0" || lower(re) == "draw") return Result::kDraw;
  return Result::kNone;
}

// Fills the game's facts from the root node: the kind of game and board, the rule,
// players, date and result. The side named "player 2" as black, or "player 1" as white,
// tells that player 2 moved first, as this game's own records name them.
bool readroot(const SgfNode& root, Game& g, std::string& why) {
  std::string at = where(root.line, root.col) + ": ";
  std::string gm = value(root, "GM", "4"), sz = value(root, "SZ", "19");
  if (gm != "4") return refuse(why, at + "GM[" + gm + "] is not Gomoku (GM[4])");
  if (sz != "19" && sz != "19:19")
    return refuse(why, at + "board size SZ[" + sz + "]: only 19x19 boards are played here");
  g.rule = lower(value(root, "RU", kRules[0]));
  if (std::find(std::begin(kRules), std::end(kRules), g.rule) == std::end(kRules))
    return refuse(why, at + "rule RU[" + value(root, "RU") +
                           "] is none the game knows (freestyle, standard, renju, caro)");
  std::string pb = value(root, "PB", "player 1"), pw = value(root, "PW", "player 2");
  g.first = pb == "player 2" || pw == "player 1" ? 2 : 1;
  g.name[g.first - 1] = pb;
  g.name[2 - g.first] = pw;
  g.date = value(root, "DT");
  g.result = resultof(value(root, "RE"));
  return true;
}

// Adds the move of `node`, if it holds one, to `g`: one point, in turn.
bool readmove(const SgfNode& node, Game& g, std::string& why) {
  std::string at = where(node.line, node.col) + ": ";
  for (const char* setup : {"AB", "AW", "AE"})
    if (node.get(setup))
      return refuse(why, at + "setup stones (" + setup + ") are not played here, only moves");
  const std::vector<std::string>* b = node.get("B");
  const std::vector<std::string>* w = node.get("W");
  if (!b && !w) return true;
  if (b && w) return refuse(why, at + "two moves in one node");
  const std::vector<std::string>& v = b ? *b : *w;
  std::string n = "move " + std::to_string(g.moves.size() + 1);
  if (g.moves.size() == kMaxMoves) return refuse(why, at + "more moves than the board has points");
  if (v.size() != 1) return refuse(why, at + n + " names more than one point");
  if (v[0].empty() || v[0] == "tt") return refuse(why, at + n + " is a pass, which Gomoku has not");
  Move m;
  if (!point(v[0], m.r, m.c))
    return refuse(why, at + n + ": point " + v[0] + " is off the 19x19 board");
  if ((g.moves.size() % 2 == 0) != (b != nullptr))
    return refuse(why, at + n + " is " + (b ? "black's" : "white's") +
                           ", out of turn: black moves first, then each side in turn");
  m.line = node.line;
  m.col = node.col;
  g.moves.push_back(m);
  return true;
}

// `s` as an SGF text value: backslash and ']' escaped.
std::string escaped(const std::string& s) {
  std::string out;
  for (char ch : s) {
    if (ch == '\\' || ch == ']') out += '\\';
    out += ch;
  }
  return out;
}

// The RE value of a result.
const char* resulttext(Result r) {
  return r == Result::kBlack ? "B+" : r == Result::kWhite ? "W+" : "0";
}

}  // namespace

const std::vector<std::string>* SgfNode::get(std::string_view id) const {
  for (const SgfProp& p : props)
    if (p.id == id) return &p.values;
  return nullptr;
}

int readsgf(std::string_view text, std::string& why, int want, std::vector<SgfNode>* mainline) {
  Text t(text);
  std::vector<Open> open;
  int games = 0;
  while (t.skipspace()) {
    char ch = t.peek();
    if (ch == '(') {
      bool main = open.empty() ? ++games == want : open.back().main && open.back().children == 0;
      if (!open.empty()) ++open.back().children;
      open.push_back({main, 0});
      t.take();
      if (!t.skipspace() || t.peek() != ';')
        return fail(t, why, "a game tree must begin with a node (';')");
    } else if (ch == ')' && !open.empty()) {
      open.pop_back();
      t.take();
    } else if (ch == ';' && !open.empty()) {
      if (readnode(t, open.back(), mainline, why) < 0) return -1;
    } else {
      return fail(t, why, "unexpected " + shown(ch) + (open.empty() ? " outside a game tree" : ""));
    }
  }
  if (!open.empty()) return fail(t, why, "the text ends inside a game tree: ')' expected");
  return games;
}

bool sgfgame(std::string_view text, int n, Game& g, std::string& why) {
  int count = readsgf(text, why);
  if (count < 0) return false;
  if (count == 0) return refuse(why, "no game in the file");
  if (n > count)
    return refuse(why, "the file holds " + std::to_string(count) + " game" +
                           (count > 1 ? "s" : "") + ", not " + std::to_string(n));
  std::vector<SgfNode> line;
  if (readsgf(text, why, n == 0 ? count : n, &line) < 0) return false;
  g = Game{};
  if (!readroot(line.front(), g, why)) return false;
  for (const SgfNode& node : line)
    if (!readmove(node, g, why)) return false;
  g.comment = value(line.back(), "C");
  return true;
}

std::string writesgf(const Game& g) {
  std::string out = "(;FF[4]GM[4]SZ[19]CA[UTF-8]RU[" + escaped(g.rule) + "]";
  if (!g.date.empty()) out += "DT[" + escaped(g.date) + "]";
  out += "PB[" + escaped(g.name[g.first - 1]) + "]PW[" + escaped(g.name[2 - g.first]) + "]";
  if (g.result != Result::kNone) out += std::string("RE[") + resulttext(g.result) + "]";
  std::string comment = g.comment.empty() ? "" : "C[" + escaped(g.comment) + "]";
  if (g.moves.empty()) out += comment;
  for (std::size_t i = 0; i < g.moves.size(); ++i) {
    const Move& m = g.moves[i];
    if (i % 10 == 0) out += '\n';
    out += i % 2 == 0 ? ";B[" : ";W[";
    out += static_cast<char>('a' + m.c - 1);
    out += static_cast<char>('a' + m.r - 1);
    out += ']';
    if (i + 1 == g.moves.size()) out += comment;
  }
  return out + ")\n";
}

}  // namespace gomoku::record
