// The configuration window (both pages) and the bulk-delete window (normal and compact layout)
// drawn by the Qt renderer offscreen, saved as PNG files for review (tools-setup-*.png,
// tools-delpics-*.png in the test output folder).

#include <gtest/gtest.h>

#include <QImage>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/frmMainControls.h"
#include "core/modVelmod.h"
#include "platform/imaging/Imaging.h"
#include "platform/qtui/FormWindow.h"
#include "platform/qtui/Offscreen.h"
#include "tests/support/TempPrefix.h"
#include "tools/frmDelPics.h"
#include "tools/frmSetup.h"

namespace {

namespace fs = std::filesystem;

class CaptureMainWindow : public core::MainFormControls {
 public:
  CaptureMainWindow() : MainFormControls("frmMain", "-") {}
  forms::Label lblCapDir{*this, "lblCapDir"};
};

class SetupDelPicsRender : public ::testing::Test {
 protected:
  SetupDelPicsRender() {
    core::ResetGlobals();
    prefix.MakeDir("C:\\APPRAISE");
    prefix.MakeDir("C:\\GLENVUE\\TRASHCAN");
    core::gIniDir = "C:\\APPRAISE\\";
    core::gMainIniPath = "C:\\APPRAISE\\VELMORA.INI";
    core::gProgramAlias = "Corvane Velmora";
    core::gAppDir = "C:\\Velmora\\";
    core::gUserDir = "C:\\Velmora\\";
    core::gCaptureDir = "C:\\GLENVUE\\";
    core::gLastCopy = "E:\\DCIM\\100CANON\\";
    core::gKepDataDir = "C:\\KEPDATA\\";
    core::gKepAppDir = "C:\\KEP\\";
    core::gKepPrivateDir = "C:\\KEPPRIV\\";
    core::gbTrashcan = core::gbAutoDelete = core::gbRedux = core::vbTrue;
    core::gPreviewCopyPics = 1;
    core::gResolX = 800;
    core::gResolY = 600;
    core::gJpegQuality = 95;
    core::gBrightness = 0;
    core::gScreenSize = 2;
    core::gbUseButtons = core::vbTrue;
    main.lblCapDir.SetCaption("C:\\GLENVUE\\");
    main.Move(0, 0, 15360, 10200);
    core::SetMainForm(&main);
  }
  ~SetupDelPicsRender() override {
    for (forms::Form* f : rendered_) qtui::FormWindow::Release(*f);
    forms::ResetFormInstances();
    core::SetMainForm(nullptr);
    core::ResetGlobals();
  }

  void Picture(const std::string& winPath, std::uint32_t argb) {
    std::vector<std::uint32_t> px(320 * 240);
    for (std::size_t i = 0; i < px.size(); ++i) px[i] = (i / 320 < 150) ? argb : 0xFF4D8A3C;
    imaging::SaveJpeg(imaging::Picture::FromPixels(320, 240, std::move(px)), prefix.Host(winPath),
                      85);
  }

  // Renders, then checks the picture has the window's size and is not one flat colour.
  void Render(forms::Form& form, const std::string& name) {
    rendered_.push_back(&form);
    const std::string png = (fs::path(VELMORA_TEST_OUTPUT_DIR) / name).string();
    ASSERT_TRUE(qtui::RenderFormToPng(form, png));
    QImage image(QString::fromStdString(png));
    ASSERT_FALSE(image.isNull());
    EXPECT_NEAR(image.width(), form.ScaleWidth() / 15, 40);
    const QRgb first = image.pixel(image.width() / 2, image.height() / 2);
    bool varied = false;
    for (int y = 0; y < image.height() && !varied; y += 7)
      for (int x = 0; x < image.width() && !varied; x += 7) varied = image.pixel(x, y) != first;
    EXPECT_TRUE(varied);
  }

  void CloseRendered() {
    for (forms::Form* f : rendered_) qtui::FormWindow::Release(*f);
    rendered_.clear();
    forms::ResetFormInstances();
  }

  TempPrefix prefix;
  CaptureMainWindow main;
  std::vector<forms::Form*> rendered_;
};

TEST_F(SetupDelPicsRender, ConfigurationWindowBothPages) {
  tools::frmSetup& f = forms::FormInstance<tools::frmSetup>();
  Render(f, "tools-setup-options.png");
  f.SSConfig.SetTab(0);
  Render(f, "tools-setup-folders.png");
}

TEST_F(SetupDelPicsRender, BulkDeleteWindowNormalAndCompact) {
  Picture("C:\\GLENVUE\\front.jpg", 0xFF2050A0);
  Picture("C:\\GLENVUE\\rear.jpg", 0xFFA05020);
  Picture("C:\\GLENVUE\\street.jpg", 0xFF808080);
  core::gMaintCaption = "Delete Photos (Current Directory)";
  core::gMaintDir = "C:\\GLENVUE\\";
  tools::frmDelPics& f = forms::FormInstance<tools::frmDelPics>();
  f.filListBox.UserSelect(1);
  Render(f, "tools-delpics.png");
  CloseRendered();

  core::gScreenSize = 1;
  core::gbUseButtons = core::vbFalse;
  core::gMaintCaption = "Delete Trashcan Photos";
  core::gMaintDir = "C:\\GLENVUE\\TRASHCAN\\";
  Render(forms::FormInstance<tools::frmDelPics>(), "tools-delpics-compact.png");
}

}  // namespace
