#include "console/encoding.hpp"

#include <gtest/gtest.h>

namespace gomoku::console {
namespace {

TEST(Charset, GbFamilyIsRecognisedInAnySpelling) {
  const std::pair<const char*, bool> cases[] = {
      {"GBK", true},     {"gbk", true},      {"GB2312", true},
      {"GB18030", true}, {"gb-18030", true}, {"CP936", true},
      {"EUC-CN", true},  {"UTF-8", false},   {"ANSI_X3.4-1968", false},
      {"", false},       {"BIG5", false},
  };
  for (auto [name, gb] : cases) EXPECT_EQ(isgbcharset(name), gb) << name;
}

TEST(Charset, NamedCodesetIsThePartAfterTheDot) {
  const std::pair<const char*, const char*> cases[] = {
      {"zh_CN.GBK", "GBK"},     {"zh_CN.GB18030@euro", "GB18030"}, {"C", ""}, {"", ""},
      {"en_US.UTF-8", "UTF-8"},
  };
  for (auto [name, set] : cases) EXPECT_EQ(namedcodeset(name), set) << name;
  EXPECT_EQ(namedcodeset(nullptr), "");
}

TEST(Encoder, Utf8PassesThroughAndGbkConverts) {
  std::string out;
  Encoder utf8("UTF-8");
  utf8.convert("玩家 ok", out);
  EXPECT_EQ(out, "玩家 ok");
  Encoder gbk("GBK");
  if (!gbk.gb()) GTEST_SKIP() << "no GBK converter";
  out.clear();
  gbk.convert("玩家:1", out);
  EXPECT_EQ(out, "\xcd\xe6\xbc\xd2:1");
  out.clear();
  gbk.convert("😀x", out);  // not in GBK
  EXPECT_EQ(out, "?x");
}

}  // namespace
}  // namespace gomoku::console
