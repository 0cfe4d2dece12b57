// The general and extended caption and address boxes sending their edits to the report, the
// photo tabs, and the window size presets.

#include <gtest/gtest.h>

#include <string>

#include "core/modVelmod.h"
#include "tests/integration/MainWindowFixture.h"

namespace mainwindow {
namespace {

class CaptionsTest : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    UseOakLane();
    StartKep();
    ASSERT_TRUE(StartShown());
  }
};

TEST_F(CaptionsTest, ExtendedEditsAreSentAsAddressCrLfCaption) {
  f().TabData.UserSelectTab(5);  // the extended section opens on its first page
  f().cboExtendedAddress[3].UserSetText("5 Elm Row");
  f().cboExtended[3].UserSetText("Porch");
  f().cboExtended[3].LostFocus();
  // A blank address takes the subject's address, in the box and in the report.
  f().cboExtendedAddress[4].UserSetText("  ");
  f().cboExtended[4].UserSetText("Shed");
  f().cboExtendedAddress[4].LostFocus();
  EXPECT_EQ(f().cboExtendedAddress[4].Text(), "22 Oak Lane");
  // Photo 8 lies on extended page 2, place 2.
  f().cboExtendedAddress[8].UserSetText("9 Ash Court");
  f().cboExtendedAddress[8].Click();
  // The composed text without the subject fallback: no address, no caption, or both missing.
  f().KepSendExtendedAddress(5, "", "Attic");
  f().KepSendExtendedAddress(6, " ", " ");

  const auto pokes = Log("POKE");
  ASSERT_EQ(pokes.size(), 5u);
  EXPECT_EQ(pokes[0], Poke("PHT3501|XPTEXT|3", R"(5 Elm Row\r\nPorch)"));
  EXPECT_EQ(pokes[1], Poke("PHT3501|XPTEXT|4", R"(22 Oak Lane\r\nShed)"));
  EXPECT_EQ(pokes[2], Poke("PHT3502|XPTEXT|2", "9 Ash Court"));
  EXPECT_EQ(pokes[3], Poke("PHT3501|XPTEXT|5", R"(\r\nAttic)"));
  EXPECT_EQ(pokes[4], Poke("PHT3501|XPTEXT|6", ""));
  EXPECT_TRUE(app_.Boxes().empty());
}

TEST_F(CaptionsTest, ExtendedCaptionOnAMissingPageIsNotSentButItsAddressIsAndKepRefuses) {
  f().TabData.UserSelectTab(5);
  f().tabExtended.SetTab(2);  // "N/A": the report has no third extended page
  ASSERT_EQ(f().tabExtended.Caption(), "N/A");
  f().cboExtended[13].UserSetText("Roof");
  f().cboExtended[13].LostFocus();
  EXPECT_TRUE(Log("POKE").empty());

  // The address box sends; KEP refuses the page it lacks.  The refusal is reported once, the
  // window goes on, and the box keeps what was typed.
  f().cboExtendedAddress[13].UserSetText("7 Elm Row");
  f().cboExtendedAddress[13].LostFocus();
  const auto pokes = Log("POKE");
  ASSERT_EQ(pokes.size(), 1u);
  EXPECT_EQ(pokes[0].rfind(Poke("PHT3503|XPTEXT|1", R"(7 Elm Row\r\nRoof)", "REFUSE"), 0), 0u);
  ASSERT_EQ(app_.Boxes().size(), 1u);
  EXPECT_NE(app_.Boxes()[0].prompt.find("285"), std::string::npos);
  EXPECT_NE(app_.Boxes()[0].prompt.find("cboExtendedAddress_LostFocus"), std::string::npos);
  EXPECT_EQ(f().cboExtendedAddress[13].Text(), "7 Elm Row");
  EXPECT_EQ(f().cboExtended[13].Text(), "Roof");
}

TEST_F(CaptionsTest, GeneralEditsSendCaptionAndAddressButNotWhileLoading) {
  f().mbFormLoading = core::vbTrue;
  f().cboGeneral[2].UserSetText("Front view");
  f().cboGeneral[2].LostFocus();
  EXPECT_TRUE(Log("POKE").empty());

  f().mbFormLoading = core::vbFalse;
  f().cboGeneralAddress[2].UserSetText("");  // a blank general address is sent blank
  f().cboGeneralAddress[2].LostFocus();
  f().cboGeneral[6].UserSelect(1);  // picked from the list: "Kitchen"
  const auto pokes = Log("POKE");
  ASSERT_EQ(pokes.size(), 4u);
  EXPECT_EQ(pokes[0], Poke("PH3G01|GENCAP|2", "Front view"));
  EXPECT_EQ(pokes[1], Poke("PH3G01|GENADDR|2", ""));
  EXPECT_EQ(pokes[2], Poke("PH3G02|GENCAP|3", "Kitchen"));
  EXPECT_EQ(pokes[3], Poke("PH3G02|GENADDR|3", ""));
}

TEST_F(CaptionsTest, KepGoneDuringAnEditIsReportedOnceAndTheTextStays) {
  kep_->Stop();
  f().cboGeneral[1].UserSetText("Street");
  f().cboGeneral[1].LostFocus();
  f().cboExtendedAddress[1].UserSetText("1 Pine Way");
  f().cboExtendedAddress[1].LostFocus();
  ASSERT_EQ(app_.Boxes().size(), 2u);
  EXPECT_NE(app_.Boxes()[0].prompt.find("282"), std::string::npos);
  EXPECT_NE(app_.Boxes()[1].prompt.find("282"), std::string::npos);
  EXPECT_EQ(f().cboGeneral[1].Text(), "Street");
  EXPECT_EQ(f().cboExtendedAddress[1].Text(), "1 Pine Way");
  EXPECT_TRUE(f().Loaded());
}

// Filling the drop-down lists is no edit: a refresh from the KEP button leaves the report's
// general texts alone, also when the report lacks the first general page.
TEST_F(CaptionsTest, ARefreshSendsNoPokeWithOrWithoutTheFirstGeneralPage) {
  for (const bool withFirstPage : {true, false}) {
    SCOPED_TRACE(withFirstPage ? "with PH3G01" : "without PH3G01");
    kep_.reset();
    fs::remove(LogFile());
    report_ = OakReport();
    report_.fields.push_back("PH3G01|GENADDR|1=Lot 7 Neighbour Parcel");
    if (!withFirstPage) report_.forms = "UA5,SUBPHOTO,UA5XCMP,PH3CMP1,PH3G02,PHT3501,";
    StartKep();
    app_.ClearBoxes();
    f().RefreshAppraisal();
    EXPECT_TRUE(Log("POKE").empty()) << Log("POKE").size() << " pokes";
    EXPECT_TRUE(app_.Boxes().empty()) << app_.Boxes().size() << " boxes";
    if (withFirstPage) {
      EXPECT_EQ(f().cboGeneralAddress[1].Text(), "Lot 7 Neighbour Parcel");
      EXPECT_GE(f().cboGeneralAddress[1].ListCount(), 1);
      EXPECT_EQ(f().cboGeneralAddress[5].ListCount(), f().cboGeneralAddress[1].ListCount());
    }
  }
}

// After a caption went to the report, KEP switches to another report and the KEP button is
// pressed: the boxes show that report's texts, and the next caption goes into it.
TEST_F(CaptionsTest, AfterASwitchCaptionsGoToTheReportShown) {
  f().TabData.UserSelectTab(5);
  f().cboExtendedAddress[3].UserSetText("5 Elm Row");
  f().cboExtendedAddress[3].LostFocus();
  ASSERT_EQ(f().cboGeneral[2].Text(), "Front");
  kep_.reset();
  report_ = MapleReport();
  StartKep();
  f().imaKep.Click();
  EXPECT_EQ(f().TxtKepReport.Text(), kReportName);
  EXPECT_EQ(f().cboGeneral[2].Text(), "");  // the Maple report holds no caption there
  f().cboExtended[4].UserSetText("Shed");
  f().cboExtended[4].LostFocus();
  const auto pokes = Log("POKE");
  ASSERT_FALSE(pokes.empty()) << Boxes();
  EXPECT_EQ(pokes.back(), Poke("PHT3501|XPTEXT|4", R"(1427 Maple Court\r\nShed)"));

  // KEP back after a while without a report: a tab click's refresh lists the report as well.
  kep_.reset();
  StartKepWithoutReport();
  f().imaKep.Click();
  kep_.reset();
  report_ = OakReport();
  StartKep();
  f().TabComp.UserSelectTab(1);
  EXPECT_EQ(f().TxtKepReport.Text(), kReport);
}

TEST(ExtendedNames, PagesFieldsAndKeysByIndex) {
  using photo_pages::frmMain;
  EXPECT_EQ(frmMain::KepReturnExtendedKepPage("3X5_PHOTO_PAGES", 1), "PHT3501");
  EXPECT_EQ(frmMain::KepReturnExtendedKepPage("3X5_PHOTO_PAGES", 7), "PHT3502");
  EXPECT_EQ(frmMain::KepReturnExtendedKepPage("4X6_PHOTO_PAGES", 36), "PHT4606");
  EXPECT_EQ(frmMain::KepReturnExtendedKepPage("4X6_PHOTO_PAGES", 37), "");
  EXPECT_EQ(frmMain::KepReturnExtendedKepPage("4X6_PHOTO_PAGES", 0), "");
  EXPECT_EQ(frmMain::KepReturnExtendedKepPage("Descriptions", 3), "");
  EXPECT_EQ(frmMain::KepReturnExtendedAddr("", 6), "EXTENDED_ADDR_6");
  EXPECT_EQ(frmMain::KepReturnExtendedAddr("4X6_PHOTO_PAGES", 31), "EXTENDED_ADDR_1");
  EXPECT_EQ(frmMain::KepReturnExtendedAddr("3X5_PHOTO_PAGES", 37), "");
}

// ---- Tabs ---------------------------------------------------------------------------------------

TEST_F(CaptionsTest, AMissingPageIsRefusedWhileAReportIsOpen) {
  ASSERT_EQ(f().TabComp.TabCaption(4), "N/A");
  f().TabComp.UserSelectTab(1);
  f().TabComp.UserSelectTab(4);
  EXPECT_EQ(f().TabComp.Tab(), 1);
}

TEST_F(CaptionsTest, TheOuterTabBringsTheExtendedTabBackToItsFirstPage) {
  f().TabData.UserSelectTab(5);
  f().tabExtended.UserSelectTab(1);
  EXPECT_TRUE(f().imaExtended[7].Visible());
  f().TabData.UserSelectTab(0);
  EXPECT_EQ(f().tabExtended.Tab(), 0);
  f().ShowExtendedPage(2);
  for (int i = 1; i <= 36; ++i) {
    const bool shown = i >= 13 && i <= 18;
    EXPECT_EQ(f().imaExtended[i].Visible(), shown) << i;
    EXPECT_EQ(f().cboExtended[i].Visible(), shown) << i;
  }
  EXPECT_EQ(f().cboExtended[14].Top(),
            f().cboExtendedAddress[14].Top() + f().cboExtendedAddress[14].Height());
}

class WindowSizeTest : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    UseOakLane();
    ASSERT_TRUE(StartShown());
  }
  void Expect(int left, int top, int width, int height) {
    EXPECT_EQ(f().Left(), left);
    EXPECT_EQ(f().Top(), top);
    EXPECT_EQ(f().Width(), width);
    EXPECT_EQ(f().Height(), height);
  }
};

TEST_F(WindowSizeTest, APresetTheScreenCannotHoldFallsToASmallerOne) {
  app_.SetScreen(1280, 1024);
  core::gScreenSize = 5;
  f().SetWindowState(forms::vbMaximized);
  f().SetScreenSize();
  EXPECT_EQ(core::gScreenSize, 4);
  EXPECT_EQ(f().WindowState(), forms::vbNormal);
  Expect(0, 0, 19200, 13080);

  app_.SetScreen(800, 600);
  core::gScreenSize = 2;
  f().SetScreenSize();
  EXPECT_EQ(core::gScreenSize, 1);
  Expect(0, 0, 12000, 8400);
  EXPECT_TRUE(app_.Boxes().empty());
}

TEST_F(WindowSizeTest, AnUnknownPresetBecomesTwoAndATinyScreenIsRefused) {
  app_.SetScreen(640, 480);
  core::gScreenSize = 0;
  f().SetScreenSize();
  EXPECT_EQ(core::gScreenSize, 2);
  Expect(0, 0, 15360, 10200);

  f().Move(300, 200, 9000, 7000);
  f().SetScreenSize();  // preset 2 does not fit, nor does 1
  EXPECT_EQ(core::gScreenSize, 1);
  Expect(300, 200, 9000, 7000);
  ASSERT_EQ(app_.Boxes().size(), 1u);
  EXPECT_EQ(app_.Boxes()[0].title, "Resolution Too Small");
  EXPECT_EQ(app_.Boxes()[0].prompt, "Resize your video display to at least 800X600 resolution");
}

TEST_F(WindowSizeTest, TheFirstResizerNoticeEndsTheLoadingState) {
  f().mbFormLoading = core::vbTrue;
  f().RXResizer1_Resized();
  EXPECT_EQ(f().mbFormLoading, core::vbFalse);
}

}  // namespace
}  // namespace mainwindow
