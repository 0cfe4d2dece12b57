// The configuration window (both pages) and the bulk-delete window (normal and compact layout)
// drawn by the Qt renderer offscreen, saved as PNG files for review (tools-setup-*.png,
// tools-delpics-*.png in the test output folder).

#include <gtest/gtest.h>

#include "core/frmMainControls.h"
#include "core/modVelmod.h"
#include "tests/gui/tools/RenderFixture.h"
#include "tools/frmDelPics.h"
#include "tools/frmSetup.h"

namespace {

class SetupDelPicsRender : public RenderFixture<CaptureMainWindow> {
 protected:
  SetupDelPicsRender() {
    UseProgramFolders();
    prefix.MakeDir("C:\\GLENVUE\\TRASHCAN");
    core::gProgramAlias = "Corvane Velmora";
    core::gAppDir = "C:\\Velmora\\";
    core::gUserDir = "C:\\Velmora\\";
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
  }
};

TEST_F(SetupDelPicsRender, ConfigurationWindowBothPages) {
  tools::frmSetup& f = forms::FormInstance<tools::frmSetup>();
  Render(f, "tools-setup-options.png");
  // A fixed dialog: a close box, no minimise or maximise button.
  const Qt::WindowFlags flags = qtui::FormWindow::For(f, false)->windowFlags();
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
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
