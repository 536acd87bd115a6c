// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer entry: each input is played on a fresh game with the ledger
// checking after every event. A broken rule prints the zarnovik-sim script
// that replays it and aborts, so that libFuzzer keeps the input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/play.h"

// Coverage of the game's steps beside that of its code: libFuzzer keeps an
// input that takes a kind of step, or a count of one, not seen before.
__attribute__((
    section("__libfuzzer_extra_counters"))) static std::uint8_t gSteps[fuzz::Outcome::kSteps];

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::Outcome outcome = fuzz::play(fuzz::decode({data, size}));
  for (std::size_t i = 0; i < outcome.steps.size(); ++i) gSteps[i] = outcome.steps[i];
  // ZRNV_FUZZ_SCRIPT=1 prints the script of every input run, broken or not.
  static const bool printAll = std::getenv("ZRNV_FUZZ_SCRIPT") != nullptr;
  if (printAll) std::fprintf(stderr, "%s", outcome.script.c_str());
  if (outcome.violation) {
    std::fprintf(stderr, "zarnovik-fuzz: %s\n", outcome.violation->c_str());
    std::fprintf(stderr, "--- the same as a zarnovik-sim script:\n%s---\n", outcome.script.c_str());
    std::abort();
  }
  return 0;
}
