// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <iosfwd>
#include <mutex>
#include <thread>

namespace sim {

// Shows how far a statistics run has got, on a terminal: nothing while the
// run is young (`quiet`), then the spins done, the rate and the time left,
// rewritten in place every `period`, on one line that is cleared at the end
// (when this object is destroyed).
class ProgressLine {
 public:
  ProgressLine(std::ostream& err, std::uint64_t total, const std::atomic<std::uint64_t>& done,
               std::chrono::milliseconds quiet = std::chrono::seconds(1),
               std::chrono::milliseconds period = std::chrono::milliseconds(250));
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

 private:
  void show();

  std::ostream& err_;
  const std::uint64_t total_;
  const std::atomic<std::uint64_t>& done_;
  const std::chrono::milliseconds quiet_, period_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool over_ = false;
  std::thread thread_;  // last: it starts once everything it uses is made
};

}  // namespace sim
