// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/zarnovik-sim/progress_line.h"

#include <cstdio>
#include <ostream>

namespace sim {

ProgressLine::ProgressLine(std::ostream& err, std::uint64_t total,
                           const std::atomic<std::uint64_t>& done, std::chrono::milliseconds quiet,
                           std::chrono::milliseconds period)
    : err_(err), total_(total), done_(done), quiet_(quiet), period_(period), thread_([this] {
        show();
      }) {}

ProgressLine::~ProgressLine() {
  {
    std::lock_guard lock(mutex_);
    over_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void ProgressLine::show() {
  using namespace std::chrono;
  const auto start = steady_clock::now();
  std::unique_lock lock(mutex_);
  if (wake_.wait_for(lock, quiet_, [this] { return over_; })) return;
  do {
    const std::uint64_t done = done_.load(std::memory_order_relaxed);
    const double seconds = duration<double>(steady_clock::now() - start).count();
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
    const double left = rate > 0 ? static_cast<double>(total_ - done) / rate : 0;
    char line[160];
    std::snprintf(line, sizeof line, "\r%llu of %llu spins, %.0f spins/s, %.0f s left\x1b[K",
                  static_cast<unsigned long long>(done), static_cast<unsigned long long>(total_),
                  rate, left);
    err_ << line << std::flush;
  } while (!wake_.wait_for(lock, period_, [this] { return over_; }));
  err_ << "\r\x1b[K" << std::flush;
}

}  // namespace sim
