// The character set that the terminal expects, and the conversion of our texts to it.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace gomoku::console {

// True for the Chinese character sets that take the texts converted: GBK, GB2312, GB18030.
bool isgbcharset(std::string_view codeset);

// Converts UTF-8 text to the terminal's character set: a copy for UTF-8 (and any
// set we do not convert to), the platform's converter (iconv, or the Windows code page
// 936) for the GB family. Characters that the set lacks become '?'.
class Encoder {
 public:
  explicit Encoder(std::string_view codeset = "UTF-8");
  ~Encoder();
  Encoder(const Encoder&) = delete;
  Encoder& operator=(const Encoder&) = delete;

  // Appends the converted form of `utf8` to `out`.
  void convert(std::string_view utf8, std::string& out);
  // True when the output is in a GB character set (where arrows take two columns).
  bool gb() const { return conv_ != nullptr; }

 private:
  struct Converter;  // the platform's converter from UTF-8 to a GB character set
  // Appends the converted form of one whole UTF-8 character; false when the set lacks it.
  bool convertchar(std::string_view ch, std::string& out);

  std::unique_ptr<Converter> conv_;
};

// The character set of the locale given by the environment (setlocale, nl_langinfo);
// when that locale is not installed, the part of its name after the dot. POSIX only.
std::string localecodeset();
// The character set part of a locale name: "zh_CN.GBK@x" gives "GBK"; none gives "".
std::string namedcodeset(const char* name);

}  // namespace gomoku::console
