// Fuzzes the record readers: any text is read or refused with a reason, a game read is
// written and read back as the same game, and putting it on the board never goes wrong.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "board/state.hpp"
#include "record/psq.hpp"
#include "record/recorder.hpp"
#include "record/sgf.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

using namespace gomoku::record;

// True when `a` and `b` hold what a record in format `f` keeps of a game.
bool same(Format f, const Game& a, const Game& b) {
  if (f == Format::kSgf) return a == b;
  return a.moves == b.moves && a.first == b.first && a.name[0] == b.name[0] &&
         a.name[1] == b.name[1];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  for (Format f : {Format::kSgf, Format::kPsq}) {
    Game g, back;
    std::string why;
    if (!readgame(text, f, 0, g, why)) {
      if (why.empty()) std::abort();  // a refusal always says why
      continue;
    }
    std::string again = f == Format::kSgf ? writesgf(g) : writepsq(g);
    if (!readgame(again, f, 1, back, why) || !same(f, g, back)) std::abort();
    gomoku::resetstate();
    if (!gomoku::loadgame(g, why) && why.empty()) std::abort();
  }
  return 0;
}
