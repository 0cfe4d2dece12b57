// The picture buttons and menus of the main window: the dialogs they open, what the window
// hands over before and takes up after, and the support and web entries.

#include <gtest/gtest.h>

#include <string>

#include "core/modVelmod.h"
#include "tests/integration/MainWindowFixture.h"
#include "tools/frmSetup.h"

namespace mainwindow {
namespace {

class ButtonsTest : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    UseOakLane();
    ASSERT_TRUE(StartShown());
    photo_ = Slurp(kData / "photo.jpg");
  }
  std::string photo_;
};

TEST_F(ButtonsTest, CopyFromMediaReloadsTheStripOnlyWhenPicturesWereCopied) {
  std::string caption;
  app_.QueueModal("frmPath", [&](forms::Form&) {
    caption = core::gCopyDialogCaption;
    EXPECT_EQ(core::gbRefreshThumbs, core::vbFalse);
    prefix_.WriteFile("C:\\GLENVUE\\IMG_0004.JPG", photo_);
    core::gbRefreshThumbs = core::vbTrue;
  });
  f().imaCamera.UserClick();
  EXPECT_EQ(caption, "Copy from MEDIA (Camera/Floppy/CD/DVD) to C:\\GLENVUE\\");
  EXPECT_EQ(f().lbltag[3].Caption(), "IMG_0004.JPG");
  EXPECT_EQ(core::gbRefreshThumbs, core::vbFalse);
  EXPECT_EQ(f().MousePointer(), forms::vbDefault);

  // Closed without copying: the strip stays as it was.
  app_.QueueModal("frmPath",
                  [&](forms::Form&) { prefix_.WriteFile("C:\\GLENVUE\\IMG_0005.JPG", photo_); });
  f().mnuFile_Entry[0].UserClick();
  EXPECT_FALSE(f().GeaThumb[4].Visible());
  ASSERT_EQ(app_.ModalForms().size(), 2u);
}

TEST_F(ButtonsTest, SearchReloadsTheStripWhenItSaysSo) {
  app_.QueueModal("frmSearch", [&](forms::Form&) {
    prefix_.WriteFile("C:\\GLENVUE\\FOUND.JPG", photo_);
    core::gbRefreshThumbs = core::vbTrue;
  });
  f().mnuFile_Entry[2].UserClick();
  EXPECT_EQ(f().lbltag[0].Caption(), "FOUND.JPG");
  EXPECT_EQ(core::gbRefreshThumbs, core::vbFalse);
}

TEST_F(ButtonsTest, ConfigurationResizesTheWindowWhenThePresetChangedOrTheWindowIsNormal) {
  app_.SetScreen(1600, 1200);
  core::VbBool openDuring = core::vbFalse;
  app_.QueueModal("frmSetup", [&](forms::Form&) {
    openDuring = core::gbSetupOpen;
    core::gScreenSize = 4;
  });
  f().SetWindowState(forms::vbMaximized);
  f().imaSetup.UserClick();
  EXPECT_EQ(openDuring, core::vbTrue);
  EXPECT_EQ(core::gbSetupOpen, core::vbFalse);
  EXPECT_EQ(f().WindowState(), forms::vbNormal);
  EXPECT_EQ(f().Width(), 19200);
  EXPECT_EQ(f().Height(), 13080);

  // Maximised and unchanged: left alone.
  app_.QueueModal("frmSetup", [](forms::Form&) {});
  f().SetWindowState(forms::vbMaximized);
  f().mnuSetup_Entry[0].UserClick();
  EXPECT_EQ(f().WindowState(), forms::vbMaximized);

  // Normal and unchanged: the preset is applied again.
  app_.QueueModal("frmSetup", [](forms::Form&) {});
  f().SetWindowState(forms::vbNormal);
  f().Move(900, 700, 19200, 13080);
  f().imaSetup.UserClick();
  EXPECT_EQ(f().Left(), 0);
  EXPECT_EQ(f().Top(), 0);
}

// A capture folder saved in the configuration is shown at once, with its pictures.
TEST_F(ButtonsTest, ConfigurationSavedWithANewCaptureFolderShowsIt) {
  WritePicture("C:\\NEWCAP\\NEW_1.JPG", 64, 48);
  app_.QueueModal("frmSetup", [](forms::Form& form) {
    auto& setup = dynamic_cast<tools::frmSetup&>(form);
    setup.txtCaptureDir.SetText("C:\\NEWCAP");
    setup.cmdSave.UserClick();
  });
  f().imaSetup.UserClick();
  EXPECT_EQ(f().lblCapDir.Caption(), "C:\\NEWCAP");
  EXPECT_EQ(f().lbltag[0].Caption(), "NEW_1.JPG");
  EXPECT_FALSE(f().GeaThumb[1].Visible());
}

TEST_F(ButtonsTest, BulkDeleteOfTheTrashFolderNeedsTheFolderAndReloadsAfterADelete) {
  f().mnuTools_Entry_Maint[1].UserClick();
  ASSERT_EQ(app_.Boxes().size(), 1u);
  EXPECT_EQ(app_.Boxes()[0].title, "Path does not exists");
  EXPECT_EQ(app_.Boxes()[0].prompt, "C:\\GLENVUE\\TRASHCAN\\ directory does not exist.");
  EXPECT_TRUE(app_.ModalForms().empty());
  EXPECT_EQ(core::gMaintDir, "");

  prefix_.WriteFile("C:\\GLENVUE\\TRASHCAN\\OLD.JPG", photo_);
  std::string dir, caption;
  app_.QueueModal("frmDelPics", [&](forms::Form&) {
    dir = core::gMaintDir;
    caption = core::gMaintCaption;
    EXPECT_EQ(core::gbMaintDeleted, core::vbFalse);
  });
  f().mnuTools_Entry_Maint[1].UserClick();
  EXPECT_EQ(dir, "C:\\GLENVUE\\TRASHCAN\\");
  EXPECT_EQ(caption, "Delete Pictures from Current Trashcan Directory (Bulk Delete)");

  // The capture folder itself; a delete reloads the strip.
  app_.QueueModal("frmDelPics", [&](forms::Form&) {
    dir = core::gMaintDir;
    caption = core::gMaintCaption;
    winfs::Kill("C:\\GLENVUE\\IMG_0003.JPG");
    core::gbMaintDeleted = core::vbTrue;
  });
  f().mnuTools_Entry_Maint[0].UserClick();
  EXPECT_EQ(dir, "C:\\GLENVUE\\");
  EXPECT_EQ(caption, "Delete Pictures from User-Specific Directory (Bulk Delete)");
  EXPECT_FALSE(f().GeaThumb[2].Visible());
  EXPECT_EQ(core::gMaintDir, "");
  EXPECT_EQ(core::gMaintCaption, "");
  EXPECT_EQ(core::gbMaintDeleted, core::vbFalse);
}

TEST_F(ButtonsTest, TrashcanBulkDeleteWhileTheStripShowsTheTrashFolderStaysThere) {
  prefix_.WriteFile("C:\\GLENVUE\\TRASHCAN\\OLD.JPG", photo_);
  f().lblCapDir.SetCaption("C:\\GLENVUE\\trashcan");
  std::string dir;
  app_.QueueModal("frmDelPics", [&](forms::Form&) { dir = core::gMaintDir; });
  f().mnuTools_Entry_Maint[1].UserClick();
  EXPECT_EQ(dir, "C:\\GLENVUE\\TRASHCAN\\");
}

TEST_F(ButtonsTest, SupportTextsFollowTheCompanyName) {
  core::gTechPhone = "555-0100";
  for (const char* company : {"norvik systems", "Ostrel and Norvik", "Acme"}) {
    core::gCompanyName = company;
    f().mnuHelp_Entry[2].UserClick();
  }
  ASSERT_EQ(app_.Boxes().size(), 3u);
  EXPECT_EQ(app_.Boxes()[0].title, "Norvik Technical Support");
  EXPECT_EQ(app_.Boxes()[0].prompt, "Please contact Norvik's technical support staff @ 555-0100");
  EXPECT_EQ(app_.Boxes()[1].title, "Ostrel Technical Support");
  EXPECT_EQ(app_.Boxes()[2].prompt, "Please contact Ostrel's technical support staff @ 555-0100");
  EXPECT_EQ(app_.Boxes()[2].buttons, forms::vbOKOnly);
}

TEST_F(ButtonsTest, WebEntriesOpenTheVendorsPages) {
  core::gCompanyName = "Norvik";
  f().mnuHelp_Entry_Web[0].UserClick();
  f().mnuHelp_Entry_Web[1].UserClick();
  core::gCompanyName = "Ostrel, Inc.";
  f().mnuHelp_Entry_Web[0].UserClick();
  f().mnuHelp_Entry_Web[1].UserClick();
  const auto& opens = app_.ShellOpens();
  ASSERT_EQ(opens.size(), 4u);
  EXPECT_EQ(opens[0].target, opens[1].target);  // Norvik: its web site both times
  EXPECT_NE(opens[0].target, opens[2].target);
  EXPECT_NE(opens[2].target, opens[3].target);  // Ostrel: the remote-support page
  ASSERT_EQ(app_.Boxes().size(), 2u);
  EXPECT_EQ(app_.Boxes()[0].title, "Norvik Support Session");
  EXPECT_EQ(app_.Boxes()[1].title, "Ostrel Support Session");
  EXPECT_NE(app_.Boxes()[1].prompt.find(" to begin a support Session"), std::string::npos);
}

TEST_F(ButtonsTest, AboutEditorAndKepTooltip) {
  f().mnuHelp_Entry[5].UserClick();
  ASSERT_EQ(app_.ModalForms().size(), 1u);
  EXPECT_EQ(app_.ModalForms()[0].form, "frmAbout");

  std::string edited;
  app_.QueueModal("frmDouble", [&](forms::Form&) { edited = core::gEditPicturePath; });
  f().GeaThumb[1].UserDblClick();
  EXPECT_EQ(edited, "C:\\GLENVUE\\IMG_0002.JPG");
  EXPECT_EQ(core::gEditPicturePath, "");

  f().imaKep.UserMouseMove(0, 0, 10, 10);
  EXPECT_EQ(f().imaKep.ToolTipText(), " Refresh from " + core::gVendorAppName);
  f().imaScroll[7].UserClick();  // an arrow picture: nothing
  EXPECT_TRUE(app_.Boxes().empty());
}

TEST_F(ButtonsTest, ExitEndsAtOnceWithoutWritingTheSettings) {
  const std::string before = Slurp(prefix_.Host("C:\\APPRAISE\\VELMORA.INI"));
  core::gScreenSize = 5;
  EXPECT_THROW(f().mnuFile_Entry[4].UserClick(), forms::ProgramEnded);
  EXPECT_TRUE(app_.Ended());
  EXPECT_EQ(Slurp(prefix_.Host("C:\\APPRAISE\\VELMORA.INI")), before);
}

}  // namespace
}  // namespace mainwindow
