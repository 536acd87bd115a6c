// SPDX-License-Identifier: GPL-3.0-or-later
// The headless driver: its script protocol, the scenario scripts with their
// expected output, the run-time error path and the statistics of many spins.
#include "game/driver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "game_test_support.h"
#include "prize_cases.h"

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

struct ScriptRun {
  int status;
  std::string out;
  std::string err;
};

ScriptRun runScript(const std::string& script, std::uint64_t seed = 1) {
  rt::FixedSeedClock seeds{seed};
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
      "wait -0",
      "wait +5",
      "wait 4503599627370497",
      "seed -1",
      "seed +1",
      "seed 18446744073709551616",
      "rig -0.0000000000000000000000000000000000000000000000000001",
      "rig -0.5",
      "set Timer1.Caption x",
      "set Image3.Caption x",
      "set ImageNumber1.Caption x",
      "set LabelCredit.Caption \xff",
      "set LabelCredit.Caption 9\xc0\xaf",    // an overlong "/"
      "set LabelPrize.Tag \xed\xa0\x80",      // a surrogate
      "set LabelPrize.Tag \xf4\x90\x80\x80",  // beyond U+10FFFF
      "set LabelPrize.Caption \xd0",          // cut short
  };
  for (const char* line : lines) {
    const ScriptRun r = runScript(std::string("show\n") + line + "\nshow\n");
    EXPECT_EQ(2, r.status) << line;
    EXPECT_EQ(1, std::count(r.out.begin(), r.out.end(), '\n'))
        << line;  // nothing after the bad line
    EXPECT_THAT(r.err, HasSubstr("line 2")) << line;
  }
}

TEST(Script, WellFormedEdgesAreTaken) {
  const char* lines[] = {
      "wait 0",
      "wait 000250",
      "seed 0",
      "seed 18446744073709551615",
      "rig 0",
      "rig -0",
      "rig 0.99999997",
      "set Timer1.Tag x",
      "set Frame4.Caption x",
      "set Command1.Caption \xd0\x98\xd0\xb3\xd1\x80\xd0\xb0",  // "Игра"
      "set LabelPrize.Caption \xf0\x9f\x8e\x84",                // U+1F384
  };
  for (const char* line : lines) {
    const ScriptRun r = runScript(std::string(line) + "\nshow\n");
    EXPECT_EQ(0, r.status) << line << ": " << r.err;
    EXPECT_EQ("", r.err) << line;
  }
}

TEST(Script, ARigTooSmallForASingleDrawsZero) {
  // Below about 7e-46 a decimal rounds to 0 as a single, which is in range.
  const std::string tiny = "0." + std::string(60, '0') + "1";
  const ScriptRun r =
      runScript("welcome\nrig " + tiny + " 0." + std::string(45, '0') +
                "7 0.00000000000000000000000000000000000000001\ncoin\nwait 1500\nshow\n");
  EXPECT_EQ(0, r.status) << r.err;
  EXPECT_THAT(r.out, HasSubstr("\"reels\":[0,0,0]"));
}

TEST(Script, SeedsAreWholeNumbersFromZeroTo2To64LessOne) {
  // The script's seed reaches the same draws as the game seeded with it.
  const std::string spin = "welcome\ncoin\nwait 1500\nshow\n";
  const std::uint64_t last = 18446744073709551615u;
  EXPECT_EQ(runScript(spin, last).out, runScript("seed 18446744073709551615\n" + spin).out);
  EXPECT_EQ(runScript(spin, 1u << 31).out, runScript("seed 2147483648\n" + spin).out);
  EXPECT_NE(runScript(spin, last).out, runScript("seed 9223372036854775807\n" + spin).out);
}

TEST(Script, EchoedLinesCarryNoControlCharacters) {
  const ScriptRun r = runScript("dance\x1b]0;owned\x07\x1b[2J\x9b\xc2\x9b\\\xd0\x98\n");
  EXPECT_EQ(2, r.status);
  EXPECT_EQ(
      "zarnovik-sim: line 1: unknown command: dance\\x1b]0;owned\\x07\\x1b[2J\\x9b\\xc2\\x9b"
      "\\\\\xd0\x98\n",
      r.err);
}

TEST(Script, PrintableEscapesWhatATerminalWouldObey) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain text", "plain text"},
      {"\t\x01\x7f", "\\x09\\x01\\x7f"},
      {"\xc2\x85", "\\xc2\\x85"},                        // NEL, a C1 control
      {"\xc2\xa0\xe2\x82\xac", "\xc2\xa0\xe2\x82\xac"},  // no-break space, euro sign
      {"\xe2\x82", "\\xe2\\x82"},                        // cut short
      {"back\\slash", "back\\\\slash"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(expected, game::printable(text)) << text;
  EXPECT_TRUE(game::validUtf8(""));
  EXPECT_TRUE(game::validUtf8("\xf4\x8f\xbf\xbf"));  // U+10FFFF
  EXPECT_FALSE(game::validUtf8("\xe0\x80\x80"));     // overlong
  EXPECT_FALSE(game::validUtf8("\x80"));
}

TEST(Script, WaitsBeyondTheClockAreRefusedForWhatTheyAre) {
  const ScriptRun tooLong = runScript("wait 9223372036854775808\n");
  EXPECT_EQ(2, tooLong.status);
  EXPECT_THAT(tooLong.err, HasSubstr("from 0 to 4503599627370496"));
  EXPECT_THAT(tooLong.err, Not(HasSubstr(">= 0")));
}

TEST(Script, AWaitThatWouldTakeTheClockPastItsLimitIsRefused) {
  // With every timer off a wait costs nothing, so the clock can be walked to
  // its limit, 2^62 ms, in 1024 of the longest waits a line may ask for.
  struct Case {
    const char* last;
    int status;  // of the run, with the clock at its limit before this line
  };
  const Case cases[] = {
      {"wait 0", game::kExitOk},
      {"wait 1", game::kExitMalformed},
      {"wait 4503599627370496", game::kExitMalformed},
  };
  constexpr std::int64_t kLimit = std::int64_t{1} << 62;
  for (const Case& c : cases) {
    rt::FixedSeedClock seeds{1};
    std::ostringstream out, err;
    game::ScriptDriver driver(seeds, out, err);
    driver.machine().form().Timer5.setEnabled(false);
    std::string script;
    for (int i = 0; i < 1024; ++i) script += "wait 4503599627370496\n";
    std::istringstream in(script + c.last + "\n");
    EXPECT_EQ(c.status, driver.run(in)) << c.last;
    EXPECT_EQ(kLimit, driver.clock().now()) << c.last << ": a refused wait leaves the clock";
    if (c.status == game::kExitMalformed) {
      EXPECT_EQ("zarnovik-sim: line 1025: wait would take the clock past 4611686018427387904 ms: " +
                    std::string(c.last) + "\n",
                err.str());
    } else {
      EXPECT_EQ("", err.str());
    }
  }
}

// An output stream on a device with no room left, as /dev/full is.
class FullDevice : public std::streambuf {
 protected:
  int_type overflow(int_type) override { return traits_type::eof(); }
  std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

TEST(Script, ALineThatCannotBeWrittenEndsTheRunWithStatusFourNotItsOwn) {
  struct Case {
    const char* what;
    const char* script;  // empty: a statistics run instead
  };
  const Case cases[] = {
      {"a show line", "show\n"},
      {"a run-time error's line", "set Label1.Tag no\nwait 250\n"},
      {"the statistics line", ""},
  };
  for (const Case& c : cases) {
    FullDevice full;
    std::ostream out(&full);
    std::ostringstream err;
    std::istringstream in(c.script);
    int status;
    if (*c.script != '\0') {
      rt::FixedSeedClock seeds{1};
      game::ScriptDriver driver(seeds, out, err);
      status = driver.run(in);
    } else {
      const char* argv[] = {"zarnovik-sim", "--spins", "10", "--seed", "1", "--threads", "1"};
      status = game::simMain(7, argv, in, out, err, false);
    }
    EXPECT_EQ(game::kExitIoError, status) << c.what;
    EXPECT_EQ("zarnovik-sim: cannot write to the standard output\n", err.str()) << c.what;
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
      {sim + " --spins 10 --seed 18446744073709551615 >/dev/null", 0},
      {sim + " --spins 10 --seed 18446744073709551616 2>/dev/null", 2},
      {sim + " --spins 10 --seed -1 2>/dev/null", 2},
      {sim + " --spins 10 --threads 0 2>/dev/null", 2},
      {sim + " --odds --spins 10 2>/dev/null", 2},
      // A script that cannot be read, output that cannot be written.
      {sim + " < / 2>/dev/null", 4},
      {"printf 'show\\n' | " + sim + " >/dev/full 2>/dev/null", 4},
      {"printf 'set Label1.Tag no\\nwait 250\\n' | " + sim + " >/dev/full 2>/dev/null", 4},
      {sim + " --spins 10 --seed 1 >/dev/full 2>/dev/null", 4},
      {sim + " --odds >/dev/full 2>/dev/null", 4},
  };
  for (const auto& [command, status] : cases) {
    const int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw)) << command;
    EXPECT_EQ(status, WEXITSTATUS(raw)) << command;
  }
}

TEST(Program, ProgressIsNeverWrittenToAPipeOrAFile) {
  // Long enough (a second or more) for the progress line to show on a terminal.
  const std::string command =
      std::string(ZRNV_SIM_PATH) + " --spins 1500000 --threads 1 2>&1 >/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(nullptr, pipe);
  std::string err;
  char buf[256];
  while (std::fgets(buf, sizeof buf, pipe) != nullptr) err += buf;
  EXPECT_EQ(0, pclose(pipe));
  EXPECT_EQ("", err);
}

TEST(Progress, OneLineRewrittenInPlaceAndClearedAtTheEnd) {
  using namespace std::chrono_literals;
  std::ostringstream err;
  std::atomic<std::uint64_t> done{0};
  {
    game::ProgressLine progress(err, 1000, done, 0ms, 5ms);
    std::this_thread::sleep_for(40ms);
    done = 400;
    std::this_thread::sleep_for(40ms);
  }
  const std::string shown = err.str();
  EXPECT_THAT(shown, HasSubstr("\r0 of 1000 spins, 0 spins/s, 0 s left\x1b[K"));
  EXPECT_THAT(shown, HasSubstr("\r400 of 1000 spins, "));
  EXPECT_THAT(shown, HasSubstr(" spins/s, "));
  EXPECT_EQ(std::string::npos, shown.find('\n'));
  ASSERT_GE(shown.size(), 4u);
  EXPECT_EQ("\r\x1b[K", shown.substr(shown.size() - 4)) << "cleared at the end";
}

TEST(Progress, NothingForARunThatEndsInItsQuietTime) {
  std::ostringstream err;
  std::atomic<std::uint64_t> done{0};
  { game::ProgressLine progress(err, 1000, done); }
  EXPECT_EQ("", err.str());
}

TEST(Statistics, TheFiguresDependOnTheSeedOnlyNotOnTheThreads) {
  // Three blocks, the last one short: the sums must not depend on which
  // thread played which block, nor on the order in which they finished.
  const std::uint64_t spins = 2 * game::kBlockSpins + 1000;
  const std::string one = game::statisticsJson(game::playStatistics(spins, 42, 1));
  EXPECT_EQ(one, game::statisticsJson(game::playStatistics(spins, 42, 2)));
  EXPECT_EQ(one, game::statisticsJson(game::playStatistics(spins, 42, 3)));
  EXPECT_EQ(one, game::statisticsJson(game::playStatistics(spins, 42, 64)));
  EXPECT_NE(one, game::statisticsJson(game::playStatistics(spins, 43, 2)));
  EXPECT_THAT(one, HasSubstr("{\"spins\":" + std::to_string(spins) + ","));
}

TEST(Statistics, TheRunIsTheSumOfItsBlocks) {
  const std::uint64_t spins = game::kBlockSpins + 500;
  game::Statistics blocks = game::playBlock(game::kBlockSpins, game::blockSeed(9, 0));
  blocks += game::playBlock(500, game::blockSeed(9, 1));
  EXPECT_EQ(game::statisticsJson(blocks), game::statisticsJson(game::playStatistics(spins, 9, 2)));
  // Each block is a fresh player: the first block's figures are its own.
  EXPECT_EQ(game::statisticsJson(game::playBlock(500, game::blockSeed(9, 0))),
            game::statisticsJson(game::playStatistics(500, 9, 1)));
}

TEST(Statistics, BlockSeedsFollowSplitMix64) {
  // The first outputs of SplitMix64 started at 0 and at 1234567, as its
  // authors' reference implementation gives them.
  EXPECT_EQ(0xe220a8397b1dcdafULL, game::blockSeed(0, 0));
  EXPECT_EQ(0x6e789e6aa1b965f4ULL, game::blockSeed(0, 1));
  EXPECT_EQ(0x599ed017fb08fc85ULL, game::blockSeed(1234567, 0));
  EXPECT_EQ(0x2c73f08458540fa5ULL, game::blockSeed(1234567, 1));
}

TEST(Statistics, NoSpinsNoFigures) {
  const game::Statistics s = game::playStatistics(0, 1, 4);
  EXPECT_EQ(0u, s.spins);
  EXPECT_EQ(0, s.virtualMs);
  EXPECT_FALSE(s.error);
}

TEST(Odds, EveryTripleThroughTheEvaluation) {
  const game::Odds odds = game::exactOdds();
  EXPECT_EQ(1000u, odds.triples);
  EXPECT_EQ(static_cast<std::uint64_t>(testing_support::kWinningTriples), odds.wins);
  EXPECT_EQ(static_cast<std::uint64_t>(testing_support::kRingsOverAllTriples), odds.rings);
  // The rings the handler paid are those of the rules that matched.
  std::uint64_t rings = 0, paid = 0;
  for (int r = 0; r < 14; ++r) rings += odds.ringsByRule[r];
  for (int r = 0; r < 13; ++r) paid += odds.byRule[r];
  EXPECT_EQ(odds.rings, rings);
  EXPECT_EQ(odds.wins, paid);
  EXPECT_EQ(48u, odds.byRule[13]);  // a lone 0 beside a lone 7
  EXPECT_DOUBLE_EQ(0.304, odds.hitFrequency());
  EXPECT_DOUBLE_EQ(2.111, odds.ringsPerSpin());
  EXPECT_DOUBLE_EQ(2.111, odds.returnToPlayer());
  // The squared awards add up to 418567 (the ten triples 416449, rule 11
  // 27 * 25, rule 12 27 * 9, a lone 7 192 * 4, a 7 with a 0 48 * 9): their
  // mean less the mean squared.
  EXPECT_EQ(418567u, odds.ringsSquared);
  EXPECT_DOUBLE_EQ(418.567 - 2.111 * 2.111, odds.ringsVariance());
}

TEST(Odds, TheSheetHasExactlyItsKeys) {
  const std::string j = game::oddsJson(game::exactOdds());
  EXPECT_EQ(0u, j.find("{\"triples\":1000,\"wins\":304,\"rings\":2111,\"byRule\":{\"1\":1,"));
  EXPECT_THAT(j, HasSubstr(",\"13\":240,\"13a\":48},\"ringsByRule\":{\"1\":7,"));
  EXPECT_THAT(j, HasSubstr("\"hitFrequency\":0.304,\"ringsPerSpin\":2.111,"
                           "\"returnToPlayer\":2.111,\"ringsVariance\":414.11"));
  EXPECT_EQ('}', j.back());
}

TEST(Statistics, AMillionSpinsMatchTheExactOdds) {
  const game::Odds odds = game::exactOdds();
  const std::uint64_t n = 1'000'000;
  const auto spins = static_cast<double>(n);
  const game::Statistics s = game::playStatistics(n, 1, 2);
  ASSERT_FALSE(s.error);
  ASSERT_EQ(n, s.spins);
  // Each reel: chi-square of the ten symbol counts, 9 degrees of freedom.
  // 27.88 is the 0.999 quantile: a fair generator fails one reel in a thousand runs,
  // and the seed is fixed, so the test is deterministic.
  for (int reel = 0; reel < 3; ++reel) {
    double chi2 = 0;
    for (int d = 0; d < 10; ++d) {
      const double diff = static_cast<double>(s.symbols[reel][d]) - spins / 10.0;
      chi2 += diff * diff / (spins / 10.0);
    }
    EXPECT_LT(chi2, 27.88) << "reel " << reel + 1;
  }
  // Every share within 5 standard errors of the exact odds: a share p of spins
  // has the standard error sqrt(p(1-p)/n); the rings a spin have
  // sqrt(ringsVariance/n), which the jackpots make large.
  auto shareError = [&](double p) { return 5 * std::sqrt(p * (1 - p) / spins); };
  const double p = odds.hitFrequency();
  EXPECT_NEAR(p, static_cast<double>(s.wins) / spins, shareError(p));
  EXPECT_NEAR(odds.ringsPerSpin(), static_cast<double>(s.rings) / spins,
              5 * std::sqrt(odds.ringsVariance() / spins));
  for (int r = 0; r < 14; ++r) {
    const double rule = static_cast<double>(odds.byRule[r]) / static_cast<double>(odds.triples);
    EXPECT_NEAR(rule, static_cast<double>(s.byRule[r]) / spins, shareError(rule)) << "rule " << r;
  }
  std::uint64_t paid = 0;
  for (int r = 0; r < 13; ++r) paid += s.byRule[r];
  EXPECT_EQ(s.wins, paid);
  EXPECT_LE(s.byRule[13], s.byRule[12]);
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
