// Replacing a record file on POSIX: a temporary file beside it, fsync, rename over it,
// fsync of the directory, with every signal held back meanwhile; other games held off
// by a lock on the directory.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>

#include "record/file.hpp"
#include "record/record.hpp"

namespace gomoku::record {
namespace {

// While one lives, signals wait, so that one that ends the program strikes only when
// the file is whole; a SIGXFSZ raised meanwhile (the file-size limit) is discarded, as
// the write's own error reports it.
class Held {
 public:
  Held() {
    sigset_t all;
    sigfillset(&all);
    sigprocmask(SIG_BLOCK, &all, &old_);
    sigpending(&before_);
  }
  ~Held() {
    sigset_t now, one;
    sigpending(&now);
    sigemptyset(&one);
    sigaddset(&one, SIGXFSZ);
    timespec zero{};
    if (sigismember(&now, SIGXFSZ) && !sigismember(&before_, SIGXFSZ))
      while (sigtimedwait(&one, nullptr, &zero) < 0 && errno == EINTR) {
      }
    sigprocmask(SIG_SETMASK, &old_, nullptr);
  }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;

 private:
  sigset_t old_, before_;
};

// Sets `why` to the error in errno; returns false.
bool failed(std::string& why, int error = errno) {
  why = std::strerror(error);
  return false;
}

// The directory that holds `path`.
std::string dirof(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The mode of a new file: what the umask leaves of rw-rw-rw-.
mode_t newmode() {
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Writes all of `bytes` to `fd`; false with errno set otherwise.
bool writeall(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t w = ::write(fd, bytes.data(), bytes.size());
    if (w < 0 && errno == EINTR) continue;
    if (w == 0) errno = ENOSPC;
    if (w <= 0) return false;
    bytes.remove_prefix(std::min(static_cast<std::size_t>(w), bytes.size()));
  }
  return true;
}

// Gives the new file `fd` mode `mode` and the content `bytes`, flushes it to disk and
// closes it; false with errno set otherwise.
bool fill(int fd, std::string_view bytes, mode_t mode) {
  bool ok = fchmod(fd, mode) == 0 && writeall(fd, bytes) && fsync(fd) == 0;
  int error = errno;
  if (::close(fd) != 0 && ok) return false;  // a failed flush that only close() reports
  errno = error;
  return ok;
}

// Flushes directory `dir` to disk, so that a rename in it is kept. A failure here is
// not reported: the file already holds all of the new bytes.
void syncdir(const std::string& dir) {
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  ::close(fd);
}

}  // namespace

bool canreplace(const std::string& path, std::string& why) {
  struct stat st {};
  if (stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return failed(why, EISDIR);
    if (!S_ISREG(st.st_mode)) return refuse(why, "it is not a regular file");
    if (access(path.c_str(), W_OK) != 0) return failed(why);
  } else if (errno != ENOENT) {
    return failed(why);
  }
  std::string temp = path + ".XXXXXX";
  int fd = mkstemp(temp.data());
  if (fd < 0) return failed(why);
  ::close(fd);
  ::unlink(temp.c_str());
  return true;
}

bool replacefile(const std::string& path, std::string_view bytes, std::string& why) {
  Held held;
  struct stat st {};
  mode_t mode = stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : newmode();
  std::string temp = path + ".XXXXXX";
  int fd = mkstemp(temp.data());
  if (fd < 0) return failed(why);
  if (!fill(fd, bytes, mode) || ::rename(temp.c_str(), path.c_str()) != 0) {
    int error = errno;
    ::unlink(temp.c_str());
    return failed(why, error);
  }
  syncdir(dirof(path));
  return true;
}

std::intptr_t lockrecords(const std::string& path) {
  int fd = ::open(dirof(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return -1;
  while (flock(fd, LOCK_EX) != 0)
    if (errno != EINTR) {
      ::close(fd);
      return -1;
    }
  return fd;
}

void unlockrecords(std::intptr_t lock) {
  if (lock < 0) return;
  flock(static_cast<int>(lock), LOCK_UN);
  ::close(static_cast<int>(lock));
}

}  // namespace gomoku::record
