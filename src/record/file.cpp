#include "record/file.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace gomoku::record {

bool readfile(const std::string& path, std::string& bytes, std::string& why) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    why = std::strerror(errno);
    return false;
  }
  bytes.clear();
  char buf[65536];
  std::size_t n;
  while (bytes.size() <= kMaxFile && (n = std::fread(buf, 1, sizeof buf, f)) > 0)
    bytes.append(buf, n);
  int error = std::ferror(f) ? errno : 0;
  std::fclose(f);
  if (error) why = std::strerror(error);
  if (!error && bytes.size() > kMaxFile) why = "the file is too large to be a game record";
  return !error && bytes.size() <= kMaxFile;
}

bool updatefile(const std::string& path,
                const std::function<std::string(const std::string&)>& change, std::string& why) {
  std::intptr_t lock = lockrecords(path);
  std::error_code ec;
  std::string now;
  bool ok = (!std::filesystem::exists(path, ec) || readfile(path, now, why)) &&
            replacefile(path, change(now), why);
  unlockrecords(lock);
  return ok;
}

}  // namespace gomoku::record
