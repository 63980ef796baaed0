// The main() of the GUI test executables: one application object for the
// whole run on the offscreen platform (the screenshot tests run the same
// binaries under Xvfb with xcb), and a missing picture fails the test that
// asked for it.
#include <gtest/gtest.h>

#include <QApplication>

#include "MissingArtCheck.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  orv::test::FailTestsThatMissPictures();
  return RUN_ALL_TESTS();
}
