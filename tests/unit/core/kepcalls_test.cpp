// The DDE client of KEP: reply and key helpers, macro texts, and every operation while KEP is
// not running (the traffic against a running KEP is in tests/integration).

#include <gtest/gtest.h>
#include <stdlib.h>

#include <functional>
#include <string>

#include "core/frmMainControls.h"
#include "core/kepcalls.h"
#include "core/modVelmod.h"
#include "platform/vbrt/Strings.h"
#include "platform/vbrt/VbError.h"
#include "tests/support/CoreFixture.h"
#include "tests/support/ErrorOf.h"

namespace {

using namespace core;

TEST(KepReplies, FirstCommaFieldNeedsTheComma) {
  EXPECT_EQ(FirstCommaField("C:\\KEP\\DATA\\SMITH.ZAP,"), "C:\\KEP\\DATA\\SMITH.ZAP");
  EXPECT_EQ(FirstCommaField("C:\\KEP\\DATA\\SMITH.ZAP"), "");
  EXPECT_EQ(FirstCommaField("A,B,C"), "A");
  EXPECT_EQ(FirstCommaField(",B"), "");
  EXPECT_EQ(FirstCommaField(""), "");
}

TEST(KepReplies, StripSemicolonTrimsTheCallersTextAndDropsOneSemicolon) {
  std::string text = "SUB_1_3X5|C:\\A.JPG;; ";
  EXPECT_EQ(StripSemicolon(text), "SUB_1_3X5|C:\\A.JPG;");
  EXPECT_EQ(text, "SUB_1_3X5|C:\\A.JPG;;");  // trimmed, semicolons kept
  std::string blanks = "   ";
  EXPECT_EQ(StripSemicolon(blanks), "");
  EXPECT_EQ(blanks, "");
  EXPECT_EQ(StripSemicolon(std::string(";; ")), ";");
  EXPECT_EQ(StripSemicolon(std::string("a ;")), "a ");
  EXPECT_EQ(StripSemicolon(std::string("abc")), "abc");
}

TEST(KepReplies, DoubleBackslash) {
  EXPECT_EQ(DoubleBackslash("C:\\A\\B.JPG"), "C:\\\\A\\\\B.JPG");
  EXPECT_EQ(DoubleBackslash("\\\\"), "\\\\\\\\");
  EXPECT_EQ(DoubleBackslash("plain"), "plain");
}

TEST(KepReplies, FormatKepFieldForEveryEntry) {
  const char* expected[] = {"",       "FLD|10", "FLD|15", "FLD|20", "FLD|10", "FLD|15",
                            "FLD|20", "FLD|10", "FLD|15", "FLD|20", "FLD|10", ""};
  for (int n = 0; n <= 11; ++n) EXPECT_EQ(FormatKepField("FLD|10", "5", n), expected[n]) << n;

  EXPECT_EQ(FormatKepField(" P 1|10 ", "5", 1), "P 1|10");    // trimmed
  EXPECT_EQ(FormatKepField(" P 1|10 ", "5", 7), " P 1|10 ");  // as given
  EXPECT_EQ(FormatKepField(" P 1|10 ", "5", 2), " P 1|15");   // L keeps its blanks
  EXPECT_EQ(FormatKepField("FLD|10", "2.5", 3), "FLD|15");
  EXPECT_EQ(FormatKepField("FLD|10", "1.5", 2), "FLD|11.5");
  EXPECT_EQ(FormatKepField("FLD|x", "abc", 3), "FLD|0");  // Val of a non-number is 0
  EXPECT_EQ(FormatKepField("NOBAR", "5", 2), "|5");
  EXPECT_EQ(FormatKepField("FLD|-10", "5", 3), "FLD|0");
}

class KepCallsTest : public CoreFixture {
 protected:
  KepCallsTest() {
    gKepIniPath = "C:\\APPRAISE\\KEP.INI";
    ::setenv("VELMORA_DDE_DIR", (prefix.Root() / "dde").c_str(), 1);  // no server listens here
    form.CreateElements();
    SetMainForm(&form);
  }
  ~KepCallsTest() override {
    SetMainForm(nullptr);
    ::unsetenv("VELMORA_DDE_DIR");
  }
  void WriteKepIni(const std::string& text) { prefix.WriteFile(gKepIniPath, text); }
  forms::TextBox& lnk() { return form.txtDDE; }

  MainFormControls form{"frmMain", "-"};
};

TEST_F(KepCallsTest, GetIndexValueReadsTheSlotNumber) {
  EXPECT_EQ(GetIndexValue("CMP_3_3X5"), 3);
  EXPECT_EQ(GetIndexValue("GN_12_4X6"), 12);
  EXPECT_EQ(GetIndexValue("XP_5_"), 5);
  EXPECT_EQ(GetIndexValue("A_x_"), 0);
  EXPECT_EQ(vb::RTrim(gCurrentProc.str()), "GetIndexValue");
  // Without two "_" the invalid argument goes to the error report, which hands it on.
  EXPECT_EQ(ErrorOf([] { GetIndexValue("XP_5"); }), vb::kInvalidProcedureCall);
  EXPECT_EQ(ErrorOf([] { GetIndexValue("MAP"); }), vb::kInvalidProcedureCall);
  EXPECT_TRUE(app.Boxes().empty());
}

TEST(KepMacros, ByteForByte) {
  EXPECT_EQ(ImageListMacro(), "[RunMacro( SetRequest \"IMAGES\",  GetImages$(1))]");
  EXPECT_EQ(SetImageMacro("CMP_3_3X5", "C:\\\\PICS\\\\PTEMP_01.JPG"),
            "[RunMacro( SetImage \"CMP_3_3X5\", \"C:\\\\PICS\\\\PTEMP_01.JPG\" ) ]\r");
  EXPECT_EQ(RunScriptMacro("  refresh.bas "), "[RunMacro(refresh.bas)]\r");
}

TEST(KepKeys, PageSizeAndSection) {
  EXPECT_EQ(FormPageSize("ua5,subphoto,pht3501,"), "3X5");
  EXPECT_EQ(PhotoPageSize("ua5,subphoto,pht3501,"), "");  // case-sensitive
  EXPECT_EQ(FormPageSize("UA5,SUBPHOT2,"), "4X6");
  EXPECT_EQ(FormPageSize("UA5,SUBPHOT2,SUBPHOTO,"), "3X5");  // SUBPHOTO wins
  EXPECT_EQ(FormPageSize("UA5,"), "");
  EXPECT_EQ(PhotoPagesSection("3X5"), "3X5_PHOTO_PAGES");
  EXPECT_EQ(PhotoPagesSection("4X6"), "4X6_PHOTO_PAGES");
  EXPECT_EQ(PhotoPagesSection(""), "");
}

TEST(KepKeys, GeneralKeysByPlaceOnThePage) {
  EXPECT_EQ(GeneralDataKey(1), "GENERAL_DATA_1");
  EXPECT_EQ(GeneralDataKey(5), "GENERAL_DATA_2");
  EXPECT_EQ(GeneralDataKey(36), "GENERAL_DATA_3");
  EXPECT_EQ(GeneralAddrKey(34), "GENERAL_ADDR_1");
  EXPECT_EQ(GeneralAddrKey(36), "GENERAL_ADDR_3");
  for (int n : {0, 37, -1}) {
    EXPECT_EQ(GeneralDataKey(n), "") << n;
    EXPECT_EQ(GeneralAddrKey(n), "") << n;
  }
}

TEST_F(KepCallsTest, GeneralPageKeyReadsTheSectionWithinRange) {
  WriteKepIni(
      "[4X6_PHOTO_PAGES]\nGENERAL_0=BAD\nGENERAL_1=G1\nGENERAL_2=G2\nGENERAL_12=G12\n"
      "GENERAL_13=BAD\n");
  EXPECT_EQ(KepGeneralPageKey("4X6_PHOTO_PAGES", 1), "G1");
  EXPECT_EQ(KepGeneralPageKey("4X6_PHOTO_PAGES", 3), "G1");
  EXPECT_EQ(KepGeneralPageKey("4X6_PHOTO_PAGES", 5), "G2");
  EXPECT_EQ(KepGeneralPageKey("4X6_PHOTO_PAGES", 36), "G12");
  EXPECT_EQ(KepGeneralPageKey("4X6_PHOTO_PAGES", 0), "");
  EXPECT_EQ(KepGeneralPageKey("4X6_PHOTO_PAGES", 37), "");
  EXPECT_EQ(KepGeneralPageKey("3X5_PHOTO_PAGES", 1), "");
  EXPECT_EQ(KepGeneralPageKey("", 1), "");
}

// With no server, the link state after each operation shows how far it got, so the order of
// topic, item and link mode is visible.
TEST_F(KepCallsTest, KepNotRunningEndsEveryOperationQuietly) {
  lnk().SetText("old reply");
  lnk().SetLinkItem("previous");
  KepQueryActiveReports(lnk());
  EXPECT_EQ(lnk().LinkTopic(), "KEP|Query");
  EXPECT_EQ(lnk().LinkItem(), "previous");  // the item comes after the link opens
  EXPECT_EQ(lnk().Text(), "old reply");
  EXPECT_EQ(lnk().LinkMode(), 0);

  KepOpenReport(lnk(), "C:\\R.ZAP");
  EXPECT_EQ(lnk().LinkTopic(), "Kep|C:\\R.ZAP");
  EXPECT_EQ(lnk().LinkItem(), "UserID");  // set before the link opens

  KepListForms(lnk(), "C:\\R.ZAP");
  EXPECT_EQ(lnk().LinkTopic(), "KEP|C:\\R.ZAP");
  EXPECT_EQ(lnk().LinkItem(), "ListForms");

  EXPECT_EQ(KepGetFieldInfo(lnk(), "C:\\R.ZAP", "URAR|10"), "");
  EXPECT_EQ(lnk().LinkItem(), "URAR|10");

  lnk().SetLinkItem("previous");
  KepQueryGetImages(lnk());
  EXPECT_EQ(lnk().LinkTopic(), "KEP|System");
  EXPECT_EQ(lnk().LinkItem(), "previous");

  lnk().SetLinkTopic("KEP|C:\\R.ZAP");
  KepSendPhoto2Object(lnk(), "CMP_3_3X5", "C:\\A.JPG");
  EXPECT_EQ(lnk().LinkTopic(), "KEP|C:\\R.ZAP");  // sets no topic

  KepSendScript(lnk(), "refresh.bas");
  EXPECT_EQ(lnk().LinkTopic(), "KEP|System");

  EXPECT_EQ(lnk().Text(), "old reply");
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(KepCallsTest, FieldInfoWithoutAPageSendsNothing) {
  lnk().SetLinkTopic("untouched");
  EXPECT_EQ(KepGetFieldInfo(lnk(), "C:\\R.ZAP", "|10"), "");
  EXPECT_EQ(KepGetFieldInfo(lnk(), "C:\\R.ZAP", "   "), "");
  EXPECT_EQ(KepGetFieldInfo(lnk(), "C:\\R.ZAP", ""), "");
  EXPECT_EQ(lnk().LinkTopic(), "untouched");
}

TEST_F(KepCallsTest, IsKepReportActiveIsFalseWithoutKep) {
  gbKepReportActive = vbTrue;
  lnk().SetText("C:\\OLD.ZAP,");
  EXPECT_FALSE(IsKepReportActive(lnk()));
  EXPECT_EQ(gbKepReportActive, vbFalse);
  EXPECT_EQ(lnk().Text(), "");  // cleared before asking
  EXPECT_TRUE(app.Boxes().empty());
}

// A poke has only 380 as its quiet number: a missing KEP goes to the error report, which hands
// it on to the caller without a message.
TEST_F(KepCallsTest, PokeWithoutKepRaisesToTheCaller) {
  EXPECT_EQ(ErrorOf([&] { KepPokeText(lnk(), "Kep|C:\\R.ZAP", "G|1", "x"); }), vb::kDdeNoApp);
  EXPECT_EQ(lnk().LinkTopic(), "Kep|C:\\R.ZAP");
  EXPECT_EQ(ErrorOf([] { KepSendGeneralData(5, "Front"); }), vb::kDdeNoApp);
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(KepCallsTest, GeneralPokeTopicUsesTheTrimmedReport) {
  gCurrentReport = "  C:\\R.ZAP ";
  gReportForms = "ua5,subphot2,";
  ErrorOf([] { KepSendGeneralAddr(36, "12 Main"); });
  EXPECT_EQ(form.txtDDE.LinkTopic(), "Kep|C:\\R.ZAP");
}

TEST_F(KepCallsTest, GeneralPokeWithoutMainWindowRaises91) {
  SetMainForm(nullptr);
  EXPECT_EQ(ErrorOf([] { KepSendGeneralData(1, "x"); }), 91);
}

}  // namespace
