// Record files on disk: read whole, and replaced whole so that they are never half
// written (the replacing is the platform's part: file_posix.cpp, file_windows.cpp).
#pragma once

#include <cstddef>
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

}  // namespace gomoku::record
