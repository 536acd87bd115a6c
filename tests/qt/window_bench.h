// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A game in its window without the wall clock: the machine, the window and a
// virtual clock for the timers. Every event goes to the machine and then the
// window repaints what changed, as in the program; the events that reach the
// window's delivery are recorded.

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QTest>
#include <string>
#include <utility>
#include <vector>

#include "game/machine.h"
#include "runtime/virtual_clock.h"
#include "window/qt/form_window.h"
#include "window/qt/pictures.h"

namespace bench {

struct Delivered {
  std::string control;
  rt::Event event;
  friend bool operator==(const Delivered&, const Delivered&) = default;
};

inline std::ostream& operator<<(std::ostream& os, const Delivered& d) {
  static const char* names[] = {"Click", "MouseDown", "MouseUp", "Timer"};
  return os << d.control << "." << names[static_cast<int>(d.event)];
}

struct Bench {
  rt::FixedSeedClock seed{20041218};
  window::PictureService pictures;
  game::Machine machine{seed};
  game::Form1& f = machine.form();
  rt::VirtualClock clock{f, machine.dispatcher()};
  std::vector<Delivered> delivered;
  window::FormWindow window{f, pictures, [this](rt::Control& c, rt::Event e) {
                              delivered.push_back({std::string(c.name()), e});
                              machine.deliver(c, e);
                              repaint();
                            }};

  Bench() {
    machine.load();
    repaint();
    window.show();
    window.focusFirstButton();
    (void)QTest::qWaitForWindowExposed(&window);
    // The pointers are set just after the first frame.
    for (int i = 0; i < 100 && window.cursor().shape() != Qt::BitmapCursor; ++i) QTest::qWait(5);
  }

  void repaint() {
    const auto changes = f.takeChanges();
    window.applyChanges(changes);
  }
  // Lets the virtual clock run for `ms` and repaints.
  void advance(std::int64_t ms) {
    clock.advance(ms);
    repaint();
  }
  // The welcome panel's button, clicked as the player does.
  void dismissWelcome() {
    QTest::mouseClick(window.widgetOf(f.Command2), Qt::LeftButton);
    delivered.clear();
  }

  QRect rectOf(std::string_view name) { return window.windowRect(f.control(name)); }
  QImage render() { return window.grab().toImage().convertToFormat(QImage::Format_RGB32); }
  QImage art(std::string_view key, QSize size) {
    return pictures.scaled(key, size).toImage().convertToFormat(QImage::Format_RGB32);
  }
};

// Writes a rendered window beside the test program, for a person to look at.
inline void keep(const QImage& image, const char* name) {
  image.save(QDir(QCoreApplication::applicationDirPath()).filePath(QString::fromLatin1(name)));
}

inline QImage region(const QImage& image, const QRect& r) {
  return image.copy(r);
}

}  // namespace bench
