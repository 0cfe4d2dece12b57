// Program settings: ReadGlobals and the capture-directory check.

#include <gtest/gtest.h>

#include "core/modVBCommon.h"
#include "core/modVelmod.h"
#include "platform/vbrt/VbError.h"
#include "tests/support/CoreFixture.h"

namespace {

using namespace core;

class SettingsTest : public CoreFixture {
 protected:
  SettingsTest() {
    gMainIniPath = "C:\\APPRAISE\\VELMORA.INI";
    gKepIniPath = "C:\\APPRAISE\\KEP.INI";
  }
  void WriteMainIni(const std::string& text) { prefix.WriteFile(gMainIniPath, text); }
};

void ExpectDefaults() {
  EXPECT_EQ(gCompanyName, "Ostrel, Inc.");
  EXPECT_EQ(gProgramAlias, "Corvane Velmora");
  EXPECT_FALSE(gTechPhone.empty());
  EXPECT_EQ(gVendorAppName, "Corvane Appraisals");
  EXPECT_EQ(gKepDataDir, "C:\\KEPDATA\\");
  EXPECT_EQ(gKepPrivateDir, "C:\\KEPPRIV\\");
  EXPECT_EQ(gKepAppDir, "C:\\KEP\\");
  EXPECT_EQ(gAppDir, "C:\\Velmora\\");
  EXPECT_EQ(gUserDir, "C:\\Velmora\\");
  EXPECT_EQ(gCurrentDir, "C:\\Velmora\\");
  EXPECT_EQ(gCaptureDir, "C:\\GLENVUE\\");
  EXPECT_EQ(gScreenSize, 0);
  EXPECT_EQ(gbUseButtons, vbFalse);
  EXPECT_EQ(gLastCopy, "");
  EXPECT_EQ(gPreviewCopyPics, 1);
  EXPECT_EQ(gbTrashcan, vbTrue);
  EXPECT_EQ(gbAutoDelete, vbTrue);
  EXPECT_EQ(gJpegQuality, 95);
  EXPECT_EQ(gBrightness, 0);
  EXPECT_EQ(gbRedux, vbTrue);
  EXPECT_EQ(gResolX, 800);
  EXPECT_EQ(gResolY, 600);
}

TEST_F(SettingsTest, MissingOrEmptyIniFilesGiveTheDefaults) {
  ReadGlobals();
  ExpectDefaults();

  ResetGlobals();
  gMainIniPath = "C:\\APPRAISE\\VELMORA.INI";
  gKepIniPath = "C:\\APPRAISE\\KEP.INI";
  WriteMainIni("");
  prefix.WriteFile(gKepIniPath, "");
  ReadGlobals();
  ExpectDefaults();
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(SettingsTest, ValuesAreReadAsTextDirectoryNumberAndSwitch) {
  WriteMainIni(
      "[PRODUCT INFO]\r\nCOMPANY NAME=  Acme Appraisal  \r\n"
      "[directories]\r\nappdir=d:\\velmora\r\nUSERDIR=\r\nCAPTUREDIR=d:\\pics\\trashcan\\\r\n"
      "[COPY DEVICE]\r\nLASTCOPY=\"  E:\\DCIM\\ \"\r\n"
      "[PREFERENCES]\r\nSCREENSIZE=2.5\r\nUSEBUTTONS=1\r\nPREVIEWCOPYPICS=3.5\r\n"
      "TRASHCAN=yes\r\nAUTODELETE=1.0\r\nREDUX=01\r\nQUALITY=85abc\r\nBRIGHTNESS=-1 5\r\n"
      "RESOLX=&H400\r\nRESOLY=\r\n");
  // KEP writes its INI file in the ANSI code page (Windows-1252 here).
  prefix.WriteFile(gKepIniPath,
                   "[VENDOR]\r\nApplicationName= Kep Pro \r\n[DIRECTORIES]\r\nDATADIR=E:\\Donn\xE9"
                   "es\r\nAPPDIR=C:\\K\xC9P\r\n");
  prefix.WriteFile("C:\\K\xC3\x89P\\refresh.bas", "script");
  ReadGlobals();
  EXPECT_EQ(gCompanyName, "Acme Appraisal");
  EXPECT_EQ(gVendorAppName, "Kep Pro");
  EXPECT_EQ(gKepDataDir,
            "E:\\Donn\xC3\xA9"
            "es\\");
  EXPECT_TRUE(FileExists(gKepAppDir + "refresh.bas"));
  EXPECT_EQ(gAppDir, "d:\\velmora\\");
  EXPECT_EQ(gUserDir, "");  // stored empty: not the default
  EXPECT_EQ(gCurrentDir, "");
  EXPECT_EQ(gCaptureDir, "D:\\PICS\\");
  EXPECT_EQ(gLastCopy, "  E:\\DCIM\\ ");  // as stored, not trimmed
  EXPECT_EQ(gScreenSize, 2);              // halves to even
  EXPECT_EQ(gPreviewCopyPics, 4);
  EXPECT_EQ(gbUseButtons, vbTrue);
  EXPECT_EQ(gbTrashcan, vbFalse);
  EXPECT_EQ(gbAutoDelete, vbTrue);
  EXPECT_EQ(gbRedux, vbTrue);
  EXPECT_EQ(gJpegQuality, 85);
  EXPECT_EQ(gBrightness, -15);
  EXPECT_EQ(gResolX, 1024);
  EXPECT_EQ(gResolY, 600);  // stored empty, read as 0: no picture could be reduced to it
}

TEST_F(SettingsTest, StoredNumbersOutsideTheirRangesGiveWorkingValuesAndStayInTheFile) {
  const std::string text =
      "[PREFERENCES]\r\nQUALITY=0\r\nBRIGHTNESS=150\r\nRESOLX=0\r\nRESOLY=-5\r\n";
  WriteMainIni(text);
  ReadGlobals();
  EXPECT_EQ(gJpegQuality, 95);
  EXPECT_EQ(gBrightness, 0);
  EXPECT_EQ(gResolX, 800);
  EXPECT_EQ(gResolY, 600);
  EXPECT_EQ(ReadFile(gMainIniPath), text);
  WriteMainIni("[PREFERENCES]\r\nQUALITY=101\r\nBRIGHTNESS=-101\r\n");
  ReadGlobals();
  EXPECT_EQ(gJpegQuality, 95);
  EXPECT_EQ(gBrightness, 0);
  WriteMainIni("[PREFERENCES]\r\nQUALITY=1\r\nBRIGHTNESS=-100\r\nRESOLX=1\r\n");
  ReadGlobals();
  EXPECT_EQ(gJpegQuality, 1);
  EXPECT_EQ(gBrightness, -100);
  EXPECT_EQ(gResolX, 1);
}

TEST_F(SettingsTest, NumberTooLargeForItsVariableCostsOnlyThatSetting) {
  const std::string text =
      "[PREFERENCES]\r\nSCREENSIZE=40000\r\nUSEBUTTONS=1\r\nQUALITY=70\r\nRESOLX=99999999999\r\n"
      "RESOLY=1200\r\n[COPY DEVICE]\r\nLASTCOPY=E:\\DCIM\\\r\n";
  WriteMainIni(text);
  try {
    ReadGlobals();
    FAIL() << "the overflow must reach the caller";
  } catch (const vb::VbError& e) {
    EXPECT_EQ(e.Number(), vb::kOverflow);
  }
  EXPECT_TRUE(app.Boxes().empty());
  EXPECT_EQ(gScreenSize, 0);  // kept its default
  EXPECT_EQ(gResolX, 800);
  EXPECT_EQ(gbUseButtons, vbTrue);  // the keys after it still hold what the file says
  EXPECT_EQ(gJpegQuality, 70);
  EXPECT_EQ(gResolY, 1200);
  EXPECT_EQ(gLastCopy, "E:\\DCIM\\");
  EXPECT_EQ(gCaptureDir, "C:\\GLENVUE\\");
  EXPECT_EQ(ReadFile(gMainIniPath), text);
}

TEST_F(SettingsTest, ExistingCaptureDirectoryIsLeftAlone) {
  gCaptureDir = "C:\\GLENVUE\\";
  prefix.MakeDir(gCaptureDir);
  check4CaptureDir();
  EXPECT_EQ(gCaptureDir, "C:\\GLENVUE\\");
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(SettingsTest, MissingCaptureDirectoryOnALabelledDriveIsCreated) {
  LabelDriveC();
  gCaptureDir = "C:\\GLENVUE\\";
  check4CaptureDir();
  EXPECT_TRUE(winfs::DirExists("C:\\GLENVUE"));
  EXPECT_EQ(gCaptureDir, "C:\\GLENVUE\\");
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(SettingsTest, CaptureDriveWithoutMediumFallsBackToTheIniDrive) {
  winfs::SetRemovable('E', true);
  gIniDir = "C:\\APPRAISE";
  gCaptureDir = "E:\\DCIM\\";
  check4CaptureDir();
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt,
            "Drive E:\\DCIM\\ is empty or unreadable.  Changing to the local drive.");
  EXPECT_EQ(app.Boxes()[0].title, "Velmora");
  EXPECT_EQ(gCaptureDir, "C:");
  EXPECT_EQ(gIniDir, "C:\\APPRAISE\\");
}

TEST_F(SettingsTest, CaptureDirectoryWhoseParentIsMissingRaisesToTheCaller) {
  LabelDriveC();
  gCaptureDir = "C:\\NO\\SUCH\\";
  try {
    check4CaptureDir();
    FAIL();
  } catch (const vb::VbError& e) {
    EXPECT_EQ(e.Number(), vb::kPathNotFound);
  }
}

}  // namespace
