// SPDX-License-Identifier: GPL-3.0-or-later
// Event delivery on the virtual clock: fresh intervals, at-once switch-off,
// tie order, and the dispatcher's gates.
#include "runtime/virtual_clock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr rt::FormSpec kForm{.name = "W"};
constexpr rt::ControlSpec kControls[] = {
    {.name = "Slot", .kind = rt::Kind::Label, .container = "W"},
    {.name = "Fast", .kind = rt::Kind::Timer, .container = "W", .enabled = false, .interval = 100},
    {.name = "Slow", .kind = rt::Kind::Timer, .container = "W", .enabled = true, .interval = 250},
};

struct Rig {
  rt::Form form{kForm, kControls};
  rt::Dispatcher dispatcher{form};
  rt::VirtualClock clock{form, dispatcher};
  rt::Control& slot = form.control("Slot");
  rt::Control& fast = form.control("Fast");
  rt::Control& slow = form.control("Slow");
  std::vector<std::string> log;

  Rig() {
    for (rt::Control* t : {&fast, &slow}) {
      dispatcher.bind(*t, rt::Event::Timer, [this, t] {
        log.push_back(std::string(t->name()) + "@" + std::to_string(clock.now()));
      });
    }
  }
};

TEST(VirtualClock, TimersOnAtStartTickOneIntervalAfterZero) {
  Rig rig;
  rig.clock.advance(600);
  EXPECT_EQ((std::vector<std::string>{"Slow@250", "Slow@500"}), rig.log);
  EXPECT_EQ(600, rig.clock.now());
}

TEST(VirtualClock, SwitchingOnStartsAFreshIntervalAndOnAgainChangesNothing) {
  Rig rig;
  rig.clock.advance(30);
  rig.fast.setEnabled(true);  // first tick at 130
  rig.clock.advance(70);
  rig.fast.setEnabled(true);  // already on
  rig.clock.advance(100);     // to 200
  rig.fast.setEnabled(false);
  rig.fast.setEnabled(true);  // off and on: fresh interval, next at 300
  rig.clock.advance(100);
  EXPECT_EQ((std::vector<std::string>{"Fast@130", "Slow@250", "Fast@300"}), rig.log);
}

TEST(VirtualClock, TicksDueTogetherGoInDescriptionOrder) {
  Rig rig;
  rig.clock.advance(150);
  rig.fast.setEnabled(true);  // due at 250 like Slow
  rig.clock.advance(100);
  EXPECT_EQ((std::vector<std::string>{"Fast@250", "Slow@250"}), rig.log);
}

TEST(VirtualClock, SwitchOffInsideAHandlerDropsTheTickAtOnce) {
  Rig rig;
  rig.fast.setEnabled(true);
  // Fast's handler, at 500, switches Slow off although Slow is due at 500 too.
  rig.dispatcher.bind(rig.fast, rt::Event::Timer, [&rig] {
    rig.log.push_back("Fast@" + std::to_string(rig.clock.now()));
    if (rig.clock.now() == 500) rig.slow.setEnabled(false);
  });
  rig.clock.advance(1000);
  EXPECT_EQ(1u, rig.clock.ticks(1));  // Slow ticked at 250 only
  EXPECT_EQ(10u, rig.clock.ticks(0));
}

TEST(VirtualClock, StepDeliversOneTickAtATime) {
  Rig rig;
  EXPECT_EQ(250, rig.clock.nextDue());
  EXPECT_EQ(nullptr, rig.clock.step(249));
  EXPECT_EQ(0, rig.clock.now());
  EXPECT_EQ(&rig.slow, rig.clock.step(rt::VirtualClock::kNever));
  EXPECT_EQ(250, rig.clock.now());
  rig.slow.setEnabled(false);
  EXPECT_EQ(rt::VirtualClock::kNever, rig.clock.nextDue());
  EXPECT_EQ(nullptr, rig.clock.step(rt::VirtualClock::kNever));
}

TEST(Dispatcher, DisabledControlsTakeNoMouseEvents) {
  Rig rig;
  int events = 0;
  for (rt::Event e : {rt::Event::Click, rt::Event::MouseDown, rt::Event::MouseUp}) {
    rig.dispatcher.bind(rig.slot, e, [&events] { ++events; });
  }
  using O = rt::Dispatcher::Outcome;
  EXPECT_EQ(O::Handled, rig.dispatcher.deliver(rig.slot, rt::Event::Click));
  rig.slot.setEnabled(false);
  for (rt::Event e : {rt::Event::Click, rt::Event::MouseDown, rt::Event::MouseUp}) {
    EXPECT_EQ(O::Dropped, rig.dispatcher.deliver(rig.slot, e));
  }
  EXPECT_EQ(1, events);
}

// A handler is bound either as a std::function or as a plain function with
// its context; each binding replaces the one before it, and an empty
// std::function leaves the event unbound.
TEST(Dispatcher, EachBindingReplacesTheOneBeforeIt) {
  Rig rig;
  std::vector<std::string> calls;
  const rt::Dispatcher::Call plain = [](void* log) {
    static_cast<std::vector<std::string>*>(log)->push_back("plain");
  };
  using O = rt::Dispatcher::Outcome;
  struct Step {
    const char* bind;  // "plain", "function" or "empty"
    O outcome;
    std::vector<std::string> calls;  // all calls so far
  };
  const Step steps[] = {
      {"plain", O::Handled, {"plain"}},
      {"function", O::Handled, {"plain", "function"}},
      {"plain", O::Handled, {"plain", "function", "plain"}},
      {"empty", O::Dropped, {"plain", "function", "plain"}},
      {"plain", O::Handled, {"plain", "function", "plain", "plain"}},
  };
  for (const Step& step : steps) {
    const std::string kind = step.bind;
    if (kind == "plain") rig.dispatcher.bind(rig.slot, rt::Event::Click, plain, &calls);
    if (kind == "function")
      rig.dispatcher.bind(rig.slot, rt::Event::Click, [&calls] { calls.push_back("function"); });
    if (kind == "empty") rig.dispatcher.bind(rig.slot, rt::Event::Click, rt::Dispatcher::Handler());
    EXPECT_EQ(step.outcome, rig.dispatcher.deliver(rig.slot, rt::Event::Click)) << kind;
    EXPECT_EQ(step.calls, calls) << kind;
  }
}

// A plain-function handler is held to the quiet-run rule as any other: its
// run is quiet only when bound Pure and it changed nothing.
TEST(Dispatcher, APlainFunctionHandlerIsJudgedQuietByItsPurity) {
  struct Case {
    rt::Dispatcher::Purity purity;
    bool write;
    bool quiet;
  };
  const Case cases[] = {
      {rt::Dispatcher::Purity::Pure, false, true},
      {rt::Dispatcher::Purity::Pure, true, false},
      {rt::Dispatcher::Purity::Impure, false, false},
  };
  for (const Case& c : cases) {
    Rig rig;
    struct Context {
      rt::Control* slot;
      bool write;
    } context{&rig.slot, c.write};
    rig.dispatcher.bind(
        rig.slot, rt::Event::Click,
        [](void* p) {
          auto& ctx = *static_cast<Context*>(p);
          (void)ctx.slot->caption();
          if (ctx.write) ctx.slot->setCaption("written");
        },
        &context, c.purity);
    EXPECT_EQ(rt::Dispatcher::Outcome::Handled, rig.dispatcher.deliver(rig.slot, rt::Event::Click));
    const rt::Dispatcher::Footprint& run = rig.dispatcher.lastRun();
    EXPECT_EQ(c.quiet, run.quiet) << c.write;
    EXPECT_EQ(&rig.slot, run.control);
    if (c.quiet) {
      ASSERT_FALSE(run.reads.empty());
      EXPECT_EQ(rt::kCaption, run.reads[static_cast<std::size_t>(rig.slot.index())] & rt::kCaption);
    }
  }
}

TEST(Dispatcher, ARunTimeErrorIsReportedOnceAndEndsDelivery) {
  Rig rig;
  struct Reporter : rt::ErrorReporter {
    std::vector<std::string> reports;
    void runtimeError(const rt::RuntimeError& e) override { reports.push_back(e.what()); }
  } reporter;
  rig.dispatcher.setErrorReporter(&reporter);
  rig.fast.setEnabled(true);
  rig.dispatcher.bind(rig.fast, rt::Event::Timer, [&rig] {
    rig.slot.setCaption("done before the error");
    throw rt::RuntimeError(rt::RuntimeError::Code::TypeMismatch);
  });
  EXPECT_FALSE(rig.clock.advance(1000));
  EXPECT_EQ(100, rig.clock.now());
  EXPECT_EQ((std::vector<std::string>{"Run-time error '13': Type mismatch"}), reporter.reports);
  EXPECT_EQ("done before the error", rig.slot.caption());
  EXPECT_TRUE(rig.dispatcher.halted());
  EXPECT_EQ(rt::Dispatcher::Outcome::Dropped, rig.dispatcher.deliver(rig.slow, rt::Event::Timer));
}

}  // namespace
