#include "console/posix/tty.hpp"

#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "console/giveback.hpp"
#include "console/posix/terminal.hpp"

namespace gomoku::console {
namespace {

// The terminal modes that send what is no key: mouse reports (X10, normal, button and
// any-motion tracking, with their UTF-8, SGR and urxvt encodings) and bracketed paste.
constexpr int kQuietModes[] = {9, 1000, 1002, 1003, 1005, 1006, 1015, 2004};
// How long the way out waits for the replies owed to the queries, in ms.
constexpr int kReplyWait = 200;

// True when descriptors a and b are the same terminal.
bool sameterminal(int a, int b) {
  struct stat sa = {};
  struct stat sb = {};
  return fstat(a, &sa) == 0 && fstat(b, &sb) == 0 && sa.st_rdev == sb.st_rdev;
}

// True for the modes that quietmodes() turns off.
bool quietmode(int mode) {
  return std::find(std::begin(kQuietModes), std::end(kQuietModes), mode) != std::end(kQuietModes);
}

}  // namespace

TtyConsole::TtyConsole(int infd, int outfd) : in_(infd), out_(outfd), reader_(*this) {
  bool outterm = isatty(out_);
  bool colour = outterm && !colourrefused();
  term::installsignals();
  term::setoutput(out_);
  bool interm = term::enter(in_);
  if (colour) giveback::addundo("\x1b[m");  // frames turn colours on
  setup(interm, outterm, std::make_unique<Encoder>(localecodeset()), colour);
  fit();
  quietmodes();
}

TtyConsole::~TtyConsole() {
  finish();
}

// Reads the terminal's size, or keeps the screen model's own when the output is no
// terminal (then nothing is cut off).
void TtyConsole::fit() {
  winsize ws{};
  if (outterm() && ioctl(out_, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0 && ws.ws_row > 0)
    resizeto(ws.ws_col, ws.ws_row);
  else
    resizeto(cols(), rows());
}

// Mouse reporting and bracketed paste, which another program may have left on, would
// send what is no key. They are turned off, having asked first (DECRQM) which were on;
// a device attributes query, which every terminal answers, comes last, so that its
// answer tells that every reply is in. A mode is turned on again on the way out only
// when the terminal said it was on; a terminal that does not answer DECRQM keeps them off.
void TtyConsole::quietmodes() {
  if (!interm() || !outterm() || !sameterminal(in_, out_)) return;
  std::string ask;
  quiet_ = "\x1b[?";
  for (int m : kQuietModes) {
    ask += "\x1b[?" + std::to_string(m) + "$p";
    quiet_ += std::to_string(m) + ";";
  }
  quiet_.back() = 'l';
  send(ask + quiet_ + "\x1b[c");
  replyowed_ = true;
}

void TtyConsole::noted(const Decoded& reply) {
  if (reply.mode == kAttributesReply) replyowed_ = false;
  if (reply.setting == 1 && quietmode(reply.mode))
    giveback::addundo("\x1b[?" + std::to_string(reply.mode) + "h");
}

void TtyConsole::settle() {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kReplyWait);
  while (replyowed_) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    std::optional<Decoded> d = left.count() > 0 ? reader_.next(int(left.count())) : std::nullopt;
    if (!d) return;
    if (d->count == 0) noted(*d);
  }
}

bool TtyConsole::writeout(std::string_view bytes) {
  return term::writeall(out_, bytes);
}

void TtyConsole::handleevents() {
  char ev[16];
  ssize_t n;
  bool any = false, cont = false;
  while ((n = ::read(term::eventfd(), ev, sizeof ev)) > 0) {
    any = true;
    cont = cont || std::memchr(ev, term::kResumed, static_cast<std::size_t>(n));
  }
  if (!any) return;
  if (cont) {
    term::reenter();
    send(quiet_);
  }
  fit();
  if (cont)
    resumed();
  else
    repaint();
}

long TtyConsole::get(char* buf, std::size_t n, int ms) {
  for (;;) {
    pollfd p[2] = {{in_, POLLIN, 0}, {term::eventfd(), POLLIN, 0}};
    int r = poll(p, term::eventfd() >= 0 ? 2 : 1, ms);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return r;
    if (p[1].revents & POLLIN) handleevents();
    if (!(p[0].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL))) continue;
    ssize_t got = ::read(in_, buf, n);
    if (got > 0 && !dropping()) return got;
    if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN)) return -1;
  }
}

bool TtyConsole::takekey(std::string& key) {
  std::optional<Decoded> d = reader_.next();
  if (!d) return false;
  if (d->count == 0) noted(*d);
  key.assign(reinterpret_cast<const char*>(d->keys), static_cast<std::size_t>(d->count));
  return true;
}

void TtyConsole::waitevents(int ms) {
  pollfd p{term::eventfd(), POLLIN, 0};
  if (poll(&p, p.fd >= 0 ? 1 : 0, ms) > 0) handleevents();
}

void TtyConsole::waitbusy(int ms) {
  if (!interm() || reader_.ended()) return waitevents(ms);  // keys from a pipe are kept
  std::optional<Decoded> d = reader_.next(ms);
  if (d && d->count == 0) noted(*d);  // a terminal's reply; typed keys are dropped
}

void TtyConsole::restore() {
  term::restore();
  term::forget();
}

void TtyConsole::complain(std::string_view message) {
  (void)!::write(2, message.data(), message.size());
}

}  // namespace gomoku::console

namespace gomoku::console {

Console& openconsole() {
  term::openstdfds();                                       // before anything opens a descriptor
  auto* tty = new TtyConsole(STDIN_FILENO, STDOUT_FILENO);  // never deleted: quit() ends it
  setconsole(tty);
  return *tty;
}

}  // namespace gomoku::console
