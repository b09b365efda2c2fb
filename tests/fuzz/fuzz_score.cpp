// Fuzzes the score parser: a number it accepts prints back as the same number.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "score/score.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string line(reinterpret_cast<const char*>(data), size);
  int value = 12345;
  auto kind = gomoku::parsescore(line, value);
  if (kind != gomoku::ScoreLine::kNumber) {
    if (value != 12345) std::abort();  // a refused line leaves the value alone
    return 0;
  }
  // The first word, without a leading '+' and leading zeros, is what was stored.
  std::size_t i = line.find_first_not_of(" \t\r\v\f");
  std::size_t end = line.find_first_of(" \t\r\v\f", i);
  std::string word = line.substr(i, end == std::string::npos ? std::string::npos : end - i);
  int again = 0;
  if (gomoku::parsescore(std::to_string(value), again) != gomoku::ScoreLine::kNumber ||
      again != value)
    std::abort();
  if (std::strtoll(word.c_str(), nullptr, 10) != value) std::abort();
  return 0;
}
