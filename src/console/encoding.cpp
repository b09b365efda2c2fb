#include "console/encoding.hpp"

#include <langinfo.h>

#include <cctype>
#include <clocale>
#include <cstdlib>

#include "console/screen.hpp"

namespace gomoku::console {

bool isgbcharset(std::string_view codeset) {
  std::string up;
  for (char c : codeset)
    if (c != '-' && c != '_') up += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return up == "GBK" || up == "GB2312" || up == "GB18030" || up == "CP936" || up == "EUCCN";
}

Encoder::Encoder(std::string_view codeset) : cd_(reinterpret_cast<iconv_t>(-1)) {
  if (isgbcharset(codeset)) cd_ = iconv_open(std::string(codeset).c_str(), "UTF-8");
}

Encoder::~Encoder() {
  if (gb()) iconv_close(cd_);
}

void Encoder::convert(std::string_view utf8, std::string& out) {
  if (!gb()) {
    out.append(utf8);
    return;
  }
  while (!utf8.empty()) {
    std::size_t len = 1;
    decodeutf8(utf8, len);
    char in[4];
    char buf[8];
    utf8.copy(in, len);
    char* ip = in;
    char* op = buf;
    std::size_t il = len, ol = sizeof buf;
    if (iconv(cd_, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1)) {
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
      out += '?';
    } else {
      out.append(buf, static_cast<std::size_t>(op - buf));
    }
    utf8.remove_prefix(len);
  }
}

std::string namedcodeset(const char* name) {
  std::string_view n = name ? name : "";
  std::size_t dot = n.find('.');
  if (dot == std::string_view::npos) return "";
  n.remove_prefix(dot + 1);
  return std::string(n.substr(0, n.find('@')));
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
