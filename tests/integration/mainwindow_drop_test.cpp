// Dragging pictures onto the photo slots of the main window: the checks that refuse a drop,
// the questions before a picture is replaced, the caption and address steps of the general and
// extended photos, and the slots' own drags and tooltips.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/modVelmod.h"
#include "platform/forms/Drag.h"
#include "tests/integration/MainWindowFixture.h"
#include "tools/frmGenView.h"

namespace mainwindow {
namespace {

constexpr const char* kEmpty = "C:\\Velmora\\empty.jpg";

class DropTest : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    UseOakLane();
    StartKep();
    ASSERT_TRUE(StartShown());
  }

  // The caption window's answer for the next drop: OK with this text, or Cancel.
  void AnswerCaptionWindow(const std::string& caption, bool ok = true) {
    app_.QueueModal("frmGenView", [caption, ok](forms::Form& form) {
      auto& w = dynamic_cast<tools::frmGenView&>(form);
      if (!ok) {
        w.cmdCancel.UserClick();
        return;
      }
      w.txtView.UserSetText(caption);
      w.cmdOK.UserClick();
    });
  }

  std::string Store(const std::string& name) const { return kStore + name; }
};

TEST_F(DropTest, AThumbnailOnAnEmptyComparableIsPlacedWithoutAQuestion) {
  ASSERT_EQ(f().imaComp[2].ThumbPath(), kEmpty);
  DragAndDrop(f().GeaThumb[0], f().imaComp[2]);
  EXPECT_TRUE(app_.Boxes().empty());
  EXPECT_EQ(f().imaComp[2].ThumbPath().rfind("C:\\Velmora\\User\\PTEMP_", 0), 0u)
      << f().imaComp[2].ThumbPath();
  const auto sets = SetImages();
  ASSERT_EQ(sets.size(), 1u);
  EXPECT_NE(sets[0].find("CMP_2_3X5"), std::string::npos);
  // AUTODELETE is on: the placed thumbnail and its label leave the strip.
  EXPECT_FALSE(f().GeaThumb[0].Visible());
  EXPECT_FALSE(f().lbltag[0].Visible());
  EXPECT_EQ(f().MousePointer(), forms::vbDefault);
}

TEST_F(DropTest, WithoutAutoDeleteThePlacedThumbnailStays) {
  core::gbAutoDelete = core::vbFalse;
  DragAndDrop(f().GeaThumb[1], f().imaRental[1]);
  EXPECT_EQ(SetImages().size(), 1u);
  EXPECT_TRUE(f().GeaThumb[1].Visible());
  EXPECT_TRUE(f().lbltag[1].Visible());
}

TEST_F(DropTest, FilledSlotsAskTheirOwnQuestionAndNoKeepsEverything) {
  f().TabData.UserSelectTab(5);
  app_.QueueAnswers({forms::vbNo, forms::vbNo, forms::vbNo, forms::vbNo});
  DragAndDrop(f().GeaThumb[0], f().imaComp[1]);
  DragAndDrop(f().GeaThumb[0], f().imaSubject[1]);
  DragAndDrop(f().GeaThumb[0], f().imaGeneral[2]);
  DragAndDrop(f().GeaThumb[0], f().imaExtended[2]);
  ASSERT_EQ(app_.Boxes().size(), 4u);
  EXPECT_EQ(app_.Boxes()[0].prompt, "Overwrite " + Store("CMP_1_3X5.JPG"));
  EXPECT_EQ(app_.Boxes()[0].ButtonSet(), forms::vbYesNo);
  EXPECT_EQ(app_.Boxes()[1].prompt, "Replace " + Store("SUB_1_3X5.JPG"));
  EXPECT_EQ(app_.Boxes()[2].prompt, "Replace " + Store("GN_2_3X5.JPG") + "?");
  EXPECT_EQ(app_.Boxes()[3].prompt, "Replace " + Store("XP_2_3X5.JPG") + "?");
  EXPECT_EQ(f().imaComp[1].ThumbPath(), Store("CMP_1_3X5.JPG"));
  EXPECT_TRUE(SetImages().empty());
  EXPECT_TRUE(Log("POKE").empty());
  EXPECT_TRUE(f().GeaThumb[0].Visible());
  EXPECT_TRUE(winfs::FileExists("C:\\GLENVUE\\IMG_0001.JPG"));
}

TEST_F(DropTest, RefusedDropsChangeNothingAndSayNothing) {
  // A slot's picture onto another slot: the same family, or any slot (it came from a slot).
  DragAndDrop(f().imaComp[1], f().imaComp[2]);
  DragAndDrop(f().imaComp[1], f().imaRental[2]);
  EXPECT_EQ(core::gDragSourceKind, "KEP");
  // A page the report lacks.
  f().TabListing.SetTabCaption(f().TabListing.Tab(), "n/a ");
  DragAndDrop(f().GeaThumb[0], f().imaListing[1]);
  // No report open in KEP.
  core::gbKepReportActive = core::vbFalse;
  DragAndDrop(f().GeaThumb[0], f().imaComp[3]);

  EXPECT_TRUE(app_.Boxes().empty());
  EXPECT_TRUE(SetImages().empty());
  EXPECT_EQ(f().imaComp[2].ThumbPath(), kEmpty);
  EXPECT_EQ(f().imaRental[2].ThumbPath(), kEmpty);
  EXPECT_EQ(f().imaComp[3].ThumbPath(), kEmpty);
  EXPECT_TRUE(f().GeaThumb[0].Visible());
}

TEST_F(DropTest, TheSubjectPageHasNoMissingPageTest) {
  f().TabSubject.SetTabCaption(0, "N/A");
  app_.QueueAnswer(forms::vbYes);
  DragAndDrop(f().GeaThumb[2], f().imaSubject[1]);
  EXPECT_EQ(SetImages().size(), 1u);
}

TEST_F(DropTest, PressesOnSlotsAndTheirTooltips) {
  core::gDragSourceKind = "THUMB";
  f().imaComp[1].UserMouseDown(forms::vbRightButton, 0, 5, 5);
  EXPECT_EQ(core::gDragSourceKind, "THUMB");
  EXPECT_FALSE(forms::DragDriver::Instance().Active());
  // An empty slot also marks the drag as coming from a slot; a placeholder path still drags.
  f().imaComp[2].SetThumbPath("");
  f().imaComp[2].UserMouseDown(forms::vbLeftButton, 0, 5, 5);
  EXPECT_EQ(core::gDragSourceKind, "KEP");
  EXPECT_FALSE(forms::DragDriver::Instance().Active());
  f().imaReoListing[1].UserMouseDown(forms::vbMiddleButton, 0, 5, 5);
  EXPECT_TRUE(forms::DragDriver::Instance().Active());
  EXPECT_EQ(core::gDragSourcePath, kEmpty);
  forms::DragDriver::Instance().Cancel();

  f().imaComp[1].UserMouseMove(0, 0, 5, 5);
  EXPECT_EQ(f().imaComp[1].ToolTipText(), Store("CMP_1_3X5.JPG"));
  f().imaComp[3].UserMouseMove(0, 0, 5, 5);
  EXPECT_EQ(f().imaComp[3].ToolTipText(), "");
  f().imaGeneral[5].SetThumbPath("C:\\X\\CANCEL/");
  f().imaGeneral[5].UserMouseMove(0, 0, 5, 5);
  EXPECT_EQ(f().imaGeneral[5].ToolTipText(), "");
  f().imaExtended[2].UserMouseMove(0, 0, 5, 5);
  f().imaReo2Listing[1].UserMouseMove(0, 0, 5, 5);
  EXPECT_EQ(f().imaExtended[2].ToolTipText(), "");
  EXPECT_EQ(f().imaReo2Listing[1].ToolTipText(), "");
}

TEST_F(DropTest, AGeneralDropSendsTheChosenCaptionAndAddressBeforeThePicture) {
  AnswerCaptionWindow("Kitchen");
  DragAndDrop(f().GeaThumb[0], f().imaGeneral[4]);
  EXPECT_EQ(f().cboGeneral[4].Text(), "Kitchen");
  EXPECT_EQ(f().cboGeneralAddress[4].Text(), "22 Oak Lane");  // the subject's address
  EXPECT_EQ(core::gGenViewAddr, "22 Oak Lane");
  EXPECT_EQ(core::gGenViewIndex, 4);
  const auto pokes = Log("POKE");
  ASSERT_EQ(pokes.size(), 2u);
  EXPECT_EQ(pokes[0], Poke("PH3G02|GENCAP|1", "Kitchen"));
  EXPECT_EQ(pokes[1], Poke("PH3G02|GENADDR|1", "22 Oak Lane"));
  const auto sets = SetImages();
  ASSERT_EQ(sets.size(), 1u);
  EXPECT_NE(sets[0].find("GN_4_3X5"), std::string::npos);
  // The pokes came before the picture.
  const auto lines = ReadLines(prefix_.Root() / "kep.log");
  size_t poke = 0, set = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] == pokes[1]) poke = i;
    if (lines[i] == sets[0]) set = i;
  }
  EXPECT_LT(poke, set);
  EXPECT_EQ(f().MousePointer(), forms::vbDefault);
}

TEST_F(DropTest, ACancelledGeneralCaptionPlacesAndSendsNothing) {
  f().cboGeneral[4].UserSetText("");
  AnswerCaptionWindow("", false);
  DragAndDrop(f().GeaThumb[0], f().imaGeneral[4]);
  EXPECT_EQ(core::gGenViewCaption, tools::kGenViewCancel);
  EXPECT_EQ(f().imaGeneral[4].ThumbPath(), kEmpty);
  EXPECT_EQ(f().cboGeneral[4].Text(), "");
  EXPECT_TRUE(Log("POKE").empty());
  EXPECT_TRUE(SetImages().empty());
  EXPECT_TRUE(f().GeaThumb[0].Visible());
  EXPECT_EQ(f().MousePointer(), forms::vbDefault);
}

TEST_F(DropTest, ACancelledExtendedCaptionBecomesGeneralViewAndIsPlaced) {
  f().TabData.UserSelectTab(5);
  f().tabExtended.UserSelectTab(1);  // photos 7 to 12
  AnswerCaptionWindow("", false);
  DragAndDrop(f().GeaThumb[1], f().imaExtended[8]);
  EXPECT_EQ(f().cboExtended[8].Text(), "General View 8");
  EXPECT_EQ(f().cboExtendedAddress[8].Text(), "22 Oak Lane");
  const auto pokes = Log("POKE");
  ASSERT_EQ(pokes.size(), 1u);
  EXPECT_EQ(pokes[0], Poke("PHT3502|XPTEXT|2", R"(22 Oak Lane\r\nGeneral View 8)"));
  const auto sets = SetImages();
  ASSERT_EQ(sets.size(), 1u);
  EXPECT_NE(sets[0].find("XP_8_3X5"), std::string::npos);
}

TEST_F(DropTest, ADeclinedExtendedDropStillTakesTheSubjectAddress) {
  f().TabData.UserSelectTab(5);
  f().cboExtendedAddress[2].UserSetText("");
  app_.QueueAnswer(forms::vbNo);
  DragAndDrop(f().GeaThumb[0], f().imaExtended[2]);
  EXPECT_EQ(f().cboExtendedAddress[2].Text(), "22 Oak Lane");
  EXPECT_EQ(f().imaExtended[2].ThumbPath(), Store("XP_2_3X5.JPG"));
  EXPECT_TRUE(Log("POKE").empty());
  EXPECT_TRUE(app_.ModalForms().empty());
}

TEST_F(DropTest, KepGoneDuringAGeneralDropKeepsTheReportsCaptionAndThePicture) {
  kep_->Stop();
  AnswerCaptionWindow("Rear View");
  DragAndDrop(f().GeaThumb[0], f().imaGeneral[5]);
  ASSERT_EQ(app_.Boxes().size(), 1u);
  EXPECT_EQ(app_.Boxes()[0].title, "Picture Not Placed");
  EXPECT_NE(Boxes().find("Make sure the report is open"), std::string::npos) << Boxes();
  EXPECT_EQ(f().cboGeneral[5].Text(), "");  // as the report holds it
  EXPECT_EQ(f().imaGeneral[5].ThumbPath(), kEmpty);
  EXPECT_TRUE(winfs::FileExists("C:\\GLENVUE\\IMG_0001.JPG"));
  EXPECT_TRUE(f().GeaThumb[0].Visible());
  EXPECT_EQ(f().MousePointer(), forms::vbDefault);
  EXPECT_TRUE(f().Loaded());
}

// KEP shows another report: neither caption nor picture goes to it.
TEST_F(DropTest, ACaptionedDropWhileKepShowsAnotherReportSendsNothing) {
  kep_.reset();
  report_ = MapleReport();
  StartKep();
  AnswerCaptionWindow("Kitchen");
  DragAndDrop(f().GeaThumb[0], f().imaGeneral[4]);
  f().TabData.UserSelectTab(5);
  AnswerCaptionWindow("Attic");
  DragAndDrop(f().GeaThumb[1], f().imaExtended[3]);
  EXPECT_TRUE(Log("POKE").empty()) << Log("POKE").front();
  EXPECT_TRUE(SetImages().empty());
  ASSERT_EQ(app_.Boxes().size(), 2u) << Boxes();
  EXPECT_EQ(app_.Boxes()[1].title, "Picture Not Placed");
  EXPECT_NE(app_.Boxes()[1].prompt.find("now shows another report than " + std::string(kReport)),
            std::string::npos)
      << Boxes();
  EXPECT_EQ(f().cboGeneral[4].Text(), "");
  EXPECT_EQ(f().cboExtended[3].Text(), "");
}

TEST_F(DropTest, ADropFromTheCaptureFileListRedrawsTheStrip) {
  core::gDragSourceKind = "THUMB";
  core::gDragSourcePath = "C:\\GLENVUE\\IMG_0001.JPG";
  f().filCapture.Drag();
  auto& d = forms::DragDriver::Instance();
  d.MoveOver(&f().imaComp[3], 10, 10);
  d.Drop(10, 10);
  EXPECT_EQ(SetImages().size(), 1u);
  EXPECT_FALSE(winfs::FileExists("C:\\GLENVUE\\IMG_0001.JPG"));  // AUTODELETE
  EXPECT_EQ(f().lbltag[0].Caption(), "IMG_0002.JPG");
  EXPECT_TRUE(f().GeaThumb[0].Visible());
}

}  // namespace
}  // namespace mainwindow
