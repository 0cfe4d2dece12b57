// The bulk-delete window: which pictures a picked day selects (files dated through their
// modification time), what Delete asks and deletes, what it hands back, preview and layout.
#include <gtest/gtest.h>
#include <utime.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "core/modVBCommon.h"
#include "platform/forms/DatePicker.h"
#include "platform/imaging/Imaging.h"
#include "platform/vbrt/Strings.h"
#include "platform/winfs/WinFs.h"
#include "tests/unit/tools/ToolsFixture.h"
#include "tools/frmDelPics.h"

namespace {

using forms::CalendarDate;
using tools::frmDelPics;

constexpr const char* kFolder = "C:\\GLENVUE\\";

class DelPicsTest : public ToolsFixture {
 protected:
  DelPicsTest() {
    prefix.MakeDir("C:\\GLENVUE\\TRASHCAN");
    core::gCaptureDir = kFolder;
    core::gMaintCaption = "Delete Photos (Current Directory)";
    core::gMaintDir = kFolder;
    core::gPreviewCopyPics = 1;
    core::gbUseButtons = core::vbTrue;
    core::gScreenSize = 2;
  }

  // A small real JPEG, last modified `daysAgo` days before today (at noon).
  void Picture(const std::string& winPath, int daysAgo) {
    std::vector<std::uint32_t> px(32 * 24, 0xFF3060A0);
    imaging::SaveJpeg(imaging::Picture::FromPixels(32, 24, std::move(px)), prefix.Host(winPath),
                      80);
    std::time_t now = std::time(nullptr);
    std::tm day = *std::localtime(&now);
    day.tm_mday -= daysAgo;
    day.tm_hour = 12;
    day.tm_min = day.tm_sec = 0;
    day.tm_isdst = -1;
    const std::time_t when = std::mktime(&day);
    const utimbuf times{when, when};
    ASSERT_EQ(utime(prefix.Host(winPath).c_str(), &times), 0);
  }
  static CalendarDate DaysAgo(int days) {
    const CalendarDate t = CalendarDate::Today();
    return CalendarDate::Serial(t.Year, t.Month, t.Day - days);
  }
  frmDelPics& Open() { return forms::FormInstance<frmDelPics>(); }
  bool Exists(const std::string& winPath) { return std::filesystem::exists(prefix.Host(winPath)); }
  static std::vector<std::string> Selected(const frmDelPics& f) {
    std::vector<std::string> names;
    for (int i = 0; i < f.filListBox.ListCount(); ++i)
      if (f.filListBox.Selected(i)) names.push_back(f.filListBox.List(i));
    return names;
  }
  // Four pictures: 10 and 5 days old, today's, and one dated 3 days ahead.
  void FourPictures() {
    Picture("C:\\GLENVUE\\old.jpg", 10);
    Picture("C:\\GLENVUE\\five.jpg", 5);
    Picture("C:\\GLENVUE\\today.jpg", 0);
    Picture("C:\\GLENVUE\\ahead.jpg", -3);
  }
};

TEST(DelPicsDates, ThePickerStartsOneMonthBackWithADatesCarry) {
  EXPECT_EQ(frmDelPics::DefaultPickDate({2026, 5, 15}), (CalendarDate{2026, 4, 15}));
  EXPECT_EQ(frmDelPics::DefaultPickDate({2023, 3, 31}), (CalendarDate{2023, 3, 3}));
  EXPECT_EQ(frmDelPics::DefaultPickDate({2024, 3, 31}), (CalendarDate{2024, 3, 2}));
  EXPECT_EQ(frmDelPics::DefaultPickDate({2026, 1, 9}), (CalendarDate{2025, 12, 9}));
}

TEST_F(DelPicsTest, LoadingShowsTheFolderWithTheCaptionAndADateAMonthBack) {
  FourPictures();
  frmDelPics& f = Open();
  EXPECT_EQ(f.Caption(), "Delete Photos (Current Directory)");
  EXPECT_EQ(f.Height(), 9100);
  EXPECT_EQ(f.Width(), 11360);
  // Centred on the main window, its position included.
  EXPECT_EQ(f.Top(), 300 + (9000 - 9100) / 2);
  EXPECT_EQ(f.Left(), 600 + (12000 - 11360) / 2);
  EXPECT_EQ(vb::UCase(f.newPath.Path()), "C:\\GLENVUE");
  EXPECT_EQ(f.filListBox.ListCount(), 4);
  EXPECT_EQ(f.filListBox.Pattern(), "*.jpg;*.bmp");
  EXPECT_TRUE(Selected(f).empty());  // no selection of its own at load
  EXPECT_EQ(f.DTPicker1.Value(), frmDelPics::DefaultPickDate(CalendarDate::Today()));
  const CalendarDate today = CalendarDate::Today();
  EXPECT_EQ(f.dtLoadDate, vb::DateSerial(today.Year, today.Month, today.Day));
  EXPECT_TRUE(f.geaPreview.Visible());
  EXPECT_EQ(f.ckbPicPreview.Value(), 1);
  EXPECT_TRUE(f.cmdDelete.Visible());
  EXPECT_EQ(f.filListBox.ToolTipText(),
            "You can select only those images you wish to delete (Ctrl+Click with your mouse to "
            "highlight multiple pictures).");
}

TEST_F(DelPicsTest, CompactLayoutShortensTheFolderListAndStaysInTheCorner) {
  core::gScreenSize = 1;
  core::gbUseButtons = core::vbFalse;
  core::gPreviewCopyPics = 0;
  frmDelPics normal;  // the design positions, for comparison
  normal.Load();
  frmDelPics& f = Open();
  EXPECT_EQ(f.Height(), 8400);
  EXPECT_EQ(f.Top(), 0);
  EXPECT_EQ(f.Left(), 0);
  EXPECT_EQ(f.newPath.Height(), 1590);
  EXPECT_EQ(f.lblFiller.Top(), f.newPath.Top() + 1590 + 200);
  EXPECT_EQ(f.filListBox.Top(), f.lblFiller.Top() + 240);
  const int up = normal.newPath.Height() - 1590;
  EXPECT_EQ(f.fraButtons.Top(), normal.fraButtons.Top() - up);
  EXPECT_EQ(f.imaDelete.Top(), normal.imaDelete.Top() - up);
  EXPECT_EQ(f.cmdCancel.Top(), normal.cmdCancel.Top() - up);
  // Text buttons hidden, picture buttons kept; no preview.
  for (forms::CommandButton* b : {&f.cmdSelectAll, &f.cmdClear, &f.cmdCancel, &f.cmdDelete})
    EXPECT_FALSE(b->Visible()) << b->Name();
  EXPECT_TRUE(f.imaDelete.Visible());
  EXPECT_FALSE(f.geaPreview.Visible());
  EXPECT_EQ(f.ckbPicPreview.Value(), 0);
  normal.Unload();
}

TEST_F(DelPicsTest, WithoutAFolderTheIniDriveIsShown) {
  core::gMaintDir = "";
  frmDelPics& f = Open();
  EXPECT_EQ(vb::Left(f.NewDrive.Drive(), 2), "c:");
  EXPECT_EQ(core::gMaintDir, core::CkRSlash(f.newPath.Path()));
  forms::ResetFormInstances();
  core::gMaintDir = "C:\\NOWHERE\\";
  frmDelPics& g = Open();
  EXPECT_EQ(vb::UCase(vb::Left(g.newPath.Path(), 2)), "C:");
  EXPECT_EQ(core::gMaintDir, "C:\\NOWHERE\\");
}

TEST_F(DelPicsTest, PickingADaySelectsExactlyThePicturesOfThatDayOrEarlier) {
  FourPictures();
  frmDelPics& f = Open();
  f.filListBox.UserSelect(f.filListBox.ListCount() - 1, forms::vbCtrlMask);  // by hand
  f.DTPicker1.UserSetValue(DaysAgo(5));
  EXPECT_EQ(Selected(f), (std::vector<std::string>{"five.jpg", "old.jpg"}));
  EXPECT_EQ(core::gPreviewCopyPics, 1);  // back after the pass
  f.DTPicker1.UserSetValue(DaysAgo(0));
  EXPECT_EQ(Selected(f), (std::vector<std::string>{"five.jpg", "old.jpg", "today.jpg"}));
  f.DTPicker1.UserSetValue(DaysAgo(11));
  EXPECT_TRUE(Selected(f).empty());
  // Closing the calendar runs the same pass.
  f.DTPicker1.SetValue(DaysAgo(-3));
  f.DTPicker1.UserCloseUp();
  EXPECT_EQ(Selected(f).size(), 4u);
  EXPECT_FALSE(frmDelPics::IsOnOrBeforeDate("C:\\GLENVUE\\missing.jpg", DaysAgo(0)));
}

TEST_F(DelPicsTest, TheDatesAreThoseOfTheListedFolderWhenAnotherFolderIsHighlighted) {
  Picture("C:\\GLENVUE\\a.jpg", 0);
  Picture("C:\\GLENVUE\\TRASHCAN\\a.jpg", 40);
  frmDelPics& f = Open();
  int trash = -1;
  for (int i = 0; i < f.newPath.ListCount(); ++i)
    if (vb::UCase(f.newPath.List(i)) == "C:\\GLENVUE\\TRASHCAN") trash = i;
  ASSERT_GE(trash, 0);
  f.newPath.UserSelect(trash);  // highlighted, not opened: the file list shows it
  EXPECT_EQ(vb::UCase(f.filListBox.Path()), "C:\\GLENVUE\\TRASHCAN");
  f.DTPicker1.UserSetValue(DaysAgo(20));
  EXPECT_EQ(Selected(f), (std::vector<std::string>{"a.jpg"}));
  app.QueueAnswer(forms::vbYes);
  f.cmdDelete.UserClick();
  EXPECT_FALSE(Exists("C:\\GLENVUE\\TRASHCAN\\a.jpg"));
  EXPECT_TRUE(Exists("C:\\GLENVUE\\a.jpg"));
}

TEST_F(DelPicsTest, DeleteWithNothingSelectedDeletesNothingAndStillMarksTheStrip) {
  FourPictures();
  frmDelPics& f = Open();
  f.cmdDelete.UserClick();
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt,
            "No pictures have been selected (for deletion). Select appropriate pictures and try "
            "again.");
  EXPECT_EQ(app.Boxes()[0].title, "No Pictures Selected");
  EXPECT_EQ(f.filListBox.ListCount(), 4);
  EXPECT_EQ(core::gbMaintDeleted, core::vbTrue);
}

TEST_F(DelPicsTest, DeleteAsksWithTheCountAndDeletesOnlyOnYes) {
  FourPictures();
  frmDelPics& f = Open();
  f.DTPicker1.UserSetValue(DaysAgo(0));
  app.QueueAnswer(forms::vbNo);
  f.imaDelete.UserClick();
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt,
            "This is a PERMANENT UNREVERSABLE procedure. \r\nAll selected photos ( count = 3 ) "
            "will be erased. \r\nAre you sure?");
  EXPECT_EQ(app.Boxes()[0].title, "Delete Pictures");
  EXPECT_EQ(app.Boxes()[0].ButtonSet(), forms::vbYesNo);
  EXPECT_EQ(f.filListBox.ListCount(), 4);
  EXPECT_EQ(Selected(f).size(), 3u);  // No keeps the selection

  f.DTPicker1.UserDropDown();
  f.DTPicker1.UserCloseUp();  // the same day again
  ASSERT_EQ(Selected(f).size(), 3u);
  app.QueueAnswer(forms::vbYes);
  f.cmdDelete.UserClick();
  EXPECT_FALSE(Exists("C:\\GLENVUE\\old.jpg"));
  EXPECT_FALSE(Exists("C:\\GLENVUE\\five.jpg"));
  EXPECT_FALSE(Exists("C:\\GLENVUE\\today.jpg"));
  EXPECT_TRUE(Exists("C:\\GLENVUE\\ahead.jpg"));
  ASSERT_EQ(f.filListBox.ListCount(), 1);
  EXPECT_EQ(f.filListBox.List(0), "ahead.jpg");
}

TEST_F(DelPicsTest, AfterADeleteNothingIsSelectedSoTheNextDeleteTakesNothing) {
  Picture("C:\\GLENVUE\\a.jpg", 10);
  Picture("C:\\GLENVUE\\b.jpg", 10);
  frmDelPics& f = Open();
  ASSERT_EQ(f.filListBox.List(0), "a.jpg");
  f.filListBox.UserSelect(0);
  ASSERT_EQ(f.geaPreview.ThumbPath(), "C:\\GLENVUE\\a.jpg");
  app.QueueAnswer(forms::vbYes);
  f.cmdDelete.UserClick();
  EXPECT_FALSE(Exists("C:\\GLENVUE\\a.jpg"));
  EXPECT_EQ(f.geaPreview.ThumbPath(), "");  // the deleted picture is no longer shown
  ASSERT_EQ(f.filListBox.ListCount(), 1);
  // b.jpg now stands where a.jpg stood, and was never chosen.
  EXPECT_TRUE(Selected(f).empty());
  app.ClearBoxes();
  f.cmdDelete.UserClick();
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].title, "No Pictures Selected");
  EXPECT_TRUE(Exists("C:\\GLENVUE\\b.jpg"));
}

TEST_F(DelPicsTest, OnlyTheConfirmedPicturesAreDeletedWhatEverRunsMeanwhile) {
  FourPictures();
  frmDelPics& f = Open();
  f.DTPicker1.UserSetValue(DaysAgo(10));
  ASSERT_EQ(Selected(f), (std::vector<std::string>{"old.jpg"}));
  // While the deletion lets events run, the user picks a later day.
  bool picked = false;
  app.OnDoEvents([&] {
    if (picked) return;
    picked = true;
    f.DTPicker1.UserSetValue(DaysAgo(-30));
  });
  app.QueueAnswer(forms::vbYes);
  f.cmdDelete.UserClick();
  EXPECT_TRUE(picked);
  EXPECT_FALSE(Exists("C:\\GLENVUE\\old.jpg"));
  for (const char* kept : {"five.jpg", "today.jpg", "ahead.jpg"})
    EXPECT_TRUE(Exists(std::string(kFolder) + kept)) << kept;

  // A picture that may not go (the open report names it) is named; the others are deleted.
  core::gReportImages = "SUB_1_3X5|C:\\GLENVUE\\five.jpg;";
  core::gbMaintDeleted = core::vbFalse;
  app.ClearBoxes();
  f.cmdSelectAll.UserClick();
  app.QueueAnswer(forms::vbYes);
  f.cmdDelete.UserClick();
  ASSERT_EQ(app.Boxes().size(), 2u);
  EXPECT_EQ(app.Boxes()[1].title, "Pictures Not Deleted");
  EXPECT_NE(app.Boxes()[1].prompt.find("C:\\GLENVUE\\five.jpg"), std::string::npos);
  for (const char* gone : {"today.jpg", "ahead.jpg"})
    EXPECT_FALSE(Exists(std::string(kFolder) + gone)) << gone;
  ASSERT_EQ(f.filListBox.ListCount(), 1);
  EXPECT_TRUE(Selected(f).empty());
  EXPECT_EQ(core::gbMaintDeleted, core::vbTrue);
}

TEST_F(DelPicsTest, DeletingInTheTrashFolderDoesNotMarkTheStrip) {
  Picture("C:\\GLENVUE\\TRASHCAN\\gone.jpg", 40);
  core::gMaintDir = "C:\\GLENVUE\\TRASHCAN\\";
  frmDelPics& f = Open();
  f.cmdSelectAll.UserClick();
  app.QueueAnswer(forms::vbYes);
  f.cmdDelete.UserClick();
  EXPECT_FALSE(Exists("C:\\GLENVUE\\TRASHCAN\\gone.jpg"));
  EXPECT_EQ(core::gbMaintDeleted, core::vbFalse);
}

TEST_F(DelPicsTest, PreviewFollowsTheBoxButSelectAllAlwaysShowsTheCurrentPicture) {
  FourPictures();
  frmDelPics& f = Open();
  f.filListBox.UserSelect(0);
  EXPECT_EQ(f.geaPreview.ThumbPath(), "C:\\GLENVUE\\" + f.filListBox.List(0));

  f.ckbPicPreview.UserClick();  // untick
  EXPECT_FALSE(f.geaPreview.Visible());
  EXPECT_EQ(core::gPreviewCopyPics, 0);
  f.filListBox.UserSelect(1);
  EXPECT_EQ(f.geaPreview.ThumbPath(), "");

  f.imaSelectAll.UserClick();
  EXPECT_EQ(Selected(f).size(), 4u);
  EXPECT_TRUE(f.geaPreview.Visible());
  EXPECT_EQ(f.geaPreview.ThumbPath(),
            "C:\\GLENVUE\\" + f.filListBox.List(f.filListBox.ListIndex()));
  EXPECT_EQ(core::gPreviewCopyPics, 0);

  f.imaClear.UserClick();
  EXPECT_TRUE(Selected(f).empty());
  EXPECT_EQ(f.geaPreview.ThumbPath(), "");
}

// Names a Windows folder cannot hold are listed, previewed and deleted like any other, and the
// count asked about is the count deleted.
TEST_F(DelPicsTest, PicturesWithNamesWindowsCannotHoldAreDeletedAsCounted) {
  FourPictures();
  const std::filesystem::path folder = prefix.Host(kFolder);
  std::filesystem::rename(folder / "old.jpg", folder / "star*x.jpg");
  std::filesystem::rename(folder / "five.jpg", folder / "q?.jpg");
  frmDelPics& f = Open();
  ASSERT_EQ(f.filListBox.ListCount(), 4);
  f.filListBox.UserSelect(f.filListBox.ListCount() - 1);  // star, listed last
  EXPECT_TRUE(f.geaPreview.HasImage());
  f.cmdSelectAll.UserClick();
  app.QueueAnswer(forms::vbYes);
  f.cmdDelete.UserClick();
  ASSERT_EQ(app.Boxes().size(), 1u) << app.Boxes().back().prompt;
  EXPECT_NE(app.Boxes()[0].prompt.find("( count = 4 )"), std::string::npos);
  EXPECT_EQ(f.filListBox.ListCount(), 0);
  EXPECT_TRUE(std::filesystem::is_empty(folder / "TRASHCAN"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                          std::filesystem::directory_iterator()),
            1);  // only the trash folder is left
}

TEST_F(DelPicsTest, SelectAllInAnEmptyFolderSelectsAndShowsNothing) {
  frmDelPics& f = Open();
  f.cmdSelectAll.UserClick();
  EXPECT_EQ(f.filListBox.ListCount(), 0);
  EXPECT_EQ(f.geaPreview.ThumbPath(), "");
  EXPECT_TRUE(app.Boxes().empty());
  EXPECT_EQ(app.MousePointer(), forms::vbDefault);
}

TEST_F(DelPicsTest, ADriveThatFailsWhileChangingReportsAndGoesBack) {
  const std::filesystem::path card = prefix.LinkExtraDrive('e');
  frmDelPics& f = Open();
  int letterE = -1;
  for (int i = 0; i < f.NewDrive.ListCount(); ++i)
    if (f.NewDrive.List(i).rfind("e:", 0) == 0) letterE = i;
  ASSERT_GE(letterE, 0);
  // The card is pulled between choosing the drive and reading its folders.
  f.NewDrive.Subscribe([&](forms::Control&, forms::Prop p) {
    if (p == forms::Prop::Selection && vb::Left(f.NewDrive.Drive(), 1) == "e")
      std::filesystem::remove_all(card);
  });
  f.NewDrive.UserSelect(letterE);
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt, "Media appears to be unreadable or not inserted properly.");
  EXPECT_EQ(vb::Left(f.NewDrive.Drive(), 2), "c:");
  EXPECT_EQ(vb::UCase(f.newPath.Path()), "C:\\GLENVUE");
}

TEST_F(DelPicsTest, CancelClosesTheWindow) {
  frmDelPics& f = Open();
  f.imaCancel.UserClick();
  EXPECT_FALSE(f.Loaded());
  EXPECT_TRUE(app.Boxes().empty());
}

}  // namespace
