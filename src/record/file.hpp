// Record files on disk: read whole, and replaced whole so that they are never half
// written (the replacing is the platform's part: file_posix.cpp, file_windows.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace gomoku::record {

// The largest record file read: far more than any collection of games a player keeps.
inline constexpr std::size_t kMaxFile = std::size_t{16} << 20;

// Reads the whole file at `path` into `bytes`. False with the reason otherwise,
// including a file larger than kMaxFile.
bool readfile(const std::string& path, std::string& bytes, std::string& why);

// True when replacefile() could replace `path`: nothing but a regular file stands
// there, it may be written, and a file can be made beside it. False with the reason.
bool canreplace(const std::string& path, std::string& why);

// Replaces the file at `path` (or makes it) with `bytes` so that it holds either all of
// its old content or all of the new whatever happens meanwhile: the bytes go to a new
// file beside it, which is flushed to disk and then renamed over it. A file that stood
// there keeps its permissions. Signals that would end the program wait until it is done.
// False with the reason otherwise; `path` is then as it was and nothing is left beside it.
bool replacefile(const std::string& path, std::string_view bytes, std::string& why);

// Replaces the file at `path` as replacefile() does with what `change` makes of its
// content (empty when there is no file yet), the records of other games held off from
// before it is read until it is replaced, so that what another game writes meanwhile is
// kept. False with the reason otherwise.
bool updatefile(const std::string& path,
                const std::function<std::string(const std::string&)>& change, std::string& why);

// Holds off other games that update record files until unlockrecords() (POSIX: a lock on
// the directory that holds `path`; Windows: a mutex of the session). Returns what to
// unlock, -1 when nothing could be locked (the update then goes on unlocked).
std::intptr_t lockrecords(const std::string& path);
// Lets other games update record files again.
void unlockrecords(std::intptr_t lock);

}  // namespace gomoku::record
