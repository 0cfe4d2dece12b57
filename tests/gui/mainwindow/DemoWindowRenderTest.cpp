// The main window on the Qt renderer, offscreen, with the demonstration report open in the KEP
// stand-in: it starts up, fills its slots and strip, takes a dropped thumbnail, and is saved as
// PNG files for review ($VELMORA_TEST_OUTPUT/mainwindow-*.png, else the build's test-output).

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

#include "core/modVelmod.h"
#include "core/modVelmodSlots.h"
#include "photo_pages/frmMain.h"
#include "platform/forms/App.h"
#include "platform/forms/Drag.h"
#include "platform/qtui/FormWindow.h"
#include "platform/qtui/Offscreen.h"
#include "platform/qtui/QtApp.h"
#include "platform/winfs/WinFs.h"
#include "setup/Setup.h"
#include "tests/gui/support/LayoutCheck.h"
#include "tests/integration/KepProcess.h"

namespace {

namespace fs = std::filesystem;

fs::path OutputDir() {
  const char* out = std::getenv("VELMORA_TEST_OUTPUT");
  return out ? fs::path(out) : fs::path(VELMORA_TEST_OUTPUT_DIR);
}

bool SavePng(photo_pages::frmMain& f, const std::string& name) {
  const fs::path png = OutputDir() / name;
  return qtui::RenderFormToPng(f, png.string()) &&
         !QImage(QString::fromStdString(png.string())).isNull();
}

class DemoWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("velmora-gui-demo-" + std::to_string(::getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "dde");
    ::setenv("VELMORA_DDE_DIR", (root_ / "dde").c_str(), 1);
    core::ResetGlobals();
    winfs::SetCommandLine("");
  }
  void TearDown() override {
    if (form_) {
      qtui::FormWindow::Release(*form_);
      form_.reset();
    }
    kep_.reset();
    ::unsetenv("VELMORA_DDE_DIR");
    core::ResetGlobals();
    fs::remove_all(root_);
  }

  // The demonstration prefix with twelve small demonstration photographs (made once per run),
  // the stand-in serving its report, and the main window loaded; false when the photographs
  // cannot be made on this machine.
  bool StartDemo() {
    const fs::path resources = fs::path(VELMORA_SOURCE_DIR) / "resources";
    const fs::path photos = VELMORA_PHOTOS_DIR;
    const std::string make = (resources / "demo" / "make-photos").string() + " '" +
                             photos.string() + "' 12 small >/dev/null 2>&1";
    if (std::system(make.c_str()) != 0) return false;
    setup::Options o;
    o.prefix = root_ / "prefix";
    o.resources = resources;
    o.demo = true;
    o.photos = photos;
    o.photoCount = 12;
    std::ostringstream log;
    setup::Run(o, log);
    const fs::path report = o.prefix / "drive_c" / "KEPDATA" / "REPORTS" / "1427MAPLE.ZAP";
    EXPECT_TRUE(fs::exists(report));
    kep_ = std::make_unique<KepProcess>(
        root_ / "dde", std::vector<std::string>{"--prefix", o.prefix.string(), report.string()});
    form_ = std::make_unique<photo_pages::frmMain>();
    EXPECT_NO_THROW(form_->Load());
    return true;
  }

  fs::path root_;
  std::unique_ptr<KepProcess> kep_;
  std::unique_ptr<photo_pages::frmMain> form_;
};

TEST_F(DemoWindow, StartsOnTheDemoReportAndRenders) {
  if (!StartDemo()) GTEST_SKIP() << "the demonstration photographs cannot be made here";
  photo_pages::frmMain& f = *form_;
  EXPECT_EQ(f.lblRPT.Caption(), "C:\\KEPDATA\\REPORTS\\1427MAPLE.ZAP");
  EXPECT_FALSE(f.lblSubjectAddr.Caption().empty());
  EXPECT_TRUE(f.imaSubject[1].HasImage());
  EXPECT_TRUE(f.GeaThumb[11].Visible());

  ASSERT_TRUE(SavePng(f, "mainwindow-subject.png"));
  QImage image(QString::fromStdString((OutputDir() / "mainwindow-subject.png").string()));
  EXPECT_GE(image.width(), 1000);
  EXPECT_GE(image.height(), 600);
  f.TabData.UserSelectTab(1);
  EXPECT_TRUE(SavePng(f, "mainwindow-comparables.png"));
  f.TabData.UserSelectTab(2);
  EXPECT_TRUE(SavePng(f, "mainwindow-general.png"));
  f.TabData.UserSelectTab(5);
  EXPECT_TRUE(SavePng(f, "mainwindow-extended.png"));
}

// The slot shows the reduced copy sharply at its own size, the empty slots show the
// placeholder, and the placed thumbnail has left the strip when pictures are moved.
TEST_F(DemoWindow, AThumbnailDroppedOnAnEmptyComparableShowsThere) {
  if (!StartDemo()) GTEST_SKIP() << "the demonstration photographs cannot be made here";
  photo_pages::frmMain& f = *form_;
  f.RXResizer1_Resized();
  ASSERT_EQ(core::gbKepReportActive, core::vbTrue);
  f.TabData.UserSelectTab(1);

  int slot = 0;
  for (int i = 1; i <= 3 && slot == 0; ++i) {
    if (core::IsEmptyPict(f.imaComp[i].ThumbPath())) slot = i;
  }
  if (slot == 0) GTEST_SKIP() << "the demonstration report has no empty comparable on page 1";
  ASSERT_TRUE(f.GeaThumb[0].Visible());
  const std::string thumb = f.GeaThumb[0].ThumbPath();
  f.GeaThumb[0].UserMouseDown(forms::vbLeftButton, 0, 30, 30);
  auto& d = forms::DragDriver::Instance();
  ASSERT_TRUE(d.Active());
  d.MoveOver(&f.imaComp[slot], 100, 100);
  d.Drop(100, 100);

  EXPECT_NE(f.imaComp[slot].ThumbPath(), thumb);
  EXPECT_NE(f.imaComp[slot].ThumbPath().find("PTEMP_"), std::string::npos);
  EXPECT_TRUE(f.imaComp[slot].HasImage());
  // Sharp at the slot's size along one side at least: a portrait copy keeps its shape.
  const imaging::Picture& shown = f.imaComp[slot].DisplayImage();
  EXPECT_TRUE(shown.Width() >= f.imaComp[slot].Width() / 15 ||
              shown.Height() >= f.imaComp[slot].Height() / 15)
      << shown.Width() << " x " << shown.Height();
  EXPECT_EQ(f.GeaThumb[0].Visible(), !core::gbAutoDelete);
  EXPECT_TRUE(SavePng(f, "mainwindow-placed.png"));

  f.TabData.UserSelectTab(5);
  f.tabExtended.UserSelectTab(1);
  EXPECT_TRUE(f.imaExtended[7].Visible());
  EXPECT_FALSE(f.imaExtended[1].Visible());
  EXPECT_TRUE(SavePng(f, "mainwindow-extended2.png"));
}

// Every tab page of the window as drawn, in the layout it starts in and in the compact one the
// configuration window switches to: controls inside their containers, captions that fit, no
// overlaps the layout file does not declare.
TEST_F(DemoWindow, LayoutChecksInBothLayouts) {
  if (!StartDemo()) GTEST_SKIP() << "the demonstration photographs cannot be made here";
  photo_pages::frmMain& f = *form_;
  for (const bool compact : {false, true}) {
    if (compact) {
      core::gScreenSize = 1;
      f.SetScreenSize();
    }
    ASSERT_TRUE(SavePng(f, compact ? "mainwindow-layout-compact.png" : "mainwindow-layout.png"));
    std::string found;
    for (const std::string& fault : layoutcheck::FaultsOnEveryPage(f)) found += fault + "\n";
    EXPECT_EQ(found, "") << (compact ? "compact layout" : "normal layout");
  }
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // Each test runs in a process of its own, side by side: each takes a lock of its own.
  const std::string lock = "velmora-gui-mainwindow-test-" + std::to_string(::getpid());
  qtui::QtApp services({"Velmora",
                        "C:\\Velmora",
                        VELMORA_VERSION_MAJOR,
                        VELMORA_VERSION_MINOR,
                        VELMORA_VERSION_PATCH,
                        lock,
                        {}});
  forms::App::Install(&services);
  const int rc = RUN_ALL_TESTS();
  forms::App::Install(nullptr);
  return rc;
}
