// The main window's layout file and the text rules of the window that need no KEP.

#include <gtest/gtest.h>

#include "photo_pages/frmMain.h"
#include "platform/forms/HeadlessApp.h"
#include "platform/forms/Layout.h"
#include "platform/vbrt/VbError.h"

namespace {

using photo_pages::frmMain;

TEST(FrmMainLayout, DeclaresEveryControlWithItsElements) {
  forms::HeadlessApp app;
  frmMain form("-");
  ASSERT_NO_THROW(forms::LoadLayoutFile(form, forms::LayoutPath("frmMain")));
  EXPECT_EQ(form.Width(), 15360);
  EXPECT_EQ(form.Height(), 10200);
  EXPECT_EQ(form.TabData.Tabs(), 6);
  EXPECT_EQ(form.TabComp.Tabs(), 5);
  EXPECT_EQ(form.TabGeneral.Tabs(), 12);
  EXPECT_EQ(form.TabListing.Tabs(), 6);
  EXPECT_EQ(form.TabRental.Tabs(), 3);
  EXPECT_EQ(form.tabExtended.Tabs(), 6);
  EXPECT_EQ(form.GeaThumb.Count(), 12);
  EXPECT_EQ(form.lbltag[11].GetFont().Name, "Arial Narrow");
  EXPECT_EQ(form.imaScroll.Count(), 12);
  EXPECT_EQ(form.imaGeneral.Count(), 38);  // 0..36 and 40
  EXPECT_EQ(form.imaExtended.Count(), 36);
  EXPECT_EQ(form.cboExtendedAddress.Count(), 36);
  EXPECT_EQ(form.imaDragDrop.Count(), 3);
  EXPECT_FALSE(form.imaDragDrop[0].Picture().Empty());
  EXPECT_EQ(form.filCapture.Pattern(), "*.jpg;*.bmp;*.tif");
  EXPECT_EQ(form.imaKep.ToolTipText(), "Refresh Link from Appraisals");
  EXPECT_EQ(form.imaTrash.ToolTipText(), "Trashcan Directory (Switch to/from)");
  EXPECT_EQ(form.mnuHelp_Entry[5].Caption(), "About Velmora ...");
  EXPECT_EQ(form.mnuTools_Entry_Maint[1].Caption(), "Delete Trashcan Photos");
  // Every slot family lies on its tab control's pages.
  EXPECT_EQ(form.imaComp[5].Container(), &form.TabComp);
  EXPECT_EQ(form.imaComp[5].TabPage(), 1);
  EXPECT_EQ(form.imaReo2Listing[2].TabPage(), 3);
  EXPECT_EQ(form.imaSpecificListing[4].TabPage(), 5);
  EXPECT_EQ(form.cboGeneral[36].TabPage(), 11);
}

TEST(FrmMainLayout, SlotsFitTheirTabControls) {
  forms::HeadlessApp app;
  frmMain form("-");
  forms::LoadLayoutFile(form, forms::LayoutPath("frmMain"));
  for (forms::Control* c : form.Controls()) {
    forms::Control* box = c->Container();
    if (box == nullptr || box->TypeName() == "Menu") continue;
    EXPECT_LE(c->Left() + c->Width(), box->Width()) << c->Name() << "(" << c->Index() << ")";
    EXPECT_LE(c->Top() + c->Height(), box->Height()) << c->Name() << "(" << c->Index() << ")";
  }
}

TEST(FindImageEntry, FindsTheEntryOfTheSlotAndNoOther) {
  const std::string list = "SCMP_1_3X5|C:\\A.JPG;CMP_10_3X5|C:\\B.JPG;cmp_1_3x5|C:\\c.jpg;";
  EXPECT_EQ(frmMain::FindImageEntry(list, "CMP_1_"), "cmp_1_3x5|C:\\c.jpg");
  EXPECT_EQ(frmMain::FindImageEntry(list, "SCMP_1_"), "SCMP_1_3X5|C:\\A.JPG");
  EXPECT_EQ(frmMain::FindImageEntry(list, "CMP_2_"), "");
  EXPECT_EQ(frmMain::FindImageEntry("XP_12_3X5|C:\\X.JPG;", "XP_1_"), "");
  EXPECT_EQ(frmMain::FindImageEntry("", "SUB_1_"), "");
}

TEST(FindImageEntry, AnUnclosedLastEntryRaises) {
  try {
    frmMain::FindImageEntry("SUB_1_3X5|C:\\A.JPG;CMP_1_3X5|C:\\B.JPG", "CMP_1_");
    FAIL() << "no error";
  } catch (const vb::VbError& e) {
    EXPECT_EQ(e.Number(), 5);
  }
}

TEST(CutDatFields, CutsNineFieldsUpperCasingAllButTheFirst) {
  auto f = frmMain::CutDatFields(" x1 , ua5 ,Address, CmpAddr ,10,comps,sale,1, 5 ");
  EXPECT_EQ(f[0], "x1");
  EXPECT_EQ(f[1], "UA5");
  EXPECT_EQ(f[2], "ADDRESS");
  EXPECT_EQ(f[3], "CMPADDR");
  EXPECT_EQ(f[5], "COMPS");
  EXPECT_EQ(f[7], "1");
  EXPECT_EQ(f[8], "5");
  // Field 9 stops at a further comma.
  EXPECT_EQ(frmMain::CutDatFields("a,b,c,d,e,f,g,h,i,j")[8], "I");
}

TEST(CutDatFields, ALineWithFewerThanTwoCommasHasNoFormType) {
  EXPECT_EQ(frmMain::CutDatFields("1,UA5")[1], "");
  EXPECT_EQ(frmMain::CutDatFields("UA5")[1], "");
  EXPECT_EQ(frmMain::CutDatFields("1,UA5,")[1], "UA5");
}

}  // namespace
