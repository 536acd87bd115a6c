// The headless driver: its script protocol, the scenario scripts with their
// expected output, the run-time error path and the statistics of many spins.
#include "game/driver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game_test_support.h"

namespace {

using ::testing::HasSubstr;

struct ScriptRun {
  int status;
  std::string out;
  std::string err;
};

ScriptRun runScript(const std::string& script) {
  rt::FixedSeedClock seeds{1};
  std::ostringstream out, err;
  std::istringstream in(script);
  game::ScriptDriver driver(seeds, out, err);
  const int status = driver.run(in);
  return {status, out.str(), err.str()};
}

TEST(Script, ShowPrintsEveryFieldInItsFixedOrder) {
  const ScriptRun r = runScript("welcome\nrig 0.75 0.05 0.55\ncoin\nwait 1501\nshow\n");
  EXPECT_EQ(0, r.status);
  EXPECT_EQ(
      "{\"t\":1501,\"money\":\"95\",\"prize\":\"3\",\"reels\":[7,0,5],\"reelShown\":[true,true,"
      "true],"
      "\"reelTags\":[\"3\",\"3\",\"3\"],\"generator\":\"5\",\"coinSlot\":false,"
      "\"timers\":[false,false,false,true,true],\"rotate2\":{\"visible\":false,\"tag\":\"0\"},"
      "\"flash\":{\"visible\":false,\"tag\":\"0\"},\"strip\":{\"visible\":true,\"tag\":\"0\"},"
      "\"welcome\":false}\n",
      r.out);
}

TEST(Script, AtStartOnlyTheTitleTimerRunsAndTheReelsShowNoSymbol) {
  const ScriptRun r = runScript("show\n");
  EXPECT_THAT(r.out,
              HasSubstr("\"t\":0,\"money\":\"100\",\"prize\":\"0\",\"reels\":[null,null,null]"));
  EXPECT_THAT(r.out, HasSubstr("\"timers\":[false,false,false,false,true]"));
  EXPECT_THAT(r.out, HasSubstr("\"generator\":\"Ge ner.\""));
  EXPECT_THAT(r.out, HasSubstr("\"welcome\":true}"));
}

TEST(Script, ClicksObeyTheWelcomePanel) {
  // Under the panel the coin slot cannot be reached, but the focused
  // "Новая игра" button can be pressed from the keyboard.
  const ScriptRun r = runScript(
      "set LabelCredit.Caption 40\ncoin\npress\nnewgame\nshow\nwelcome\nwelcome\ncoin\nshow\n");
  std::istringstream lines(r.out);
  std::string first, second;
  std::getline(lines, first);
  std::getline(lines, second);
  EXPECT_THAT(first, HasSubstr("\"money\":\"100\""));
  EXPECT_THAT(first, HasSubstr("\"timers\":[false,false,false,false,true]"));
  EXPECT_THAT(second, HasSubstr("\"money\":\"95\""));
  EXPECT_THAT(second, HasSubstr("\"welcome\":false"));
}

TEST(Script, SetWritesTheRestOfTheLineAndShowEscapesIt) {
  const ScriptRun r =
      runScript("set LabelPrize.Caption  a \"quoted\" \\ text\nset LabelCredit.Caption\nshow\n");
  EXPECT_EQ(0, r.status);
  EXPECT_THAT(r.out, HasSubstr("\"money\":\"\",\"prize\":\" a \\\"quoted\\\" \\\\ text\""));
}

TEST(Script, MalformedLinesEndTheRunWithStatusTwo) {
  const char* lines[] = {
      "dance",
      "wait",
      "wait -1",
      "wait 1.5",
      "wait 10x",
      "seed",
      "seed x",
      "seed 1 2",
      "rig",
      "rig 1",
      "rig -0.1",
      "rig 0.5 nan",
      "rig 0.99999999",
      "rig inf",
      "coin now",
      "show all",
      "set",
      "set Nothing.Caption x",
      "set LabelCredit.Visible 0",
      "set LabelCredit x",
      "wait 99999999999999999999",
  };
  for (const char* line : lines) {
    const ScriptRun r = runScript(std::string("show\n") + line + "\nshow\n");
    EXPECT_EQ(2, r.status) << line;
    EXPECT_EQ(1, std::count(r.out.begin(), r.out.end(), '\n'))
        << line;  // nothing after the bad line
    EXPECT_THAT(r.err, HasSubstr("line 2")) << line;
  }
}

TEST(Script, BlankLinesCommentsAndCarriageReturnsAreIgnored) {
  const ScriptRun r = runScript("\n   \n# a comment\n  # indented comment\nwait 250\r\nshow\r\n");
  EXPECT_EQ(0, r.status);
  EXPECT_THAT(r.out, HasSubstr("\"t\":250,"));
}

TEST(Script, ARunTimeErrorPrintsOneLineAndEndsWithStatusThree) {
  rt::FixedSeedClock seeds{1};
  std::ostringstream out, err;
  std::istringstream in("welcome\ncoin\nset ImageNumber2.Tag x\nwait 500\nshow\n");
  game::ScriptDriver driver(seeds, out, err);
  EXPECT_EQ(3, driver.run(in));
  EXPECT_EQ("{\"error\": \"Run-time error '13': Type mismatch\"}\n", out.str());
  // What the handler did before the error stays done.
  EXPECT_EQ("1", driver.machine().form().ImageNumber1.tag());
  EXPECT_EQ("x", driver.machine().form().ImageNumber2.tag());
  EXPECT_EQ(500, driver.clock().now());
}

TEST(Script, RiggedValuesAreRoundedToSingles) {
  // 0.7 as a single lies just below 0.7, so it draws 6; 0.75 draws 7.
  const ScriptRun r = runScript("welcome\nrig 0.7 0.75 0.95\ncoin\nwait 1500\nshow\n");
  EXPECT_THAT(r.out, HasSubstr("\"reels\":[6,7,9]"));
}

// Every file in the scenario folder is a script whose expected output stands
// in its own comment lines: "#> " before each expected output line, and
// "#! exit N" for an exit status other than 0.
TEST(Scenarios, EachScriptPrintsWhatItExpects) {
  std::size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(ZRNV_SCENARIO_DIR)) {
    if (entry.path().extension() != ".sim") continue;
    ++count;
    std::ifstream file(entry.path());
    std::string script, expected, line;
    int expectedStatus = 0;
    while (std::getline(file, line)) {
      if (line.rfind("#> ", 0) == 0) expected += line.substr(3) + "\n";
      if (line.rfind("#! exit ", 0) == 0) expectedStatus = std::stoi(line.substr(8));
      script += line + "\n";
    }
    const ScriptRun r = runScript(script);
    EXPECT_EQ(expected, r.out) << entry.path().filename();
    EXPECT_EQ(expectedStatus, r.status) << entry.path().filename();
  }
  EXPECT_GT(count, 0u);
}

TEST(Program, ExitStatusesReachTheShell) {
  const std::string sim = ZRNV_SIM_PATH;
  const std::pair<std::string, int> cases[] = {
      {"printf 'welcome\\nshow\\n' | " + sim + " >/dev/null", 0},
      {"printf 'bogus\\n' | " + sim + " 2>/dev/null", 2},
      {"printf 'set Label1.Tag no\\nwait 250\\n' | " + sim + " >/dev/null", 3},
      {sim + " --spins 2>/dev/null", 2},
      {sim + " --spins 10 --seed 1 --seed 2 2>/dev/null", 2},
      {sim + " --spins 10 --seed 7 >/dev/null", 0},
  };
  for (const auto& [command, status] : cases) {
    const int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw)) << command;
    EXPECT_EQ(status, WEXITSTATUS(raw)) << command;
  }
}

TEST(Statistics, SameSeedSameFigures) {
  rt::FixedSeedClock seeds{1};
  EXPECT_EQ(game::statisticsJson(game::playStatistics(2000, seeds, 42)),
            game::statisticsJson(game::playStatistics(2000, seeds, 42)));
  EXPECT_NE(game::statisticsJson(game::playStatistics(2000, seeds, 42)),
            game::statisticsJson(game::playStatistics(2000, seeds, 43)));
}

TEST(Statistics, AMillionSpinsMatchTheOddsOfThePrizeTable) {
  rt::FixedSeedClock seeds{1};
  const std::uint64_t n = 1'000'000;
  const game::Statistics s = game::playStatistics(n, seeds, 1);
  ASSERT_FALSE(s.error);
  ASSERT_EQ(n, s.spins);
  // Each reel: chi-square of the ten symbol counts, 9 degrees of freedom.
  // 27.88 is the 0.999 quantile: a fair generator fails one reel in a thousand runs,
  // and the seed is fixed, so the test is deterministic.
  for (int reel = 0; reel < 3; ++reel) {
    double chi2 = 0;
    for (int d = 0; d < 10; ++d) {
      const double diff = static_cast<double>(s.symbols[reel][d]) - n / 10.0;
      chi2 += diff * diff / (n / 10.0);
    }
    EXPECT_LT(chi2, 27.88) << "reel " << reel + 1;
  }
  // Win share p = 0.304: standard deviation sqrt(p(1-p)/n) = 0.00046; allow 5 sigma.
  EXPECT_NEAR(0.304, static_cast<double>(s.wins) / n, 5 * 0.00046);
  // Rings a spin: over the 1000 equally likely triples the mean is 2.111 and
  // the variance 418.57 - 2.111^2 = 414.11 (the jackpots dominate), so the
  // standard error is sqrt(414.11 / n) = 0.0203; allow 5 sigma.
  EXPECT_NEAR(2.111, static_cast<double>(s.rings) / n, 5 * 0.0203);
  std::uint64_t paid = 0;
  for (int r = 0; r < 13; ++r) paid += s.byRule[r];
  EXPECT_EQ(s.wins, paid);
  // Rule 13a pays only beside rule 13: 48 of the 1000 triples.
  EXPECT_LE(s.byRule[13], s.byRule[12]);
  EXPECT_NEAR(0.048, static_cast<double>(s.byRule[13]) / n, 5 * std::sqrt(0.048 * 0.952 / n));
  EXPECT_GT(s.virtualMs, static_cast<std::int64_t>(n) * 1501);
}

}  // namespace

namespace {

TEST(Script, AfterALossTheEvaluationSleepsThroughALongWaitAndGameOverStillShows) {
  // 1, 2, 3: no win. The evaluation runs twice (the second run changes
  // nothing) and then sleeps: a wait of a day costs Timer5's ticks only.
  rt::FixedSeedClock seeds{1};
  std::ostringstream out, err;
  game::ScriptDriver driver(seeds, out, err);
  std::istringstream in(
      "welcome\nset LabelCredit.Caption 5\nrig 0.15 0.25 0.35\ncoin\nwait 86400000\nshow\n");
  EXPECT_EQ(0, driver.run(in));
  constexpr std::size_t kTimer3 = 2;
  EXPECT_EQ(2u, driver.clock().ticks(kTimer3));
  EXPECT_THAT(out.str(), HasSubstr("\"money\":\"Game Over!\""));
  EXPECT_THAT(out.str(), HasSubstr("\"coinSlot\":false"));
  EXPECT_THAT(out.str(), HasSubstr("\"timers\":[false,false,true,false,true]"));
}

}  // namespace
