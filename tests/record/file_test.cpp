#include "record/file.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/tempdir.hpp"

namespace gomoku::record {
namespace {

namespace fs = std::filesystem;

struct ReplaceCase {
  const char* name;
  std::string path;
  bool replaced;
  std::string after;  // what the path holds afterwards: a file's bytes, or "dir"
};

class Replace : public testing::InTempDir, public ::testing::WithParamInterface<ReplaceCase> {};

// The file holds the new bytes, or, when it cannot, is as it was: and nothing is left
// beside it either way.
TEST_P(Replace, AllOrNothingAndNothingLeftBeside) {
  const ReplaceCase& k = GetParam();
  std::ofstream("old.sgf") << "old";
  fs::create_directory("dir");
  std::string why;
  EXPECT_EQ(replacefile(k.path, "new", why), k.replaced);
  EXPECT_EQ(why.empty(), k.replaced) << why;
  std::string what = "dir";
  if (!fs::is_directory(k.path)) {
    std::ifstream in(k.path, std::ios::binary);
    what.assign(std::istreambuf_iterator<char>(in), {});
  }
  EXPECT_EQ(what, k.after);
  std::size_t entries = 0;
  for (const auto& e : fs::directory_iterator(".")) entries += e.exists() ? 1 : 0;
  EXPECT_EQ(entries, k.path == "new.sgf" ? 3u : 2u);  // no temporary file left
}

INSTANTIATE_TEST_SUITE_P(Files, Replace,
                         ::testing::Values(ReplaceCase{"new_file", "new.sgf", true, "new"},
                                           ReplaceCase{"old_file", "old.sgf", true, "new"},
                                           ReplaceCase{"directory_in_the_way", "dir", false, "dir"},
                                           ReplaceCase{"no_such_directory", "none/new.sgf", false,
                                                       ""}),
                         [](const auto& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace gomoku::record
