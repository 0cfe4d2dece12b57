// The thumbnail strip of the main window against real picture files: pages of twelve, the
// paging buttons, size highlighting and tooltips, dragging from a thumbnail, and the editor
// opened by a double-click.

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>

#include "core/modVelmod.h"
#include "platform/forms/Drag.h"
#include "tests/integration/MainWindowFixture.h"

namespace mainwindow {
namespace {

constexpr forms::OleColor kYellow = 0x0080FFFF;

std::string Name(int n) {
  std::string digits = std::to_string(n);
  return "IMG_" + std::string(4 - digits.size(), '0') + digits + ".JPG";
}

class StripTest : public MainWindowFixture {
 protected:
  // n small pictures IMG_0001.JPG ... in the capture directory.
  void Fill(int n) {
    for (int i = 1; i <= n; ++i) WritePicture("C:\\GLENVUE\\" + Name(i), 64, 48);
  }
  std::string PictureOf(int button) { return Form().imaScroll[button].Picture().Source(); }
};

TEST_F(StripTest, PagesOfTwelveFollowTheListsTopEntry) {
  Fill(30);
  ASSERT_TRUE(Start()) << Boxes();
  auto& f = Form();
  for (int i = 0; i < 12; ++i) {
    EXPECT_TRUE(f.GeaThumb[i].Visible()) << i;
    EXPECT_EQ(f.lbltag[i].Caption(), Name(i + 1));
    EXPECT_EQ(f.GeaThumb[i].ThumbPath(), "C:\\GLENVUE\\" + Name(i + 1));
  }
  EXPECT_EQ(PictureOf(0), f.imaScroll[4].Picture().Source());   // at the top
  EXPECT_EQ(PictureOf(2), f.imaScroll[10].Picture().Source());  // more below

  f.imaScroll[3].UserClick();  // last page: always twelve pictures
  EXPECT_EQ(f.filCapture.TopIndex(), 18);
  EXPECT_EQ(f.filCapture.ListIndex(), 18);
  EXPECT_EQ(f.lbltag[0].Caption(), Name(19));
  EXPECT_EQ(f.lbltag[11].Caption(), Name(30));
  EXPECT_EQ(PictureOf(0), f.imaScroll[8].Picture().Source());
  EXPECT_EQ(PictureOf(3), f.imaScroll[7].Picture().Source());  // the end is shown

  f.imaScroll[1].UserClick();  // 18 snaps back to 12
  EXPECT_EQ(f.filCapture.TopIndex(), 12);
  EXPECT_EQ(f.lbltag[0].Caption(), Name(13));
  f.imaScroll[1].UserClick();
  EXPECT_EQ(f.filCapture.TopIndex(), 0);
  f.filCapture.SetTopIndex(5);
  f.filCapture.SetListIndex(9);
  f.imaScroll[1].UserClick();  // 5 goes to 0, the selection stays
  EXPECT_EQ(f.filCapture.TopIndex(), 0);
  EXPECT_EQ(f.filCapture.ListIndex(), 9);

  f.filCapture.SetListIndex(5);
  f.imaScroll[2].UserClick();  // from the selected entry: 5 + 12
  EXPECT_EQ(f.filCapture.TopIndex(), 17);
  EXPECT_EQ(f.filCapture.ListIndex(), 17);
  EXPECT_EQ(f.lbltag[0].Caption(), Name(18));
  f.filCapture.SetListIndex(20);
  f.imaScroll[2].UserClick();  // 20 + 12 reaches past the end: one entry on
  EXPECT_EQ(f.filCapture.TopIndex(), 18);
  EXPECT_EQ(f.filCapture.ListIndex(), 20);

  f.imaScroll[0].UserClick();
  EXPECT_EQ(f.filCapture.TopIndex(), 0);
  EXPECT_EQ(f.filCapture.ListIndex(), 0);
  EXPECT_EQ(f.lbltag[0].Caption(), Name(1));
  EXPECT_TRUE(app_.Boxes().empty()) << Boxes();
}

TEST_F(StripTest, ThirteenPicturesAndAnEmptyFolder) {
  Fill(13);
  ASSERT_TRUE(Start());
  auto& f = Form();
  f.imaScroll[3].UserClick();
  EXPECT_EQ(f.filCapture.TopIndex(), 1);
  EXPECT_EQ(f.lbltag[11].Caption(), Name(13));

  // An empty folder hides the strip and leaves the arrows as they were; paging leaves the
  // empty list alone.
  prefix_.MakeDir("C:\\EMPTYDIR");
  const std::string arrow = PictureOf(0);
  core::gCaptureDir = "C:\\EMPTYDIR\\";
  f.errdisplayThumbs();
  for (int i = 0; i < 12; ++i) {
    EXPECT_FALSE(f.GeaThumb[i].Visible());
    EXPECT_FALSE(f.lbltag[i].Visible());
  }
  EXPECT_EQ(PictureOf(0), arrow);
  for (int b = 0; b < 4; ++b) f.imaScroll[b].UserClick();
  EXPECT_EQ(f.filCapture.ListIndex(), -1);
  EXPECT_TRUE(app_.Boxes().empty()) << Boxes();

  // A folder that may not be read says so (as root, with the capabilities that read any folder
  // put aside for the redraw).
  fs::permissions(prefix_.MakeDir("C:\\LOCKED"), fs::perms::none);
  core::gCaptureDir = "C:\\LOCKED\\";
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct caps[2] = {}, saved[2] = {};
  ::syscall(SYS_capget, &header, saved);
  std::copy(saved, saved + 2, caps);
  caps[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
  ::syscall(SYS_capset, &header, caps);
  f.errdisplayThumbs();
  ::syscall(SYS_capset, &header, saved);
  ASSERT_EQ(app_.Boxes().size(), 1u) << Boxes();
  EXPECT_NE(app_.Boxes()[0].prompt.find("C:\\LOCKED\\ cannot be read"), std::string::npos)
      << Boxes();
  EXPECT_FALSE(f.GeaThumb[0].Visible());
}

// The capture folder's card taken out: the reload after the chooser says so once and empties
// the strip (one box, not one per picture).
TEST_F(StripTest, CardTakenOutGivesOneMediaMessageAndAnEmptyStrip) {
  const fs::path card = prefix_.LinkExtraDrive('E');
  winfs::SetRemovable('E', true);
  for (int i = 1; i <= 13; ++i) WritePicture("E:\\DCIM\\" + Name(i), 64, 48);
  WriteIni("SCREENSIZE=0\r\n", "", "E:\\DCIM");
  ASSERT_TRUE(Start()) << Boxes();
  fs::remove_all(card);
  app_.SetDefaultAnswer([](const forms::MsgBoxRecord& b) {
    return b.ButtonSet() == forms::vbAbortRetryIgnore ? forms::vbIgnore : forms::vbOK;
  });
  app_.QueueModal("frmCamera", [](forms::Form& chooser) { chooser.UserClose(); });
  Form().imaFolder.UserClick();
  ASSERT_EQ(app_.Boxes().size(), 1u) << Boxes();
  EXPECT_EQ(app_.Boxes()[0].prompt, "Media appears to be unreadable or not inserted properly.");
  for (int i = 0; i < 12; ++i) EXPECT_FALSE(Form().GeaThumb[i].Visible()) << i;
}

// Fewer than twelve pictures after the selected one: "next" goes on one entry at a time until
// the last picture stands alone in the strip.
TEST_F(StripTest, NextPageStepsOnToTheLastPicture) {
  Fill(15);
  ASSERT_TRUE(Start());
  auto& f = Form();
  f.imaScroll[2].UserClick();  // nothing selected: from entry 0 to 12
  EXPECT_EQ(f.filCapture.TopIndex(), 12);
  EXPECT_EQ(f.filCapture.ListIndex(), 12);
  EXPECT_EQ(f.lbltag[0].Caption(), Name(13));
  EXPECT_TRUE(f.GeaThumb[2].Visible());
  EXPECT_FALSE(f.GeaThumb[3].Visible());
  for (const int top : {13, 14, 14}) {
    f.imaScroll[2].UserClick();
    EXPECT_EQ(f.filCapture.TopIndex(), top);
    EXPECT_EQ(f.filCapture.ListIndex(), 12);
  }
  EXPECT_EQ(f.lbltag[0].Caption(), Name(15));
  EXPECT_FALSE(f.GeaThumb[1].Visible());
  EXPECT_EQ(PictureOf(2), f.imaScroll[6].Picture().Source());  // the end is shown
  EXPECT_TRUE(app_.Boxes().empty()) << Boxes();
}

// Pages are turned without listing the folder again while it is unchanged; a folder changed
// between two page turns shows the change, also when the change keeps the folder's time (file
// systems keep it in coarse ticks).
TEST_F(StripTest, AFolderChangedBetweenTwoPageTurnsShowsTheChange) {
  Fill(40);
  const fs::path folder = prefix_.Host("C:\\GLENVUE");
  fs::last_write_time(folder, fs::file_time_type::clock::now() - std::chrono::hours(1));
  ASSERT_TRUE(Start());
  auto& f = Form();
  f.imaScroll[2].UserClick();
  EXPECT_EQ(f.lbltag[0].Caption(), Name(13));
  fs::remove(prefix_.Host("C:\\GLENVUE\\" + Name(1)));
  f.imaScroll[2].UserClick();
  EXPECT_EQ(f.lbltag[0].Caption(), Name(26));

  const auto tick = fs::last_write_time(folder);
  fs::remove(prefix_.Host("C:\\GLENVUE\\" + Name(2)));
  fs::last_write_time(folder, tick);
  f.imaScroll[1].UserClick();
  EXPECT_EQ(f.filCapture.TopIndex(), 12);
  EXPECT_EQ(f.lbltag[0].Caption(), Name(15));
  EXPECT_TRUE(app_.Boxes().empty()) << Boxes();
}

TEST_F(StripTest, LargePicturesAreMarkedAndTheTooltipGivesTheSize) {
  WritePicture("C:\\GLENVUE\\A_EXACT.JPG", 800, 600);
  WritePicture("C:\\GLENVUE\\B_WIDER.JPG", 801, 600);
  WritePicture("C:\\GLENVUE\\C_TALLER.JPG", 640, 601);
  WritePicture("C:\\GLENVUE\\D_CAMERA.JPG", 1600, 1200);
  prefix_.WriteFile("C:\\GLENVUE\\E_BROKEN.JPG", "not a picture");
  ASSERT_TRUE(Start());
  auto& f = Form();
  EXPECT_EQ(f.lbltag[0].BackColor(), forms::vbWindowBackground);
  EXPECT_EQ(f.lbltag[1].BackColor(), kYellow);
  EXPECT_EQ(f.lbltag[2].BackColor(), kYellow);
  EXPECT_EQ(f.lbltag[3].BackColor(), kYellow);
  // Decoded ahead in parallel, shown reduced, with the picture's own size.
  EXPECT_LE(f.GeaThumb[3].DisplayImage().Width(), 80);
  EXPECT_EQ(f.GeaThumb[3].ImageWidth(), 1600);
  f.GeaThumb[3].UserMouseMove(0, 0, 10, 10);
  EXPECT_EQ(f.GeaThumb[3].ToolTipText(), "Resolution: 1600 x 1200");
  f.GeaThumb[0].UserMouseMove(0, 0, 10, 10);
  EXPECT_EQ(f.GeaThumb[0].ToolTipText(), "Resolution: 800 x 600");
  // The damaged file is reported once, in its turn, and its thumbnail stays empty.
  ASSERT_EQ(app_.Boxes().size(), 1u) << Boxes();
  EXPECT_EQ(app_.Boxes()[0].prompt,
            "The File 'C:\\GLENVUE\\E_BROKEN.JPG' appears to be a corrupt file.");
  EXPECT_FALSE(f.GeaThumb[4].HasImage());
  EXPECT_TRUE(f.GeaThumb[4].Visible());
  f.GeaThumb[4].UserMouseMove(0, 0, 10, 10);
  EXPECT_EQ(f.GeaThumb[4].ToolTipText(), "");  // no size for a picture that could not be read

  // A picture changed after the strip decoded it is loaded afresh.
  WritePicture("C:\\GLENVUE\\A_EXACT.JPG", 900, 600);
  f.errdisplayThumbs();
  EXPECT_EQ(f.GeaThumb[0].ImageWidth(), 900);
  EXPECT_EQ(f.lbltag[0].BackColor(), kYellow);
}

TEST_F(StripTest, PressingAThumbnailSelectsAndDragsItsPicture) {
  Fill(14);
  ASSERT_TRUE(Start());
  auto& f = Form();
  f.imaScroll[3].UserClick();  // top entry 2
  core::gDragSourceKind = "KEP";
  f.GeaThumb[4].UserMouseDown(forms::vbRightButton, 0, 10, 10);
  EXPECT_EQ(core::gDragSourceKind, "KEP");
  EXPECT_FALSE(forms::DragDriver::Instance().Active());

  f.GeaThumb[4].UserMouseDown(forms::vbLeftButton, 0, 10, 10);
  EXPECT_EQ(core::gDragSourceKind, "THUMB");
  EXPECT_EQ(f.filCapture.ListIndex(), 6);
  EXPECT_EQ(core::gDragSourcePath, "C:\\GLENVUE\\" + Name(7));
  auto& d = forms::DragDriver::Instance();
  ASSERT_TRUE(d.Active());
  EXPECT_EQ(d.Source(), &f.GeaThumb[4]);
  EXPECT_FALSE(f.GeaThumb[4].DragIcon().Empty());

  // Dropped on another thumbnail: nothing happens.
  d.MoveOver(&f.GeaThumb[7], 20, 20);
  d.Drop(20, 20);
  EXPECT_TRUE(winfs::FileExists("C:\\GLENVUE\\" + Name(7)));
  EXPECT_EQ(f.lbltag[4].Caption(), Name(7));
  EXPECT_TRUE(app_.Boxes().empty()) << Boxes();
}

TEST_F(StripTest, DoubleClickOpensTheEditorAndShowsTheEditedPicture) {
  Fill(3);
  prefix_.WriteFile("C:\\Velmora\\User\\temptemp.jpg", "scratch");
  ASSERT_TRUE(Start());
  auto& f = Form();
  std::string edited;
  app_.OnModal("frmDouble", [&](forms::Form& dlg) {
    edited = core::gEditPicturePath;
    WritePicture("C:\\GLENVUE\\IMG_0002_E.JPG", 1000, 700);
    core::gDragSourcePath = "C:\\GLENVUE\\IMG_0002_E.JPG";
    core::gbRefreshThumbs = core::vbTrue;
    dlg.Unload();
  });
  f.GeaThumb[1].UserDblClick();
  EXPECT_EQ(edited, "C:\\GLENVUE\\" + Name(2));
  EXPECT_EQ(core::gEditPicturePath, "");
  EXPECT_FALSE(winfs::FileExists("C:\\Velmora\\User\\temptemp.jpg"));
  EXPECT_EQ(core::gbRefreshThumbs, core::vbFalse);
  // The strip is drawn again: the edited picture takes its place in the listing.
  EXPECT_EQ(f.lbltag[2].Caption(), "IMG_0002_E.JPG");
  EXPECT_EQ(f.lbltag[2].BackColor(), kYellow);
}

}  // namespace
}  // namespace mainwindow
