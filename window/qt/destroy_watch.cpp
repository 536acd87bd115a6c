// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/qt/destroy_watch.h"

#include <QCoreApplication>
#include <QWidget>
#include <cstdint>

namespace window {
namespace {

// The X protocol's DestroyNotify event as it arrives on the wire: 32 bytes,
// of which these are the first. The top bit of the type marks an event sent
// by another client.
struct DestroyNotify {
  std::uint8_t responseType;
  std::uint8_t pad;
  std::uint16_t sequence;
  std::uint32_t event;   // the window whose listener is told
  std::uint32_t window;  // the window destroyed
};
constexpr std::uint8_t kDestroyNotify = 17;
constexpr std::uint8_t kSentByClient = 0x80;

}  // namespace

DestroyWatch::DestroyWatch(const QWidget& window, std::function<void()> destroyed)
    : window_(window), destroyed_(std::move(destroyed)) {
  if (QCoreApplication* app = QCoreApplication::instance()) app->installNativeEventFilter(this);
}

DestroyWatch::~DestroyWatch() {
  if (QCoreApplication* app = QCoreApplication::instance()) app->removeNativeEventFilter(this);
}

bool DestroyWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType != "xcb_generic_event_t" || message == nullptr || !destroyed_) return false;
  const auto* event = static_cast<const DestroyNotify*>(message);
  if ((event->responseType & ~kSentByClient) != kDestroyNotify) return false;
  const WId own = window_.internalWinId();
  if (own == 0 || event->window != own) return false;
  // Told once; Qt goes on with the event as it would.
  std::function<void()> destroyed = std::move(destroyed_);
  destroyed_ = nullptr;
  destroyed();
  return false;
}

}  // namespace window
