#include "console/encoding.hpp"

#include <cctype>

#include "console/screen.hpp"

namespace gomoku::console {

bool isgbcharset(std::string_view codeset) {
  std::string up;
  for (char c : codeset)
    if (c != '-' && c != '_') up += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return up == "GBK" || up == "GB2312" || up == "GB18030" || up == "CP936" || up == "EUCCN";
}

void Encoder::convert(std::string_view utf8, std::string& out) {
  if (!gb()) {
    out.append(utf8);
    return;
  }
  while (!utf8.empty()) {
    std::size_t len = 1;
    decodeutf8(utf8, len);
    if (!convertchar(utf8.substr(0, len), out)) out += '?';
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

}  // namespace gomoku::console
