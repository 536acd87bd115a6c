// SPDX-License-Identifier: GPL-3.0-or-later
// Throughput of the game machine: whole spins as the statistics mode plays
// them, and the cost of each handler on its own.
#include <benchmark/benchmark.h>

#include "game/animations.h"
#include "game/driver.h"
#include "game/handlers.h"
#include "runtime/convert.h"

namespace {

void BM_StatisticsSpins(benchmark::State& state) {
  const auto spins = static_cast<std::uint64_t>(state.range(0));
  for (auto _ : state) {
    game::Statistics s = game::playStatistics(spins, 1);
    benchmark::DoNotOptimize(s.rings);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetLabel("items = spins");
}
BENCHMARK(BM_StatisticsSpins)->Arg(100000)->Unit(benchmark::kMillisecond);

// A machine with the welcome panel gone, for timing single handlers.
struct MachinePastWelcome {
  rt::FixedSeedClock seeds{1};
  game::Machine machine{seeds};
  game::Form1& f = machine.form();
  MachinePastWelcome() {
    machine.load();
    game::Command2_Click(f);
  }
};

void BM_Coin(benchmark::State& state) {
  MachinePastWelcome b;
  for (auto _ : state) {
    b.f.Timer2.setEnabled(false);
    b.f.LabelCredit.setCaption("100");
    game::LabelInsertCoin_Click(b.f);
  }
}
BENCHMARK(BM_Coin);

void BM_NewGame(benchmark::State& state) {
  MachinePastWelcome b;
  for (auto _ : state) game::Command1_Click(b.f);
}
BENCHMARK(BM_NewGame);

void BM_ReelStopTick(benchmark::State& state) {
  MachinePastWelcome b;
  for (auto _ : state) {
    b.f.ImageNumber1.setTag("0");  // every tick stops reel 1
    game::Timer2_Timer(b.f, b.machine.random());
  }
}
BENCHMARK(BM_ReelStopTick);

void BM_Evaluation(benchmark::State& state) {
  MachinePastWelcome b;
  const bool win = state.range(0) != 0;
  for (int n = 1; n <= 3; ++n) b.f.reel(n).setPicture(b.f.symbolImage(win ? 7 : n).picture());
  for (auto _ : state) {
    b.f.LabelPrize.setCaption("0");
    game::Timer3_Timer(b.f);
  }
  state.SetLabel(win ? "7-7-7" : "1-2-3, a loss");
}
BENCHMARK(BM_Evaluation)->Arg(0)->Arg(1);

void BM_TransferTick(benchmark::State& state) {
  MachinePastWelcome b;
  for (auto _ : state) {
    b.f.LabelPrize.setCaption("5");
    game::Timer4_Timer(b.f);
  }
}
BENCHMARK(BM_TransferTick);

void BM_SpinFlickerTick(benchmark::State& state) {
  MachinePastWelcome b;
  for (auto _ : state) game::Timer1_Timer(b.f);
}
BENCHMARK(BM_SpinFlickerTick);

void BM_TitleStripTick(benchmark::State& state) {
  MachinePastWelcome b;
  for (auto _ : state) game::Timer5_Timer(b.f);
}
BENCHMARK(BM_TitleStripTick);

void BM_NumberText(benchmark::State& state) {
  double v = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(rt::numberText(v));
    v = v < 1000 ? v + 1 : 0;
  }
}
BENCHMARK(BM_NumberText);

void BM_StrictNumber(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(rt::strictNumber("2"));
}
BENCHMARK(BM_StrictNumber);

}  // namespace
