// The dialog render tests need one QApplication and the Qt App services.
#include <gtest/gtest.h>

#include <QApplication>

#include "platform/forms/App.h"
#include "platform/qtui/QtApp.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  qtui::QtApp services({"Velmora",
                        "C:\\Velmora",
                        VELMORA_VERSION_MAJOR,
                        VELMORA_VERSION_MINOR,
                        VELMORA_VERSION_PATCH,
                        "velmora-gui-tools-test",
                        {}});
  forms::App::Install(&services);
  const int rc = RUN_ALL_TESTS();
  forms::App::Install(nullptr);
  return rc;
}
