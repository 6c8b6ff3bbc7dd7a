// The main of the widget tests: one application for every test. Listing the tests (as
// the build does to register them) needs no display, so no application is made then.
#include <gtest/gtest.h>

#include <QApplication>

#include "platform/qt/qt_program.h"
#include "ui_driver.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
  tarvex::testing::quietOffscreenPlatform();
  QApplication app(argc, argv);
  tarvex::applyShellLook();
  return RUN_ALL_TESTS();
}
