// SPDX-License-Identifier: GPL-3.0-or-later
// zarnovik-soak: the game in its real window on Qt's event loop, played at
// random for a while by a restless player, with an independent bookkeeper
// checking the rules of play after every event.
//
//   zarnovik-soak [--seconds N] [--seed N] [--lateness MS] [--rss-limit KB]
//                 [--record FILE]
//
// The player dismisses the welcome panel and then, at random moments, clicks
// the coin slot (mostly), presses and later releases the mouse on it, clicks
// "Новая игра" with the mouse or its keyboard key, clicks anywhere in the
// window, or waits a few seconds. One game in three is an unlucky one: every
// spin loses until the money is gone, so that "Game Over!" and the way back
// from it are played too. Every event that reaches the game (clicks,
// presses, releases and every tick of the five timers) is checked by the
// ledger: the money never below 0 and equal to its own account of coins and
// rings, the prize field equal to rings awarded less rings moved, no coin
// taken that cannot be paid or during a spin, every evaluation paying what
// the prize table says, every reel showing a symbol by that symbol's own
// picture object, and no tick missing or overdue by more than --lateness.
//
// The resident memory is sampled every second. The game allocates nothing
// while it runs; whatever the libraries beneath it fill once (pictures scaled
// to their controls, glyphs, the allocator's arenas) is in place after the
// first minute, so from then on the resident size must stay flat: growth of
// more than --rss-limit KB (1024 by default) by the end fails the run. A
// sound game stays within a few pages of where it was at one minute (none to
// 8 KB in two-minute runs), so the limit leaves ample room for a late
// one-time fill such as the first "Game Over!" drawn; yet with a few
// thousand events reaching the game each minute, a leak of a few hundred
// bytes per event, or of one picture per spin, crosses it.
//
// The window records what it delivered as a zarnovik-sim script (the seed,
// every tick at its due time, every click, press, release and rigged draw
// between them). At the end the script is played by the driver on the
// virtual clock, where parking also decides which ticks come, and must end
// in the very state the window shows; --record FILE keeps it, with a `show`
// line, and the window's final state is printed as the line "final: {...}",
// so that zarnovik-sim can be run on it from outside. Only a window that
// fell so far behind that it missed ticks (under valgrind, say) cannot be
// replayed; the run then says so.
//
// Exit status: 0 when every rule held to the end, 1 on a broken rule, a
// run-time error or memory growth, 2 for a malformed command line.
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>

#include <unistd.h>

#include "fuzz/ledger.h"
#include "game/driver.h"
#include "game/input.h"
#include "game/snapshot.h"
#include "window/qt/fonts.h"
#include "window/qt/host.h"
#include "window/qt/pictures.h"

namespace {

struct Options {
  int seconds = 120;
  std::uint64_t seed = 20261231;
  std::int64_t lateness = 1000;  // ms a tick may come late on a busy machine
  std::int64_t rssLimitKb = 1024;
  std::string record;  // where to keep the recording; empty: nowhere
};

constexpr const char* kUsage =
    "usage: zarnovik-soak [--seconds N] [--seed N] [--lateness MS] [--rss-limit KB]\n"
    "                     [--record FILE]\n"
    "  --rss-limit 0 skips the memory check (under valgrind, whose own\n"
    "  bookkeeping is what grows)\n";

template <typename T>
bool parseNumber(std::string_view text, T& value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

std::optional<Options> parseOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (i + 1 >= argc) return std::nullopt;
    const std::string_view value = argv[++i];
    bool ok = false;
    if (arg == "--seconds") {
      ok = parseNumber(value, o.seconds) && o.seconds >= 2;
    } else if (arg == "--seed") {
      ok = parseNumber(value, o.seed);
    } else if (arg == "--lateness") {
      ok = parseNumber(value, o.lateness) && o.lateness >= 0;
    } else if (arg == "--rss-limit") {
      ok = parseNumber(value, o.rssLimitKb) && o.rssLimitKb >= 0;
    } else if (arg == "--record") {
      o.record = value;
      ok = !value.empty();
    }
    if (!ok) return std::nullopt;
  }
  return o;
}

// The process's resident memory in KB.
std::int64_t residentKb() {
  std::ifstream statm("/proc/self/statm");
  std::int64_t size = 0, resident = 0;
  statm >> size >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

std::string eventName(rt::Event event) {
  switch (event) {
    case rt::Event::Click:
      return "click";
    case rt::Event::MouseDown:
      return "mouse press";
    case rt::Event::MouseUp:
      return "mouse release";
    case rt::Event::Timer:
      return "tick";
  }
  return "event";
}

class Soak : public QObject {
 public:
  explicit Soak(const Options& options)
      : options_(options), seed_(options.seed), host_(seed_, pictures_), rng_(options.seed) {
    host_.setErrorBox([this](QWidget*, const QString& message) {
      fail("run-time error: " + message.toStdString());
    });
    host_.setObserver([this](rt::Control& control, rt::Event event) { observe(control, event); });
    host_.setRecording(&recording_);
    connect(&host_, &window::Host::finished, this, [this](int status) {
      if (status != 0) fail("the game ended with status " + std::to_string(status));
      QApplication::exit(failure_ ? 1 : 0);
    });
  }

  // Plays until the time is up or a rule breaks; returns the exit status.
  int run() {
    clock_.start();
    last_ = game::Snapshot::of(f());
    ledger_.emplace(f(), fuzz::Ledger::Options{
                             .exactTiming = false, .lateness = options_.lateness, .start = now()});
    host_.start();
    (void)QTest::qWaitForWindowExposed(&host_.window());

    QTimer::singleShot(300, this, [this] { click(f().Command2); });
    QTimer::singleShot(600, this, [this] { playNext(); });

    // The bookkeeper's look at the clock between events: no tick overdue.
    connect(&watch_, &QTimer::timeout, this, [this] {
      ledger_->idle(now());
      checkLedger();
    });
    watch_.start(100);

    connect(&sampler_, &QTimer::timeout, this, [this] { sample(); });
    sampler_.start(1000);

    QApplication::exec();
    watch_.stop();
    sampler_.stop();
    return report();
  }

 private:
  game::Form1& f() { return host_.machine().form(); }
  std::int64_t now() const { return clock_.elapsed(); }

  void fail(std::string what) {
    if (failure_) return;
    failure_ = "t=" + std::to_string(now()) + " ms: " + std::move(what);
    QApplication::exit(1);
  }

  void checkLedger() {
    if (ledger_ && ledger_->violation()) fail("rule broken: " + *ledger_->violation());
  }

  // Every event that reached the game, just after its handler has run.
  void observe(rt::Control& control, rt::Event event) {
    if (host_.machine().dispatcher().halted()) return;  // the error box follows
    game::Form1& form = f();
    fuzz::Action action;
    if (event == rt::Event::Timer) {
      action = fuzz::tickOf(form, control);
    } else if (const std::optional<game::Input> input = game::inputOf(form, control, event)) {
      action = fuzz::actionOf(*input);
    } else {
      // A control the game gives no handler (a reel, a picture, a text):
      // the event must have changed nothing at all.
      if (!(game::Snapshot::of(form) == last_))
        fail("a " + eventName(event) + " on " + std::string(control.name()) + " changed the game");
      ++events_;
      return;
    }
    const std::int64_t coins = ledger_->coins();
    const std::int64_t awarded = ledger_->ringsAwarded();
    ledger_->observe(action, form, now());
    if (action == fuzz::Action::NewGame || action == fuzz::Action::Welcome) {
      if (action == fuzz::Action::NewGame) ++newGames_;
      unlucky_ = uniform(0, 2) == 0;
    } else {
      spins_ += ledger_->coins() - coins;
      if (ledger_->ringsAwarded() > awarded) {
        ++wins_;
        rings_ += ledger_->ringsAwarded() - awarded;
      }
    }
    if (form.LabelCredit.caption() == "Game Over!" && !gameOver_) {
      gameOver_ = true;
      ++gameOvers_;
    } else if (form.LabelCredit.caption() != "Game Over!") {
      gameOver_ = false;
    }
    last_ = game::Snapshot::of(form);
    ++events_;
    checkLedger();
  }

  void sample() {
    const std::int64_t t = now();
    const std::int64_t rss = residentKb();
    if (!rssSettled_ && t >= settledAt()) rssSettled_ = rss;
    if (rssSettled_) rssPeak_ = std::max(rssPeak_, rss);
    rssLast_ = rss;
    if (t >= std::int64_t{options_.seconds} * 1000) {
      // Time is up: the player closes the window.
      done_ = true;
      host_.window().close();
    }
  }

  // When the memory has settled: after the first minute, or half way
  // through a shorter run.
  std::int64_t settledAt() const { return std::min<std::int64_t>(60000, options_.seconds * 500); }

  int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

  QPoint somewhereIn(const QRect& r) {
    return {uniform(r.left(), r.right()), uniform(r.top(), r.bottom())};
  }

  void click(rt::Control& button) {
    QTest::mouseClick(host_.window().widgetOf(button), Qt::LeftButton);
  }

  // The widget that takes the mouse at `pos` of the window, as Qt would
  // choose it for a real pointer, and the point in its own coordinates.
  std::pair<QWidget*, QPoint> under(QPoint pos) {
    window::FormWindow& w = host_.window();
    QWidget* target = w.childAt(pos);
    if (target == nullptr) target = &w;
    return {target, target->mapFrom(&w, pos)};
  }
  void clickAt(QPoint pos) {
    const auto [target, local] = under(pos);
    QTest::mouseClick(target, Qt::LeftButton, {}, local);
  }

  // In an unlucky game, the next spin's three draws are rigged to lose (1, 2
  // and 3: no pair, no 7, no 0), and the ledger is told what they must show.
  void rigALoss() {
    if (!unlucky_ || host_.machine().random().rigged() > 0) return;
    for (const float r : {0.15f, 0.25f, 0.35f}) {
      host_.rig(r);
      ledger_->expectDraw(r);
    }
  }

  // One move of the player, then the next one a little later.
  void playNext() {
    if (done_ || failure_) return;
    window::FormWindow& w = host_.window();
    rigALoss();
    const QRect slot = w.windowRect(f().LabelInsertCoin);
    int pause = uniform(20, 400);
    const int roll = uniform(0, 999);
    if (f().LabelCredit.caption() == "Game Over!" && roll < 300) {
      click(f().Command1);  // the player gives up and starts over
    } else if (roll < 650) {
      clickAt(somewhereIn(slot));
    } else if (roll < 760) {
      // Pressed on the slot, let go a while later, on it or beside it: the
      // release goes to the widget that took the press, as Qt's mouse grab
      // sends it.
      const auto [target, local] = under(somewhereIn(slot));
      QTest::mousePress(target, Qt::LeftButton, {}, local);
      const int hold = uniform(10, 800);
      const QPoint away = target->mapFrom(&w, somewhereIn(slot.adjusted(-40, -40, 40, 40)));
      QTimer::singleShot(hold, target, [target = target, away] {
        QTest::mouseRelease(target, Qt::LeftButton, {}, away);
      });
      pause = std::max(pause, hold + 5);
    } else if (roll < 775) {
      // Starting over now and then; an unlucky game is played out to its end.
      if (!unlucky_ && roll < 770) click(f().Command1);
      if (!unlucky_ && roll >= 770) QTest::keyClick(w.widgetOf(f().Command1), Qt::Key_Return);
    } else if (roll < 950) {
      const QPoint pos = somewhereIn(w.rect());
      if (!unlucky_ || under(pos).first != w.widgetOf(f().Command1)) clickAt(pos);
    } else {
      pause = uniform(1000, 3000);  // watching the reels and the transfer
    }
    QTimer::singleShot(pause, this, [this] { playNext(); });
  }

  // Plays the window's recording on the driver; it must end in the window's
  // own state.
  void replay() {
    const std::string state = game::Snapshot::of(f()).json(host_.recordedUntil());
    std::printf("final: %s\n", state.c_str());
    const std::string script = recording_.str() + "show\n";
    if (!options_.record.empty()) {
      std::ofstream file(options_.record);
      file << script;
      if (!file) fail("cannot write the recording to " + options_.record);
    }
    if (!host_.recordingExact()) {
      replayNote_ =
          "not replayed: the window missed " + std::to_string(host_.timers().missed()) + " ticks";
      return;
    }
    rt::FixedSeedClock seeds(0);  // the script's first line seeds the game
    std::istringstream in(script);
    std::ostringstream out, err;
    game::ScriptDriver driver(seeds, out, err);
    const int status = driver.run(in);
    std::string replayed = out.str();
    if (!replayed.empty() && replayed.back() == '\n') replayed.pop_back();
    if (status != game::kExitOk || replayed != state) {
      fail("the recording replayed by the driver (status " + std::to_string(status) + ", " +
           err.str() + ") ends in " + replayed + ", the window in " + state);
      return;
    }
    replayNote_ = "replayed to the same state";
  }

  int report() {
    if (!failure_ && done_) replay();
    const std::int64_t growth = rssSettled_ ? rssLast_ - *rssSettled_ : 0;
    if (!failure_ && !done_) failure_ = "the window closed before the time was up";
    if (!failure_ && spins_ == 0) failure_ = "not one spin was played";
    if (!failure_ && options_.rssLimitKb > 0) {
      if (!rssSettled_) {
        failure_ = "no memory sample after the first part of the run";
      } else if (growth > options_.rssLimitKb) {
        failure_ = "resident memory grew by " + std::to_string(growth) +
                   " KB after t=" + std::to_string(settledAt() / 1000) + " s (limit " +
                   std::to_string(options_.rssLimitKb) + " KB)";
      }
    }
    std::printf(
        "zarnovik-soak: %lld s, seed %llu: %lld events, %lld spins, %lld wins, %lld rings, "
        "%lld new games, %lld game overs; RSS %lld KB at %lld s, %lld KB at the end, "
        "%lld KB peak after %lld s; recording %s\n",
        static_cast<long long>(now() / 1000), static_cast<unsigned long long>(options_.seed),
        static_cast<long long>(events_), static_cast<long long>(spins_),
        static_cast<long long>(wins_), static_cast<long long>(rings_),
        static_cast<long long>(newGames_), static_cast<long long>(gameOvers_),
        static_cast<long long>(rssSettled_.value_or(0)), static_cast<long long>(settledAt() / 1000),
        static_cast<long long>(rssLast_), static_cast<long long>(rssPeak_),
        static_cast<long long>(settledAt() / 1000), replayNote_.c_str());
    if (failure_) {
      std::fprintf(stderr, "zarnovik-soak: FAILED: %s\n", failure_->c_str());
      return 1;
    }
    return 0;
  }

  Options options_;
  rt::FixedSeedClock seed_;
  window::PictureService pictures_;
  window::Host host_;
  std::optional<fuzz::Ledger> ledger_;
  game::Snapshot last_;  // the state after the last event
  std::mt19937_64 rng_;
  QElapsedTimer clock_;
  QTimer watch_, sampler_;
  std::optional<std::string> failure_;
  std::ostringstream recording_;
  std::string replayNote_ = "not replayed";
  bool done_ = false;
  bool gameOver_ = false;
  bool unlucky_ = false;
  std::int64_t events_ = 0, spins_ = 0, wins_ = 0, rings_ = 0, newGames_ = 0, gameOvers_ = 0;
  std::optional<std::int64_t> rssSettled_;
  std::int64_t rssLast_ = 0, rssPeak_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  const std::optional<Options> options = parseOptions(argc, argv);
  if (!options) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  window::gameFontFamily();
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  Soak soak(*options);
  return soak.run();
}
