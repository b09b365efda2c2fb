// A test fixture that runs each test in a fresh temporary directory, and one for score
// entry there.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "board/state.hpp"
#include "score/score.hpp"
#include "support/scripted.hpp"

namespace gomoku::testing {

class InTempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = std::filesystem::current_path();
    dir_ = std::filesystem::temp_directory_path() /
           ("gomoku-test-" + std::to_string(std::random_device()()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    std::filesystem::current_path(dir_);
  }
  void TearDown() override {
    std::filesystem::current_path(old_);
    std::filesystem::remove_all(dir_);
  }
  // The score file's bytes, exactly (no line-end translation); empty when it is missing.
  static std::string file() {
    std::ifstream in(kScoreFile, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  std::filesystem::path old_, dir_;
};

// Score entry in a fresh temporary directory.
class ScoreFile : public InTempDir {
 public:
  // The exit status of addstu over the script, or -1 when it returned; the message the
  // program ended with goes to `message`, if given.
  static int entry(std::string* message = nullptr) {
    try {
      addstu(pn, pk);
      return -1;
    } catch (const Quit& q) {
      if (message) *message = q.message;
      return q.status;
    }
  }
  // Gives `path` the record of one earlier game.
  static void earliergame(const char* path = kScoreFile) {
    std::ofstream(path, std::ios::binary) << "1\n2\n";
  }
};

}  // namespace gomoku::testing
