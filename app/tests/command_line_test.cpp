// SPDX-License-Identifier: GPL-3.0-or-later
// The command line as a player types it: what the program prints, where, and
// the status it ends with, before any display is looked for.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/command_line.h"

namespace {

struct Case {
  QStringList arguments;  // after the program's name
  const char* seedVariable;
  bool play;
  int status;
  std::optional<std::uint64_t> seed;
  const char* outputStart;  // "" for no output
  const char* errorsStart;  // "" for no errors
};

TEST(CommandLine, ReadsOptionsAndTheSeedVariable) {
  const std::string usage = "Usage: ";
  const std::string badSeed =
      "zarnovik: --seed must be a whole number from 0 to 18446744073709551615";
  const Case cases[] = {
      {{}, nullptr, true, 0, std::nullopt, "", ""},
      {{}, "", true, 0, std::nullopt, "", ""},
      {{}, "42", true, 0, 42, "", ""},
      {{"--seed", "7"}, nullptr, true, 0, 7, "", ""},
      {{"--seed=18446744073709551615"}, nullptr, true, 0, UINT64_MAX, "", ""},
      // The option wins, and the variable is not read at all.
      {{"--seed", "7"}, "42", true, 0, 7, "", ""},
      {{"--seed", "7"}, "nonsense", true, 0, 7, "", ""},
      {{"--seed", "1", "--seed", "2"}, nullptr, true, 0, 2, "", ""},
      {{"--help"}, "nonsense", false, 0, std::nullopt, "Usage: ", ""},
      {{"-h"}, nullptr, false, 0, std::nullopt, "Usage: ", ""},
      {{"--version"}, nullptr, false, 0, std::nullopt, "zarnovik " ZRNV_VERSION "\n", ""},
      {{"-v"}, nullptr, false, 0, std::nullopt, "zarnovik " ZRNV_VERSION "\n", ""},
      {{"--bogus"},
       nullptr,
       false,
       2,
       std::nullopt,
       "",
       "zarnovik: Unknown option 'bogus'.\nUsage: "},
      {{"--help", "--bogus"}, nullptr, false, 2, std::nullopt, "", "zarnovik: Unknown option"},
      {{"--help-all"}, nullptr, false, 2, std::nullopt, "", "zarnovik: Unknown option"},
      {{"game.sav"},
       nullptr,
       false,
       2,
       std::nullopt,
       "",
       "zarnovik: unexpected argument 'game.sav'\nUsage: "},
      {{"--seed"}, nullptr, false, 2, std::nullopt, "", "zarnovik: Missing value after '--seed'."},
      {{"--seed="}, nullptr, false, 2, std::nullopt, "", badSeed.c_str()},
      {{"--seed", "-1"}, nullptr, false, 2, std::nullopt, "", badSeed.c_str()},
      {{"--seed", "+1"}, nullptr, false, 2, std::nullopt, "", badSeed.c_str()},
      {{"--seed", " 1"}, nullptr, false, 2, std::nullopt, "", badSeed.c_str()},
      {{"--seed", "1x"}, nullptr, false, 2, std::nullopt, "", badSeed.c_str()},
      {{"--seed", "18446744073709551616"}, nullptr, false, 2, std::nullopt, "", badSeed.c_str()},
      {{},
       "18446744073709551616",
       false,
       2,
       std::nullopt,
       "",
       "zarnovik: ZRNV_SEED must be a whole number from 0 to 18446744073709551615\n"},
      {{}, "12 ", false, 2, std::nullopt, "", "zarnovik: ZRNV_SEED must be"},
  };
  for (const Case& c : cases) {
    const std::string shown = (QStringList{"zarnovik"} + c.arguments).join(' ').toStdString() +
                              " with ZRNV_SEED=" + (c.seedVariable ? c.seedVariable : "(unset)");
    const app::CommandLine line =
        app::readCommandLine(QStringList{"zarnovik"} + c.arguments, c.seedVariable);
    EXPECT_EQ(c.play, line.play) << shown;
    EXPECT_EQ(c.status, line.status) << shown;
    EXPECT_EQ(c.seed, line.seed) << shown;
    EXPECT_EQ(c.outputStart, line.output.substr(0, std::strlen(c.outputStart))) << shown;
    EXPECT_EQ(*c.outputStart == '\0', line.output.empty()) << shown;
    EXPECT_EQ(c.errorsStart, line.errors.substr(0, std::strlen(c.errorsStart))) << shown;
    EXPECT_EQ(*c.errorsStart == '\0', line.errors.empty()) << shown;
    // A mistake is one line, then the usage.
    if (line.errors.find("\nUsage: ") != std::string::npos) {
      EXPECT_EQ(line.errors.find('\n'), line.errors.find("\nUsage: ")) << shown;
    }
  }
}

TEST(CommandLine, HelpNamesEveryOptionAndVariable) {
  const std::string help = app::readCommandLine({"zarnovik", "--help"}, nullptr).output;
  EXPECT_EQ(0u, help.find("Usage: zarnovik [options]\n")) << help;
  for (const char* word : {"--help", "--version", "--seed <N>", "ZRNV_SEED", "ZRNV_TRACE",
                           "ZRNV_RECORD", "QT_QPA_PLATFORM", "Exit status"}) {
    EXPECT_NE(std::string::npos, help.find(word)) << word;
  }
}

std::string contents(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The program itself, with no display and no variables at all.
TEST(CommandLine, TheProgramAnswersWithoutADisplay) {
  const std::string out = testing::TempDir() + "zarnovik_cli_out";
  const std::string err = testing::TempDir() + "zarnovik_cli_err";
  struct Run {
    const char* arguments;
    int status;
    const char* outStart;
    const char* errStart;
  };
  for (const Run& run : {Run{"--version", 0, "zarnovik " ZRNV_VERSION "\n", ""},
                         Run{"--help", 0, "Usage: zarnovik [options]\n", ""},
                         Run{"--seed 12 --frobnicate", 2, "",
                             "zarnovik: Unknown option 'frobnicate'.\nUsage: zarnovik"},
                         Run{"--seed 12", 1, "", "zarnovik: no display found"}}) {
    const std::string command =
        std::string("env -i ") + ZRNV_APP_PATH + " " + run.arguments + " >" + out + " 2>" + err;
    const int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw)) << run.arguments;
    EXPECT_EQ(run.status, WEXITSTATUS(raw)) << run.arguments;
    const std::string printed = contents(out);
    const std::string complained = contents(err);
    EXPECT_EQ(run.outStart, printed.substr(0, std::strlen(run.outStart))) << run.arguments;
    EXPECT_EQ(*run.outStart == '\0', printed.empty()) << run.arguments;
    EXPECT_EQ(run.errStart, complained.substr(0, std::strlen(run.errStart))) << run.arguments;
    EXPECT_EQ(*run.errStart == '\0', complained.empty()) << run.arguments << complained;
  }
  std::remove(out.c_str());
  std::remove(err.c_str());
}

}  // namespace
