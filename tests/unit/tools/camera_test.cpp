// The capture-directory chooser: favourites in the INI file, browsing, OK and its media
// errors, the default folder.
#include "tools/frmCamera.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "platform/vbrt/Strings.h"
#include "platform/winfs/WinFs.h"
#include "tests/unit/tools/ToolsFixture.h"

namespace {

using tools::frmCamera;

class CameraTest : public ToolsFixture {
 protected:
  CameraTest() {
    prefix.MakeDir("C:\\PICS\\JOB1");
    prefix.MakeDir("C:\\PICS\\JOB2");
    prefix.MakeDir("C:\\OLD");
    core::gCaptureDir = "C:\\PICS\\";
  }
  void StoreFavorites(const std::vector<std::string>& dirs) {
    for (size_t i = 0; i < dirs.size(); ++i)
      SetIni("CAMERA DIRECTORIES", std::to_string(i + 1), dirs[i]);
  }
  std::vector<std::string> Favorites(frmCamera& w) {
    std::vector<std::string> out;
    for (int i = 0; i < w.lstFavorites.ListCount(); ++i) out.push_back(w.lstFavorites.List(i));
    return out;
  }
  frmCamera& Open() { return forms::FormInstance<frmCamera>(); }
  int SubFolder(frmCamera& w, const std::string& path) {
    for (int i = 0; i < w.dirCapture.ListCount(); ++i)
      if (w.dirCapture.List(i) == path) return i;
    return -99;
  }
};

TEST_F(CameraTest, OpensOnTheCaptureDirectoryAndSelectsItsFavourite) {
  StoreFavorites({"C:\\OLD", "c:\\pics"});
  auto& w = Open();
  EXPECT_EQ(w.Caption(), "Current Camera Folder");
  EXPECT_EQ(w.dirCapture.Path(), "C:\\PICS");
  EXPECT_EQ(w.lstFavorites.ListIndex(), 1);
  EXPECT_EQ(w.lblDirectory.Caption(), "c:\\pics");
  EXPECT_FALSE(w.bSavingFavorites);
  EXPECT_TRUE(app.Boxes().empty());
  // Centred by the main window's size only.
  EXPECT_EQ(w.Left(), (12000 - w.Width()) / 2);
  EXPECT_EQ(w.Top(), (9000 - w.Height()) / 2);
}

TEST_F(CameraTest, FavouritesLoadUntilTheFirstEmptyKey) {
  SetIni("CAMERA DIRECTORIES", "1", "C:\\OLD");
  SetIni("CAMERA DIRECTORIES", "2", "C:\\PICS\\JOB1");
  SetIni("CAMERA DIRECTORIES", "3", "");
  SetIni("CAMERA DIRECTORIES", "4", "C:\\PICS\\JOB2");
  EXPECT_EQ(Favorites(Open()), (std::vector<std::string>{"C:\\OLD", "C:\\PICS\\JOB1"}));
}

TEST_F(CameraTest, NoSectionOpensAnEmptyList) {
  auto& w = Open();
  EXPECT_EQ(w.lstFavorites.ListCount(), 0);
  EXPECT_EQ(w.lstFavorites.ListIndex(), -1);
  EXPECT_EQ(w.lblDirectory.Caption(), "C:\\PICS\\");
}

TEST_F(CameraTest, OkTakesTheHighlightedSubFolderAndStoresTheFavourites) {
  StoreFavorites({"C:\\OLD"});
  auto& w = Open();
  w.dirCapture.UserSelect(SubFolder(w, "C:\\PICS\\JOB2"));
  EXPECT_EQ(w.lblDirectory.Caption(), "C:\\PICS\\JOB2");
  w.cmdFavorites.UserClick();  // adds the open folder, not the highlighted one
  w.cmdOK.UserClick();
  EXPECT_FALSE(w.Loaded());
  EXPECT_EQ(core::gCaptureDir, "C:\\PICS\\JOB2\\");  // the main window shows it when it reloads
  EXPECT_EQ(Ini("CAMERA DIRECTORIES", "1"), "C:\\OLD");
  EXPECT_EQ(Ini("CAMERA DIRECTORIES", "2"), "C:\\PICS");
  // CAPTUREDIR is the main window's to write at exit.
  EXPECT_EQ(Ini("DIRECTORIES", "CAPTUREDIR"), "<missing>");
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(CameraTest, SavingAMissingFavouriteSaysNothing) {
  StoreFavorites({"C:\\GONE", "C:\\OLD"});
  auto& w = Open();
  w.imaOK.UserClick();
  EXPECT_FALSE(w.Loaded());
  EXPECT_TRUE(app.Boxes().empty());
  EXPECT_EQ(Ini("CAMERA DIRECTORIES", "1"), "C:\\GONE");
  // The saver selected each entry: the lists followed the last existing one.
  EXPECT_EQ(core::gCaptureDir, "C:\\PICS\\");
}

TEST_F(CameraTest, AddKeepsTheListUnique) {
  StoreFavorites({"c:\\pics"});
  auto& w = Open();
  w.cmdFavorites.UserClick();
  EXPECT_EQ(w.lstFavorites.ListCount(), 1);
  w.dirCapture.SetPath("C:\\PICS\\JOB1");
  w.imaFavorites.UserClick();
  EXPECT_EQ(Favorites(w), (std::vector<std::string>{"c:\\pics", "C:\\PICS\\JOB1"}));
}

TEST_F(CameraTest, DeleteAsksAndNeedsASelection) {
  StoreFavorites({"C:\\OLD"});
  auto& w = Open();
  app.QueueAnswer(forms::vbYes);
  w.cmdDelFavorite.UserClick();
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt, "Delete from Favorites.  Are you sure?");
  EXPECT_EQ(app.Boxes()[0].ButtonSet(), forms::vbYesNo);
  EXPECT_EQ(app.Boxes()[0].title, app.Title());
  EXPECT_EQ(w.lstFavorites.ListCount(), 1);

  w.lstFavorites.UserSelect(0);
  app.QueueAnswer(forms::vbNo);
  w.imaDelFavorite.UserClick();
  EXPECT_EQ(w.lstFavorites.ListCount(), 1);
}

TEST_F(CameraTest, DeleteRemovesAFavouriteStoredInLowerCase) {
  StoreFavorites({"c:\\old", "C:\\PICS"});
  auto& w = Open();
  w.lstFavorites.UserSelect(0);
  app.QueueAnswer(forms::vbYes);
  w.cmdDelFavorite.UserClick();
  EXPECT_EQ(Favorites(w), (std::vector<std::string>{"C:\\PICS"}));
}

TEST_F(CameraTest, DeletedFavouriteStaysDeletedAfterOk) {
  StoreFavorites({"C:\\OLD", "C:\\PICS", "C:\\PICS\\JOB1", "C:\\PICS\\JOB2", "C:\\"});
  {
    auto& w = Open();
    w.lstFavorites.UserSelect(2);
    app.QueueAnswer(forms::vbYes);
    w.cmdDelFavorite.UserClick();
    w.cmdOK.UserClick();
  }
  EXPECT_EQ(Ini("CAMERA DIRECTORIES", "4"), "C:\\");
  EXPECT_EQ(Ini("CAMERA DIRECTORIES", "5"), "<missing>");
  EXPECT_EQ(Favorites(Open()),
            (std::vector<std::string>{"C:\\OLD", "C:\\PICS", "C:\\PICS\\JOB2", "C:\\"}));
}

// The chooser is the tool for picking another folder: a capture folder removed meanwhile opens
// it on the nearest folder that is left, or the drive's root.
TEST_F(CameraTest, AVanishedCaptureFolderOpensOnItsNearestExistingParent) {
  prefix.MakeDir("C:\\PICS\\2024\\DAY1");
  for (const auto& [capture, opened] : std::vector<std::pair<std::string, std::string>>{
           {"C:\\PICS\\2024\\DAY1\\", "C:\\PICS"}, {"C:\\GONE\\X", "C:\\"}}) {
    const std::string withSlash = opened.back() == '\\' ? opened : opened + "\\";
    core::gCaptureDir = capture;
    std::filesystem::remove_all(prefix.Host("C:\\PICS\\2024"));
    bool opens = false;
    app.QueueModal("frmCamera", [&, opened = opened](forms::Form& f) {
      auto& w = dynamic_cast<frmCamera&>(f);
      opens = true;
      EXPECT_EQ(w.dirCapture.Path(), opened);
      EXPECT_EQ(w.lblDirectory.Caption(), withSlash);
      w.imaOK.UserClick();
    });
    tools::ShowCaptureDirChooser();
    EXPECT_TRUE(opens) << capture;
    EXPECT_TRUE(app.Boxes().empty()) << app.Boxes().at(0).prompt;
    EXPECT_EQ(core::gCaptureDir, withSlash);
  }
}

TEST_F(CameraTest, CancelForgetsChangesToTheFavourites) {
  StoreFavorites({"C:\\OLD", "C:\\PICS"});
  const std::string before = IniBytes();
  core::gCaptureDir = "C:\\PICS\\";
  app.QueueModal("frmCamera", [](forms::Form& f) {
    auto& w = dynamic_cast<frmCamera&>(f);
    w.lstFavorites.UserSelect(0);
    w.cmdDelFavorite.UserClick();  // the default answer of a Yes/No box is Yes
    w.dirCapture.SetPath("C:\\PICS\\JOB1");
    w.cmdFavorites.UserClick();
    w.imaCancel.UserClick();
  });
  tools::ShowCaptureDirChooser();
  EXPECT_FALSE(app.ModalForms().at(0).leftOpen);
  EXPECT_EQ(IniBytes(), before);
  EXPECT_EQ(core::gCaptureDir, "C:\\PICS\\");
}

TEST_F(CameraTest, SetDefaultWritesTheOpenFolderWithoutBackslash) {
  auto& w = Open();
  w.cmdSetDefault.UserClick();
  EXPECT_EQ(Ini("DIRECTORIES", "CAPTUREDIR"), "C:\\PICS");
  EXPECT_EQ(core::gCaptureDir, "C:\\PICS");
  EXPECT_TRUE(w.Loaded());
}

TEST_F(CameraTest, RevertCreatesAMissingDefaultFolderWithoutMovingTheLists) {
  LabelDriveC();
  auto& w = Open();
  const std::string before = IniBytes();
  w.cmdRevDefault.UserClick();
  EXPECT_EQ(core::gCaptureDir, "C:\\GLENVUE\\");
  EXPECT_TRUE(std::filesystem::is_directory(prefix.Host("C:\\GLENVUE")));
  EXPECT_EQ(w.dirCapture.Path(), "C:\\PICS");
  EXPECT_EQ(IniBytes(), before);
}

TEST_F(CameraTest, RevertOpensAnExistingDefaultFolder) {
  prefix.MakeDir("C:\\GLENVUE");
  auto& w = Open();
  w.imaRevDefault.UserClick();
  EXPECT_EQ(w.dirCapture.Path(), "C:\\GLENVUE");
  EXPECT_EQ(w.lblDirectory.Caption(), "C:\\GLENVUE");
  EXPECT_EQ(core::gCaptureDir, "C:\\PICS\\");  // only OK takes it
}

TEST_F(CameraTest, MissingFavouriteIsReportedOnClick) {
  StoreFavorites({"C:\\GONE"});
  auto& w = Open();
  w.lstFavorites.UserSelect(0);
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt, "Unable to connect to the path specified.");
  EXPECT_EQ(app.Boxes()[0].title, "Unable to Connect to Path");
  EXPECT_EQ(w.dirCapture.Path(), "C:\\PICS");
  EXPECT_EQ(vb::Trim(core::gCurrentProc.str()), "lstFavorites_Click");
}

TEST_F(CameraTest, DoubleClickOnAMissingFavouriteStillTakesTheOpenFolder) {
  StoreFavorites({"C:\\GONE"});
  auto& w = Open();
  w.lstFavorites.UserSelect(0);
  app.ClearBoxes();
  w.lstFavorites.UserDblClick();
  EXPECT_EQ(app.Boxes().size(), 0u);  // the click said it already
  EXPECT_FALSE(w.Loaded());
  EXPECT_EQ(core::gCaptureDir, "C:\\PICS\\");
}

TEST_F(CameraTest, DoubleClickOnAFavouriteTakesIt) {
  StoreFavorites({"C:\\PICS\\JOB1"});
  auto& w = Open();
  w.lstFavorites.UserSelect(0);
  w.lstFavorites.UserDblClick();
  EXPECT_FALSE(w.Loaded());
  EXPECT_EQ(core::gCaptureDir, "C:\\PICS\\JOB1\\");
}

TEST_F(CameraTest, FavouriteOnADriveWithoutMedium) {
  winfs::SetRemovable('E', true);
  StoreFavorites({"E:\\DCIM"});
  auto& w = Open();
  w.lstFavorites.UserSelect(0);
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt, "Drive is empty or unreadable");
  EXPECT_EQ(app.Boxes()[0].title, "Place a floppy in the Drive");
  EXPECT_EQ(w.dirCapture.Path(), "C:\\PICS");
}

// OK on a card that is gone: the box says why, the window falls back to the INI drive and the
// capture folder stays; what the window then shows is what a second OK takes.  The card goes
// while the chooser is on it, or it was pulled from under the capture folder before the chooser
// opened (the box and the drive list first show where the capture folder is, instead of taking
// whatever folder the folder list was left on).
struct PulledCard {
  const char* name;
  bool beforeOpening;
  const char* kept;  // the capture folder
};

class CardGone : public CameraTest, public ::testing::WithParamInterface<PulledCard> {};

TEST_P(CardGone, OkFallsBackToTheIniDriveAndKeepsTheCaptureFolder) {
  const PulledCard& row = GetParam();
  const auto card = prefix.LinkExtraDrive('E');
  std::filesystem::create_directories(card / "DCIM");
  if (row.beforeOpening) {
    std::filesystem::remove_all(card);
    core::gCaptureDir = "E:\\DCIM\\";
  }
  auto& w = Open();
  if (row.beforeOpening) {
    EXPECT_EQ(w.lblDirectory.Caption(), "E:\\DCIM\\");
    EXPECT_EQ(w.DrvCapture.Drive().substr(0, 2), "e:");
    EXPECT_TRUE(app.Boxes().empty());
  } else {
    w.DrvCapture.SetDrive("E");
    w.dirCapture.SetPath("E:\\DCIM");
    std::filesystem::remove_all(card);
  }
  w.cmdOK.UserClick();
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt,
            "Media appears to be unreadable or not inserted properly.\r\n\r\n"
            "Drive E: is not ready.  The capture folder stays " +
                std::string(row.kept) + ".");
  EXPECT_EQ(app.Boxes()[0].ButtonSet(), forms::vbOKOnly);
  EXPECT_TRUE(w.Loaded());
  EXPECT_EQ(w.dirCapture.Path(), "C:\\");
  EXPECT_EQ(w.DrvCapture.Drive().substr(0, 2), "c:");
  EXPECT_EQ(w.lblDirectory.Caption(), "C:\\");
  EXPECT_EQ(app.MousePointer(), forms::vbDefault);
  EXPECT_FALSE(w.bSavingFavorites);
  EXPECT_EQ(core::gCaptureDir, row.kept);
  w.cmdOK.UserClick();
  EXPECT_FALSE(w.Loaded());
  EXPECT_EQ(core::gCaptureDir, "C:\\");
}

INSTANTIATE_TEST_SUITE_P(Pulled, CardGone,
                         ::testing::Values(PulledCard{"WhileChoosing", false, "C:\\PICS\\"},
                                           PulledCard{"BeforeOpening", true, "E:\\DCIM\\"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CameraTest, RevertOnAnUnlabelledDriveFallsBackToTheIniDrive) {
  auto& w = Open();
  w.cmdRevDefault.UserClick();
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt,
            "Drive C:\\GLENVUE\\ is empty or unreadable.  Changing to the local drive.");
  EXPECT_EQ(core::gCaptureDir, "C:");
}

TEST_F(CameraTest, ChangingTheDriveOpensItsFolder) {
  const auto card = prefix.LinkExtraDrive('E');
  std::filesystem::create_directories(card / "DCIM");
  auto& w = Open();
  w.DrvCapture.UserSelect(1);
  EXPECT_EQ(w.dirCapture.Path().substr(0, 2), "E:");
  EXPECT_TRUE(app.Boxes().empty());
}

// The chooser gives its result through gCaptureDir only: it needs none of the main window's
// own controls.
TEST_F(CameraTest, WithoutTheMainWindowsControlsOkStillTakesTheFolder) {
  core::MainFormControls bare("frmMain", "-");
  core::SetMainForm(&bare);
  auto& w = Open();
  w.dirCapture.UserSelect(SubFolder(w, "C:\\PICS\\JOB1"));
  w.cmdOK.UserClick();
  EXPECT_FALSE(w.Loaded());
  EXPECT_EQ(core::gCaptureDir, "C:\\PICS\\JOB1\\");
  EXPECT_TRUE(app.Boxes().empty());
  core::SetMainForm(&main);
}

}  // namespace
