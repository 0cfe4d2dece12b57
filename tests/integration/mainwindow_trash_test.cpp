// The trash folder of the capture directory with the kep stand-in running: thumbnails and slot
// pictures dropped on the trash button under the TRASHCAN and AUTODELETE settings, browsing the
// trash folder and back, and report pictures copied back into the capture directory.

#include <optional>
#include <string>

#include "core/modVelmod.h"
#include "core/modVelmodSlots.h"
#include "photo_pages/frmMain.h"
#include "platform/winfs/WinFs.h"
#include "tests/integration/MainWindowFixture.h"

namespace mainwindow {
namespace {

constexpr const char* kTrash = "C:\\GLENVUE\\TRASHCAN\\";

class TrashTest : public MainWindowFixture {
 protected:
  void StartWith(const std::string& preferences) {
    WriteIni("SCREENSIZE=0\r\n" + preferences);
    WritePicture("C:\\GLENVUE\\IMG_0001.JPG", 320, 240);
    WritePicture("C:\\GLENVUE\\IMG_0002.JPG", 320, 240);
    StartKep();
    ASSERT_TRUE(Start()) << Boxes();
    app_.ClearBoxes();
  }
};

// A thumbnail dropped on the trash button under each setting: whether it is copied to the trash
// folder and deleted, and whether the strip still shows it.  A full trash folder (answered
// Abort) keeps the picture and its thumbnail.
struct Throw {
  const char* name;
  const char* prefs;
  bool fullTrash, copied, deleted, visible;
};

class ThrowAway : public TrashTest, public ::testing::WithParamInterface<Throw> {};

TEST_P(ThrowAway, TheFirstThumbnailOnTheTrash) {
  const Throw& row = GetParam();
  StartWith(row.prefs);
  std::optional<FullDisk> full;
  if (row.fullTrash) {
    full.emplace(winfs::ToHost("C:\\GLENVUE") / "TRASHCAN", "4k");
    if (!full->Mounted()) GTEST_SKIP() << "cannot mount a small file system here";
    app_.QueueAnswer(forms::vbAbort);
  }
  auto& f = Form();
  DragAndDrop(f.GeaThumb[0], f.imaTrash);
  if (!row.fullTrash) {
    EXPECT_EQ(Exists(std::string(kTrash) + "IMG_0001.JPG"), row.copied);
  }
  EXPECT_EQ(Exists("C:\\GLENVUE\\IMG_0001.JPG"), !row.deleted);
  EXPECT_EQ(f.GeaThumb[0].Visible(), row.visible);
  EXPECT_EQ(f.lbltag[0].Visible(), row.visible);
  EXPECT_EQ(app_.Boxes().empty(), !row.fullTrash) << Boxes();
}

INSTANTIATE_TEST_SUITE_P(
    Settings, ThrowAway,
    ::testing::Values(Throw{"CopiedThenDeleted", "", false, true, true, false},
                      Throw{"WithoutAutoDeleteOnlyCopied", "AUTODELETE=0\r\n", false, true, false,
                            true},
                      Throw{"WithoutTheTrashNothingHappens", "TRASHCAN=0\r\n", false, false, false,
                            true},  // the strip shows what stays
                      Throw{"AFullTrashKeepsBoth", "", true, false, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TrashTest, BrowsingTheTrashFolderAndDeletingThereForGood) {
  StartWith("");
  auto& f = Form();
  // No trash folder yet: Yes changes nothing and says nothing more.
  app_.QueueAnswer(forms::vbYes);
  f.imaTrash.UserClick();
  ASSERT_EQ(app_.Boxes().size(), 1u);
  EXPECT_EQ(app_.Boxes()[0].prompt, "Change the camera directory to the trashcan directory?");
  EXPECT_EQ(app_.Boxes()[0].ButtonSet(), forms::vbYesNo);
  EXPECT_EQ(core::gCaptureDir, "C:\\GLENVUE\\");

  DragAndDrop(f.GeaThumb[1], f.imaTrash);
  ASSERT_TRUE(Exists(std::string(kTrash) + "IMG_0002.JPG"));
  app_.QueueAnswer(forms::vbYes);
  f.imaTrash.UserClick();
  EXPECT_EQ(core::gCaptureDir, "C:\\GLENVUE\\trashcan\\");
  EXPECT_EQ(f.lblCapDir.Caption(), "C:\\GLENVUE\\trashcan");
  EXPECT_EQ(f.lbltag[0].Caption(), "IMG_0002.JPG");
  EXPECT_FALSE(f.GeaThumb[1].Visible());

  // Thrown away from the trash folder: deleted without a question.
  app_.ClearBoxes();
  DragAndDrop(f.GeaThumb[0], f.imaTrash);
  EXPECT_FALSE(Exists(std::string(kTrash) + "IMG_0002.JPG"));
  EXPECT_TRUE(app_.Boxes().empty()) << Boxes();
  EXPECT_FALSE(f.GeaThumb[0].Visible());

  app_.QueueAnswer(forms::vbNo);
  f.imaTrash.UserClick();
  EXPECT_EQ(app_.Boxes().back().prompt, "Change back to the capture directory?");
  EXPECT_EQ(core::gCaptureDir, "C:\\GLENVUE\\trashcan\\");
  app_.QueueAnswer(forms::vbYes);
  f.imaTrash.UserClick();
  EXPECT_EQ(core::gCaptureDir, "C:\\GLENVUE\\");
  EXPECT_EQ(f.lblCapDir.Caption(), "C:\\GLENVUE");
  EXPECT_EQ(f.lbltag[0].Caption(), "IMG_0001.JPG");
}

TEST_F(TrashTest, AnEarlierTrashCopyOfTheSameNameIsNeverOverwritten) {
  WritePicture(std::string(kTrash) + "IMG_0001.JPG", 100, 80, 0xFF112233u);  // an earlier card
  const std::string earlier = Slurp(winfs::ToHost(std::string(kTrash) + "IMG_0001.JPG"));
  StartWith("AUTODELETE=0\r\n");
  auto& f = Form();
  const std::string source = Slurp(winfs::ToHost("C:\\GLENVUE\\IMG_0001.JPG"));
  DragAndDrop(f.GeaThumb[0], f.imaTrash);
  EXPECT_TRUE(Slurp(winfs::ToHost(std::string(kTrash) + "IMG_0001.JPG")) == earlier);
  EXPECT_TRUE(Slurp(winfs::ToHost(std::string(kTrash) + "IMG_0001 (2).JPG")) == source);
  // The same picture thrown away again is in the trash already: no further copy.
  DragAndDrop(f.GeaThumb[0], f.imaTrash);
  EXPECT_FALSE(Exists(std::string(kTrash) + "IMG_0001 (3).JPG"));
  EXPECT_TRUE(app_.Boxes().empty()) << Boxes();
}

TEST_F(TrashTest, ASlotPictureOnTheTrashIsCopiedNeverDeletedAndTheSlotEmptied) {
  StartWith("");
  auto& f = Form();
  const std::string report = std::string(kPhotos) + "CMP_1_3X5.JPG";
  ASSERT_EQ(f.imaComp[1].ThumbPath(), report);
  DragAndDrop(f.imaComp[1], f.imaTrash);
  EXPECT_EQ(core::gDragSourceKind, "KEP");
  EXPECT_TRUE(Exists(report));
  EXPECT_EQ(Slurp(winfs::ToHost(std::string(kTrash) + "CMP_1_3X5.JPG")),
            Slurp(winfs::ToHost(report)));
  EXPECT_EQ(f.imaComp[1].ThumbPath(), "C:\\Velmora\\empty.jpg");
  EXPECT_TRUE(f.imaComp[1].HasImage());  // the placeholder is shown
  // An empty slot dropped on the trash does nothing.
  DragAndDrop(f.imaComp[1], f.imaTrash);
  EXPECT_TRUE(app_.Boxes().empty()) << Boxes();
  const auto images = SetImages();
  ASSERT_EQ(images.size(), 1u);
  EXPECT_NE(images[0].find(R"(SetImage \"CMP_1_3X5\", \"\")"), std::string::npos) << images[0];

  // KEP gone: the slot keeps what the report holds, and the user is told.
  const std::string subject = std::string(kPhotos) + "SUB_1_3X5.JPG";
  kep_->Stop();
  DragAndDrop(f.imaSubject[1], f.imaTrash);
  EXPECT_EQ(f.imaSubject[1].ThumbPath(), subject);
  EXPECT_TRUE(HasBox("Photo Not Cleared")) << Boxes();
  // A report picture whose file is gone has nothing to keep: its slot is emptied all the same.
  kep_.reset();
  StartKep();
  app_.ClearBoxes();
  fs::remove(winfs::ToHost(subject));
  DragAndDrop(f.imaSubject[1], f.imaTrash);
  EXPECT_TRUE(core::IsEmptyPict(f.imaSubject[1].ThumbPath()));
  EXPECT_TRUE(app_.Boxes().empty()) << Boxes();
}

TEST_F(TrashTest, AReportPictureInAFolderWithADotReachesTheTrash) {
  report_.store = "C:\\KEPDATA\\PHOTOS\\1427.MAPLE\\";
  StartWith("");
  auto& f = Form();
  const std::string report = report_.store + "CMP_1_3X5.JPG";
  ASSERT_EQ(f.imaComp[1].ThumbPath(), report);
  DragAndDrop(f.imaComp[1], f.imaTrash);
  EXPECT_EQ(Slurp(winfs::ToHost(std::string(kTrash) + "CMP_1_3X5.JPG")),
            Slurp(winfs::ToHost(report)));
  EXPECT_TRUE(app_.Boxes().empty()) << Boxes();
  DragAndDrop(f.imaSubject[1], f.lblFill);  // copied back under its address and own extension
  EXPECT_TRUE(Exists("C:\\GLENVUE\\1427MapleC_VIEW1.JPG"));
  EXPECT_TRUE(app_.Boxes().empty()) << Boxes();

  // No trash folder can be made (a file holds its name): the slot and the report keep the
  // picture.
  fs::remove_all(winfs::ToHost(kTrash));
  prefix_.WriteFile("C:\\GLENVUE\\TRASHCAN", "");
  DragAndDrop(f.imaSubject[1], f.imaTrash);
  EXPECT_EQ(f.imaSubject[1].ThumbPath(), report_.store + "SUB_1_3X5.JPG");
  EXPECT_EQ(SetImages().size(), 1u);  // the one of the first slot
  EXPECT_TRUE(HasBox("Picture Kept")) << Boxes();
}

TEST_F(TrashTest, AReportPictureCopiedBackIsNamedAfterItsAddress) {
  StartWith("");
  auto& f = Form();
  const std::string report = std::string(kPhotos) + "CMP_1_3X5.JPG";
  ASSERT_EQ(f.lblCompAddr[1].Caption(), "1502 Maple Court");
  DragAndDrop(f.imaComp[1], f.lblFill);
  const std::string back = "C:\\GLENVUE\\1502MapleC_VIEW1.JPG";
  ASSERT_TRUE(Exists(back)) << Boxes();
  EXPECT_EQ(Slurp(winfs::ToHost(back)), Slurp(winfs::ToHost(report)));
  EXPECT_EQ(f.imaComp[1].ThumbPath(), report);  // the slot keeps its picture
  EXPECT_EQ(f.lbltag[0].Caption(), "1502MAPLEC_VIEW1.JPG");

  // A second copy-back over a different picture keeps that one in the trash folder first.
  WritePicture(back, 100, 80);
  f.errdisplayThumbs();
  ASSERT_EQ(f.GeaThumb[0].ImageWidth(), 100);
  const std::string replaced = Slurp(winfs::ToHost(back));
  DragAndDrop(f.imaComp[1], f.GeaThumb[2]);
  EXPECT_EQ(f.GeaThumb[0].ImageWidth(), 320);  // the strip shows what the file now holds
  EXPECT_EQ(Slurp(winfs::ToHost(back)), Slurp(winfs::ToHost(report)));
  EXPECT_EQ(Slurp(winfs::ToHost(std::string(kTrash) + "1502MAPLEC_VIEW1.JPG")), replaced);

  // In the trash folder itself, the picture of that name is kept beside it.
  core::gCaptureDir = kTrash;
  f.lblCapDir.SetCaption(kTrash);
  WritePicture(std::string(kTrash) + "1502MAPLEC_VIEW1.JPG", 90, 70);
  const std::string inTrash = Slurp(winfs::ToHost(std::string(kTrash) + "1502MAPLEC_VIEW1.JPG"));
  DragAndDrop(f.imaComp[1], f.lblFill);
  EXPECT_EQ(Slurp(winfs::ToHost(std::string(kTrash) + "1502MAPLEC_VIEW1.JPG")),
            Slurp(winfs::ToHost(report)));
  EXPECT_EQ(Slurp(winfs::ToHost(std::string(kTrash) + "1502MAPLEC_VIEW1 (2).JPG")), inTrash);
  core::gCaptureDir = "C:\\GLENVUE\\";
  f.lblCapDir.SetCaption("C:\\GLENVUE");

  // The subject's slot without an address label text.
  f.lblSubjectAddr.SetCaption("  ");
  DragAndDrop(f.imaSubject[1], f.lblFill);
  EXPECT_TRUE(Exists("C:\\GLENVUE\\SUB_VIEW1.JPG"));
  EXPECT_TRUE(app_.Boxes().empty()) << Boxes();
}

TEST(ShortAddress, CleanedWithoutBlanksAndCut) {
  forms::HeadlessApp app;
  EXPECT_EQ(photo_pages::frmMain::ShortAddress("99 Long Avenue North"), "99LongAven");
  EXPECT_EQ(photo_pages::frmMain::ShortAddress(" 12 Elm "), "12Elm");
  EXPECT_EQ(photo_pages::frmMain::ShortAddress("4/5 Oak: Apt #2"), "45OakApt2");
}

}  // namespace
}  // namespace mainwindow
