#include "console/tty.hpp"

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "console/keys.hpp"
#include "console/terminal.hpp"

namespace gomoku::console {
namespace {

// The smallest terminal that the board screen fits in.
constexpr int kNeedCols = 60;
constexpr int kNeedRows = 30;
// How long a partial escape sequence may wait for the rest (a lone Esc), in ms.
constexpr int kEscWait = 100;
// Shown again on every way out: cursor visible, cursor keys normal, plain text.
constexpr std::string_view kUndo = "\x1b[?25h\x1b[?1l";
constexpr std::string_view kUndoColour = "\x1b[m\x1b[?25h\x1b[?1l";

}  // namespace

bool colourrefused() {
  const char* nc = std::getenv("NO_COLOR");
  const char* t = std::getenv("TERM");
  return (nc && *nc) || (t && std::strcmp(t, "dumb") == 0);
}

TtyConsole::TtyConsole(int infd, int outfd) : Console(Screen()), in_(infd), out_(outfd) {
  enc_ = std::make_unique<Encoder>(localecodeset());
  outterm_ = isatty(out_);
  bool colour = outterm_ && !colourrefused();
  screen_ = Screen(kScreenCols, kScreenRows, enc_->gb() ? 2 : 1);
  querysize();
  render_ = std::make_unique<Renderer>(*enc_, colour, tcols_, trows_);
  term::installsignals();
  interm_ = term::enter(in_, out_, colour ? kUndoColour : kUndo);
}

TtyConsole::~TtyConsole() {
  finish();
}

// Reads the terminal's size, or keeps the default when there is no terminal.
void TtyConsole::querysize() {
  winsize ws{};
  if ((ioctl(out_, TIOCGWINSZ, &ws) == 0 || ioctl(in_, TIOCGWINSZ, &ws) == 0) && ws.ws_col > 0 &&
      ws.ws_row > 0) {
    tcols_ = ws.ws_col;
    trows_ = ws.ws_row;
  }
}

void TtyConsole::send(std::string_view bytes) {
  if (dead_ || bytes.empty()) return;
  if (!term::writeall(out_, bytes)) dead_ = true;  // the output has gone away
}

// Records where to leave the cursor if the program ends now: under the last used line.
void TtyConsole::updateexit() {
  if (!screenmode_) return;
  int last = -1;
  for (int y = 0; y < screen_.rows(); ++y)
    if (!screen_.line(y).empty()) last = y;
  int y = last + 1 < trows_ ? last + 1 : trows_ - 1;
  std::string bytes = "\x1b[" + std::to_string(y + 1) + "H";
  if (last + 1 >= trows_) bytes += "\r\n";
  term::setexitbytes(bytes);
}

bool TtyConsole::toosmall() const {
  return screenmode_ && outterm_ && (tcols_ < kNeedCols || trows_ < kNeedRows);
}

// The notice shown in place of the screen while the terminal is too small.
std::string TtyConsole::notice() const {
  return "\x1b[m\x1b[H\x1b[2JTerminal too small: need " + std::to_string(kNeedCols) + "x" +
         std::to_string(kNeedRows) + ", have " + std::to_string(tcols_) + "x" +
         std::to_string(trows_) + ".";
}

void TtyConsole::present() {
  std::string out;
  if (!pending_.empty()) enc_->convert(pending_, out);
  pending_.clear();
  if (toosmall() && !noticed_) {
    out += notice();
    noticed_ = true;
    render_->invalidate();
  } else if (screenmode_ && !toosmall()) {
    out += render_->frame(screen_);
  }
  send(out);
  updateexit();
}

// Handles the events that signal handlers posted: resize and resume.
void TtyConsole::handleevents() {
  char ev[16];
  ssize_t n;
  bool repaint = false;
  while ((n = ::read(term::eventfd(), ev, sizeof ev)) > 0) {
    for (ssize_t i = 0; i < n; ++i) {
      if (ev[i] == term::kResumed && interm_) term::reenter();
      repaint = true;
    }
  }
  if (!repaint) return;
  querysize();
  render_->resize(tcols_, trows_);
  noticed_ = false;
  present();
}

// Reads more input bytes, waiting for them (briefly when `waitlong` is false).
// False when none came: the wait ran out or the input has ended.
bool TtyConsole::fill(bool waitlong) {
  for (;;) {
    if (eof_) return false;
    pollfd p[2] = {{in_, POLLIN, 0}, {term::eventfd(), POLLIN, 0}};
    int r = poll(p, term::eventfd() >= 0 ? 2 : 1, waitlong ? -1 : kEscWait);
    if (r < 0 && errno != EINTR) eof_ = true;
    if (r == 0) return false;
    if (r > 0 && (p[1].revents & POLLIN)) handleevents();
    if (r <= 0 || !(p[0].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL))) continue;
    char buf[256];
    ssize_t n = ::read(in_, buf, sizeof buf);
    if (n > 0) {
      raw_.append(buf, static_cast<std::size_t>(n));
      return true;
    }
    if (n == 0 || (errno != EINTR && errno != EAGAIN)) eof_ = true;
  }
}

int TtyConsole::readkey() {
  if (keys_.empty()) present();  // not between the bytes of one key (an arrow's two)
  while (keys_.empty()) {
    if (dead_) quit(1, "gomoku: the terminal has gone away\n");
    if (toosmall() && !eof_) {  // keys typed while the notice shows are dropped
      raw_.clear();
      fill(true);
      if (toosmall()) raw_.clear();
      continue;
    }
    if (raw_.empty()) {  // wait, then look again: the terminal may have shrunk meanwhile
      if (!fill(true) && raw_.empty()) return -1;
      continue;
    }
    Decoded d = decodekey(raw_, eof_);
    while (d.needmore) d = decodekey(raw_, !fill(false));  // wait briefly for the rest
    raw_.erase(0, d.used);
    keys_.append(reinterpret_cast<const char*>(d.keys), static_cast<std::size_t>(d.count));
  }
  int k = static_cast<unsigned char>(keys_[0]);
  keys_.erase(0, 1);
  return k;
}

void TtyConsole::finish() {
  if (!dead_) present();
  term::restore();
}

void TtyConsole::quit(int status, std::string_view message) {
  finish();
  if (!message.empty()) (void)!::write(2, message.data(), message.size());
  std::exit(status);
}

}  // namespace gomoku::console
