// Every dialog in the normal and the compact layout, with and without its text buttons, checked
// as the renderer draws it: controls inside their containers, captions that fit, no overlaps.
// Each drawing is kept for review in the test output folder ("layout-copy-from-media-compact.png").

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "core/modOpSys.h"
#include "core/modVelmod.h"
#include "platform/qtui/FormWindow.h"
#include "tests/gui/support/LayoutCheck.h"
#include "tests/gui/tools/RenderFixture.h"
#include "tools/frmAbout.h"
#include "tools/frmCamera.h"
#include "tools/frmDelPics.h"
#include "tools/frmDouble.h"
#include "tools/frmGenView.h"
#include "tools/frmPath.h"
#include "tools/frmSearch.h"
#include "tools/frmSetup.h"

namespace {

class LayoutChecks : public RenderFixture<CaptureMainWindow> {
 protected:
  LayoutChecks() {
    UseProgramFolders();
    prefix.MakeDir("C:\\Velmora");
    prefix.MakeDir("C:\\GLENVUE\\TRASHCAN");
    core::gAppDir = core::gUserDir = "C:\\Velmora\\";
    core::gProgramAlias = "Corvane Velmora";
    core::gKepDataDir = "C:\\KEPDATA\\";
    core::gLastCopy = "C:\\GLENVUE\\";
    core::gResolX = 800;
    core::gResolY = 600;
    core::gJpegQuality = 95;
    core::gPreviewCopyPics = 1;
    core::gCopyDialogCaption = "Copy from MEDIA (Camera/Floppy/CD/DVD) to C:\\GLENVUE\\";
    core::gMaintCaption = "Delete Photos (Current Directory)";
    core::gMaintDir = "C:\\GLENVUE\\";
    core::gEditPicturePath = core::gDragSourcePath = "C:\\GLENVUE\\FRONT.JPG";
    Picture("C:\\GLENVUE\\FRONT.JPG", 0xFF2050A0);
    core::WriteIni(core::gMainIniPath, "GENERAL VIEWS", "GENERALVIEW1", "FRONT VIEW");
    core::WriteIni(core::gMainIniPath, "CAMERA DIRECTORIES", "1", "C:\\GLENVUE");
    main.lblCapDir.SetCaption("C:\\GLENVUE\\");
  }

  // Opens each dialog afresh in every layout and collects what the checks find.
  void CheckEveryLayout(const std::string& what, const std::function<forms::Form&()>& open) {
    for (int size : {2, 1})
      for (bool buttons : {true, false}) {
        core::gScreenSize = static_cast<std::int16_t>(size);
        core::gbUseButtons = buttons ? core::vbTrue : core::vbFalse;
        forms::Form& form = open();
        std::string name = "layout-" + what + (size == 1 ? "-compact" : "") +
                           (buttons ? "" : "-pictures") + ".png";
        std::replace(name.begin(), name.end(), ' ', '-');
        const QImage image = RenderImage(form, name);
        if (image.isNull() || image.width() == 0) faults_.push_back(what + ": nothing drawn");
        // The title bar offers what the layout allows: a fixed dialog has no minimise or
        // maximise button.
        const Qt::WindowFlags flags = qtui::FormWindow::For(form, false)->windowFlags();
        const bool box = form.ControlBox();
        if (bool(flags & Qt::WindowCloseButtonHint) != box ||
            bool(flags & Qt::WindowMinimizeButtonHint) != (box && form.MinButton()) ||
            bool(flags & Qt::WindowMaximizeButtonHint) != (box && form.MaxButton()))
          faults_.push_back(what + ": title-bar buttons differ from the layout's");
        for (const std::string& fault : layoutcheck::FaultsOnEveryPage(form))
          faults_.push_back(what + (size == 1 ? " compact" : "") +
                            (buttons ? "" : " (picture buttons only)") + ": " + fault);
        CloseRendered();
      }
  }

  std::string Faults() const {
    std::string out;
    for (const std::string& f : faults_) out += f + "\n";
    return out;
  }

  std::vector<std::string> faults_;
};

template <class Dialog>
std::function<forms::Form&()> Open() {
  return [] { return std::ref<forms::Form>(forms::FormInstance<Dialog>()); };
}

TEST_F(LayoutChecks, EveryDialogInBothLayouts) {
  CheckEveryLayout("about box", Open<tools::frmAbout>());
  CheckEveryLayout("capture-directory chooser", Open<tools::frmCamera>());
  CheckEveryLayout("copy from media", Open<tools::frmPath>());
  CheckEveryLayout("picture search", Open<tools::frmSearch>());
  CheckEveryLayout("configuration", Open<tools::frmSetup>());
  CheckEveryLayout("bulk delete", Open<tools::frmDelPics>());
  CheckEveryLayout("picture editor", Open<tools::frmDouble>());
  CheckEveryLayout("caption chooser", Open<tools::frmGenView>());
  core::gbSetupOpen = core::vbTrue;
  CheckEveryLayout("caption list editor", Open<tools::frmGenView>());
  EXPECT_TRUE(faults_.empty()) << Faults();
}

// The checks find each kind of fault: a caption too long, a control off its window, two
// controls on top of each other.
TEST_F(LayoutChecks, FindAClippedCaptionAControlOutsideAndAnOverlap) {
  tools::frmAbout& f = forms::FormInstance<tools::frmAbout>();
  RenderImage(f, "layout-check-faults.png");
  EXPECT_TRUE(layoutcheck::Faults(f).empty());
  f.Cmd_OK.SetCaption("A caption far longer than its button");
  f.lblVersion.SetLeft(f.ScaleWidth() - 60);
  f.imaOK.Move(f.Cmd_OK.Left(), f.Cmd_OK.Top(), f.imaOK.Width(), f.imaOK.Height());
  RenderImage(f, "layout-check-faults.png");
  std::string found;
  for (const std::string& fault : layoutcheck::Faults(f)) found += fault + "\n";
  EXPECT_NE(found.find("frmAbout: Cmd_OK caption needs"), std::string::npos) << found;
  EXPECT_NE(found.find("frmAbout: lblVersion at"), std::string::npos) << found;
  EXPECT_NE(found.find("frmAbout: Cmd_OK overlaps imaOK"), std::string::npos) << found;
}

}  // namespace
