#include "console/frameconsole.hpp"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "console/giveback.hpp"

namespace gomoku::console {

bool colourrefused() {
  const char* nc = std::getenv("NO_COLOR");
  const char* t = std::getenv("TERM");
  return (nc && *nc) || (t && std::strcmp(t, "dumb") == 0);
}

void FrameConsole::setup(bool interm, bool outterm, std::unique_ptr<Encoder> enc, bool colour) {
  interm_ = interm;
  outterm_ = outterm;
  enc_ = std::move(enc);
  screen_ = Screen(kScreenCols, kScreenRows, enc_->gb() ? 2 : 1);
  render_ = std::make_unique<Renderer>(*enc_, colour, tcols_, trows_);
}

void FrameConsole::resizeto(int cols, int rows) {
  tcols_ = cols;
  trows_ = rows;
  screen_.resize(std::max(tcols_, kNeedCols), kScreenRows);
  render_->resize(tcols_, trows_);
}

void FrameConsole::repaint() {
  noticed_ = false;
  present();
}

void FrameConsole::resumed() {
  if (screenmode_) return repaint();
  present();
  send("\r" + line_);
}

void FrameConsole::send(std::string_view bytes) {
  if (outgone_ || bytes.empty()) return;
  outgone_ = !writeout(bytes);
}

// Records where to leave the cursor if the program ends now: under the last line used,
// or, before the screen is used, at the start of a line.
void FrameConsole::updateexit() {
  int last = -1;
  for (int y = 0; y < screen_.rows(); ++y)
    if (!screen_.line(y).empty()) last = y;
  int y = std::max(0, last + 1 - render_->top());
  std::string bytes = "\x1b[" + std::to_string(std::min(y, trows_ - 1) + 1) + "H";
  if (y >= trows_) bytes += "\r\n";
  giveback::setexit(bytes);
}

bool FrameConsole::toosmall() const {
  return screenmode_ && outterm_ && (tcols_ < kNeedCols || trows_ < kNeedRows);
}

std::string FrameConsole::notice() const {
  return "\x1b[m\x1b[H\x1b[2JTerminal too small: need " + std::to_string(kNeedCols) + "x" +
         std::to_string(kNeedRows) + ", have " + std::to_string(tcols_) + "x" +
         std::to_string(trows_) + ".";
}

void FrameConsole::present() {
  std::string out;
  enc_->convert(pending_, out);
  pending_.clear();
  if (!screenmode_) {  // the way out is set first: the program may end as soon as it is sent
    if (out.empty()) return;
    giveback::setexit(out.back() == '\n' ? "" : "\n");
    std::size_t eol = out.rfind('\n');
    line_ = eol == std::string::npos ? line_ + out : out.substr(eol + 1);
    return send(out);
  }
  if (!toosmall()) {
    out += render_->frame(screen_);
  } else if (!noticed_) {
    out += notice();
    noticed_ = true;
    render_->invalidate();
  }
  updateexit();
  send(out);
}

bool FrameConsole::nextkey() {
  for (;;) {
    if (!(typing_ && keyready())) present();
    if (outgone_) quit(1, "gomoku: the terminal has gone away\n");
    if (!takekey(key_)) return false;
    if (!key_.empty()) return true;
  }
}

int FrameConsole::readkey() {
  if (key_.empty() && !nextkey()) return -1;
  int k = static_cast<unsigned char>(key_[0]);
  key_.erase(0, 1);
  return k;
}

int FrameConsole::dropkeyrest() {
  int n = static_cast<int>(key_.size());
  key_.clear();
  return n;
}

void FrameConsole::idle(int ms) {
  present();
  key_.clear();  // the rest of a key typed before is dropped with it
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    end - std::chrono::steady_clock::now())
                    .count();
    if (left <= 0) return;
    waitbusy(static_cast<int>(left));
  }
}

void FrameConsole::finish() {
  present();
  settle();
  restore();
  giveback::forget();
}

void FrameConsole::quit(int status, std::string_view message) {
  finish();
  if (!message.empty()) complain(message);
  std::exit(status);
}

}  // namespace gomoku::console
