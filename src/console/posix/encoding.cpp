// The conversion of our texts with iconv, and the locale's character set.
#include "console/encoding.hpp"

#include <iconv.h>
#include <langinfo.h>

#include <clocale>
#include <cstdlib>

namespace gomoku::console {

struct Encoder::Converter {
  iconv_t cd;
};

Encoder::Encoder(std::string_view codeset) {
  if (!isgbcharset(codeset)) return;
  iconv_t cd = iconv_open(std::string(codeset).c_str(), "UTF-8");
  if (cd != reinterpret_cast<iconv_t>(-1)) conv_ = std::make_unique<Converter>(Converter{cd});
}

Encoder::~Encoder() {
  if (gb()) iconv_close(conv_->cd);
}

bool Encoder::convertchar(std::string_view ch, std::string& out) {
  char in[4];
  char buf[8];
  std::size_t il = ch.copy(in, sizeof in), ol = sizeof buf;
  char* ip = in;
  char* op = buf;
  if (iconv(conv_->cd, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1)) {
    iconv(conv_->cd, nullptr, nullptr, nullptr, nullptr);
    return false;
  }
  out.append(buf, static_cast<std::size_t>(op - buf));
  return true;
}

std::string localecodeset() {
  if (std::setlocale(LC_CTYPE, "")) {
    const char* cs = nl_langinfo(CODESET);
    return cs ? cs : "";
  }
  // The locale is not installed: take the character set from its name.
  for (const char* var : {"LC_ALL", "LC_CTYPE", "LANG"})
    if (const char* v = std::getenv(var); v && *v) return namedcodeset(v);
  return "";
}

}  // namespace gomoku::console
