// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/qt/trace.h"

#include <QAbstractButton>
#include <QEvent>
#include <QPaintEvent>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <ctime>

namespace window {
namespace {

long long micros(Trace::Clock::duration d) {
  return std::chrono::duration_cast<std::chrono::microseconds>(d).count();
}

long long area(const QRegion& region) {
  long long sum = 0;
  for (const QRect& r : region) sum += static_cast<long long>(r.width()) * r.height();
  return sum;
}

}  // namespace

std::unique_ptr<Trace> Trace::fromEnvironment() {
  const char* path = std::getenv("ZRNV_TRACE");
  if (path == nullptr || *path == '\0') return nullptr;
  std::FILE* out = std::fopen(path, "w");
  if (out == nullptr) {
    std::fprintf(stderr, "zarnovik: cannot write the trace file \"%s\"\n", path);
    std::exit(2);
  }
  return std::make_unique<Trace>(out);
}

Trace::Trace(std::FILE* out) : out_(out) {
  // Ticks are many and small: they wait in the buffer, which every frame
  // empties, so that writing them costs the timers next to nothing.
  std::setvbuf(out_, nullptr, _IOFBF, 1 << 16);
}

Trace::~Trace() {
  std::fclose(out_);
}

void Trace::watch(QWidget* window) {
  window_ = window;
  window->installEventFilter(this);
  if (QWindow* handle = window->windowHandle()) handle->installEventFilter(this);
  for (QWidget* child : window->findChildren<QWidget*>()) child->installEventFilter(this);
}

void Trace::timerOn(std::string_view name, int intervalMs, Clock::time_point at) {
  const Clock::duration interval = std::chrono::milliseconds(intervalMs);
  auto it = schedules_.find(name);
  if (it == schedules_.end()) it = schedules_.emplace(std::string(name), Schedule{}).first;
  it->second = Schedule{at, interval, at + interval};
}

void Trace::tick(std::string_view name, Clock::time_point now) {
  auto it = schedules_.find(name);
  if (it == schedules_.end() || it->second.interval.count() <= 0) return;
  Schedule& s = it->second;
  const Clock::duration late = now - s.due;
  const long long missed = late >= s.interval ? late / s.interval : 0;
  std::fprintf(out_, "tick %.*s %lld %lld\n", static_cast<int>(name.size()), name.data(),
               micros(late), missed);
  // Missed ticks are not made up: the next one is due at the first point of
  // the schedule after this tick.
  const Clock::time_point nextOnGrid = s.start + ((now - s.start) / s.interval + 1) * s.interval;
  s.due = std::max(s.due + s.interval, nextOnGrid);
}

void Trace::tick(std::string_view name, Clock::time_point at, Clock::time_point due) {
  auto it = schedules_.find(name);
  if (it == schedules_.end() || it->second.interval.count() <= 0) return;
  // The host delivers the tick for this point of the grid: whatever points
  // it passed over are its own to count, not this tick's.
  it->second.due = due + it->second.interval;
  std::fprintf(out_, "tick %.*s %lld 0\n", static_cast<int>(name.size()), name.data(),
               micros(at - due));
}

void Trace::handled(std::string_view name, bool click, Clock::time_point began,
                    const QRegion& changed) {
  changed_ += changed;
  noteCause(name);
  if (click && !changed.isEmpty())
    click_ = std::make_unique<PendingClick>(std::string(name), began, changed);
}

bool Trace::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Paint: {
      auto* widget = qobject_cast<QWidget*>(watched);
      if (widget != nullptr && window_ != nullptr) {
        const QPoint offset = widget == window_ ? QPoint() : widget->mapTo(window_, QPoint());
        painted_ += static_cast<QPaintEvent*>(event)->region().translated(offset);
      }
      return false;
    }
    case QEvent::Enter:
    case QEvent::Leave:
    case QEvent::HoverEnter:
    case QEvent::HoverLeave:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::FocusIn:
    case QEvent::FocusOut:
      pointerOrFocus(watched, event->type());
      return false;
    case QEvent::UpdateRequest:
    case QEvent::Expose:
      if (frameDepth_ > 0) return false;
      return frame(watched, event);
    default:
      return false;
  }
}

void Trace::pointerOrFocus(QObject* watched, QEvent::Type type) {
  // A push button draws itself anew as the pointer comes, goes and presses
  // it, and as the focus comes and goes: that repaint is the pointer's or the
  // focus's, not the handlers' whose ticks came before it.
  auto* button = qobject_cast<QAbstractButton*>(watched);
  if (button == nullptr || window_ == nullptr) return;
  changed_ += QRect(button->mapTo(window_, QPoint()), button->size());
  const std::string_view cause =
      type == QEvent::FocusIn || type == QEvent::FocusOut ? "focus" : "pointer";
  noteCause(cause);
}

void Trace::noteCause(std::string_view cause) {
  if (std::find(causes_.begin(), causes_.end(), cause) == causes_.end())
    causes_.emplace_back(cause);
}

bool Trace::frame(QObject* watched, QEvent* event) {
  // The event is handled here, inside the measurement, instead of after the
  // filter; QObject::event() is what would have run next.
  ++frameDepth_;
  const Clock::time_point began = Clock::now();
  watched->event(event);
  const Clock::time_point ended = Clock::now();
  --frameDepth_;
  if (painted_.isEmpty()) return true;

  if (!firstFrameSeen_) {
    firstFrameSeen_ = true;
    const auto wall = std::chrono::system_clock::now().time_since_epoch();
    // The process's CPU time so far, all threads: steadier than the wall
    // clock on a busy machine.
    const auto cpu = static_cast<long long>(1e6 * static_cast<double>(std::clock()) /
                                            static_cast<double>(CLOCKS_PER_SEC));
    std::fprintf(
        out_, "first-frame %lld %lld\n",
        static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(wall).count()),
        cpu);
  }
  std::string causes;
  for (const std::string& cause : causes_) causes += (causes.empty() ? "" : ",") + cause;
  // Where more was painted than the handlers changed, say where.
  const QRect beyond = (painted_ - changed_).boundingRect();
  const std::string extra =
      beyond.isEmpty() ? std::string()
                       : " " + std::to_string(beyond.x()) + "," + std::to_string(beyond.y()) + "," +
                             std::to_string(beyond.width()) + "x" + std::to_string(beyond.height());
  std::fprintf(out_, "frame %lld %lld %lld %s%s @%lld\n", micros(ended - began), area(painted_),
               area(changed_), causes.empty() ? "-" : causes.c_str(), extra.c_str(),
               micros(ended.time_since_epoch()));
  if (click_) click_->changed -= painted_;
  if (click_ && click_->changed.isEmpty()) {
    std::fprintf(out_, "answer %s %lld\n", click_->name.c_str(), micros(ended - click_->began));
    click_.reset();
  }
  painted_ = QRegion();
  changed_ = QRegion();
  causes_.clear();
  std::fflush(out_);
  return true;
}

}  // namespace window
