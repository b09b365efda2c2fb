// The score file on POSIX: advisory locks, fsync, SIGPIPE and SIGXFSZ held back.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "score/score.hpp"

namespace gomoku {
namespace {

// Discards the SIGPIPE and SIGXFSZ that became pending since `before` was taken, so
// that a failed write shows as an error when they are unblocked, not as death.
void dropraised(const sigset_t& before) {
  sigset_t now;
  sigpending(&now);
  for (int sig : {SIGPIPE, SIGXFSZ}) {
    if (!sigismember(&now, sig) || sigismember(&before, sig)) continue;
    sigset_t one;
    sigemptyset(&one);
    sigaddset(&one, sig);
    timespec zero{};
    while (sigtimedwait(&one, nullptr, &zero) < 0 && errno == EINTR) {
    }
  }
}

// True when what was written to `fd` has reached the file: fsync for a regular file,
// then the close of a duplicate, which reports a failed flush (NFS) while the open
// descriptor still allows the record to be taken back.
bool flushed(int fd, bool regular) {
  if (regular && fsync(fd) != 0) return false;
  int copy = dup(fd);
  return copy < 0 || ::close(copy) == 0;
}

// Appends `record` to `fd` with the file locked against other games from before its
// size is read until the record is on disk or taken back again.
bool lockedappend(int fd, std::string_view record) {
  while (flock(fd, LOCK_EX) != 0 && errno == EINTR) {
  }
  struct stat st {};
  bool regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  ssize_t w;
  do {
    w = ::write(fd, record.data(), record.size());
  } while (w < 0 && errno == EINTR);
  bool ok = w == static_cast<ssize_t>(record.size()) && flushed(fd, regular);
  if (!ok && w > 0 && regular) (void)!ftruncate(fd, st.st_size);
  flock(fd, LOCK_UN);
  return ok;
}

}  // namespace

std::intptr_t openscorefile() {
  int fd = ::open(kScoreFile, O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

EarlyOpen::EarlyOpen() : file_(openscorefile()) {
  ok_ = file_ != -1;
}

EarlyOpen::~EarlyOpen() {
  if (ok_) closescorefile(file_);
}

void closescorefile(std::intptr_t file) {
  ::close(static_cast<int>(file));  // the duplicate's close has already reported any failed flush
}

bool appendrecord(std::intptr_t file, std::string_view record) {
  sigset_t held, old, before;
  sigemptyset(&held);
  sigaddset(&held, SIGPIPE);
  sigaddset(&held, SIGXFSZ);
  sigprocmask(SIG_BLOCK, &held, &old);
  sigpending(&before);
  bool ok = lockedappend(static_cast<int>(file), record);
  dropraised(before);
  sigprocmask(SIG_SETMASK, &old, nullptr);
  return ok;
}

}  // namespace gomoku
