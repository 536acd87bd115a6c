// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <functional>

class QWidget;

namespace window {

// Tells when the window system destroys a top-level window that the program
// did not close itself: another client on the X display may destroy it, and
// Qt does not treat that as a close. Without this the program would run on
// with no window to play in and no way to end it.
class DestroyWatch final : public QAbstractNativeEventFilter {
 public:
  // Watches `window` for as long as this object lives; `destroyed` runs once,
  // on the event loop's thread, when the window is destroyed from outside.
  DestroyWatch(const QWidget& window, std::function<void()> destroyed);
  ~DestroyWatch() override;
  DestroyWatch(const DestroyWatch&) = delete;
  DestroyWatch& operator=(const DestroyWatch&) = delete;

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  const QWidget& window_;
  std::function<void()> destroyed_;
};

}  // namespace window
