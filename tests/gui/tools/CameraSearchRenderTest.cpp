// The picture search (after a search, and enlarged through the window resizer) drawn by the Qt
// renderer offscreen, saved as PNG files for review (tools-search*.png in the test output
// folder).

#include <gtest/gtest.h>

#include <filesystem>

#include "core/modVelmod.h"
#include "platform/qtui/FormWindow.h"
#include "platform/qtui/Resizer.h"
#include "tests/gui/tools/RenderFixture.h"
#include "tools/frmPath.h"
#include "tools/frmSearch.h"

namespace {

namespace fs = std::filesystem;

class CameraSearchRender : public RenderFixture<> {
 protected:
  CameraSearchRender() {
    UseProgramFolders();
    core::gKepDataDir = "C:\\KEPDATA\\";
    core::gPreviewCopyPics = 1;
    core::gScreenSize = 2;
    core::gbUseButtons = core::vbTrue;
    const fs::path card = prefix.LinkExtraDrive('E');
    prefix.WriteFile("E:\\.windows-label", "CANON_SD\n");
    fs::create_directories(card / "DCIM" / "100CANON");
    main.Move(0, 0, 15360, 11520);
  }
};

TEST_F(CameraSearchRender, SearchAfterASearchAndEnlarged) {
  prefix.MakeDir("C:\\PHOTOS\\2023");
  prefix.MakeDir("C:\\PHOTOS\\2024");
  Picture("C:\\PHOTOS\\2023\\front.jpg", 0xFF2050A0);
  Picture("C:\\PHOTOS\\2023\\rear.jpg", 0xFFA05020);
  Picture("C:\\PHOTOS\\2024\\street.jpg", 0xFF808080);
  Picture("C:\\PHOTOS\\kitchen.jpg", 0xFF70A0C0);
  tools::frmSearch& f = forms::FormInstance<tools::frmSearch>();
  f.dirFind.SetPath("C:\\PHOTOS");
  f.cmdSearch.UserClick();
  ASSERT_EQ(f.lstFound.ListCount(), 3);
  f.lstFound.UserSelect(1);
  Render(f, "tools-search.png");

  // The renderer's resizer (bound to the window's model) rescales the controls and reports;
  // the lines follow the frame.
  qtui::FormWindow* window = qtui::FormWindow::For(f);
  qtui::Resizer& resizer = window->EnableResizer();
  f.Move(0, 0, f.Width() * 5 / 4, f.Height() * 5 / 4);
  resizer.Relayout(f.ScaleWidth(), f.ScaleHeight());
  EXPECT_EQ(f.linDatabook[1].Y1(),
            f.fraSettings.Top() + f.fraSettings.Height() + tools::frmSearch::kLineGap);
  Render(f, "tools-search-large.png");
}

}  // namespace
