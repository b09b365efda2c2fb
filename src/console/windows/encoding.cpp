// The conversion of our texts to code page 936 (GBK) with the Windows converters.
#include "console/encoding.hpp"

#include <windows.h>

namespace gomoku::console {

// The code page that the GB character sets are written in.
struct Encoder::Converter {
  UINT codepage;
};

Encoder::Encoder(std::string_view codeset) {
  if (isgbcharset(codeset)) conv_ = std::make_unique<Converter>(Converter{936});
}

Encoder::~Encoder() = default;

bool Encoder::convertchar(std::string_view ch, std::string& out) {
  wchar_t wide[2];
  int nw = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, ch.data(), int(ch.size()), wide, 2);
  if (nw <= 0) return false;
  char buf[8];
  BOOL lacked = FALSE;
  int n = WideCharToMultiByte(conv_->codepage, WC_NO_BEST_FIT_CHARS, wide, nw, buf, sizeof buf,
                              nullptr, &lacked);
  if (n <= 0 || lacked) return false;
  out.append(buf, static_cast<std::size_t>(n));
  return true;
}

}  // namespace gomoku::console
