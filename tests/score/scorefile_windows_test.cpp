// The score file on Windows: another game holding it locked.
#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

#include "score/score.hpp"
#include "support/tempdir.hpp"

namespace gomoku {
namespace {

using testing::ScoreFile;
using testing::Scripted;

// Another game holds the file locked while it appends its record: this one waits for
// it, and both records end up whole, one after the other.
TEST_F(ScoreFile, WaitsForAnotherGameHoldingTheFile) {
  earliergame();
  HANDLE other =
      CreateFileA(kScoreFile, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  OVERLAPPED all{};
  ASSERT_TRUE(LockFileEx(other, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &all));
  std::thread late([&] {  // the other game: appends a moment later, then lets go
    Sleep(300);
    DWORD n = 0;
    SetFilePointer(other, 0, nullptr, FILE_END);
    WriteFile(other, "7\n8\n", 4, &n, nullptr);
    UnlockFileEx(other, 0, MAXDWORD, MAXDWORD, &all);
  });
  Scripted t("3\n5\n");
  EXPECT_EQ(entry(), -1);
  late.join();
  CloseHandle(other);
  EXPECT_EQ(file(), "1\n2\n7\n8\n3\n5\n");
}

}  // namespace
}  // namespace gomoku
