// The INI folder, locating the INI files, INI values and numbered key lists.

#include <gtest/gtest.h>

#include <filesystem>

#include "core/modListLoad.h"
#include "core/modOpSys.h"
#include "platform/forms/Form.h"
#include "platform/forms/ListControls.h"
#include "tests/support/CoreFixture.h"

namespace {

using namespace core;

const char* const kOneLocation =
    "VELMORA.INI configuration file is missing from C:\\WINDOWS\\ . DO you wish to coninue? "
    "(Program may not function correctly)";
const char* const kTwoLocations =
    "VELMORA.INI configuration file is missing from C:\\APPRAISE\\ (primary location) and "
    "C:\\WINDOWS\\ (secondary location). DO you wish to coninue? (Program may not function "
    "correctly)";

class IniFolderTest : public CoreFixture {};

TEST_F(IniFolderTest, AppraiseFolderOnTheSystemDriveIsUsedOnEveryVersion) {
  prefix.MakeDir("C:\\Appraise");
  for (int major : {4, 5, 6}) {
    winfs::SetWindowsVersion(major, 0);
    EXPECT_EQ(GetIniDir(), "C:\\APPRAISE\\");
    EXPECT_EQ(gAppraiseDir, "C:\\APPRAISE\\");
  }
  EXPECT_EQ(gbOsVista, vbTrue);
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(IniFolderTest, WithoutAppraiseTheWindowsDirectoryIsUsed) {
  winfs::SetWindowsVersion(5, 1);
  EXPECT_EQ(FindIniDir(), "C:\\WINDOWS\\");
  EXPECT_EQ(gAppraiseDir, "");
  EXPECT_EQ(gbOsVista, vbFalse);
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(IniFolderTest, VistaWithoutAppraiseIsToldToReinstall) {
  winfs::SetWindowsVersion(6, 0);
  EXPECT_EQ(FindIniDir(), "C:\\WINDOWS\\");
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt,
            "Reinstall this program to correct INI placement and avoid potential configuration "
            "errors.");
  EXPECT_EQ(app.Boxes()[0].title, "NON-STANDARD INI FILE PLACEMENT");
  EXPECT_EQ(app.Boxes()[0].Icon(), forms::vbInformation);
}

class ConfigFileTest : public CoreFixture {
 protected:
  ConfigFileTest() { prefix.MakeDir("C:\\APPRAISE"); }
};

TEST_F(ConfigFileTest, FileInTheIniFolderComesFirst) {
  prefix.WriteFile("C:\\APPRAISE\\velmora.ini", "[A]\r\nB=1\r\n");
  prefix.WriteFile("C:\\WINDOWS\\VELMORA.INI", "[A]\r\nB=2\r\n");
  EXPECT_EQ(FindConfigFile("velmora.ini", false), "C:\\APPRAISE\\VELMORA.INI");
  EXPECT_EQ(gIniDir, "C:\\APPRAISE\\");
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(ConfigFileTest, FileOnlyInTheWindowsDirectoryOrZeroBytesInTheIniFolder) {
  prefix.WriteFile("C:\\APPRAISE\\VELMORA.INI", "");  // zero bytes count as missing
  prefix.WriteFile("C:\\Windows\\Velmora.ini", "[A]\r\nB=2\r\n");
  EXPECT_EQ(FindConfigFile("VELMORA.INI", false), "C:\\WINDOWS\\VELMORA.INI");
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(ConfigFileTest, MissingEverywhereAsksWithBothLocations) {
  app.QueueAnswer(forms::vbYes);
  EXPECT_EQ(FindConfigFile("VELMORA.INI", false), "C:\\WINDOWS\\VELMORA.INI");
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt, kTwoLocations);
  EXPECT_EQ(app.Boxes()[0].title, "Configuration File Missing");
  EXPECT_EQ(app.Boxes()[0].ButtonSet(), forms::vbYesNoCancel);

  EXPECT_EQ(FindConfigFile("VELMORA.INI", true), "C:\\WINDOWS\\VELMORA.INI");
  EXPECT_EQ(app.Boxes().size(), 1u);
}

TEST_F(ConfigFileTest, NoOrCancelEndsTheProgram) {
  for (int answer : {int{forms::vbNo}, int{forms::vbCancel}}) {
    app.QueueAnswer(answer);
    EXPECT_THROW(FindConfigFile("VELMORA.INI", false), forms::ProgramEnded);
    app.ResetEnded();
  }
  EXPECT_EQ(app.EndCount(), 2);
}

TEST_F(ConfigFileTest, IniFolderEqualToTheWindowsDirectoryAsksTheShorterQuestion) {
  gIniDir = "C:\\WINDOWS\\";
  app.QueueAnswer(forms::vbYes);
  FindConfigFile("VELMORA.INI", false);
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt, kOneLocation);
}

TEST_F(ConfigFileTest, KepIniIsLookedForInBothPlaces) {
  Check4KepIni(true);
  EXPECT_EQ(gKepIniPath, "C:\\APPRAISE\\KEP.INI");

  prefix.WriteFile("C:\\WINDOWS\\KEP.INI", "[VENDOR]\r\n");
  Check4KepIni(false);
  EXPECT_EQ(gKepIniPath, "C:\\WINDOWS\\KEP.INI");

  prefix.WriteFile("C:\\APPRAISE\\kep.ini", "[VENDOR]\r\n");
  Check4KepIni(false);
  EXPECT_EQ(gKepIniPath, "C:\\APPRAISE\\KEP.INI");
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(ConfigFileTest, MissingKepIniAsksBothWordings) {
  app.QueueAnswers({forms::vbYes, forms::vbNo});
  Check4KepIni(false);
  EXPECT_EQ(gKepIniPath, "C:\\APPRAISE\\KEP.INI");
  gIniDir = "C:\\WINDOWS\\";
  EXPECT_THROW(Check4KepIni(false), forms::ProgramEnded);
  ASSERT_EQ(app.Boxes().size(), 2u);
  EXPECT_EQ(app.Boxes()[0].prompt,
            "Appraisal KEP.INI configuration file is missing from C:\\APPRAISE\\ (primary "
            "location) and C:\\WINDOWS\\ (secondary location). DO you wish to coninue? (You will "
            "not be able to transfer pictures into the appraisal program)");
  EXPECT_EQ(app.Boxes()[1].prompt,
            "Appraisal KEP.INI configuration file is missing from C:\\WINDOWS\\ . DO you wish to "
            "coninue? (You will not be able to transfer pictures into the appraisal program)");
  EXPECT_EQ(app.Boxes()[1].title, "Configuration File Missing");
}

// ---- Values

class IniValueTest : public CoreFixture {
 protected:
  IniValueTest() { prefix.MakeDir("C:\\APPRAISE"); }
  const std::string file = "C:\\APPRAISE\\VELMORA.INI";
};

TEST_F(IniValueTest, LongValuesAreReadWhole) {
  for (std::size_t length : {254u, 255u, 256u, 511u, 1000u}) {
    const std::string value(length, 'x');
    prefix.WriteFile(file, "[S]\r\nK=" + value + "\r\n");
    EXPECT_EQ(ReadIni(file, "S", "K", "d"), value) << length;
  }
}

TEST_F(IniValueTest, MissingKeyFileOrDriveGivesTheDefault) {
  EXPECT_EQ(ReadIni(file, "S", "K", "dflt"), "dflt");
  EXPECT_EQ(ReadIni("Q:\\NODRIVE.INI", "S", "K", "dflt"), "dflt");
  prefix.WriteFile(file, "[S]\r\nK=\r\n");
  EXPECT_EQ(ReadIni(file, "s", "k", "dflt"), "");
}

TEST_F(IniValueTest, WriteCreatesTheFileAndKeepsOtherLines) {
  WriteIni(file, "DIRECTORIES", "CAPTUREDIR", "C:\\GLENVUE\\");
  EXPECT_EQ(ReadFile(file), "[DIRECTORIES]\r\nCAPTUREDIR=C:\\GLENVUE\\\r\n");
  WriteIni(file, "directories", "capturedir", "D:\\PICS\\");
  EXPECT_EQ(ReadIni(file, "DIRECTORIES", "CAPTUREDIR", ""), "D:\\PICS\\");
  WriteIni("Q:\\NODRIVE.INI", "S", "K", "V");  // silent
  WriteIni("C:\\NOFOLDER\\A.INI", "S", "K", "V");
  EXPECT_FALSE(winfs::DirExists("C:\\NOFOLDER"));
}

TEST_F(IniValueTest, WriteToAReadOnlyFileChangesNothing) {
  const std::string before = "[S]\r\nK=old\r\n";
  prefix.WriteFile(file, before);
  winfs::SetAttr(file, winfs::kReadOnly);
  WriteIni(file, "S", "K", "new");
  WriteIni(file, "T", "K", "new");
  DeleteIniKey(file, "S", "K");
  EXPECT_EQ(ReadFile(file), before);
}

// ---- Numbered key lists

class NumberedListTest : public CoreFixture {
 protected:
  NumberedListTest() { prefix.MakeDir("C:\\APPRAISE"); }
  const std::string file = "C:\\APPRAISE\\VELMORA.INI";
  forms::Form form{"frmTest", "-"};
  forms::ListBox list{form, "lstTest"};
  forms::ComboBox combo{form, "cboTest"};

  void FillList(std::initializer_list<const char*> items) {
    list.Clear();
    for (const char* item : items) list.AddItem(item);
  }
};

TEST_F(NumberedListTest, LoadReadsUntilTheFirstEmptyValueAndAppends) {
  prefix.WriteFile(file,
                   "[GENERAL VIEWS]\r\nGENERALVIEW1= Front \r\nGENERALVIEW2=Rear\r\n"
                   "GENERALVIEW3=\r\nGENERALVIEW4=Street\r\n");
  list.AddItem("Kept");
  LoadListFromIni(list, file, "GENERAL VIEWS", "GENERALVIEW", -1);
  ASSERT_EQ(list.ListCount(), 3);
  EXPECT_EQ(list.List(1), "Front");
  EXPECT_EQ(list.List(2), "Rear");

  LoadListFromIni(combo, file, "GENERAL VIEWS", "GENERALVIEW", 5);
  ASSERT_EQ(combo.ListCount(), 5);
  EXPECT_EQ(combo.List(2), "");
  EXPECT_EQ(combo.List(3), "Street");
}

TEST_F(NumberedListTest, ShrunkListReloadsWithoutTheDeletedEntries) {
  FillList({"A", "B", "C", "D", "E", "F", "G", "H"});
  SaveListToIni(list, file, "GENERAL VIEWS", "GENERALVIEW", -1);
  WriteIni(file, "GENERAL VIEWS", "NOTE", "kept");
  WriteIni(file, "GENERAL VIEWS", "GENERALVIEW07", "kept too");
  WriteIni(file, "OTHER", "GENERALVIEW9", "other section");

  int clicks = 0;
  list.Click = [&] { ++clicks; };
  FillList({"A", "B", "C", "D", "E"});
  SaveListToIni(list, file, "GENERAL VIEWS", "GENERALVIEW", -1);
  EXPECT_EQ(clicks, 5);

  forms::ListBox reloaded(form, "lstReloaded");
  LoadListFromIni(reloaded, file, "GENERAL VIEWS", "GENERALVIEW", -1);
  EXPECT_EQ(reloaded.ListCount(), 5);
  EXPECT_EQ(ReadIni(file, "GENERAL VIEWS", "GENERALVIEW6", "missing"), "missing");
  EXPECT_EQ(ReadIni(file, "GENERAL VIEWS", "GENERALVIEW8", "missing"), "missing");
  EXPECT_EQ(ReadIni(file, "GENERAL VIEWS", "NOTE", ""), "kept");
  EXPECT_EQ(ReadIni(file, "GENERAL VIEWS", "GENERALVIEW07", ""), "kept too");
  EXPECT_EQ(ReadIni(file, "OTHER", "GENERALVIEW9", ""), "other section");
}

TEST_F(NumberedListTest, KeysWithoutPrefixAndAnEmptiedList) {
  FillList({"C:\\ONE\\", "D:\\TWO\\", "E:\\THREE\\"});
  SaveListToIni(list, file, "CAMERA DIRECTORIES", "", -1);
  EXPECT_EQ(ReadIni(file, "CAMERA DIRECTORIES", "2", ""), "D:\\TWO\\");
  list.Clear();
  SaveListToIni(list, file, "CAMERA DIRECTORIES", "", -1);
  forms::ListBox reloaded(form, "lstReloaded");
  LoadListFromIni(reloaded, file, "CAMERA DIRECTORIES", "", -1);
  EXPECT_EQ(reloaded.ListCount(), 0);
}

}  // namespace
