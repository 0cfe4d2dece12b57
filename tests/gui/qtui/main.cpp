// The renderer's tests need one QApplication and the Qt App services.
#include <gtest/gtest.h>

#include <QApplication>

#include "platform/qtui/QtApp.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // CTest sets the platform per test; test discovery runs without it.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  qtui::QtApp services({"Velmora Test", "C:\\VELMORA", 7, 0, 44, "velmora-gui-test", {}});
  forms::App::Install(&services);
  const int rc = RUN_ALL_TESTS();
  forms::App::Install(nullptr);
  return rc;
}
