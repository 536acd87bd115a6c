// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick for the program's start-up, memory and idle figures: a bare
// Qt Widgets window of the game's size with a few labels, a button and one
// label blinking on a 250 ms timer, and nothing else. ZRNV_TRACE records its
// frames exactly as the game's (window/qt/trace.h).
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "window/qt/trace.h"

int main(int argc, char** argv) {
  const std::unique_ptr<window::Trace> trace = window::Trace::fromEnvironment();
  QApplication app(argc, argv);

  QWidget window;
  window.setWindowTitle(QStringLiteral("Qt baseline"));
  window.setFixedSize(676, 527);

  auto* title = new QLabel(QStringLiteral("Baseline"), &window);
  title->setGeometry(32, 24, 300, 32);
  auto* money = new QLabel(QStringLiteral("100"), &window);
  money->setGeometry(32, 80, 120, 24);
  auto* prize = new QLabel(QStringLiteral("0"), &window);
  prize->setGeometry(32, 112, 120, 24);
  auto* blink = new QLabel(QStringLiteral("Blink"), &window);
  blink->setGeometry(400, 80, 120, 24);
  auto* button = new QPushButton(QStringLiteral("Button"), &window);
  button->setGeometry(32, 400, 616, 96);

  QTimer timer;
  timer.setTimerType(Qt::PreciseTimer);
  timer.setInterval(250);
  QObject::connect(&timer, &QTimer::timeout, blink,
                   [blink] { blink->setVisible(!blink->isVisible()); });

  window.show();
  if (trace) trace->watch(&window);
  timer.start();
  return QApplication::exec();
}
