// Entry point of the window tests: a QApplication (offscreen unless told otherwise), with the
// overview and printing linked in, around GoogleTest.
#include <gtest/gtest.h>

#include <QApplication>

#include "ui/views/views.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setApplicationName("MarkwellTests");
  QApplication::setOrganizationName("MarkwellTests");
  mw::LinkViews(markwell_views());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
