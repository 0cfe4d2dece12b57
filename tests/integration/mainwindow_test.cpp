// The main window brought up headless on a throw-away prefix, against the kep stand-in running
// as a separate process: start-up, report refresh, slots, captions, and the write-back at exit.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "core/modVBCommon.h"
#include "core/modVelmod.h"
#include "tests/integration/MainWindowFixture.h"
#include "tests/support/GenerousBound.h"

namespace mainwindow {
namespace {

constexpr const char* kViews =
    "GENERALVIEW1=Street Scene\r\nGENERALVIEW2=Kitchen\r\nGENERALVIEW3=Rear View\r\n";

class MainWindowTest : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    WriteIni("SCREENSIZE=0\r\n", kViews);
    FillCapture();
  }

  // The Maple report with more addresses, captions and pictures.
  fs::path WriteReport(const std::string& name = kReportName, const std::string& forms = kForms) {
    Report report = MapleReport();
    report.name = name;
    report.forms = forms;
    report.fields.insert(
        report.fields.end(),
        {"UA5|CMPADDR|15=88 Alder Lane", "UA5|CMPADDR|20=2210 Birchwood Drive",
         "UA5XCMP|CMPADDR|10=19 Quarry Road", "UA5|RNTADDR|10=1433 Maple Court, Unit B",
         "UA5|REOADDR|15=99 Dock Street", "UA5|OREOADDR|15=503 Canal Street",
         "UA5|OREOADDR|10=9 Pier Road", "PH3G01|GENCAP|1=Street Scene",
         "PH3G01|GENADDR|1=1427 Maple Court", "PHT3501|XPTEXT|1=1427 Maple Court%0D%0ABasement",
         "PHT3501|XPTEXT|2=Garage only"});
    report.pictures.insert(report.pictures.end(), {"CMP_4_3X5", "GN_2_3X5"});
    report.images = {std::string("SUB_TITLE=") + kPhotos + "SUB_1_3X5.JPG",
                     "CMP_2_3X5=C:\\Velmora\\EMPTY.JPG"};
    return MainWindowFixture::WriteReport(report);
  }
};

TEST_F(MainWindowTest, FullStartShowsTheOpenReport) {
  prefix_.WriteFile("C:\\Velmora\\User\\PTEMP_01.JPG", "x");
  StartKep(WriteReport());
  ASSERT_TRUE(Start());
  photo_pages::frmMain& f = *form_;
  for (const auto& b : app_.Boxes()) ADD_FAILURE() << "box: " << b.title << ": " << b.prompt;

  EXPECT_EQ(f.Caption(), std::string("Corvane Velmora -  Version ") + VELMORA_VERSION);
  EXPECT_EQ(f.lblRPT.Caption(), kReportName);
  EXPECT_NE(f.lblRPT.ForeColor(), 128u);
  EXPECT_EQ(f.TxtKepReport.Text(), kReportName);
  EXPECT_EQ(f.txtKepListForms.Text(), kForms);
  EXPECT_EQ(core::gFormType, "UA5");

  // Addresses from velmod.dat's lines for UA5.
  EXPECT_EQ(f.lblSubjectAddr.Caption(), "1427 Maple Court");
  EXPECT_EQ(f.lblCompAddr[1].Caption(), "1502 Maple Court");
  EXPECT_EQ(f.lblCompAddr[3].Caption(), "2210 Birchwood Drive");
  EXPECT_EQ(f.lblCompAddr[4].Caption(), "19 Quarry Road");
  EXPECT_EQ(f.lblRentalAddr[1].Caption(), "1433 Maple Court, Unit B");
  EXPECT_EQ(f.lblReoListingAddr[2].Caption(), "503 Canal Street");
  // The later REO line, starting at entry 4, fills REO addresses 1 to 3 again.
  EXPECT_EQ(f.lblReoListingAddr[1].Caption(), "9 Pier Road");
  // A line repeated in another case is kept once.
  int reo2Lines = 0;
  for (int i = 0; i < f.lstForm.ListCount(); ++i) {
    if (f.lstForm.List(i).find("re2addr") != std::string::npos ||
        f.lstForm.List(i).find("RE2ADDR") != std::string::npos) {
      ++reo2Lines;
    }
  }
  EXPECT_EQ(reo2Lines, 1);

  // Slots: pictures of the image list, the placeholder elsewhere.
  EXPECT_EQ(f.imaSubject[1].ThumbPath(), std::string(kPhotos) + "SUB_1_3X5.JPG");
  EXPECT_TRUE(f.imaSubject[1].HasImage());
  EXPECT_EQ(f.imaComp[4].ThumbPath(), std::string(kPhotos) + "CMP_4_3X5.JPG");
  EXPECT_EQ(f.imaGeneral[2].ThumbPath(), std::string(kPhotos) + "GN_2_3X5.JPG");
  EXPECT_EQ(f.imaComp[2].ThumbPath(), "C:\\Velmora\\empty.jpg");
  EXPECT_EQ(f.imaComp[3].ThumbPath(), "C:\\Velmora\\empty.jpg");
  EXPECT_EQ(f.imaExtended[36].ThumbPath(), "C:\\Velmora\\empty.jpg");

  // Tabs: pages the report lacks read "N/A"; the first page of each section is shown.
  EXPECT_EQ(f.TabData.Tab(), 0);
  EXPECT_NE(f.TabComp.TabCaption(0), "N/A");
  EXPECT_EQ(f.TabComp.TabCaption(4), "N/A");
  EXPECT_EQ(f.TabRental.TabCaption(2), "N/A");
  EXPECT_EQ(f.tabExtended.TabCaption(2), "N/A");
  f.TabData.UserSelectTab(5);  // the extended section opens on its first page
  EXPECT_EQ(f.tabExtended.Tab(), 0);
  EXPECT_TRUE(f.imaExtended[1].Visible());
  EXPECT_FALSE(f.imaExtended[7].Visible());
  EXPECT_EQ(f.cboExtendedAddress[6].Top(), f.imaExtended[6].Top() + f.imaExtended[6].Height());
  f.tabExtended.UserSelectTab(1);
  EXPECT_TRUE(f.cboExtended[12].Visible());
  EXPECT_FALSE(f.cboExtended[6].Visible());

  // Caption lists and texts.
  EXPECT_EQ(f.lstViews.ListCount(), 3);
  EXPECT_EQ(f.cboGeneral[7].ListCount(), 3);
  EXPECT_EQ(f.cboExtended[30].ListCount(), 3);
  EXPECT_EQ(f.cboGeneral[1].Text(), "Street Scene");
  EXPECT_EQ(f.cboGeneralAddress[1].Text(), "1427 Maple Court");
  EXPECT_EQ(f.cboGeneralAddress[3].Text(), "");
  EXPECT_EQ(f.cboGeneralAddress[3].ListCount(), 8);  // subject, four comps, a rental, two REO
  EXPECT_EQ(f.cboGeneralAddress[2].ListCount(), f.cboGeneralAddress[1].ListCount());
  EXPECT_EQ(f.cboExtendedAddress[1].Text(), "1427 Maple Court");
  EXPECT_EQ(f.cboExtended[1].Text(), "Basement");
  EXPECT_EQ(f.cboExtendedAddress[2].Text(), "Garage only");
  EXPECT_EQ(f.cboExtended[2].Text(), "");
  EXPECT_EQ(f.cboExtendedAddress[13].Text(), "");  // a page the report lacks

  // Thumbnails of the capture directory.
  EXPECT_TRUE(f.GeaThumb[0].Visible());
  EXPECT_EQ(f.lbltag[0].Caption(), "IMG_0001.JPG");
  EXPECT_TRUE(f.GeaThumb[2].Visible());
  EXPECT_FALSE(f.GeaThumb[3].Visible());
  EXPECT_EQ(f.lblCapDir.Caption(), "C:\\GLENVUE");

  // Temporary copies of the last report are gone.
  EXPECT_FALSE(winfs::FileExists("C:\\Velmora\\User\\PTEMP_01.JPG"));

  // A second refresh adds no caption twice.
  f.RefreshAppraisal();
  EXPECT_EQ(f.lstViews.ListCount(), 3);
  EXPECT_EQ(f.cboExtended[1].ListCount(), 3);

  Close();
  const std::string ini = Ini();
  EXPECT_NE(ini.find("CAPTUREDIR=C:\\GLENVUE\\"), std::string::npos) << ini;
  EXPECT_NE(ini.find("IMAGE TYPE=JPG"), std::string::npos) << ini;
  EXPECT_NE(ini.find("PREVIEWCOPYPICS=1"), std::string::npos) << ini;
}

TEST_F(MainWindowTest, WithoutKepTheWindowStartsWithEmptyReportLabels) {
  ASSERT_TRUE(Start());
  EXPECT_TRUE(app_.Boxes().empty());
  EXPECT_EQ(form_->lblRPT.Caption(), "");
  EXPECT_EQ(form_->lblSubjectAddr.Caption(), "");
  EXPECT_EQ(core::gbKepReportActive, core::vbFalse);
  EXPECT_EQ(form_->lbltag[1].Caption(), "IMG_0002.JPG");
}

TEST_F(MainWindowTest, KepWithoutAReportOnlyBlanksTheLabels) {
  StartKepWithoutReport();
  ASSERT_TRUE(Start());
  EXPECT_TRUE(app_.Boxes().empty());
  EXPECT_EQ(form_->lblRPT.Caption(), "");
}

// A KEP that takes the connection and never answers: each of start-up's four conversations
// waits the link's timeout, not for ever, and start-up goes on as without KEP.
TEST_F(MainWindowTest, AKepThatNeverAnswersTheInitiateIsNoKep) {
  kep_ = std::make_unique<KepProcess>(
      dde_dir_,
      std::vector<std::string>{"--prefix", prefix_.Prefix().string(), "--log", LogFile().string(),
                               "--silent-initiate", WriteReport().string()});
  form_ = std::make_unique<photo_pages::frmMain>();
  form_->txtDDE.SetLinkTimeout(5);
  const auto took = testsupport::TimeOf([&] { form_->Load(); });
  EXPECT_LT(took, testsupport::GenerousBound(4 * std::chrono::milliseconds(500)));
  EXPECT_TRUE(app_.Boxes().empty()) << Boxes();
  EXPECT_EQ(core::gbKepReportActive, core::vbFalse);
  EXPECT_EQ(form_->lblRPT.Caption(), "");
  const auto connects = Log("CONNECT");
  ASSERT_EQ(connects.size(), 4u);
  EXPECT_EQ(connects[1], R"(CONNECT app="Kep" topic="" -> SILENT)");
  EXPECT_EQ(connects[3], R"(CONNECT app="KEP" topic="Query" -> SILENT)");
}

TEST_F(MainWindowTest, ASecondInstanceSaysSoAndEndsWithoutTouchingAnything) {
  StartKep(WriteReport());
  app_.SetPrevInstance(true);
  const std::string before = Ini();
  EXPECT_FALSE(Start());
  ASSERT_EQ(app_.Boxes().size(), 1u);
  EXPECT_EQ(app_.Boxes()[0].title, "Program Already Running in Memory");
  EXPECT_EQ(app_.Boxes()[0].ButtonSet(), forms::vbOKOnly);
  EXPECT_EQ(Ini(), before);
  EXPECT_FALSE(form_->Loaded());
  EXPECT_TRUE(core::gMainIniPath.empty());
  // No conversation with KEP took place.
  for (const auto& line : ReadLines(prefix_.Root() / "kep.log")) {
    EXPECT_EQ(line.rfind("CONNECT", 0), 0u) << line;
  }
}

TEST_F(MainWindowTest, MissingIniAnsweredYesRunsOnDefaultsAndWritesTheFileAtExit) {
  fs::remove(prefix_.Host("C:\\APPRAISE\\VELMORA.INI"));
  app_.QueueAnswer(forms::vbYes);
  ASSERT_TRUE(Start());
  ASSERT_FALSE(app_.Boxes().empty());
  EXPECT_EQ(app_.Boxes()[0].title, "Configuration File Missing");
  EXPECT_EQ(core::gAppDir, "C:\\Velmora\\");
  EXPECT_EQ(core::gCaptureDir, "C:\\GLENVUE\\");
  EXPECT_EQ(form_->lbltag[0].Caption(), "IMG_0001.JPG");
  const std::string iniPath = core::gMainIniPath;
  Close();
  ASSERT_TRUE(winfs::FileExists(iniPath)) << iniPath;
  EXPECT_NE(Slurp(winfs::ToHost(iniPath)).find("CAPTUREDIR=C:\\GLENVUE\\"), std::string::npos);
}

TEST_F(MainWindowTest, MissingIniAnsweredNoEndsTheProgram) {
  fs::remove(prefix_.Host("C:\\APPRAISE\\VELMORA.INI"));
  app_.QueueAnswer(forms::vbNo);
  EXPECT_FALSE(Start());
  EXPECT_EQ(app_.Boxes().size(), 1u);
  EXPECT_FALSE(winfs::FileExists("C:\\WINDOWS\\VELMORA.INI"));
  EXPECT_FALSE(winfs::FileExists("C:\\APPRAISE\\VELMORA.INI"));
}

TEST_F(MainWindowTest, MissingReferenceFileEndsTheProgramWritingNothing) {
  fs::remove(prefix_.Host("C:\\Velmora\\velmod.dat"));
  StartKep(WriteReport());
  const std::string before = Ini();
  EXPECT_FALSE(Start());
  ASSERT_EQ(app_.Boxes().size(), 1u);
  EXPECT_EQ(app_.Boxes()[0].title, "DAT file missing");
  EXPECT_EQ(app_.Boxes()[0].prompt, "velmod.datReference File NOT Found (from install)");
  EXPECT_EQ(app_.Boxes()[0].Icon(), forms::vbCritical);
  EXPECT_EQ(Ini(), before);
  EXPECT_EQ(form_->lblRPT.Caption(), "");  // the report refresh never ran
}

TEST_F(MainWindowTest, AnUnsupportedFormEndsTheProgramAfterTheSettingsAreWritten) {
  StartKep(WriteReport(kReportName, "ZZZ,SUBPHOTO,"));
  EXPECT_FALSE(Start());
  ASSERT_EQ(app_.Boxes().size(), 1u);
  EXPECT_EQ(app_.Boxes()[0].title, "Software Does Not Match Appraisal Form Type");
  EXPECT_EQ(app_.Boxes()[0].prompt,
            "This software is out of date for this form.  Please contact your software vendor "
            "for an update.");
  EXPECT_NE(Ini().find("IMAGE TYPE=JPG"), std::string::npos);
  EXPECT_FALSE(form_->Loaded());
}

TEST_F(MainWindowTest, ATemplateReportIsShownInRedAndKeepsTheTemporaryCopies) {
  prefix_.WriteFile("C:\\Velmora\\User\\ptemp_07.jpg", "x");
  StartKep(WriteReport(R"(C:\KEPDATA\Skels\BLANK.ZAP)"));
  ASSERT_TRUE(Start());
  EXPECT_EQ(form_->lblRPT.ForeColor(), 128u);
  EXPECT_EQ(form_->mbTemplateReport, core::vbTrue);
  EXPECT_TRUE(winfs::FileExists("C:\\Velmora\\User\\ptemp_07.jpg"));
}

TEST_F(MainWindowTest, ADownloadedUpdateIsMovedUpIntoTheProgramFolder) {
  prefix_.WriteFile("C:\\Velmora\\Update\\update.exe", "new program");
  prefix_.WriteFile("C:\\Velmora\\update.exe", "old program");
  ASSERT_TRUE(Start());
  EXPECT_FALSE(winfs::FileExists("C:\\Velmora\\Update\\update.exe"));
  EXPECT_EQ(Slurp(prefix_.Host("C:\\Velmora\\update.exe")), "new program");
}

TEST_F(MainWindowTest, ACaptureFolderOnAnUnlinkedDriveFallsBackToTheLocalDrive) {
  WriteIni("SCREENSIZE=0\r\n", kViews, "Q:\\PICS");
  StartKep(WriteReport());
  ASSERT_TRUE(Start());
  ASSERT_EQ(app_.Boxes().size(), 1u);
  EXPECT_EQ(app_.Boxes()[0].prompt,
            "Drive Q:\\PICS\\ is empty or unreadable.  Changing to the local drive.");
  EXPECT_EQ(core::GetFileDrive(core::gCaptureDir), "C:");
  EXPECT_EQ(form_->lblRPT.Caption(), kReportName);  // start-up went on to the end
}

TEST_F(MainWindowTest, CtrlRCyclesTheWindowSizeOncePerKeyPress) {
  ASSERT_TRUE(Start());
  photo_pages::frmMain& f = *form_;
  std::vector<int> seen;
  for (int i = 0; i < 6; ++i) {
    f.UserKeyDown(forms::vbKeyR, forms::vbCtrlMask);
    f.UserKeyDown(forms::vbKeyR, forms::vbCtrlMask);  // held: repeats nothing
    f.UserKeyUp(forms::vbKeyR, forms::vbCtrlMask);
    seen.push_back(core::gScreenSize);
  }
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 5, 1}));
  f.UserKeyDown(forms::vbKeyR, forms::vbCtrlMask | forms::vbShiftMask);
  EXPECT_EQ(core::gScreenSize, 1);
  Close();
  EXPECT_NE(Ini().find("SCREENSIZE=1"), std::string::npos);
}

TEST_F(MainWindowTest, ClosingWhileTheTrashFolderIsShownStoresTheCaptureFolder) {
  prefix_.WriteFile("C:\\GLENVUE\\TRASHCAN\\OLD.JPG", Slurp(kData / "photo.jpg"));
  ASSERT_TRUE(Start());
  // The trash button points the strip at the trash folder this way.
  core::gCaptureDir = "C:\\GLENVUE\\trashcan";
  form_->errdisplayThumbs();
  EXPECT_EQ(core::gCaptureDir, "C:\\GLENVUE\\trashcan\\");
  EXPECT_EQ(form_->lbltag[0].Caption(), "OLD.JPG");
  Close();
  const std::string ini = Ini();
  EXPECT_NE(ini.find("CAPTUREDIR=C:\\GLENVUE\\\r\n"), std::string::npos) << ini;
}

TEST_F(MainWindowTest, ClosingOnAnEmptyTrashFolderStoresTheCaptureFolderToo) {
  prefix_.MakeDir("C:\\GLENVUE\\TRASHCAN");
  ASSERT_TRUE(Start());
  core::gCaptureDir = "C:\\GLENVUE\\trashcan";
  form_->errdisplayThumbs();  // an empty folder: the strip adds no "\\"
  Close();
  const std::string ini = Ini();
  EXPECT_EQ(ini.find("TRASHCAN"), std::string::npos) << ini;
  EXPECT_EQ(ini.find("trashcan"), std::string::npos) << ini;
}

TEST_F(MainWindowTest, HelpKeyWithoutHelpFileSaysSoOnce) {
  ASSERT_TRUE(Start());
  form_->UserKeyDown(forms::vbKeyF1, 0);
  form_->UserKeyDown(forms::vbKeyF1, 0);
  ASSERT_EQ(app_.Boxes().size(), 1u);
  EXPECT_EQ(app_.Boxes()[0].title, "Help file not available");
  form_->UserKeyUp(forms::vbKeyF1, 0);
  prefix_.WriteFile("C:\\Velmora\\Velmora.chm", "help");
  form_->UserKeyDown(forms::vbKeyF1, 0);
  ASSERT_EQ(app_.ShellOpens().size(), 1u);
}

}  // namespace
}  // namespace mainwindow
