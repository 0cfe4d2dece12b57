// The main window against kep.exe under Wine, through the bridge: start-up finds the report, a
// thumbnail dropped on a slot ends up in KEP's store, and KEP killed in the middle of a
// placement costs no picture.

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "core/modVelmod.h"
#include "core/modVelmodSlots.h"
#include "tests/integration/MainWindowFixture.h"
#include "tests/integration/wine/WineSession.h"
#include "tools/frmGenView.h"

namespace mainwindow {
namespace {

constexpr const char* kUser = "C:\\Velmora\\User\\";

class MainWindowUnderWine : public UnderWine<MainWindowFixture> {
 protected:
  int Count(const std::string& kind, const std::string& what) const {
    int n = 0;
    for (const auto& line : Log(kind)) n += line.find(what) != std::string::npos;
    return n;
  }
};

TEST_F(MainWindowUnderWine, ADroppedThumbnailIsPlacedInTheReportOfKepExe) {
  WritePicture("C:\\GLENVUE\\IMG_0001.JPG", 1600, 1200);
  StartKep();
  ASSERT_TRUE(StartShown()) << Boxes();
  ASSERT_EQ(core::gbKepReportActive, core::vbTrue);
  EXPECT_EQ(core::gCurrentReport, kReportName);
  EXPECT_EQ(f().imaComp[1].ThumbPath(), std::string(kPhotos) + "CMP_1_3X5.JPG");  // from IMAGES

  DragAndDrop(f().GeaThumb[0], f().imaComp[2]);
  const std::string copy = std::string(kUser) + "PTEMP_00.JPG";
  EXPECT_EQ(f().imaComp[2].ThumbPath(), copy);
  EXPECT_EQ(Size(copy).width, 800);
  const auto images = SetImages();
  ASSERT_EQ(images.size(), 1u) << Boxes();
  EXPECT_NE(images[0].find("CMP_2_3X5"), std::string::npos) << images[0];
  EXPECT_NE(images[0].find("-> OK"), std::string::npos) << images[0];
  // KEP read the copy by the path Velmora handed it: the same file in the same prefix.
  EXPECT_EQ(Slurp(winfs::ToHost(std::string(kPhotos) + "CMP_2_3X5.JPG")),
            Slurp(winfs::ToHost(copy)));
  EXPECT_TRUE(app_.Boxes().empty()) << Boxes();
}

// "Ł" is not in KEP's code page (Windows-1252): a best-fit "L" would name another folder, so the
// picture is not handed over, the user learns which folder KEP cannot read, nothing is lost.
TEST_F(MainWindowUnderWine, AFolderKepCannotReadIsNamedAndNothingIsHandedOver) {
  WritePicture("C:\\GLENVUE\\IMG_0001.JPG", 900, 700);
  WriteIni("SCREENSIZE=0\r\n");
  std::string ini = Slurp(prefix_.Host("C:\\APPRAISE\\VELMORA.INI"));
  prefix_.WriteFile("C:\\APPRAISE\\VELMORA.INI",
                    ini.replace(ini.find("Velmora\\User"), 12, "Velmora\\Łódź"));
  prefix_.MakeDir("C:\\Velmora\\Łódź");
  prefix_.WriteFile("C:\\Velmora\\Lódz\\PTEMP_00.JPG", "another picture");  // best fit
  StartKep();
  ASSERT_TRUE(StartShown()) << Boxes();
  const std::string shown = f().imaComp[2].ThumbPath();

  DragAndDrop(f().GeaThumb[0], f().imaComp[2]);
  EXPECT_TRUE(SetImages().empty());
  ASSERT_EQ(app_.Boxes().size(), 1u) << Boxes();
  EXPECT_EQ(app_.Boxes()[0].title, "Picture Not Placed");
  EXPECT_NE(app_.Boxes()[0].prompt.find("\"Łódź\""), std::string::npos) << Boxes();
  EXPECT_EQ(f().imaComp[2].ThumbPath(), shown);
  EXPECT_TRUE(Exists("C:\\GLENVUE\\IMG_0001.JPG"));
}

// KEP refuses a caption its code page cannot hold (285): nothing is placed, and the caption box
// shows again what the report holds.
TEST_F(MainWindowUnderWine, ARefusedCaptionGoesBackInItsBox) {
  WritePicture("C:\\GLENVUE\\IMG_0001.JPG", 900, 700);
  StartKep();
  ASSERT_TRUE(StartShown()) << Boxes();
  const std::string held = f().cboGeneral[4].Text();
  app_.QueueModal("frmGenView", [](forms::Form& form) {
    auto& w = dynamic_cast<tools::frmGenView&>(form);
    w.txtView.UserSetText("Łazienka Łódź");
    w.cmdOK.UserClick();
  });
  DragAndDrop(f().GeaThumb[0], f().imaGeneral[4]);
  ASSERT_EQ(app_.Boxes().size(), 1u) << Boxes();
  EXPECT_NE(app_.Boxes()[0].prompt.find("285"), std::string::npos) << Boxes();
  EXPECT_EQ(f().cboGeneral[4].Text(), held);
  EXPECT_TRUE(SetImages().empty());
  EXPECT_TRUE(Exists("C:\\GLENVUE\\IMG_0001.JPG"));
}

TEST_F(MainWindowUnderWine, KepKilledDuringAPlacementLosesNoPicture) {
  WritePicture("C:\\GLENVUE\\IMG_0001.JPG", 900, 700);
  WritePicture("C:\\GLENVUE\\IMG_0002.JPG", 900, 700);
  // KEP hangs at the placement's SetImage and is killed while that SetImage waits for its answer.
  kep_ = std::make_unique<KepProcess>(
      dde_dir_,
      std::vector<std::string>{"--prefix", prefix_.Prefix().string(), "--log", LogFile().string(),
                               WriteReport(report_).string(), "--hang-at", "SetImage"},
      kep_launcher_);
  ASSERT_TRUE(StartShown()) << Boxes();
  std::atomic<bool> done{false};
  std::thread killer([&] {
    while (!done && Count("EXECUTE", "-> HUNG") == 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (!done) kep_->Kill();
  });
  DragAndDrop(f().GeaThumb[0], f().imaComp[2]);
  done = true;
  killer.join();
  ASSERT_EQ(Count("EXECUTE", "SetImage"), 1) << "KEP died before the SetImage reached it";

  // Nothing is deleted.  The SetImage that lost KEP half-way is reported by the drop (291), as
  // over the sockets, and keeps its copy, since KEP may have taken it.
  EXPECT_TRUE(Exists("C:\\GLENVUE\\IMG_0001.JPG"));
  ASSERT_EQ(app_.Boxes().size(), 1u) << Boxes();
  const std::string copy = std::string(kUser) + "PTEMP_00.JPG";
  EXPECT_NE(app_.Boxes()[0].prompt.find("291"), std::string::npos) << Boxes();
  EXPECT_EQ(f().imaComp[2].ThumbPath(), copy);
  EXPECT_TRUE(Exists(copy));

  // KEP gone: the next picture is not handed over either, and the user is told once.
  app_.ClearBoxes();
  DragAndDrop(f().GeaThumb[1], f().imaComp[3]);
  EXPECT_TRUE(core::IsEmptyPict(f().imaComp[3].ThumbPath())) << f().imaComp[3].ThumbPath();
  EXPECT_TRUE(Exists("C:\\GLENVUE\\IMG_0002.JPG"));
  ASSERT_EQ(app_.Boxes().size(), 1u) << Boxes();
  EXPECT_EQ(app_.Boxes()[0].title, "Picture Not Placed");
  EXPECT_TRUE(f().Loaded());
}

}  // namespace
}  // namespace mainwindow
