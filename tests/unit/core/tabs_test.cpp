// The photo-page rule read from KEP.INI and the tab rules of the main window.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/frmMainControls.h"
#include "core/kepcalls.h"
#include "core/modVelmod.h"
#include "core/modVelmodTabs.h"
#include "platform/vbrt/VbError.h"
#include "tests/support/CoreFixture.h"

namespace {

using namespace core;

class TabsTest : public CoreFixture {
 protected:
  TabsTest() {
    gKepIniPath = "C:\\APPRAISE\\KEP.INI";
    form.CreateElements();
    SetMainForm(&form);
  }
  ~TabsTest() override { SetMainForm(nullptr); }

  void WriteKepIni(const std::string& text) { prefix.WriteFile(gKepIniPath, text); }
  // Visible state of the three labels of a page: "111", "000" ...
  static std::string Shown(const forms::ControlArrayBase& array, int first) {
    std::string s;
    for (int i = first; i < first + 3; ++i) s += array.Find(i)->Visible() ? '1' : '0';
    return s;
  }
  // Every tab caption of a tab control, joined by "/".
  static std::string Captions(const forms::TabControl& tabs) {
    std::string s;
    for (int t = 0; t < tabs.Tabs(); ++t) s += (t ? "/" : "") + tabs.TabCaption(t);
    return s;
  }

  MainFormControls form{"frmMain", "-"};
};

constexpr const char* k3x5Report = "UA5,SUBPHOTO,PHT3501,";

TEST_F(TabsTest, ComparablePageOfA3x5Report) {
  WriteKepIni("[3X5_PHOTO_PAGES]\nCOMPARABLES_1=PHT3501\nCOMPARABLES_2=\n");
  EXPECT_EQ(KepPageSection("COMPARABLES_1", k3x5Report), "3X5_PHOTO_PAGES");
  EXPECT_EQ(KepFormHasPage("COMPARABLES_1", "3X5_PHOTO_PAGES", k3x5Report), "True");
  EXPECT_EQ(KepReturnPage("COMPARABLES_1", k3x5Report), "PHT3501");
  EXPECT_EQ(KepReturnPage("comparables_1", "ua5,subphoto,pht3501,"), "PHT3501");
  EXPECT_EQ(KepReturnPage("COMPARABLES_2", k3x5Report), "");
  EXPECT_EQ(KepReturnPage("COMPARABLES_3", k3x5Report), "");  // key missing

  form.TabComp.SetEnabled(false);
  form.lblCompAddr[5].SetVisible(true);
  TabDisable(k3x5Report);
  EXPECT_TRUE(form.TabComp.Enabled());
  EXPECT_EQ(Captions(form.TabComp), "1 - 3/N/A/N/A/N/A/N/A");
  EXPECT_EQ(Shown(form.lblCompAddr, 1), "111");
  EXPECT_EQ(Shown(form.lblCompAddr, 4), "000");
  EXPECT_EQ(Shown(form.lblCompAddr, 7), "000");
}

TEST_F(TabsTest, ValueIsReturnedAsStored) {
  WriteKepIni("[3X5_PHOTO_PAGES]\nCOMPARABLES_1=pht3501\n");
  EXPECT_EQ(KepReturnPage("COMPARABLES_1", k3x5Report), "pht3501");  // not upper-cased
}

TEST_F(TabsTest, A4x6PageIsNotOfferedWhenThe3x5SectionLacksTheKey) {
  WriteKepIni("[3X5_PHOTO_PAGES]\nSUBJECT_1=X\n[4X6_PHOTO_PAGES]\nCOMPARABLES_1=PHT4601\n");
  const std::string forms = "UA5,SUBPHOT2,PHT4601,";
  EXPECT_EQ(KepPageSection("COMPARABLES_1", forms), "3X5_PHOTO_PAGES");
  EXPECT_EQ(KepReturnPage("COMPARABLES_1", forms), "");
}

TEST_F(TabsTest, TheMainFormIsNeverAPage) {
  WriteKepIni("[3X5_PHOTO_PAGES]\nCOMPARABLES_1=UA5\n[4X6_PHOTO_PAGES]\nCOMPARABLES_1=UA5\n");
  EXPECT_EQ(KepFormHasPage("COMPARABLES_1", "3X5_PHOTO_PAGES", k3x5Report), "False");
  EXPECT_EQ(KepReturnPage("COMPARABLES_1", k3x5Report), "");
  EXPECT_EQ(KepReturnPage("COMPARABLES_1", "SUBPHOTO,UA5,"), "UA5");
}

TEST_F(TabsTest, AlternatePagesAreFormsNamedLikeTheKey) {
  WriteKepIni("[Descriptions]\nALTPH1=Alt Comps 1-3\nALTPH2=\n");
  const std::string forms = "UA5,SUBPHOTO,ALTPH1,ALTPH2,";
  EXPECT_EQ(KepPageSection("ALTPH1", forms), "Descriptions");
  EXPECT_EQ(KepReturnPage("ALTPH1", forms), "Alt Comps 1-3");
  EXPECT_EQ(KepReturnPage("ALTPH2", forms), "");       // no description
  EXPECT_EQ(KepReturnPage("ALTPH1", k3x5Report), "");  // not a form of the report
  EXPECT_EQ(KepPageSection("ALTPH1", k3x5Report), "");

  TestOtherTabs(forms);
  EXPECT_EQ(form.TabComp.TabCaption(3), "Alt 1 - 3");
  EXPECT_EQ(form.TabComp.TabCaption(4), "N/A");
  EXPECT_EQ(Shown(form.lblAltCompAddr, 1), "111");
  EXPECT_EQ(Shown(form.lblAltCompAddr, 4), "000");
}

TEST_F(TabsTest, EveryPageKindGetsItsCaptionAndLabels) {
  WriteKepIni(
      "[3X5_PHOTO_PAGES]\nSUBJECT_1=S1\nCOMPARABLES_3=C3\nGENERAL_2=G2\nGENERAL_12=G12\n"
      "LISTINGS_2=L2\nSPECIFIC_1=SP1\nREOS_1=R1\nREO2S_1=R2\nRENTALS_3=RN3\nEXTENDED_3=E3\n");
  const std::string forms = "UA5,SUBPHOTO,S1,C3,G2,G12,L2,SP1,R1,R2,RN3,E3,";
  form.TabSubject.SetVisible(false);
  TabDisable(forms);
  EXPECT_TRUE(form.TabSubject.Visible());
  EXPECT_EQ(Captions(form.TabComp), "N/A/N/A/7 - 9/N/A/N/A");
  EXPECT_EQ(Captions(form.TabGeneral), "N/A/P2/N/A/N/A/N/A/N/A/N/A/N/A/N/A/N/A/N/A/P12");
  EXPECT_EQ(Captions(form.TabListing), "N/A/LIST 4 - 6/REO 1 - 3/REO 2008 1-3/SPEC 1 - 3/N/A");
  EXPECT_EQ(Captions(form.TabRental), "N/A/N/A/7 - 9");
  EXPECT_EQ(Captions(form.tabExtended), "N/A/N/A/13 - 18/N/A/N/A/N/A");
  EXPECT_EQ(form.tabExtended.Tab(), 5);

  EXPECT_EQ(Shown(form.lblCompAddr, 7), "111");
  EXPECT_EQ(Shown(form.cboGeneral, 1), "000");
  EXPECT_EQ(Shown(form.cboGeneral, 4), "111");
  EXPECT_EQ(Shown(form.cboGeneral, 34), "111");
  EXPECT_EQ(Shown(form.lblListingAddr, 1), "000");
  EXPECT_EQ(Shown(form.lblListingAddr, 4), "111");
  EXPECT_EQ(Shown(form.lblReoListingAddr, 1), "111");
  EXPECT_EQ(Shown(form.lblReo2ListingAddr, 1), "111");
  EXPECT_EQ(Shown(form.lblSpecificListingAddr, 1), "111");
  EXPECT_EQ(Shown(form.lblSpecificListingAddr, 4), "000");
  EXPECT_EQ(Shown(form.lblRentalAddr, 7), "111");
  EXPECT_EQ(Shown(form.lblRentalAddr, 1), "000");
}

TEST_F(TabsTest, AnEmptyFormListOffersNoPage) {
  WriteKepIni("[3X5_PHOTO_PAGES]\nSUBJECT_1=S1\nCOMPARABLES_1=C1\n");
  form.TabSubject.SetVisible(false);
  TabDisable("");
  EXPECT_FALSE(form.TabSubject.Visible());
  for (auto* tabs :
       {&form.TabComp, &form.TabGeneral, &form.TabListing, &form.TabRental, &form.tabExtended}) {
    for (int t = 0; t < tabs->Tabs(); ++t) EXPECT_EQ(tabs->TabCaption(t), "N/A") << tabs->Name();
  }
  for (const forms::ControlArrayBase* array : std::initializer_list<const forms::ControlArrayBase*>{
           &form.lblCompAddr, &form.lblAltCompAddr, &form.lblRentalAddr, &form.lblListingAddr,
           &form.lblReoListingAddr, &form.lblReo2ListingAddr, &form.lblSpecificListingAddr,
           &form.cboGeneral}) {
    for (int i : array->Indexes()) EXPECT_FALSE(array->Find(i)->Visible()) << array->Name() << i;
  }
  // Pending events after each comparable, alternate, general and rental page.
  EXPECT_EQ(app.DoEventsCount(), 3 + 2 + 12 + 3);
}

TEST_F(TabsTest, ErsFormsGetTheListingPagesAnyway) {
  WriteKepIni("[3X5_PHOTO_PAGES]\nREOS_1=\n");
  TestOtherTabs("ERS,SUBPHOTO,");
  EXPECT_EQ(Captions(form.TabListing), "LIST 1 - 3/LIST 4 - 6/N/A/N/A/SPEC 1 - 3/SPEC 4 - 6");
  EXPECT_EQ(Shown(form.lblListingAddr, 4), "111");
  EXPECT_EQ(Shown(form.lblSpecificListingAddr, 4), "111");

  TestOtherTabs("ERS2,SUBPHOTO,");
  EXPECT_EQ(Captions(form.TabListing), "N/A/N/A/N/A/N/A/N/A/N/A");
  EXPECT_EQ(Shown(form.lblListingAddr, 1), "000");

  EXPECT_TRUE(IsErsForm("ERS,X,"));
  EXPECT_FALSE(IsErsForm("ERS"));   // no comma: no first field
  EXPECT_FALSE(IsErsForm("ers,"));  // exactly ERS
  EXPECT_FALSE(IsErsForm(" ERS,"));
}

TEST_F(TabsTest, Form704HidesTheListingPages) {
  WriteKepIni("[3X5_PHOTO_PAGES]\nLISTINGS_1=L1\nLISTINGS_2=L2\n");
  TestOtherTabs(" 704 ,SUBPHOTO,L1,L2,");
  EXPECT_EQ(form.TabListing.TabCaption(0), "N/A");
  EXPECT_EQ(form.TabListing.TabCaption(1), "N/A");
  EXPECT_EQ(Shown(form.lblListingAddr, 1), "000");
  EXPECT_EQ(Shown(form.lblListingAddr, 4), "000");

  TestOtherTabs("AUC3,SUBPHOTO,L1,L2,");
  EXPECT_EQ(form.TabListing.TabCaption(0), "LIST 1 - 3");
  EXPECT_EQ(form.TabListing.TabCaption(1), "LIST 4 - 6");
  EXPECT_EQ(Shown(form.lblListingAddr, 1), "111");
}

TEST_F(TabsTest, FormDt3HidesComparableSlotsFiveAndSix) {
  WriteKepIni("[3X5_PHOTO_PAGES]\nCOMPARABLES_2=C2\n");
  TestOtherTabs("dt3,SUBPHOTO,C2,");
  for (int i = 1; i <= 9; ++i) {
    const bool shown = i != 5 && i != 6;
    EXPECT_EQ(form.lblComp[i].Visible(), shown) << i;
    EXPECT_EQ(form.imaComp[i].Visible(), shown) << i;
  }
  EXPECT_EQ(Shown(form.lblCompAddr, 4), "111");  // the page itself stays offered
}

TEST_F(TabsTest, HandleTabCaptionAndLabelsOfOnePage) {
  form.TabComp.SetEnabled(false);
  HandleTabCaption(form.TabComp, 1, "4 - 6", false);
  EXPECT_FALSE(form.TabComp.Enabled());
  EXPECT_EQ(form.TabComp.TabCaption(1), "N/A");
  HandleTabCaption(form.TabComp, 1, "4 - 6", true);
  EXPECT_TRUE(form.TabComp.Enabled());
  EXPECT_EQ(form.TabComp.TabCaption(1), "4 - 6");

  HandleNALabel(form.TabGeneral, 11, false);
  EXPECT_EQ(Shown(form.cboGeneral, 34), "000");
  EXPECT_EQ(Shown(form.cboGeneral, 31), "111");
  HandleNALabel(form.TabGeneral, 12, false);  // no such page: nothing
  HandleNALabel(form.TabData, 0, false);      // not a slot tab: nothing
  HandleNALabel(form.TabComp, 4, false);
  EXPECT_EQ(Shown(form.lblAltCompAddr, 4), "000");
  EXPECT_EQ(Shown(form.lblAltCompAddr, 1), "111");
}

TEST_F(TabsTest, AMissingLabelGoesToTheCaller) {
  MainFormControls bare{"frmMain", "-"};
  SetMainForm(&bare);
  try {
    HandleNALabel(bare.TabComp, 0, false);
    FAIL() << "no error";
  } catch (const vb::VbError& e) {
    EXPECT_EQ(e.Number(), 340);
  }
  EXPECT_TRUE(app.Boxes().empty());
  SetMainForm(&form);
}

TEST(TabCaptions, Helpers) {
  EXPECT_EQ(ExtendedPageCaption(1), "1 - 6");
  EXPECT_EQ(ExtendedPageCaption(6), "31 - 36");
  EXPECT_EQ(ExtendedPageCaption(0), "");
  EXPECT_EQ(ExtendedPageCaption(7), "");
  EXPECT_EQ(PageRangeCaption("", 1), "1 - 3");
  EXPECT_EQ(PageRangeCaption("LIST ", 2), "LIST 4 - 6");
  EXPECT_EQ(PageRangeCaption("", 12), "34 - 36");
  EXPECT_EQ(PageRangeCaption("Alt ", 13), "");
  EXPECT_EQ(GeneralPageTag(1), "P1");
  EXPECT_EQ(GeneralPageTag(12), "P12");
  EXPECT_EQ(TabCaptionPrefix("general_3"), "P");
  EXPECT_EQ(TabCaptionPrefix("GENE"), "P");
  EXPECT_EQ(TabCaptionPrefix("GEN"), "");
  EXPECT_EQ(TabCaptionPrefix("EXTENDED_1"), "");
}

}  // namespace
