#include "record/recorder.hpp"

#include <chrono>
#include <ctime>
#include <filesystem>

#include "board/judge.hpp"
#include "board/state.hpp"
#include "console/console.hpp"
#include "record/file.hpp"
#include "record/psq.hpp"
#include "record/sgf.hpp"

namespace gomoku {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// What is being recorded, and where.
struct Recording {
  std::string path;  // the file named; empty when not recording
  std::string file;  // the file the game being played goes to
  record::Format format = record::Format::kSgf;
  std::string written;     // SGF: the game being played as it was last written
  int games = 0;           // games begun in this run
  int nextpsq = 2;         // PSQ: the number the next file name tries
  bool open = false;       // a game is being recorded
  record::Game game;       // that game (before it: the one loaded)
  Clock::time_point turn;  // when the turn being played began
};
Recording rec;

// The name of player `p` in records: the computer with its thinking time, or "player N".
std::string sidename(int p) {
  if (p == computer) return "computer (" + std::to_string(thinkms) + " ms)";
  return "player " + std::to_string(p);
}

// Today's date in local time, YYYY-MM-DD.
std::string today() {
  std::time_t now = std::time(nullptr);
  char buf[16] = "";
  if (const std::tm* t = std::localtime(&now)) std::strftime(buf, sizeof buf, "%Y-%m-%d", t);
  return buf;
}

// The first name NAME-k.psq, from the number the last one took on, that no file has.
std::string nextpsqfile() {
  std::string stem = rec.path.substr(0, rec.path.size() - 4), ext = rec.path.substr(stem.size());
  for (;;) {
    std::string name = stem + "-" + std::to_string(rec.nextpsq++) + ext;
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(name, ec))) return name;
  }
}

// What the SGF file `now` becomes with `tree`, the game being played: its tree as
// written last time replaced, or, if not found, `tree` added at the end; the games that
// other runs and programs have written keep their places.
std::string withgame(const std::string& now, const std::string& tree) {
  std::size_t at = rec.written.empty() ? std::string::npos : now.rfind(rec.written);
  if (at != std::string::npos)
    return now.substr(0, at) + tree + now.substr(at + rec.written.size());
  return now + (now.empty() || now.ends_with('\n') ? "" : "\n") + tree;
}

// Writes the record as it now stands; a file that cannot be written ends the program.
void write() {
  std::string why, tree = rec.open ? writesgf(rec.game) : "";
  bool ok = rec.format == record::Format::kSgf
                ? record::updatefile(
                      rec.file, [&](const std::string& now) { return withgame(now, tree); }, why)
                : record::replacefile(rec.file, writepsq(rec.game), why);
  if (!ok)
    console::con().quit(1, "gomoku: the game record could not be written to " + rec.file + ": " +
                               why + "; it holds the record as it was before\n");
  rec.written = tree;
}

// Begins the record of a game whose first turn is being played, keeping the moves of a
// game loaded to be played on.
void begin() {
  record::Game& g = rec.game;
  g.rule = record::kRules[rule];
  g.name[0] = sidename(kPlayer1);
  g.name[1] = sidename(kPlayer2);
  g.first = nmoves > 0 ? moves[0].player : whoturn % 2 == 0 ? kPlayer1 : kPlayer2;
  g.date = today();
  rec.open = true;
  if (++rec.games > 1 && rec.format == record::Format::kPsq) rec.file = nextpsqfile();
}

// The place of move `n` of a record, for messages: where it stands in its file, its
// number and its point.
std::string movewhere(const record::Move& m, std::size_t n) {
  std::string at = m.line > 0 ? record::where(m.line, m.col) + ": " : "";
  return at + "move " + std::to_string(n) + " (row " + std::to_string(m.r) + ", column " +
         std::to_string(m.c) + ")";
}

// The file that `path` names, its symbolic links followed: the record goes where they point.
fs::path target(const std::string& path) {
  std::error_code ec;
  fs::path file = path;
  for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(file, ec)); ++hops) {
    fs::path to = fs::read_symlink(file, ec);
    if (ec) break;
    file = to.is_absolute() ? to : file.parent_path() / to;
  }
  return file;
}

// True when the SGF file, if it `exists`, holds SGF games that the run's games can be
// added to; false with the reason otherwise.
bool addable(const fs::path& file, bool exists, std::string& why) {
  std::string now;
  if (exists && !record::readfile(file.string(), now, why)) return false;
  if (record::readsgf(now, why) < 0)
    return record::refuse(why, "it holds no SGF records to add to (" + why + ")");
  return true;
}

// Sets `why` to `what`; returns -1.
int fault(std::string& why, std::string what) {
  why = std::move(what);
  return -1;
}

}  // namespace

bool startrecord(const std::string& path, const std::string& loaded, std::string& why) {
  std::error_code ec;
  fs::path file = target(path);
  bool exists = fs::exists(file, ec), psq = record::formatof(path) == record::Format::kPsq;
  if (psq && exists && (loaded.empty() || !fs::equivalent(file, loaded, ec)))
    return record::refuse(why, "it exists, and a PSQ file holds one game: name a new file");
  if (!record::canreplace(file.string(), why) || (!psq && !addable(file, exists, why)))
    return false;
  rec.path = path;
  rec.file = file.string();
  rec.format = record::formatof(path);
  return true;
}

void recordturn() {
  if (rec.path.empty()) return;
  if (!rec.open) begin();
  rec.turn = Clock::now();
}

void recordmoves() {
  if (rec.path.empty() || !rec.open) return;
  std::vector<record::Move>& kept = rec.game.moves;
  std::size_t same = 0, n = static_cast<std::size_t>(nmoves);
  while (same < kept.size() && same < n && kept[same].r == moves[same].r &&
         kept[same].c == moves[same].c)
    ++same;
  kept.resize(same);  // the moves taken back
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - rec.turn);
  for (std::size_t i = same; i < n; ++i) {
    record::Move m;
    m.r = moves[i].r;
    m.c = moves[i].c;
    m.ms = static_cast<long>(ms.count());
    kept.push_back(m);
  }
  write();
}

void recordgameover() {
  if (rec.path.empty() || !rec.open) return;
  const Placed* last = nmoves > 0 ? &moves[nmoves - 1] : nullptr;
  bool won = last && fives(last->r, last->c);
  rec.game.result = !won                             ? record::Result::kDraw
                    : last->player == rec.game.first ? record::Result::kBlack
                                                     : record::Result::kWhite;
  write();
}

void recordscores(int first, int second) {
  if (rec.path.empty() || !rec.open) return;
  rec.game.comment =
      "scores: player 1 " + std::to_string(first) + ", player 2 " + std::to_string(second);
  write();
  rec.open = false;  // the game stays in the file as it is
  rec.written.clear();
  rec.game = record::Game{};
}

void resetrecorder() {
  rec = Recording{};
}

bool readrecord(const std::string& path, int n, record::Game& g, std::string& why) {
  std::string text;
  return record::readfile(path, text, why) &&
         record::readgame(text, record::formatof(path), n, g, why);
}

int placemoves(const record::Game& g, std::size_t count, std::string& why) {
  newgame();
  int won = 0;
  for (std::size_t i = 0; i < count && i < g.moves.size(); ++i) {
    const record::Move& m = g.moves[i];
    if (won > 0)
      return fault(why, movewhere(m, i + 1) + " comes after move " + std::to_string(won) +
                            " made five in a row");
    if (!inside(m.r, m.c)) return fault(why, movewhere(m, i + 1) + " is off the board");
    if (map[m.r][m.c] != kEmpty) return fault(why, movewhere(m, i + 1) + " is on a stone");
    int player = record::mover(g, i);
    if (findforbidden(player) && forbid[m.r][m.c])
      return fault(why, movewhere(m, i + 1) + " is forbidden for black under renju");
    map[m.r][m.c] = player;
    addmove(m.r, m.c, player);
    lastr = m.r;
    lastc = m.c;
    if (fives(m.r, m.c)) won = static_cast<int>(i + 1);
  }
  findforbidden(0);  // no marks left behind
  return won;
}

bool userule(const record::Game& g, int asked, std::string& why) {
  int named = 0;
  while (named < 3 && g.rule != record::kRules[named]) ++named;
  if (asked >= 0 && asked != named)
    return record::refuse(why,
                          "the game is played under " + g.rule + ", not " + record::kRules[asked]);
  rule = named;
  return true;
}

bool loadgame(const record::Game& g, std::string& why) {
  int won = placemoves(g, g.moves.size(), why);
  if (won < 0) return false;
  if (won > 0)
    return record::refuse(
        why, movewhere(g.moves[won - 1], won) + " makes five in a row: the game is already won");
  whoturn = record::mover(g, g.moves.size()) == kPlayer1 ? 0 : 1;
  rec.game.moves = g.moves;  // their times go on into the game's record
  return true;
}

}  // namespace gomoku
