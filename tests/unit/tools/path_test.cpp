// The copy-from-media window: opening on the last folder or the INI folder's drive, the media
// prompts of a card taken out, selection and preview, and the copy into the capture directory.
#include "tools/frmPath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/modVelmod.h"
#include "platform/vbrt/Strings.h"
#include "platform/winfs/WinFs.h"
#include "tests/unit/tools/PictureFiles.h"
#include "tests/unit/tools/ToolsFixture.h"

namespace {

namespace fs = std::filesystem;
using tools::frmPath;

constexpr const char* kCaption = "Copy from MEDIA (Camera/Floppy/CD/DVD) to C:\\CAPTURE\\";

class PathTest : public ToolsFixture {
 protected:
  PathTest() {
    UseCaptureFolder();
    core::gCopyDialogCaption = kCaption;
    core::gbUseButtons = core::vbTrue;
    core::gPreviewCopyPics = 0;  // the copied "pictures" below do not decode
    card = prefix.LinkExtraDrive('E');
    winfs::SetRemovable('E', true);
    fs::create_directories(card / "DCIM");
    for (const char* name : {"P1.JPG", "P2.JPG", "P3.JPG", "P4.JPG", "P5.JPG"})
      WriteCard(std::string("DCIM/") + name, PictureBytes(name));
    core::gLastCopy = "E:\\DCIM\\";
  }
  void WriteCard(const std::string& rel, const std::string& bytes) {
    fs::create_directories((card / rel).parent_path());
    std::ofstream(card / rel, std::ios::binary) << bytes;
  }
  frmPath& Open() { return forms::FormInstance<frmPath>(); }
  void TakeCardOut() { fs::rename(card, prefix.Root() / "card-out"); }
  void PutCardBack() { fs::rename(prefix.Root() / "card-out", card); }
  void Highlight(frmPath& w, std::initializer_list<int> entries) {
    for (int i : entries) w.filListBox.UserSelect(i, forms::vbCtrlMask);
  }

  fs::path card;
};

// ---- Opening ------------------------------------------------------------------------------

TEST_F(PathTest, OpensOnTheLastFolderCentredOnTheMainWindow) {
  core::gPreviewCopyPics = 1;
  auto& w = Open();
  EXPECT_EQ(w.Caption(), kCaption);
  EXPECT_EQ(vb::UCase(w.newPath.Path()), "E:\\DCIM");
  EXPECT_EQ(vb::UCase(w.filListBox.Path()), "E:\\DCIM");
  EXPECT_EQ(w.filListBox.ListCount(), 5);
  EXPECT_EQ(w.NewDrive.Drive().substr(0, 2), "e:");
  EXPECT_EQ(w.Left(), 600 + (12000 - w.Width()) / 2);
  EXPECT_EQ(w.Top(), 300 + (9000 - w.Height()) / 2);
  EXPECT_TRUE(w.geaPreview.Visible());
  EXPECT_EQ(w.ckbPicPreview.Value(), 1);
  EXPECT_TRUE(w.cmdCopy.Visible());
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(PathTest, CompactLayoutWithoutTextButtonsAndPreview) {
  core::gScreenSize = 1;
  core::gbUseButtons = core::vbFalse;
  core::gPreviewCopyPics = 0;
  auto& w = Open();
  EXPECT_EQ(w.Left(), 0);
  EXPECT_EQ(w.Top(), 0);
  EXPECT_EQ(w.Width(), frmPath::kCompactWidth);
  EXPECT_EQ(w.Height(), frmPath::kCompactHeight);
  EXPECT_EQ(w.newPath.Height(), frmPath::kCompactFolderHeight);
  EXPECT_EQ(w.lblFill.Top(), w.newPath.Top() + w.newPath.Height() + 200);
  EXPECT_EQ(w.filListBox.Top(), w.lblFill.Top() + w.lblFill.Height() + 240);
  EXPECT_EQ(w.linPath.Y1(), w.lblFill.Top() + w.lblFill.Height());
  // Everything still fits inside the smaller window.
  for (forms::Control* c : std::initializer_list<forms::Control*>{&w.frabuttons, &w.imaCopy,
                                                                  &w.imaCancel, &w.filListBox})
    EXPECT_LE(c->Top() + c->Height(), w.ScaleHeight()) << c->Name();
  for (forms::CommandButton* b : {&w.cmdCopy, &w.cmdCancel, &w.cmdSelectAll, &w.cmdClear})
    EXPECT_FALSE(b->Visible());
  EXPECT_TRUE(w.imaCopy.Visible());
  EXPECT_FALSE(w.geaPreview.Visible());
  EXPECT_EQ(w.ckbPicPreview.Value(), 0);
}

TEST_F(PathTest, MissingOrEmptyLastFolderOpensOnTheIniDrive) {
  core::gLastCopy = "E:\\GONE\\";
  {
    auto& w = Open();
    EXPECT_EQ(w.newPath.Path(), "C:\\");
    EXPECT_EQ(w.NewDrive.Drive().substr(0, 2), "c:");
    EXPECT_EQ(core::gLastCopy, "E:\\GONE\\");
    w.cmdCancel.UserClick();
  }
  EXPECT_EQ(core::gLastCopy, "C:\\");
  core::gLastCopy = "";
  auto& w = Open();
  EXPECT_EQ(w.newPath.Path(), "C:\\");
  EXPECT_EQ(core::gLastCopy, "C:\\");
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(PathTest, CardTakenOutAsksAndGivesUpOnTheIniDrive) {
  TakeCardOut();
  app.QueueAnswer(forms::vbNo);
  auto& w = Open();
  EXPECT_EQ(Prompts(), std::vector<std::string>{"Media is not ready/readable. Try again?"});
  EXPECT_EQ(app.Boxes()[0].ButtonSet(), forms::vbYesNo);
  EXPECT_TRUE(w.Loaded());
  EXPECT_EQ(w.newPath.Path(), "C:\\");
  EXPECT_EQ(w.NewDrive.Drive().substr(0, 2), "c:");
}

TEST_F(PathTest, CardPutBackWhileAskedIsRead) {
  TakeCardOut();
  app.SetDefaultAnswer([this](const forms::MsgBoxRecord&) {
    PutCardBack();
    return forms::vbYes;
  });
  auto& w = Open();
  EXPECT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(vb::UCase(w.newPath.Path()), "E:\\DCIM");
  EXPECT_EQ(w.filListBox.ListCount(), 5);
}

// ---- Copy ---------------------------------------------------------------------------------

TEST_F(PathTest, CopiesExactlyTheHighlightedPicturesAndCloses) {
  prefix.WriteFile("C:\\CAPTURE\\p2.jpg", "old picture");           // the camera counted again
  prefix.WriteFile("C:\\CAPTURE\\P4.JPG", PictureBytes("P4.JPG"));  // copied before
  auto& w = Open();
  Highlight(w, {0, 1, 3});
  w.imaCopy.UserClick();
  EXPECT_FALSE(w.Loaded());
  EXPECT_EQ(Captured(), (std::vector<std::string>{"P1.JPG", "P2 (2).JPG", "P4.JPG", "p2.jpg"}));
  EXPECT_EQ(ReadFile("C:\\CAPTURE\\P2.JPG"), "old picture");
  EXPECT_EQ(ReadFile("C:\\CAPTURE\\P2 (2).JPG"), PictureBytes("P2.JPG"));
  EXPECT_TRUE(core::gbRefreshThumbs);
  EXPECT_EQ(vb::UCase(core::gLastCopy), "E:\\DCIM\\");
  EXPECT_EQ(app.MousePointer(), forms::vbDefault);
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(PathTest, SameFolderInAnotherCaseIsRefused) {
  core::gCaptureDir = "e:\\dcim";
  auto& w = Open();
  Highlight(w, {0});
  w.cmdCopy.UserClick();
  EXPECT_EQ(Prompts(), std::vector<std::string>{
                           "The Source and target directories are the same.  Copy ignored."});
  EXPECT_EQ(app.Boxes()[0].title, app.Title());
  EXPECT_TRUE(w.Loaded());
  EXPECT_FALSE(core::gbRefreshThumbs);
}

TEST_F(PathTest, NothingHighlightedOrNoPicturesAtAll) {
  WriteCard("DOCS/readme.txt", "text");
  auto& w = Open();
  w.cmdCopy.UserClick();
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt, "Please select AT LEAST ONE picture to copy and try again.");
  EXPECT_EQ(app.Boxes()[0].title, "No Picture(s) Selected");
  EXPECT_TRUE(w.Loaded());

  app.ClearBoxes();
  w.newPath.SetPath("E:\\DOCS");
  w.filListBox.SetPath("E:\\DOCS");
  w.cmdCopy.UserClick();
  EXPECT_TRUE(app.Boxes().empty());
  EXPECT_TRUE(w.Loaded());
  EXPECT_TRUE(Captured().empty());
  EXPECT_EQ(app.MousePointer(), forms::vbDefault);
}

TEST_F(PathTest, CopiesFromTheFolderTheFileListShows) {
  WriteCard("DCIM/SUB/S1.JPG", PictureBytes("S1.JPG"));
  auto& w = Open();
  // The folder list highlights SUB (the file list follows it) while DCIM stays open.
  for (int i = 0; i < w.newPath.ListCount(); ++i)
    if (vb::UCase(w.newPath.List(i)) == "E:\\DCIM\\SUB") w.newPath.UserSelect(i);
  ASSERT_EQ(w.filListBox.ListCount(), 1);
  Highlight(w, {0});
  w.cmdCopy.UserClick();
  EXPECT_FALSE(w.Loaded());
  EXPECT_EQ(ReadFile("C:\\CAPTURE\\S1.JPG"), PictureBytes("S1.JPG"));
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(PathTest, CardTakenOutBeforeCopyAsksThenFallsBackToTheIniDriveRoot) {
  auto& w = Open();
  Highlight(w, {0, 1});
  TakeCardOut();
  app.QueueAnswer(forms::vbNo);
  w.cmdCopy.UserClick();
  EXPECT_EQ(Prompts(), std::vector<std::string>{"Media is not ready/readable. Try again?"});
  EXPECT_TRUE(w.Loaded());
  EXPECT_EQ(w.newPath.Path(), "C:\\");
  EXPECT_EQ(w.NewDrive.Drive().substr(0, 2), "c:");
  EXPECT_TRUE(Captured().empty());
  EXPECT_FALSE(core::gbRefreshThumbs);
  EXPECT_EQ(app.MousePointer(), forms::vbDefault);
}

TEST_F(PathTest, CardPulledDuringTheCopyKeepsWholePicturesAndRefreshesTheStrip) {
  prefix.WriteFile("C:\\CAPTURE\\P2.JPG", "old picture");
  auto& w = Open();
  Highlight(w, {0, 1, 2});
  int files = 0;
  app.OnDoEvents([&] {
    if (++files == 1) TakeCardOut();  // after the first picture
  });
  app.QueueAnswer(forms::vbAbort);  // the error report's Abort, Retry, Ignore box for 71
  w.cmdCopy.UserClick();
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].ButtonSet(), forms::vbAbortRetryIgnore);
  EXPECT_NE(app.Boxes()[0].prompt.find("71 in module CmdCopy_Click"), std::string::npos)
      << app.Boxes()[0].prompt;
  EXPECT_TRUE(w.Loaded());
  EXPECT_EQ(ReadFile("C:\\CAPTURE\\P1.JPG"), PictureBytes("P1.JPG"));
  EXPECT_EQ(ReadFile("C:\\CAPTURE\\P2.JPG"), "old picture");  // untouched, not half written
  EXPECT_EQ(Captured(), (std::vector<std::string>{"P1.JPG", "P2.JPG"}));
  EXPECT_EQ(app.MousePointer(), forms::vbDefault);
  EXPECT_FALSE(core::gbRefreshThumbs);
  app.OnDoEvents({});
  w.imaCancel.UserClick();
  // The picture copied before the card went away must show in the main window's strip.
  EXPECT_TRUE(core::gbRefreshThumbs);
}

TEST_F(PathTest, UnwritableTargetEndsTheCopyWithTheError) {
  prefix.MakeDir("C:\\CAPTURE\\P2.JPG");  // a name the copy cannot write
  auto& w = Open();
  Highlight(w, {0, 1, 2});
  w.cmdCopy.UserClick();
  // An access error is not one of the report's media errors: the copy ends with the error.
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].title, "Error");
  EXPECT_NE(app.Boxes()[0].prompt.find("75"), std::string::npos);
  EXPECT_TRUE(winfs::DirExists("C:\\CAPTURE\\P2.JPG"));
  EXPECT_EQ(Captured(), (std::vector<std::string>{"P1.JPG", "P2.JPG"}));
  EXPECT_TRUE(w.Loaded());
  EXPECT_EQ(app.MousePointer(), forms::vbDefault);
}

// A run cut short copies what it still can and closes with the strip marked for a refresh:
// the card goes after the first picture (one Ignore passes over what it can no longer give),
// another card is put in before the copy (the pictures not on it are named), or Cancel is
// clicked between two pictures.
enum class Cut { kCardOutIgnored, kCardSwapped, kCancelled };

struct CutRow {
  const char* name;
  Cut cut;
  int highlighted;  // the first entries
  std::vector<std::string> prompts, captured;
};

class CutShort : public PathTest, public ::testing::WithParamInterface<CutRow> {};

TEST_P(CutShort, CopiesWhatItCanAndClosesWithTheStripMarked) {
  const CutRow& row = GetParam();
  auto& w = Open();
  for (int i = 0; i < row.highlighted; ++i) w.filListBox.UserSelect(i, forms::vbCtrlMask);
  int files = 0;
  app.OnDoEvents([&] {
    ++files;
    if (row.cut == Cut::kCardOutIgnored && files == 1) TakeCardOut();
    if (row.cut == Cut::kCancelled && files == 2) w.cmdCancel.UserClick();
  });
  if (row.cut == Cut::kCardOutIgnored) app.QueueAnswer(forms::vbIgnore);
  if (row.cut == Cut::kCardSwapped) {
    fs::remove(card / "DCIM" / "P1.JPG");
    fs::remove(card / "DCIM" / "P3.JPG");
  }
  w.cmdCopy.UserClick();
  EXPECT_EQ(Prompts(), row.prompts);
  EXPECT_EQ(Captured(), row.captured);
  EXPECT_FALSE(w.Loaded());
  EXPECT_TRUE(core::gbRefreshThumbs);
  EXPECT_EQ(vb::UCase(core::gLastCopy), "E:\\DCIM\\");
}

INSTANTIATE_TEST_SUITE_P(
    Runs, CutShort,
    ::testing::Values(
        CutRow{"CardOutIgnored",
               Cut::kCardOutIgnored,
               3,
               {"Disk not ready: E:\\DCIM\\P2.JPG.\r\nError # 71 in module CmdCopy_Click.",
                "Not copied from E:\\DCIM\\ (Disk not ready): P2.JPG, P3.JPG."},
               {"P1.JPG"}},
        CutRow{"CardSwapped",
               Cut::kCardSwapped,
               4,
               {"No longer in E:\\DCIM\\, not copied: P1.JPG, P3.JPG."},
               {"P2.JPG", "P4.JPG"}},
        CutRow{"Cancelled", Cut::kCancelled, 4, {}, {"P1.JPG", "P2.JPG"}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Selection, preview, browsing ---------------------------------------------------------

TEST_F(PathTest, SelectAllPreviewsTheCurrentPictureEvenWithThePreviewOff) {
  WriteCard("BMP/A.BMP", TinyBitmap());
  WriteCard("BMP/B.BMP", TinyBitmap());
  core::gLastCopy = "E:\\BMP";
  core::gPreviewCopyPics = 1;
  auto& w = Open();
  w.ckbPicPreview.UserClick();
  EXPECT_EQ(core::gPreviewCopyPics, 0);
  EXPECT_FALSE(w.geaPreview.Visible());
  w.cmdSelectAll.UserClick();
  EXPECT_EQ(w.filListBox.SelCount(), 2);
  EXPECT_EQ(core::gPreviewCopyPics, 0);
  EXPECT_TRUE(w.geaPreview.Visible());
  EXPECT_EQ(vb::UCase(w.geaPreview.ThumbPath()), "E:\\BMP\\B.BMP");
  EXPECT_TRUE(w.geaPreview.HasImage());
  w.imaClear.UserClick();
  EXPECT_EQ(w.filListBox.SelCount(), 0);
  EXPECT_EQ(w.geaPreview.ThumbPath(), "");
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(PathTest, ClickPreviewsOnlyWithThePreviewOn) {
  WriteCard("BMP/A.BMP", TinyBitmap());
  core::gLastCopy = "E:\\BMP";
  core::gPreviewCopyPics = 1;
  auto& w = Open();
  w.filListBox.UserSelect(0);
  EXPECT_TRUE(w.geaPreview.HasImage());
  w.ckbPicPreview.UserClick();
  w.filListBox.UserSelect(0, forms::vbCtrlMask);
  EXPECT_EQ(w.geaPreview.ThumbPath(), "");
  // A picture that cannot be decoded is reported by the preview and never stops the window.
  WriteCard("BMP/BAD.BMP", "not a bitmap");
  w.ckbPicPreview.UserClick();
  w.filListBox.Refresh();
  w.filListBox.UserSelect(1);
  EXPECT_TRUE(w.Loaded());
}

TEST_F(PathTest, DriveWithoutMediumIsReportedAndTheDriveListGoesBack) {
  prefix.LinkExtraDrive('F');
  fs::remove_all(prefix.Root() / "drive_f");
  core::gLastCopy = "C:\\CAPTURE\\";
  auto& w = Open();
  for (int i = 0; i < w.NewDrive.ListCount(); ++i)
    if (w.NewDrive.List(i).substr(0, 1) == "f") w.NewDrive.UserSelect(i);
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt, "Media appears to be unreadable or not inserted properly.");
  EXPECT_EQ(app.Boxes()[0].ButtonSet(), forms::vbOKOnly);
  EXPECT_EQ(w.NewDrive.Drive().substr(0, 1), "c");
  EXPECT_EQ(w.newPath.Path().substr(0, 2), "C:");
  EXPECT_EQ(w.filListBox.Path(), "C:\\CAPTURE");
}

TEST_F(PathTest, CancelStoresTheOpenFolder) {
  core::gLastCopy = "";
  app.QueueModal("frmPath", [](forms::Form& f) {
    auto& w = dynamic_cast<frmPath&>(f);
    w.NewDrive.SetDrive("E");
    w.newPath.SetPath("E:\\DCIM");
    w.imaCancel.UserClick();
  });
  tools::ShowMediaCopy();
  EXPECT_FALSE(app.ModalForms().at(0).leftOpen);
  EXPECT_EQ(vb::UCase(core::gLastCopy), "E:\\DCIM\\");
  EXPECT_TRUE(Captured().empty());
  EXPECT_FALSE(core::gbRefreshThumbs);
}

}  // namespace
