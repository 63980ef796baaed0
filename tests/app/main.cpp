// One application object for the whole run, on the offscreen platform.
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
