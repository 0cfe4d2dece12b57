// Drag source and feedback, the drop checks, showing report pictures in their slots and the
// photo-object names.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/frmMainControls.h"
#include "core/modVelmod.h"
#include "core/modVelmodDrag.h"
#include "platform/forms/Drag.h"
#include "platform/imaging/Imaging.h"
#include "platform/vbrt/Strings.h"
#include "platform/vbrt/VbError.h"
#include "tests/support/CoreFixture.h"

namespace {

using namespace core;

class DragTest : public CoreFixture {
 protected:
  DragTest() {
    gAppDir = "C:\\Velmora\\";
    gUserDir = "C:\\Velmora\\";
    form.CreateElements();
    form.imaDragDrop[0].SetPicture(forms::StdPicture(Pixels(4, 4), "res:drag0"));
    form.imaDragDrop[1].SetPicture(forms::StdPicture(Pixels(5, 5), "res:drag1"));
    SetMainForm(&form);
  }
  ~DragTest() override {
    forms::DragDriver::Instance().Cancel();
    SetMainForm(nullptr);
  }

  static imaging::Picture Pixels(int w, int h) {
    return imaging::Picture::FromPixels(w, h, std::vector<std::uint32_t>(w * h, 0xFF000000u));
  }
  void WriteJpeg(const std::string& winPath) {
    const auto host = prefix.WriteFile(winPath, "");
    imaging::SaveJpeg(Pixels(16, 12), host, 90);
  }
  forms::StdPicture Icon1() const { return form.imaDragDrop[1].Picture(); }

  MainFormControls form{"frmMain", "-"};
};

TEST_F(DragTest, MouseDownGivesTheIconAndStartsTheDrag) {
  forms::Gear& thumb = form.GeaThumb[4];
  SourceMouseDown(thumb);
  EXPECT_EQ(thumb.DragIcon().Source(), "res:drag0");
  auto& driver = forms::DragDriver::Instance();
  EXPECT_TRUE(driver.Active());
  EXPECT_EQ(driver.Source(), &thumb);
  EXPECT_EQ(vb::RTrim(gCurrentProc.str()), "SourceMouseDown");
}

TEST_F(DragTest, DragSourcePathIsTheThumbPathUntrimmedOrEmpty) {
  forms::Gear& slot = form.imaComp[2];
  slot.SetThumbPath(" C:\\PICS\\A.JPG ");
  SetDragSource(slot);
  EXPECT_EQ(gDragSourcePath, " C:\\PICS\\A.JPG ");
  slot.SetThumbPath("   ");
  SetDragSource(slot);
  EXPECT_EQ(gDragSourcePath, "");
}

TEST_F(DragTest, EnterAndLeaveGiveTheIconAgainToTheListedSourcesOnly) {
  forms::Gear& thumb = form.GeaThumb[0];
  forms::Gear& general = form.imaGeneral[3];
  forms::Gear& extended = form.imaExtended[3];
  forms::Gear& reo = form.imaReoListing[1];
  for (forms::Gear* g : {&thumb, &general, &extended, &reo}) g->SetDragIcon(Icon1());

  TargetDragOverKep(thumb, 0, 0, forms::vbOver);
  EXPECT_EQ(thumb.DragIcon().Source(), "res:drag1");
  TargetDragOverKep(thumb, 0, 0, forms::vbEnter);
  EXPECT_EQ(thumb.DragIcon().Source(), "res:drag0");
  TargetDragOverKep(general, 0, 0, forms::vbLeave);
  EXPECT_EQ(general.DragIcon().Source(), "res:drag0");
  TargetDragOverKep(extended, 0, 0, forms::vbEnter);
  TargetDragOverKep(reo, 0, 0, forms::vbLeave);
  EXPECT_EQ(extended.DragIcon().Source(), "res:drag1");
  EXPECT_EQ(reo.DragIcon().Source(), "res:drag1");
}

TEST_F(DragTest, ValidateDataAndUserDirectory) {
  WriteJpeg("C:\\PICS\\A.JPG");
  EXPECT_TRUE(ValidateData(3, "C:\\PICS\\A.JPG"));
  EXPECT_FALSE(ValidateData(-1, "C:\\PICS\\A.JPG"));
  EXPECT_FALSE(ValidateData(3, "C:\\PICS\\B.JPG"));
  EXPECT_FALSE(ValidateData(3, ""));
  EXPECT_TRUE(app.Boxes().empty());

  EXPECT_FALSE(ValidateData(3, "C:\\NOWHERE\\A.JPG"));
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt,
            "The filename 'C:\\NOWHERE\\A.JPG' does not exist or is invalid.");

  // The user directory's text is searched for the path's text, not the other way round.
  EXPECT_FALSE(IsInUserDir("C:\\Velmora\\PTEMP_01.JPG"));
  EXPECT_TRUE(IsInUserDir(""));
  EXPECT_TRUE(IsInUserDir(" velmora "));
}

TEST_F(DragTest, ReportPicturesGoToTheSlotTheirObjectNames) {
  WriteJpeg("C:\\PICS\\A.JPG");
  const std::string pic = "C:\\PICS\\A.JPG";
  LocateAndDisplay("GN_12_4X6", pic);
  LocateAndDisplay("XP_5_3X5", pic);
  LocateAndDisplay("RCMP_2_3X5", pic);
  LocateAndDisplay("ECMP_1_", pic);
  LocateAndDisplay(" alt_6_3x5 ", pic);
  EXPECT_EQ(form.imaGeneral[12].ThumbPath(), pic);
  EXPECT_EQ(form.imaExtended[5].ThumbPath(), pic);
  EXPECT_EQ(form.imaRental[2].ThumbPath(), pic);
  EXPECT_EQ(form.imaReo2Listing[1].ThumbPath(), pic);
  EXPECT_EQ(form.imaAltComp[6].ThumbPath(), pic);
  EXPECT_TRUE(form.imaReo2Listing[1].HasImage());
  // Other families with the same number stay as they were.
  EXPECT_EQ(form.imaReoListing[1].ThumbPath(), "");
  EXPECT_EQ(form.imaListing[1].ThumbPath(), "");
  EXPECT_EQ(form.imaComp[6].ThumbPath(), "");
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(DragTest, SkippedAndUnreadableObjectsLeaveTheSlots) {
  WriteJpeg("C:\\PICS\\A.JPG");
  const std::string missing = "C:\\PICS\\GONE.JPG";
  gbFileInUserDir = vbTrue;
  LocateAndDisplay("sub_title", missing);
  LocateAndDisplay(" MAP_LOCATION ", missing);
  LocateAndDisplay("Sketch_Subject", missing);
  LocateAndDisplay("", missing);
  EXPECT_EQ(gbFileInUserDir, vbTrue);  // skipped before any check

  LocateAndDisplay("GN_3_3X5", missing);  // the file is missing
  EXPECT_EQ(gbFileInUserDir, vbFalse);
  LocateAndDisplay("CMP_2_3X5", "");
  EXPECT_EQ(gbFileInUserDir, vbTrue);  // an empty path is "in" the user directory

  gbFileInUserDir = vbTrue;
  LocateAndDisplay("XP_5", "C:\\PICS\\A.JPG");  // no second "_": no slot number
  EXPECT_EQ(form.imaExtended[5].ThumbPath(), "");
  EXPECT_EQ(gbFileInUserDir, vbFalse);
  EXPECT_EQ(ObjectSlotIndex("XP_5"), -1);
  EXPECT_EQ(ObjectSlotIndex("CMP__3X5"), -1);
  EXPECT_EQ(ObjectSlotIndex("CMP_12_3X5"), 12);

  LocateAndDisplay("ZZZ_1_3X5", "C:\\PICS\\A.JPG");  // no family: nothing happens
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(DragTest, ASlotNumberWithoutElementGoesToTheCaller) {
  WriteJpeg("C:\\PICS\\A.JPG");
  try {
    LocateAndDisplay("CMP_10_3X5", "C:\\PICS\\A.JPG");
    FAIL() << "no error";
  } catch (const vb::VbError& e) {
    EXPECT_EQ(e.Number(), 340);
  }
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(DragTest, ObjectNamesFollowTabSlotAndListingPage) {
  EXPECT_EQ(PhotoObjectBase(form.TabComp, form.imaComp[3], 3), "CMP_3_");
  EXPECT_EQ(PhotoObjectBase(form.TabComp, form.imaAltComp[2], 2), "ALT_2_");
  EXPECT_EQ(PhotoObjectBase(form.TabSubject, form.imaSubject[1], 1), "SUB_1_");
  EXPECT_EQ(PhotoObjectBase(form.TabRental, form.imaRental[9], 9), "RCMP_9_");
  EXPECT_EQ(PhotoObjectBase(form.TabGeneral, form.imaGeneral[36], 36), "GN_36_");
  EXPECT_EQ(PhotoObjectBase(form.tabExtended, form.imaExtended[13], 13), "XP_13_");
  const std::vector<std::string> listing = {"LCMP", "LCMP", "OCMP", "ECMP", "SCMP", "SCMP"};
  for (int page = 0; page < 6; ++page) {
    form.TabListing.SetTab(page);
    // The page shown decides, whatever array the slot belongs to.
    EXPECT_EQ(SlotPrefix(form.TabListing, form.imaListing[1]), listing[page]) << page;
    EXPECT_EQ(SlotPrefix(form.TabListing, form.imaSpecificListing[1]), listing[page]) << page;
  }
  EXPECT_EQ(PhotoObjectBase(form.TabComp, form.imaComp[1], -1), "MAP_LOCATION");
  EXPECT_EQ(PhotoObjectBase(form.TabComp, form.imaComp[1], -2), "MAP_GENERAL_1");
  EXPECT_EQ(PhotoObjectBase(form.TabComp, form.imaComp[1], -3), "FAX_SCAN_A");
  EXPECT_EQ(PhotoObjectBase(form.TabComp, form.imaComp[1], -4), "");
  EXPECT_EQ(SlotPrefix(form.TabData, form.imaComp[1]), "");
}

}  // namespace
