// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/qt/keys.h"

namespace window {

bool isCoinKey(int key, Qt::KeyboardModifiers modifiers) {
  // Qt names a Cyrillic letter's key by its capital: С is U+0421. Shift (or
  // Caps Lock) changes nothing; with Ctrl, Alt or Meta the key is another
  // command, left to whoever wants it.
  constexpr int kCyrillicEs = 0x0421;
  if ((modifiers & ~(Qt::ShiftModifier | Qt::KeypadModifier)) != Qt::NoModifier) return false;
  return key == Qt::Key_C || key == kCyrillicEs;
}

QString keysHelp() {
  return QStringLiteral(
      "Клавиша C (на русской раскладке С) опускает кольцо за 5 $ в кольцеприёмник. "
      "Пробел или Ввод нажимают выбранную кнопку, Tab переходит к другой кнопке.");
}

}  // namespace window
