// Placing a thumbnail on a photo slot with the kep stand-in running: the JPEG copy written into
// the user directory (reduced, re-encoded or copied unchanged by the settings), its name, the
// trash steps for the slot's old picture and for the source, and what a full disk or a
// read-only file leaves behind.

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "core/modVelmod.h"
#include "core/modVelmodSlots.h"
#include "platform/vbrt/Strings.h"
#include "platform/winfs/WinFs.h"
#include "tests/integration/MainWindowFixture.h"
#include "tests/support/GenerousBound.h"
#include "tests/support/OrientedJpeg.h"

namespace mainwindow {
namespace {

constexpr const char* kUser = "C:\\Velmora\\User\\";
constexpr const char* kTrash = "C:\\GLENVUE\\TRASHCAN\\";

class PlaceTest : public MainWindowFixture {
 protected:
  void StartWith(const std::string& preferences) {
    WriteIni("SCREENSIZE=0\r\n" + preferences);
    StartKep();
    ASSERT_TRUE(Start()) << Boxes();
    ASSERT_EQ(core::gbKepReportActive, core::vbTrue);
    app_.ClearBoxes();
  }
  // A camera picture of 160 x 120 (upright) stored as the orientation tag says.
  void WriteOriented(const std::string& winPath, int orientation) {
    const fs::path host = prefix_.WriteFile(winPath, "");
    imaging::SaveJpeg(oriented::Stored(160, 120, orientation), host, 90);
    prefix_.WriteFile(winPath, oriented::WithApp1(Slurp(host), oriented::ExifPayload(orientation)));
  }
  // The written copy: upright, 160 x 120, and no tag that would turn it again.
  void ExpectUprightCopy(const std::string& winPath) {
    SCOPED_TRACE(winPath);
    const fs::path host = winfs::ToHost(winPath);
    const imaging::PictureInfo info = imaging::Probe(host);
    EXPECT_EQ(info.orientation, 1);
    EXPECT_EQ(info.width, 160);
    EXPECT_EQ(info.height, 120);
    EXPECT_EQ(oriented::Quadrants(imaging::Load(host)), oriented::kUpright);
  }
  // Drops thumbnail i on comparable slot n, answering Yes when asked to overwrite.
  void Place(int thumb, int slot) {
    if (!core::IsEmptyPict(Form().imaComp[slot].ThumbPath())) app_.QueueAnswer(forms::vbYes);
    DragAndDrop(Form().GeaThumb[thumb], Form().imaComp[slot]);
  }
};

TEST_F(PlaceTest, ACameraPictureIsReducedHandedToKepAndTrashed) {
  WritePicture("C:\\GLENVUE\\IMG_0001.JPG", 1600, 1200);
  WritePicture("C:\\GLENVUE\\IMG_0002.JPG", 1920, 1080);
  WritePicture("C:\\GLENVUE\\IMG_0003.JPG", 1200, 1600);
  StartWith("");  // REDUX on, 800 x 600, quality 95, TRASHCAN and AUTODELETE on
  auto& f = Form();
  const std::string source = Slurp(winfs::ToHost("C:\\GLENVUE\\IMG_0001.JPG"));

  Place(0, 2);  // an empty slot: no question
  const std::string copy = std::string(kUser) + "PTEMP_00.JPG";
  EXPECT_EQ(f.imaComp[2].ThumbPath(), copy);
  ASSERT_TRUE(Exists(copy)) << Boxes();
  EXPECT_EQ(Size(copy).width, 800);
  EXPECT_EQ(Size(copy).height, 600);
  EXPECT_TRUE(f.imaComp[2].HasImage());
  // The source went to the trash folder, unchanged, and left the capture directory.
  EXPECT_EQ(Slurp(winfs::ToHost(std::string(kTrash) + "IMG_0001.JPG")), source);
  EXPECT_FALSE(Exists("C:\\GLENVUE\\IMG_0001.JPG"));
  EXPECT_FALSE(f.GeaThumb[0].Visible());
  EXPECT_FALSE(f.lbltag[0].Visible());
  EXPECT_FALSE(app_.BroughtToFront().empty());

  // A wide and a portrait picture keep their shape inside 800 x 600; the next copy takes the
  // next number.
  Place(1, 3);
  EXPECT_EQ(f.imaComp[3].ThumbPath(), std::string(kUser) + "PTEMP_01.JPG");
  EXPECT_EQ(Size(std::string(kUser) + "PTEMP_01.JPG").width, 800);
  EXPECT_EQ(Size(std::string(kUser) + "PTEMP_01.JPG").height, 450);
  Place(2, 4);
  EXPECT_EQ(Size(std::string(kUser) + "PTEMP_02.JPG").width, 450);
  EXPECT_EQ(Size(std::string(kUser) + "PTEMP_02.JPG").height, 600);
  EXPECT_TRUE(app_.Boxes().empty()) << Boxes();

  const auto images = SetImages();
  ASSERT_EQ(images.size(), 3u);
  EXPECT_NE(images[0].find("CMP_2_3X5"), std::string::npos) << images[0];
  EXPECT_NE(images[0].find("PTEMP_00.JPG"), std::string::npos) << images[0];
  EXPECT_NE(images[1].find("CMP_3_3X5"), std::string::npos) << images[1];

  // A refresh clears the user folder's copies: one edited since KEP took it keeps its bytes in
  // the trash folder, one KEP holds the same bytes of goes without a trash copy.
  WritePicture(std::string(kUser) + "PTEMP_01.JPG", 640, 360);
  const std::string edited = Slurp(winfs::ToHost(std::string(kUser) + "PTEMP_01.JPG"));
  f.RefreshAppraisal();
  EXPECT_FALSE(Exists(std::string(kUser) + "PTEMP_01.JPG"));
  EXPECT_EQ(Slurp(winfs::ToHost(std::string(kTrash) + "PTEMP_01.JPG")), edited);
  EXPECT_FALSE(Exists(std::string(kUser) + "PTEMP_00.JPG"));
  EXPECT_FALSE(Exists(std::string(kTrash) + "PTEMP_00.JPG"));
}

// A camera picture whose host name no Windows name can hold is shown, placed and trashed like
// any other.
TEST_F(PlaceTest, APictureNamedWithCharactersWindowsForbidsIsShownPlacedAndTrashed) {
  const fs::path host = WritePicture("C:\\GLENVUE\\IMG_0001.JPG", 640, 480);
  fs::rename(host, host.parent_path() / "star*x.jpg");
  StartWith("");
  auto& f = Form();
  EXPECT_EQ(f.lbltag[0].Caption(), "STAR\uF02AX.JPG");
  EXPECT_TRUE(f.GeaThumb[0].HasImage());
  Place(0, 2);
  EXPECT_TRUE(app_.Boxes().empty()) << Boxes();
  EXPECT_EQ(Size(std::string(kUser) + "PTEMP_00.JPG").width, 640);
  EXPECT_FALSE(fs::exists(host.parent_path() / "star*x.jpg"));
  // The trash copy is named as the program spells names, upper-cased.
  EXPECT_TRUE(fs::exists(host.parent_path() / "TRASHCAN" / "STAR*X.JPG"));
  EXPECT_EQ(SetImages().size(), 1u);
}

TEST_F(PlaceTest, TheOldPictureGoesToTheTrashAndACopyKeepsItsName) {
  WritePicture("C:\\GLENVUE\\IMG_0001.JPG", 640, 480);
  WritePicture("C:\\GLENVUE\\IMG_0002.JPG", 320, 240);
  WritePicture("C:\\GLENVUE\\IMG_0003.JPG", 320, 240);
  StartWith("TRASHCAN=0\r\nAUTODELETE=0\r\n");
  auto& f = Form();
  const std::string report = std::string(kPhotos) + "CMP_1_3X5.JPG";
  const std::string reportBytes = Slurp(winfs::ToHost(report));

  // The report's own picture is asked about, then trashed and deleted whatever the settings.
  Place(0, 1);
  ASSERT_EQ(app_.Boxes().size(), 1u);
  EXPECT_EQ(app_.Boxes()[0].prompt, "Overwrite " + report);
  // (KEP's own store copy of the new picture may take the old file's place.)
  EXPECT_NE(Slurp(winfs::ToHost(report)), reportBytes);
  EXPECT_EQ(Slurp(winfs::ToHost(std::string(kTrash) + "CMP_1_3X5.JPG")), reportBytes);
  EXPECT_EQ(f.imaComp[1].ThumbPath(), std::string(kUser) + "PTEMP_00.JPG");
  // With TRASHCAN off the source stays, and so does its thumbnail.
  EXPECT_TRUE(Exists("C:\\GLENVUE\\IMG_0001.JPG"));
  EXPECT_FALSE(Exists(std::string(kTrash) + "IMG_0001.JPG"));
  EXPECT_TRUE(f.GeaThumb[0].Visible());

  // A copy in the user directory gives its name to the next picture of the slot.
  const std::string first = Slurp(winfs::ToHost(std::string(kUser) + "PTEMP_00.JPG"));
  Place(1, 1);
  EXPECT_EQ(f.imaComp[1].ThumbPath(), std::string(kUser) + "PTEMP_00.JPG");
  EXPECT_EQ(Size(std::string(kUser) + "PTEMP_00.JPG").width, 320);
  EXPECT_EQ(Slurp(winfs::ToHost(std::string(kTrash) + "PTEMP_00.JPG")), first);
  EXPECT_FALSE(Exists(std::string(kUser) + "PTEMP_01.JPG"));

  // Declining the question changes nothing.
  app_.QueueAnswer(forms::vbNo);
  DragAndDrop(f.GeaThumb[2], f.imaComp[1]);
  EXPECT_EQ(Size(std::string(kUser) + "PTEMP_00.JPG").width, 320);
  EXPECT_EQ(SetImages().size(), 2u);

  // So in a user directory whose name holds a dot.
  const std::string dotted = "C:\\Velmora\\J.Smith\\";
  core::gUserDir = dotted;
  prefix_.MakeDir(dotted);
  app_.ClearBoxes();
  Place(0, 2);
  Place(2, 2);
  EXPECT_EQ(f.imaComp[2].ThumbPath(), dotted + "PTEMP_01.JPG");
  EXPECT_EQ(Size(dotted + "PTEMP_01.JPG").width, 320);
  EXPECT_EQ(Size(std::string(kTrash) + "PTEMP_01.JPG").width, 640);
  EXPECT_EQ(app_.Boxes().size(), 1u) << Boxes();  // only the question
}

TEST_F(PlaceTest, WithKepGoneNothingIsDeletedAndTheUserIsToldOnce) {
  WritePicture("C:\\GLENVUE\\IMG_0001.JPG", 320, 240, 0xFF204080u);
  WritePicture("C:\\GLENVUE\\IMG_0002.JPG", 320, 240, 0xFF806040u);
  WritePicture("C:\\GLENVUE\\IMG_0003.JPG", 320, 240, 0xFF40A040u);
  StartWith("");  // TRASHCAN and AUTODELETE on
  auto& f = Form();
  const std::string report = std::string(kPhotos) + "CMP_1_3X5.JPG";
  const std::string reportBytes = Slurp(winfs::ToHost(report));
  const std::string copy = std::string(kUser) + "PTEMP_00.JPG";
  Place(0, 2);
  ASSERT_EQ(f.imaComp[2].ThumbPath(), copy);
  const std::string copyBytes = Slurp(winfs::ToHost(copy));
  // A drop KEP did not take: told once; the slot shows `shown` with its bytes, and the source
  // and its thumbnail stay.
  const auto nothingLost = [&](int thumb, int slot, const std::string shown,
                               const std::string& bytes) {
    Place(thumb, slot);
    int told = 0;
    for (const auto& b : app_.Boxes()) told += b.title == "Picture Not Placed" ? 1 : 0;
    EXPECT_EQ(told, 1) << Boxes();
    EXPECT_NE(Boxes().find("not handed to Corvane Appraisals"), std::string::npos) << Boxes();
    app_.ClearBoxes();
    EXPECT_EQ(f.imaComp[slot].ThumbPath(), shown);
    if (!bytes.empty()) {
      EXPECT_TRUE(Slurp(winfs::ToHost(shown)) == bytes);
    }
    EXPECT_TRUE(Exists("C:\\GLENVUE\\IMG_000" + std::to_string(thumb + 1) + ".JPG"));
    EXPECT_TRUE(f.GeaThumb[thumb].Visible());
  };

  kep_->Stop();
  app_.ClearBoxes();
  nothingLost(1, 1, report, reportBytes);  // the report's own picture
  nothingLost(2, 2, copy, copyBytes);      // a slot copy, whose name the new copy would take
  EXPECT_FALSE(Exists(std::string(kUser) + "PTEMP_01.JPG"));  // no stray copy left behind

  // KEP back, but without a report: the same.
  StartKepWithoutReport();
  nothingLost(1, 3, "C:\\Velmora\\empty.jpg", "");
  EXPECT_TRUE(core::IsEmptyPict(f.imaComp[3].ThumbPath()));
}

// KEP gone, with a user folder outside ASCII: the copies it did not take are taken back, and the
// trash copies of the slots' old pictures go again, so both folders are as before.
TEST_F(PlaceTest, ARefusedPlacementLeavesUserAndTrashFoldersAsTheyWere) {
  WritePicture("C:\\GLENVUE\\IMG_0001.JPG", 320, 240);
  WritePicture("C:\\GLENVUE\\IMG_0002.JPG", 320, 240, 0xFF806040u);
  StartWith("AUTODELETE=0\r\n");
  core::gUserDir = "C:\\Velmora\\\u0141\u00f3d\u017a";
  prefix_.MakeDir(core::gUserDir);
  Place(0, 2);
  ASSERT_TRUE(Exists(core::gUserDir + "\\PTEMP_00.JPG")) << Boxes();
  const auto folders = [] {
    std::vector<std::string> files;
    for (const char* dir : {"C:\\Velmora", kTrash}) {
      for (const auto& e : fs::recursive_directory_iterator(winfs::ToHost(dir))) {
        if (e.is_regular_file()) files.push_back(e.path().string() + "=" + Slurp(e.path()));
      }
    }
    std::sort(files.begin(), files.end());
    return files;
  };
  const auto before = folders();
  kep_->Stop();
  Place(1, 1);  // the report's picture
  Place(1, 2);  // the slot copy, whose name the new copy takes
  EXPECT_TRUE(folders() == before);
  EXPECT_EQ(Boxes().find("Error"), std::string::npos) << Boxes();
}

// The same camera picture dropped again on its slot after a refresh (AUTODELETE off, so it is
// still in the strip): the new copy has the bytes of the report's picture, KEP writes it over
// that file, and the report's picture must not then be deleted as the "old" one.
TEST_F(PlaceTest, DroppingTheSamePictureAgainKeepsTheReportsPicture) {
  WritePicture("C:\\GLENVUE\\IMG_0001.JPG", 640, 480);
  StartWith("AUTODELETE=0\r\n");
  auto& f = Form();
  const std::string report = std::string(kPhotos) + "CMP_1_3X5.JPG";
  Place(0, 1);
  f.RefreshAppraisal();
  ASSERT_EQ(vb::UCase(f.imaComp[1].ThumbPath()), report);
  const std::string placed = Slurp(winfs::ToHost(report));
  app_.ClearBoxes();
  Place(0, 1);
  EXPECT_TRUE(app_.Boxes().size() == 1u) << Boxes();  // only the overwrite question
  ASSERT_TRUE(Exists(report)) << "the report's picture was deleted";
  EXPECT_TRUE(Slurp(winfs::ToHost(report)) == placed);
  EXPECT_EQ(SetImages().size(), 2u);
}

// KEP now has another report open than the one the window shows (the user opened it in KEP
// and did not refresh): the picture must not go into that report, and the shown report's own
// picture of the slot must not be deleted.
TEST_F(PlaceTest, AnotherReportOpenInKepGetsNothingAndCostsNothing) {
  WritePicture("C:\\GLENVUE\\IMG_0001.JPG", 320, 240);
  StartWith("");
  auto& f = Form();
  ASSERT_EQ(f.lblCompAddr[1].Caption(), "1502 Maple Court");
  const std::string maple = std::string(kPhotos) + "CMP_1_3X5.JPG";
  const std::string mapleBytes = Slurp(winfs::ToHost(maple));
  kep_.reset();
  report_ = OakReport();
  StartKep();
  const std::string oak = std::string(kStore) + "CMP_1_3X5.JPG";
  const std::string oakBytes = Slurp(winfs::ToHost(oak));
  Place(0, 1);
  EXPECT_TRUE(HasBox("Picture Not Placed")) << Boxes();
  EXPECT_NE(Boxes().find("or press Refresh"), std::string::npos) << Boxes();
  EXPECT_TRUE(SetImages().empty()) << SetImages().front();
  EXPECT_TRUE(Slurp(winfs::ToHost(oak)) == oakBytes);
  ASSERT_TRUE(Exists(maple)) << "the shown report's picture was deleted";
  EXPECT_TRUE(Slurp(winfs::ToHost(maple)) == mapleBytes);
  EXPECT_EQ(f.imaComp[1].ThumbPath(), maple);
  EXPECT_TRUE(Exists("C:\\GLENVUE\\IMG_0001.JPG"));

  // A refresh that stops part-way (KEP hangs at the image list) leaves the window on the report
  // it shows: a drop and a caption still find KEP on another report, and send nothing.
  kep_.reset();
  kep_ = std::make_unique<KepProcess>(
      dde_dir_,
      std::vector<std::string>{"--prefix", prefix_.Prefix().string(), "--log", LogFile().string(),
                               WriteReport(report_).string(), "--hang-at", "IMAGES"});
  f.txtDDE.SetLinkTimeout(10);
  f.imaKep.Click();
  kep_.reset();
  StartKep();
  app_.ClearBoxes();
  Place(0, 1);
  EXPECT_NE(Boxes().find("or press Refresh"), std::string::npos) << Boxes();
  EXPECT_TRUE(Slurp(winfs::ToHost(oak)) == oakBytes);
  EXPECT_EQ(f.TxtKepReport.Text(), f.lblRPT.Caption());
  EXPECT_NE(f.TxtKepReport.Text(), kReport);

  // One that stops after taking on the report (KEP hangs at its ninth transaction, the address
  // reading's ActiveReports) leaves no slot blank: each shows the report's picture or none.
  kep_.reset();
  kep_ = std::make_unique<KepProcess>(
      dde_dir_,
      std::vector<std::string>{"--prefix", prefix_.Prefix().string(), "--log", LogFile().string(),
                               WriteReport(report_).string(), "--hang-at", "9"});
  f.imaKep.Click();
  ASSERT_EQ(f.lblRPT.Caption(), kReport) << Boxes();
  EXPECT_EQ(vb::UCase(f.imaComp[1].ThumbPath()), oak);
  EXPECT_TRUE(core::IsEmptyPict(f.imaComp[2].ThumbPath())) << f.imaComp[2].ThumbPath();

  // The shown report again, of a form type the reference file does not know: its addresses
  // cannot be read, but its pictures are still shown, so a drop asks before replacing one and
  // keeps the old bytes.
  kep_.reset();
  report_ = MapleReport();
  report_.forms = "FR4,SUBPHOTO,PH3CMP1,";
  StartKep();
  app_.ClearBoxes();
  f.RefreshAppraisal();
  EXPECT_TRUE(HasBox("No Matches to Form Type Found")) << Boxes();
  const std::string subject = std::string(kPhotos) + "SUB_1_3X5.JPG";
  EXPECT_EQ(vb::UCase(f.imaSubject[1].ThumbPath()), subject);
  EXPECT_EQ(vb::UCase(f.imaComp[1].ThumbPath()), maple);
  EXPECT_EQ(f.lblSubjectAddr.Caption(), "");
  EXPECT_EQ(f.lblCompAddr[1].Caption(), "");
  const std::string oldBytes = Slurp(winfs::ToHost(subject));
  app_.ClearBoxes();
  app_.QueueAnswer(forms::vbYes);
  DragAndDrop(f.GeaThumb[0], f.imaSubject[1]);
  ASSERT_FALSE(app_.Boxes().empty());
  EXPECT_EQ(app_.Boxes()[0].prompt, "Replace " + subject);
  EXPECT_EQ(Slurp(winfs::ToHost(std::string(kTrash) + "SUB_1_3X5.JPG")), oldBytes);
}

// Pictures that are not the slot's own to replace: another photo object of the report names the
// slot's picture (it stays where the report has it; a copy in the user directory is not taken
// over either); the report names files that are not the program's (neither written over nor
// moved); a capture folder inside KEP's store gives up no source.
TEST_F(PlaceTest, PicturesTheSlotDoesNotOwnAreKept) {
  for (const char* name : {"IMG_0001", "IMG_0002", "IMG_0003", "IMG_0004"})
    WritePicture(std::string("C:\\GLENVUE\\") + name + ".JPG", 320, 240);
  const std::string front = std::string(kPhotos) + "FRONT.JPG";
  const std::string copy = std::string(kUser) + "HOUSE.JPG";
  const std::string notes = "C:\\NOTES\\NOTES.TXT";
  WritePicture(front, 200, 100);
  WritePicture(copy, 200, 100, 0xFF102030u);
  prefix_.WriteFile(notes, "notes");
  report_.images = {"SUB_TITLE=" + front, "SUB_1_3X5=" + front, "SUB_2_3X5=C:\\Velmora\\velmod.dat",
                    "SUB_3_3X5=" + notes, "CMP_2_3X5=" + copy,  "CMP_3_3X5=" + copy};
  StartWith("");
  auto& f = Form();
  ASSERT_EQ(vb::UCase(f.imaSubject[1].ThumbPath()), front);
  app_.QueueAnswer(forms::vbYes);
  DragAndDrop(f.GeaThumb[0], f.imaSubject[1]);
  EXPECT_EQ(SetImages().size(), 1u) << Boxes();
  EXPECT_TRUE(Exists(front)) << "a picture the report still names was deleted";
  const std::string copyBytes = Slurp(winfs::ToHost(copy));
  Place(1, 2);
  EXPECT_NE(f.imaComp[2].ThumbPath(), copy);
  EXPECT_TRUE(Slurp(winfs::ToHost(copy)) == copyBytes);

  core::gUserDir = "C:\\Velmora";  // the program folder, as the setup's default
  const std::string velmod = Slurp(winfs::ToHost("C:\\Velmora\\velmod.dat"));
  f.errdisplayThumbs();
  app_.QueueAnswer(forms::vbYes);
  DragAndDrop(f.GeaThumb[0], f.imaSubject[2]);
  EXPECT_TRUE(Slurp(winfs::ToHost("C:\\Velmora\\velmod.dat")) == velmod);
  EXPECT_EQ(f.imaSubject[2].ThumbPath(), "C:\\Velmora\\PTEMP_02.JPG");  // the third copy
  app_.QueueAnswer(forms::vbYes);
  f.errdisplayThumbs();
  DragAndDrop(f.GeaThumb[0], f.imaSubject[3]);
  EXPECT_EQ(Slurp(winfs::ToHost(notes)), "notes");
  EXPECT_EQ(f.imaSubject[3].ThumbPath(), "C:\\Velmora\\PTEMP_03.JPG");

  // The capture folder is a report's own picture folder: its pictures stay there.
  core::gCaptureDir = kPhotos;
  f.lblCapDir.SetCaption(kPhotos);
  f.errdisplayThumbs();
  ASSERT_EQ(f.lbltag[0].Caption(), "CMP_1_3X5.JPG");
  Place(0, 2);
  EXPECT_TRUE(Exists(std::string(kPhotos) + "CMP_1_3X5.JPG"));
  EXPECT_TRUE(f.GeaThumb[0].Visible());

  // The strip shows the trash folder: a slot's old picture goes there, not into a trash of it.
  core::gCaptureDir = kTrash;
  f.lblCapDir.SetCaption(kTrash);
  f.errdisplayThumbs();
  app_.QueueAnswer(forms::vbYes);
  DragAndDrop(f.GeaThumb[0], f.imaComp[1]);
  EXPECT_TRUE(Exists(std::string(kTrash) + "CMP_1_3X5.JPG")) << Boxes();
  EXPECT_FALSE(fs::exists(winfs::ToHost(std::string(kTrash) + "TRASHCAN")));
}

TEST_F(PlaceTest, TheHundredthCopyTakesAFreeName) {
  WritePicture("C:\\GLENVUE\\IMG_0001.JPG", 320, 240);
  WritePicture("C:\\GLENVUE\\IMG_0002.JPG", 320, 240);
  StartWith("");
  auto& f = Form();
  const auto temp = [](int n) {
    return std::string(kUser) + "PTEMP_" + (n < 10 ? "0" : "") + std::to_string(n) + ".JPG";
  };
  // Other slots' copies, PTEMP_00 to PTEMP_99 (a template report keeps them).
  for (int n = 0; n < 100; ++n) prefix_.WriteFile(temp(n), "slot " + std::to_string(n));
  Place(0, 2);
  EXPECT_EQ(f.imaComp[2].ThumbPath(), temp(100));
  EXPECT_EQ(Size(temp(100)).width, 320);
  for (int n = 0; n < 100; ++n)
    ASSERT_EQ(Slurp(winfs::ToHost(temp(n))), "slot " + std::to_string(n));
  // A count that names a taken file moves on to the next free number.
  winfs::Kill(temp(40));
  winfs::Kill(temp(41));
  Place(1, 3);
  EXPECT_EQ(f.imaComp[3].ThumbPath(), temp(101));
  EXPECT_EQ(Slurp(winfs::ToHost(temp(99))), "slot 99");
  EXPECT_NE(SetImages().back().find("PTEMP_101.JPG"), std::string::npos) << SetImages().back();
}

TEST_F(PlaceTest, WithoutReductionJpegsAreCopiedOrSavedAtTheirOwnSize) {
  WritePicture("C:\\GLENVUE\\A.JPG", 1600, 1200);
  WritePicture("C:\\GLENVUE\\B.BMP", 1000, 500);
  WritePicture("C:\\GLENVUE\\IMG.01.JPG", 900, 700);
  StartWith("REDUX=0\r\nQUALITY=100\r\nAUTODELETE=0\r\n");
  auto& f = Form();
  Place(0, 2);  // JPEG, REDUX off, quality 100: byte for byte
  EXPECT_EQ(Slurp(winfs::ToHost(std::string(kUser) + "PTEMP_00.JPG")),
            Slurp(winfs::ToHost("C:\\GLENVUE\\A.JPG")));
  // A bitmap is always re-encoded as JPEG and reduced.
  Place(1, 4);
  const auto bmp = Size(std::string(kUser) + "PTEMP_01.JPG");
  EXPECT_EQ(bmp.format, "JPEG");
  EXPECT_EQ(bmp.width, 800);
  EXPECT_EQ(bmp.height, 400);
  // "IMG.01.JPG" has the extension "01.JPG": re-encoded and reduced too.
  Place(2, 3);
  EXPECT_EQ(Size(std::string(kUser) + "PTEMP_02.JPG").width, 771);
  EXPECT_EQ(Size(std::string(kUser) + "PTEMP_02.JPG").height, 600);
  EXPECT_EQ(f.imaComp[3].ThumbPath(), std::string(kUser) + "PTEMP_02.JPG");
  EXPECT_TRUE(app_.Boxes().empty()) << Boxes();
}

TEST_F(PlaceTest, AnotherQualityResavesAtTheOwnSize) {
  WritePicture("C:\\GLENVUE\\A.JPG", 1200, 900);
  StartWith("REDUX=0\r\nQUALITY=60\r\n");
  Place(0, 1);
  const std::string copy = std::string(kUser) + "PTEMP_00.JPG";
  EXPECT_EQ(Size(copy).width, 1200);
  EXPECT_NE(Slurp(winfs::ToHost(copy)), Slurp(winfs::ToHost(std::string(kTrash) + "A.JPG")));
  EXPECT_FALSE(Exists("C:\\GLENVUE\\A.JPG"));
}

TEST_F(PlaceTest, AFullUserDirectoryLeavesSlotReportAndPicturesAsTheyWere) {
  WritePicture("C:\\GLENVUE\\IMG_0001.JPG", 2000, 1500);
  StartWith("");
  FullDisk full(winfs::ToHost(kUser), "16k");
  if (!full.Mounted()) GTEST_SKIP() << "cannot mount a small file system here";
  auto& f = Form();
  const std::string report = std::string(kPhotos) + "CMP_1_3X5.JPG";
  app_.QueueAnswer(forms::vbYes);    // overwrite
  app_.QueueAnswer(forms::vbAbort);  // the disk-full box
  DragAndDrop(f.GeaThumb[0], f.imaComp[1]);
  ASSERT_EQ(app_.Boxes().size(), 2u) << Boxes();
  EXPECT_EQ(app_.Boxes()[1].title, "Error");
  EXPECT_NE(app_.Boxes()[1].prompt.find("Error # 61 in module FormatPictureNow"), std::string::npos)
      << app_.Boxes()[1].prompt;
  EXPECT_EQ(f.imaComp[1].ThumbPath(), report);
  EXPECT_TRUE(Exists(report));                                  // still where the report has it
  EXPECT_FALSE(Exists(std::string(kTrash) + "CMP_1_3X5.JPG"));  // and no copy left behind
  EXPECT_TRUE(Exists("C:\\GLENVUE\\IMG_0001.JPG"));
  EXPECT_FALSE(Exists(std::string(kTrash) + "IMG_0001.JPG"));
  EXPECT_TRUE(SetImages().empty());
}

TEST_F(PlaceTest, AFullTrashFolderNeverCostsTheSource) {
  WritePicture("C:\\GLENVUE\\IMG_0001.JPG", 700, 500);
  WritePicture("C:\\GLENVUE\\IMG_0002.JPG", 700, 500);
  StartWith("");
  FullDisk full(winfs::ToHost("C:\\GLENVUE") / "TRASHCAN", "4k");
  if (!full.Mounted()) GTEST_SKIP() << "cannot mount a small file system here";
  auto& f = Form();
  for (int answer : {forms::vbIgnore, forms::vbAbort}) {
    const int thumb = answer == forms::vbIgnore ? 0 : 1;
    app_.ClearBoxes();
    app_.QueueAnswer(answer);
    DragAndDrop(f.GeaThumb[thumb], f.imaComp[2 + thumb]);
    ASSERT_EQ(app_.Boxes().size(), 1u) << Boxes();
    EXPECT_NE(app_.Boxes()[0].prompt.find("Error # 61 in module SendToTrashCan"), std::string::npos)
        << app_.Boxes()[0].prompt;
    // Placed, but the source is not deleted without its trash copy.
    EXPECT_TRUE(Exists(std::string(kUser) + "PTEMP_0" + std::to_string(thumb) + ".JPG"));
    EXPECT_TRUE(Exists("C:\\GLENVUE\\IMG_000" + std::to_string(thumb + 1) + ".JPG"));
  }
  // The old picture of a filled slot cannot be kept: nothing is placed or handed to KEP.
  prefix_.WriteFile(std::string(kTrash) + "FULL.BIN", std::string(4096, 'x'));
  const std::string report = std::string(kPhotos) + "CMP_1_3X5.JPG";
  const std::string reportBytes = Slurp(winfs::ToHost(report));
  const auto handed = SetImages().size();
  app_.ClearBoxes();
  app_.QueueAnswer(forms::vbYes);
  app_.QueueAnswer(forms::vbAbort);
  DragAndDrop(f.GeaThumb[0], f.imaComp[1]);
  ASSERT_EQ(app_.Boxes().size(), 3u) << Boxes();
  EXPECT_EQ(app_.Boxes()[2].title, "Picture Not Placed");
  EXPECT_NE(app_.Boxes()[2].prompt.find("C:\\GLENVUE\\TRASHCAN\\"), std::string::npos);
  EXPECT_EQ(f.imaComp[1].ThumbPath(), report);
  EXPECT_TRUE(Slurp(winfs::ToHost(report)) == reportBytes);
  EXPECT_EQ(SetImages().size(), handed);
}

TEST_F(PlaceTest, ReadOnlyFilesStopTheStepAndKeepTheirPictures) {
  WritePicture("C:\\GLENVUE\\IMG_0001.JPG", 700, 500);
  WritePicture("C:\\GLENVUE\\IMG_0002.JPG", 700, 500);
  prefix_.WriteFile(std::string(kTrash) + "IMG_0001.JPG", "an older picture");
  winfs::SetAttr(std::string(kTrash) + "IMG_0001.JPG", winfs::kReadOnly);
  StartWith("");
  auto& f = Form();

  // A read-only trash copy of the same name is left alone: the source goes beside it.
  const std::string source = Slurp(winfs::ToHost("C:\\GLENVUE\\IMG_0001.JPG"));
  Place(0, 2);
  EXPECT_EQ(f.imaComp[2].ThumbPath(), std::string(kUser) + "PTEMP_00.JPG");
  EXPECT_EQ(Slurp(winfs::ToHost(std::string(kTrash) + "IMG_0001.JPG")), "an older picture");
  EXPECT_TRUE(Slurp(winfs::ToHost(std::string(kTrash) + "IMG_0001 (2).JPG")) == source);
  EXPECT_FALSE(Exists("C:\\GLENVUE\\IMG_0001.JPG"));
  EXPECT_TRUE(app_.Boxes().empty()) << Boxes();

  // A read-only slot copy cannot be replaced: the slot keeps it and the source stays.
  winfs::SetAttr(std::string(kUser) + "PTEMP_00.JPG", winfs::kReadOnly);
  const std::string kept = Slurp(winfs::ToHost(std::string(kUser) + "PTEMP_00.JPG"));
  app_.ClearBoxes();
  Place(1, 2);
  EXPECT_EQ(f.imaComp[2].ThumbPath(), std::string(kUser) + "PTEMP_00.JPG");
  EXPECT_EQ(Slurp(winfs::ToHost(std::string(kUser) + "PTEMP_00.JPG")), kept);
  EXPECT_TRUE(Exists("C:\\GLENVUE\\IMG_0002.JPG"));
  EXPECT_NE(Boxes().find("75"), std::string::npos) << Boxes();
  EXPECT_NE(Boxes().find("the folder C:\\Velmora\\User\\ may be written"), std::string::npos);
}

// KEP hangs while the picture is handed over, first at its first question, then at the SetImage
// itself.  Each step waits no longer than the link's timeout, the window is free again, and
// nothing is deleted that KEP did not take over: the report's old picture, the sources and the
// copies all stay.
TEST_F(PlaceTest, AHungKepFreesTheWindowAndCostsNoPicture) {
  WritePicture("C:\\GLENVUE\\IMG_0001.JPG", 640, 480);
  WritePicture("C:\\GLENVUE\\IMG_0002.JPG", 320, 240);
  WritePicture("C:\\GLENVUE\\IMG_0003.JPG", 320, 240);
  const std::string elsewhere = "C:\\KEPDATA\\OLD\\CMP2.JPG";  // a report picture outside the store
  WritePicture(elsewhere, 200, 100);
  report_.images.push_back("CMP_2_3X5=" + elsewhere);
  StartWith("");  // TRASHCAN and AUTODELETE on
  auto& f = Form();
  ASSERT_EQ(f.imaComp[2].ThumbPath(), elsewhere);
  f.txtDDE.SetLinkTimeout(10);
  const std::string report = std::string(kPhotos) + "CMP_1_3X5.JPG";
  const std::string reportBytes = Slurp(winfs::ToHost(report));
  const std::string copy = std::string(kUser) + "PTEMP_00.JPG";
  auto restartKep = [&](std::vector<std::string> hang) {
    kep_.reset();
    std::vector<std::string> args{"--prefix", prefix_.Prefix().string(), "--log",
                                  LogFile().string(), (prefix_.Root() / "report.rpt").string()};
    args.insert(args.end(), hang.begin(), hang.end());
    kep_ = std::make_unique<KepProcess>(dde_dir_, args);
  };

  for (int thumb : {0, 1}) {
    restartKep({"--hang-at", thumb == 0 ? "1" : "4"});  // 4: after ActiveReports, UserID, ListForms
    const auto took = testsupport::TimeOf([&] { Place(thumb, 1); });
    EXPECT_LT(took, testsupport::GenerousBound(2 * std::chrono::seconds(1)));
    EXPECT_EQ(f.MousePointer(), forms::vbDefault);
    EXPECT_NE(Boxes().find("Error # 286 in imaComp_DragDrop"), std::string::npos) << Boxes();
    app_.ClearBoxes();
    EXPECT_TRUE(Slurp(winfs::ToHost(report)) == reportBytes) << "placement " << thumb;
    const std::string source = "C:\\GLENVUE\\IMG_000" + std::to_string(thumb + 1) + ".JPG";
    EXPECT_TRUE(Exists(source)) << source;
    EXPECT_TRUE(f.GeaThumb[thumb].Visible());
    EXPECT_TRUE(Exists(copy));
  }
  EXPECT_EQ(Size(copy).width, 320);  // the second copy took the first one's name
  EXPECT_TRUE(Exists(std::string(kTrash) + "PTEMP_00.JPG"));  // after it went to the trash
  EXPECT_TRUE(SetImages().back().find("-> HUNG") != std::string::npos) << SetImages().back();

  // KEP back: the next drop is placed and handed over, and the old picture it replaces goes.
  restartKep({});
  Place(2, 2);
  EXPECT_NE(SetImages().back().find("PTEMP_01.JPG\\\" ) ]\\r\" -> OK"), std::string::npos)
      << SetImages().back();
  EXPECT_FALSE(Exists("C:\\GLENVUE\\IMG_0003.JPG"));
  EXPECT_TRUE(Exists(elsewhere));  // KEP's folders keep their files
  EXPECT_TRUE(Exists(std::string(kTrash) + "CMP2.JPG"));
}

TEST_F(PlaceTest, ALargeCameraPictureIsReducedWithoutAFullDecode) {
  WritePicture("C:\\GLENVUE\\BIG.JPG", 6000, 4000, 0xFF336699u);
  StartWith("");
  Place(0, 1);
  const auto info = Size(std::string(kUser) + "PTEMP_00.JPG");
  EXPECT_EQ(info.width, 800);
  EXPECT_EQ(info.height, 533);
  // An even colour stays even through the DCT scaling and the averaging.
  const auto pic = imaging::Load(winfs::ToHost(std::string(kUser) + "PTEMP_00.JPG"));
  const std::uint32_t px = pic.Pixel(400, 300);
  EXPECT_NEAR(static_cast<int>((px >> 16) & 0xFF), 0x33, 3);
  EXPECT_NEAR(static_cast<int>(px & 0xFF), 0x99, 3);
}

// A picture that cannot be read whole is refused: the slot, the report and both pictures stay.
TEST_F(PlaceTest, ABrokenPictureLeavesSlotAndReportAsTheyWere) {
  std::string bmp = "BM";  // 10000 x 10000 run-length coded, with one row of data
  for (const std::uint32_t v : {66u, 0u, 62u, 40u, 10000u, 10000u, 0x80001u, 1u, 6u, 0u, 0u, 2u, 0u,
                                0u, 0xFFFFFFu, 0x01FFu}) {
    for (int b = 0; b < 32; b += 8) bmp += static_cast<char>(v >> b & 0xFF);
  }
  prefix_.WriteFile("C:\\GLENVUE\\BROKEN.BMP", bmp);
  StartWith("");
  auto& f = Form();
  const std::string report = std::string(kPhotos) + "CMP_1_3X5.JPG";
  const std::string reportBytes = Slurp(winfs::ToHost(report));
  Place(0, 1);
  EXPECT_NE(Boxes().find("481"), std::string::npos) << Boxes();
  EXPECT_EQ(f.imaComp[1].ThumbPath(), report);
  EXPECT_TRUE(Slurp(winfs::ToHost(report)) == reportBytes);
  EXPECT_TRUE(SetImages().empty());
  EXPECT_TRUE(Exists("C:\\GLENVUE\\BROKEN.BMP"));
  EXPECT_FALSE(Exists(std::string(kTrash) + "CMP_1_3X5.JPG"));  // and nothing behind
}

// Camera pictures carry an orientation tag: every one is shown upright in the strip and the slot,
// and the copy for the report is written upright whichever way it is written (reduced,
// re-encoded at its own size, or the unchanged copy).
TEST_F(PlaceTest, EveryOrientationIsShownAndWrittenUpright) {
  for (int o = 1; o <= 8; ++o) WriteOriented("C:\\GLENVUE\\O" + std::to_string(o) + ".JPG", o);
  StartWith("");
  auto& f = Form();
  for (int o = 1; o <= 8; ++o) {
    SCOPED_TRACE("orientation " + std::to_string(o));
    EXPECT_EQ(f.GeaThumb[o - 1].ThumbPath(), "C:\\GLENVUE\\O" + std::to_string(o) + ".JPG");
    EXPECT_EQ(f.GeaThumb[o - 1].ImageWidth(), 160);
    EXPECT_EQ(f.GeaThumb[o - 1].ImageHeight(), 120);
    EXPECT_EQ(oriented::Quadrants(f.GeaThumb[o - 1].DisplayImage()), oriented::kUpright);
  }
  Place(5, 1);  // orientation 6, reduced and re-encoded
  ExpectUprightCopy(std::string(kUser) + "PTEMP_00.JPG");
  EXPECT_EQ(oriented::Quadrants(f.imaComp[1].DisplayImage()), oriented::kUpright);
  core::gbRedux = core::vbFalse;
  core::gJpegQuality = 100;
  Place(7, 2);  // orientation 8: the copy that is otherwise byte for byte
  ExpectUprightCopy(std::string(kUser) + "PTEMP_01.JPG");
  EXPECT_EQ(oriented::Quadrants(f.imaComp[2].DisplayImage()), oriented::kUpright);
  Place(0, 3);  // orientation 1: still byte for byte
  EXPECT_EQ(Slurp(winfs::ToHost(std::string(kUser) + "PTEMP_02.JPG")),
            Slurp(winfs::ToHost(std::string(kTrash) + "O1.JPG")));
  core::gJpegQuality = 90;
  Place(2, 4);  // orientation 3: saved again at its own size
  ExpectUprightCopy(std::string(kUser) + "PTEMP_03.JPG");
  ASSERT_EQ(app_.Boxes().size(), 1u) << Boxes();  // only: overwrite the report's own picture
  EXPECT_EQ(app_.Boxes()[0].prompt.rfind("Overwrite ", 0), 0u);
}

}  // namespace
}  // namespace mainwindow
