// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the Qt-side tests inside one QApplication. They draw offscreen unless
// told otherwise, so they need no display (also when ctest lists them).
#include <gtest/gtest.h>
#include <QApplication>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
