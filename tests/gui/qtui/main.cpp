// The renderer's tests need one QApplication and the Qt App services.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

#include "platform/qtui/QtApp.h"

namespace {

// Each test starts with fresh Qt App services installed and ends with them gone, so that a test
// that ends the program (End), installs services of its own or leaves the hourglass on leaves
// nothing behind for the next one, whether CTest runs the tests one by one or all in one process.
class FreshServices : public ::testing::EmptyTestEventListener {
 public:
  void OnTestStart(const ::testing::TestInfo&) override {
    services_ = std::make_unique<qtui::QtApp>(
        qtui::AppInfo{"Velmora Test", "C:\\VELMORA", 7, 0, 44, "velmora-gui-test", {}});
    forms::App::Install(services_.get());
  }
  void OnTestEnd(const ::testing::TestInfo&) override {
    forms::App::Install(nullptr);
    services_.reset();
  }

 private:
  std::unique_ptr<qtui::QtApp> services_;
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // CTest sets the platform per test; test discovery runs without it.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new FreshServices);
  return RUN_ALL_TESTS();
}
