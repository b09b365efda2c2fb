#include "game/options.hpp"

#include <gtest/gtest.h>

namespace gomoku {
namespace {

struct OptionCase {
  const char* name;
  std::vector<std::string> args;
  int status;        // -1: play
  int computer;      // when playing
  int thinkms;       // when playing
  std::string said;  // the first line written: on standard output for status 0, else error
  int rule = -1;     // when playing: kFreestyle ... kCaro, -1 when not given
  int level = 9;     // when playing
};

class CommandLines : public ::testing::TestWithParam<OptionCase> {};

TEST_P(CommandLines, GiveThePlayerTheTimeOrTheWayOut) {
  const OptionCase& k = GetParam();
  Options o = parseoptions(k.args);
  EXPECT_EQ(o.status, k.status);
  const std::string& said = k.status == 2 ? o.err : o.out;
  EXPECT_EQ(said.substr(0, said.find('\n')), k.said);
  EXPECT_EQ(k.status == 2 ? o.out : o.err, "");
  if (k.status == 2) {  // the usage follows the error
    EXPECT_EQ(said.substr(said.find('\n') + 1), parseoptions({"-h"}).out);
  }
  if (k.status == -1) {
    EXPECT_EQ(o.computer, k.computer);
    EXPECT_EQ(o.thinkms, k.thinkms);
    EXPECT_EQ(o.rule, k.rule);
    EXPECT_EQ(o.level, k.level);
  }
}

const char kUsage[] = "usage: gomoku [--computer 1|2] [--time MS] [--level N] [--rule NAME]";
const char kBadTime[] = "takes milliseconds from 1 to 3600000, not ";
const char kTimeAlone[] = "gomoku: --time has a meaning only with --computer";

INSTANTIATE_TEST_SUITE_P(
    Options, CommandLines,
    ::testing::Values(
        OptionCase{"none", {}, -1, 0, 1000, ""},
        OptionCase{"computer_two", {"--computer", "2"}, -1, 2, 1000, ""},
        OptionCase{"attached_values", {"-c2", "--time=250"}, -1, 2, 250, ""},
        OptionCase{"time_before_computer", {"-t", "50", "-c", "1"}, -1, 1, 50, ""},
        OptionCase{"time_alone", {"--time", "500"}, 2, 0, 0, kTimeAlone},
        OptionCase{"time_letter_alone", {"-t500"}, 2, 0, 0, kTimeAlone},
        OptionCase{"last_one_counts", {"-t", "200", "-c", "2", "--computer=1"}, -1, 1, 200, ""},
        OptionCase{"rule_renju", {"--rule", "renju", "-c", "2"}, -1, 2, 1000, "", 2},
        OptionCase{"rule_attached", {"-c1", "-t5", "--rule=caro"}, -1, 1, 5, "", 3},
        OptionCase{"rule_standard_then_freestyle",
                   {"--rule=standard", "--rule", "freestyle"},
                   -1,
                   0,
                   1000,
                   "",
                   0},
        OptionCase{"rule_unknown",
                   {"--rule", "Renju"},
                   2,
                   0,
                   0,
                   "gomoku: --rule takes freestyle, standard, renju or caro, not 'Renju'"},
        OptionCase{"level", {"-c", "2", "--level", "3"}, -1, 2, 1000, "", -1, 3},
        OptionCase{
            "level_attached_before_computer", {"-l5", "--computer=1"}, -1, 1, 1000, "", -1, 5},
        OptionCase{"level_without_computer",
                   {"--level=4", "--rule", "renju"},
                   2,
                   0,
                   0,
                   "gomoku: --level has a meaning only with --computer"},
        OptionCase{"level_ten",
                   {"-c", "2", "--level", "10"},
                   2,
                   0,
                   0,
                   "gomoku: --level takes a level from 1 to 9, not '10'"},
        OptionCase{
            "level_zero", {"-c2", "-l0"}, 2, 0, 0, "gomoku: -l takes a level from 1 to 9, not '0'"},
        OptionCase{"help", {"--help", "--bogus"}, 0, 0, 0, kUsage},
        OptionCase{"version", {"--version"}, 0, 0, 0, "gomoku 1.0"},
        OptionCase{"unknown", {"-c", "2", "-x"}, 2, 0, 0, "gomoku: unknown option '-x'"},
        OptionCase{"help_with_value", {"--help=1"}, 2, 0, 0, "gomoku: unknown option '--help=1'"},
        OptionCase{"player_three", {"-c", "3"}, 2, 0, 0, "gomoku: -c takes 1 or 2, not '3'"},
        OptionCase{
            "player_zero", {"--computer=0"}, 2, 0, 0, "gomoku: --computer takes 1 or 2, not '0'"},
        OptionCase{"no_value", {"-c", "2", "--time"}, 2, 0, 0, "gomoku: --time needs a value"},
        OptionCase{"time_zero", {"-t0"}, 2, 0, 0, std::string("gomoku: -t ") + kBadTime + "'0'"},
        OptionCase{"time_not_a_number",
                   {"--time", "12ms"},
                   2,
                   0,
                   0,
                   std::string("gomoku: --time ") + kBadTime + "'12ms'"},
        OptionCase{"time_too_long",
                   {"-t", "99999999999"},
                   2,
                   0,
                   0,
                   std::string("gomoku: -t ") + kBadTime + "'99999999999'"}),
    [](const auto& i) { return std::string(i.param.name); });

struct RecordOptionCase {
  const char* name;
  std::vector<std::string> args;
  std::string record, game;  // when accepted: the files to record in and to read a game from
  int gamenumber;
  bool replay;
  std::string error;  // the line that refuses it; empty when accepted
};

class RecordOptions : public ::testing::TestWithParam<RecordOptionCase> {};

TEST_P(RecordOptions, NameTheFilesAndTheGame) {
  const RecordOptionCase& k = GetParam();
  Options o = parseoptions(k.args);
  EXPECT_EQ(o.status, k.error.empty() ? -1 : 2);
  EXPECT_EQ(o.err.substr(0, o.err.find('\n')), k.error);
  if (k.error.empty()) {
    EXPECT_EQ((std::vector<std::string>{o.record, o.game}),
              (std::vector<std::string>{k.record, k.game}));
    EXPECT_EQ(o.gamenumber, k.gamenumber);
    EXPECT_EQ(o.replay, k.replay);
  }
}

const char kReplayAlone[] = "gomoku: --replay shows a recorded game and takes no other option";

INSTANTIATE_TEST_SUITE_P(
    Options, RecordOptions,
    ::testing::Values(
        RecordOptionCase{"record", {"--record", "g.sgf"}, "g.sgf", "", 0, false, ""},
        RecordOptionCase{"load_the_last", {"--load=g.psq"}, "", "g.psq", 0, false, ""},
        RecordOptionCase{"load_a_game_and_record",
                         {"--load", "g.sgf:2", "--record", "g.sgf", "-c", "1"},
                         "g.sgf",
                         "g.sgf",
                         2,
                         false,
                         ""},
        RecordOptionCase{
            "windows_path", {"--replay", "C:\\g\\a.sgf"}, "", "C:\\g\\a.sgf", 0, true, ""},
        RecordOptionCase{"windows_path_and_game",
                         {"--replay=C:\\g\\a.sgf:12"},
                         "",
                         "C:\\g\\a.sgf",
                         12,
                         true,
                         ""},
        RecordOptionCase{"game_zero",
                         {"--load", "g.sgf:0"},
                         "",
                         "",
                         0,
                         false,
                         "gomoku: --load takes FILE or FILE:N, N a game from 1, not 'g.sgf:0'"},
        RecordOptionCase{
            "no_file_name", {"--record="}, "", "", 0, false, "gomoku: --record needs a file name"},
        RecordOptionCase{
            "replay_and_play", {"--replay", "g.sgf", "-t", "5"}, "", "", 0, false, kReplayAlone},
        RecordOptionCase{"replay_and_level",
                         {"--replay", "g.sgf", "--level", "3"},
                         "",
                         "",
                         0,
                         false,
                         kReplayAlone},
        RecordOptionCase{"load_then_replay",
                         {"--load", "a.sgf", "--replay", "b.sgf"},
                         "",
                         "",
                         0,
                         false,
                         kReplayAlone}),
    [](const auto& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace gomoku
