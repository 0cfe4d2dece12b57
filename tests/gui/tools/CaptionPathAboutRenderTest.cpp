// The about box, the caption window and the capture-directory chooser drawn by the Qt renderer
// offscreen, saved as PNG files for review (test output folder, tools-*.png).

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/frmMainControls.h"
#include "core/modOpSys.h"
#include "core/modVelmod.h"
#include "platform/forms/FileControls.h"
#include "platform/imaging/Imaging.h"
#include "tests/gui/tools/RenderFixture.h"
#include "tools/frmAbout.h"
#include "tools/frmCamera.h"
#include "tools/frmGenView.h"

namespace {

class ToolsRender : public RenderFixture<CaptureMainWindow> {
 protected:
  ToolsRender() {
    UseProgramFolders();
    prefix.MakeDir("C:\\GLENVUE\\JOB 1427 MAPLE");
    prefix.MakeDir("C:\\GLENVUE\\JOB 88 BIRCH");
    core::gbUseButtons = core::vbTrue;
  }
};

TEST_F(ToolsRender, AboutBox) {
  core::WriteIni(core::gMainIniPath, "PROGRAM ALIAS", "CORVANE VELMORA", "Corvane Velmora");
  Render(forms::FormInstance<tools::frmAbout>(), "tools-about.png");
}

TEST_F(ToolsRender, CaptionWindowInBothModes) {
  const auto host = prefix.WriteFile("C:\\GLENVUE\\FRONT.JPG", "");
  std::vector<std::uint32_t> px(320 * 240);
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x)
      px[y * 320 + x] = y < 150 ? 0xFF8FC3EAu : (x + y) % 40 < 20 ? 0xFF4D8A3Cu : 0xFF5E9A4Au;
  imaging::SaveJpeg(imaging::Picture::FromPixels(320, 240, std::move(px)), host, 90);
  core::gDragSourcePath = "C:\\GLENVUE\\FRONT.JPG";
  int n = 1;
  for (const char* v : {"FRONT VIEW", "REAR VIEW", "STREET SCENE", "KITCHEN", "LIVING ROOM"})
    core::WriteIni(core::gMainIniPath, "GENERAL VIEWS", "GENERALVIEW" + std::to_string(n++), v);
  Render(forms::FormInstance<tools::frmGenView>(), "tools-genview-select.png");
  CloseRendered();

  core::gbSetupOpen = core::vbTrue;
  Render(forms::FormInstance<tools::frmGenView>(), "tools-genview-edit.png");
  CloseRendered();

  core::gbSetupOpen = core::vbFalse;
  core::gScreenSize = 1;
  Render(forms::FormInstance<tools::frmGenView>(), "tools-genview-compact.png");
}

TEST_F(ToolsRender, CaptureDirectoryChooser) {
  core::WriteIni(core::gMainIniPath, "CAMERA DIRECTORIES", "1", "C:\\GLENVUE");
  core::WriteIni(core::gMainIniPath, "CAMERA DIRECTORIES", "2", "C:\\GLENVUE\\JOB 88 BIRCH");
  Render(forms::FormInstance<tools::frmCamera>(), "tools-path.png");
}

}  // namespace
