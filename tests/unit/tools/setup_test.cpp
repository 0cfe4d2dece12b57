// The configuration window driven as the user would: what it shows, what it refuses while
// editing, what it applies and writes to VELMORA.INI, and how it closes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/frmMainControls.h"
#include "core/modOpSys.h"
#include "core/modVelmod.h"
#include "platform/forms/Form.h"
#include "tests/support/CoreFixture.h"
#include "tools/frmSetup.h"

namespace {

using forms::vbNo;
using forms::vbOK;
using forms::vbYes;
using tools::frmSetup;

constexpr const char* kIni = "C:\\APPRAISE\\VELMORA.INI";

class SetupTest : public CoreFixture {
 protected:
  SetupTest() {
    prefix.MakeDir("C:\\APPRAISE");
    prefix.MakeDir("C:\\Velmora");
    prefix.MakeDir("C:\\GLENVUE");
    core::gMainIniPath = kIni;
    core::gProgramAlias = "Corvane Velmora";
    core::gAppDir = "C:\\Velmora\\";
    core::gUserDir = "C:\\Velmora\\";
    core::gCaptureDir = "C:\\GLENVUE\\";
    core::gLastCopy = "";
    core::gKepDataDir = "C:\\KEPDATA\\";
    core::gKepAppDir = "C:\\KEP\\";
    core::gKepPrivateDir = "C:\\KEPPRIV\\";
    core::gbTrashcan = core::vbTrue;
    core::gbAutoDelete = core::vbFalse;
    core::gPreviewCopyPics = 1;
    core::gbRedux = core::vbTrue;
    core::gResolX = 800;
    core::gResolY = 600;
    core::gJpegQuality = 95;
    core::gBrightness = -5;
    core::gScreenSize = 3;
    core::gbUseButtons = core::vbTrue;
    main.Move(1500, 900, 15360, 10200);
    core::SetMainForm(&main);
  }
  ~SetupTest() override {
    forms::ResetFormInstances();
    core::SetMainForm(nullptr);
  }

  frmSetup& Open() { return forms::FormInstance<frmSetup>(); }
  static std::string Ini(const char* section, const char* key) {
    return core::ReadIni(kIni, section, key, "<none>");
  }
  // Types into a box and leaves it for another control, as the user would.
  static void Type(frmSetup& f, forms::TextBox& box, const std::string& text,
                   forms::Control& next) {
    f.UserFocus(box);
    box.UserSetText(text);
    f.UserFocus(next);
  }
  std::string LastPrompt() const { return app.Boxes().empty() ? "" : app.Boxes().back().prompt; }

  core::MainFormControls main{"frmMain", "-"};
};

TEST_F(SetupTest, LoadingShowsEverySettingOnTheOptionsPageWithNoChangeMarked) {
  core::gMainIniPath = "c:\\appraise\\velmora.ini";  // found in lower case
  frmSetup& f = Open();
  EXPECT_EQ(f.SSConfig.Tab(), 1);
  EXPECT_EQ(f.SSConfig.TabCaption(1), "Corvane Velmora");
  EXPECT_EQ(f.SSConfig.TabCaption(0), "Application Data Paths");
  // Centred by the main window's size only.
  EXPECT_EQ(f.Top(), (10200 - f.Height()) / 2);
  EXPECT_EQ(f.Left(), (15360 - f.Width()) / 2);
  EXPECT_EQ(f.txtProgramDir.Text(), "C:\\Velmora\\");
  EXPECT_EQ(f.txtConfigDir.Text(), "C:\\APPRAISE\\");
  EXPECT_EQ(f.txtKepPrivateDir.Text(), "C:\\KEPPRIV\\");
  for (forms::TextBox* box :
       {&f.txtConfigDir, &f.txtKepDataDir, &f.txtKepAppDir, &f.txtKepPrivateDir})
    EXPECT_FALSE(box->Enabled()) << box->Name();
  EXPECT_TRUE(f.txtLastCopy.Enabled());
  EXPECT_EQ(f.ckbTrashcan.Value(), 1);
  EXPECT_EQ(f.ckbAutoDelete.Value(), 0);
  EXPECT_EQ(f.ckbPreviewCopyPics.Value(), 1);
  EXPECT_EQ(f.txtPixelX.Text(), "800");
  EXPECT_EQ(f.txtBrightness.Text(), "-5");
  EXPECT_TRUE(f.optScreen[3].Value());
  EXPECT_FALSE(f.optScreen[0].Visible());
  EXPECT_FALSE(f.optScreen[1].Visible());
  EXPECT_EQ(f.ckbButtons.Value(), 0);  // text buttons shown
  EXPECT_EQ(f.bConfigChanged, core::vbFalse);
  EXPECT_TRUE(app.Boxes().empty());
  EXPECT_EQ(f.txtProgramDir.ToolTipText(),
            "Enter the location where the program file will reside.   It is HIGHLY recommended "
            "to keep these files on your LOCAL harddrive and not the network.");
  EXPECT_EQ(f.cmdOK.Caption(), "&Exit");
}

TEST_F(SetupTest, AnUnknownScreenSizeOpensHiddenAndIsSavedAsTheDefault) {
  for (std::int16_t size : {0, 7}) {
    core::gScreenSize = size;
    frmSetup& f = Open();
    EXPECT_TRUE(f.optScreen[0].Value()) << size;
    EXPECT_EQ(core::gScreenSize, 0) << size;
    f.cmdSave.UserClick();
    EXPECT_FALSE(f.Loaded());
    EXPECT_EQ(core::gScreenSize, 2);
    EXPECT_EQ(Ini("PREFERENCES", "SCREENSIZE"), "2");
  }
}

TEST_F(SetupTest, OptionClickTakesEffectAtOnceAndIsUndoneWhenNotSaved) {
  frmSetup& f = Open();
  f.optScreen[5].UserClick();
  EXPECT_EQ(core::gScreenSize, 5);
  EXPECT_EQ(f.bConfigChanged, core::vbTrue);
  app.QueueAnswers({vbNo, vbOK});
  f.cmdOK.UserClick();
  ASSERT_EQ(app.Boxes().size(), 2u);
  EXPECT_EQ(app.Boxes()[0].prompt, "Changes have been made to configuration. Save Changes?");
  EXPECT_EQ(app.Boxes()[0].title, "Save Configuration Changes?");
  EXPECT_EQ(app.Boxes()[0].ButtonSet(), forms::vbYesNoCancel);
  EXPECT_EQ(app.Boxes()[1].prompt, "Configuration has been restored to pre-existing settings");
  EXPECT_EQ(app.Boxes()[1].title, "Configuration restored");
  EXPECT_EQ(core::gScreenSize, 3);  // the message tells the truth
  EXPECT_FALSE(f.Loaded());
  EXPECT_EQ(Ini("PREFERENCES", "SCREENSIZE"), "<none>");  // nothing written
}

TEST_F(SetupTest, BrightnessAndQualityAreRefusedOutsideTheirRangesAndKeepTheText) {
  frmSetup& f = Open();
  struct Case {
    forms::TextBox* box;
    const char* text;
    const char* message;  // nullptr: accepted
  };
  const Case cases[] = {
      {&f.txtBrightness, "100", "Enter a number between -99 and 99"},
      {&f.txtBrightness, "-100", "Enter a number between -99 and 99"},
      {&f.txtBrightness, "99", nullptr},
      {&f.txtBrightness, "-99", nullptr},
      {&f.txtQuality, "0", "Enter a number between 1 and 100"},
      {&f.txtQuality, "", "Enter a number between 1 and 100"},
      {&f.txtQuality, "1e999", "Enter a number between 1 and 100"},  // no usable number
      {&f.txtQuality, "100", nullptr},
      // Checked as rounded for saving: 0.4 would be stored as 0, 99.5 as 100.
      {&f.txtQuality, "0.4", "Enter a number between 1 and 100"},
      {&f.txtQuality, "100.4", nullptr},
      {&f.txtBrightness, "99.5", "Enter a number between -99 and 99"},
      {&f.txtBrightness, "-99.4", nullptr},
  };
  for (const Case& c : cases) {
    app.ClearBoxes();
    Type(f, *c.box, c.text, f.txtPixelY);
    if (c.message) {
      ASSERT_EQ(app.Boxes().size(), 1u) << c.text;
      EXPECT_EQ(app.Boxes()[0].prompt, c.message);
      EXPECT_EQ(app.Boxes()[0].ButtonSet(), forms::vbOKOnly);
      EXPECT_EQ(app.Boxes()[0].title, app.Title());
      EXPECT_EQ(f.ActiveControl(), c.box) << "the focus goes back to " << c.text;
      EXPECT_EQ(c.box->Text(), c.text);
    } else {
      EXPECT_TRUE(app.Boxes().empty()) << c.text;
      EXPECT_EQ(f.ActiveControl(), &f.txtPixelY);
    }
  }
  // A refused value is not saved, even when Save is clicked with it still in its box.
  f.txtQuality.UserSetText("0.4");
  f.txtBrightness.UserSetText("99.5");
  f.cmdSave.UserClick();
  EXPECT_EQ(core::gJpegQuality, 95);
  EXPECT_EQ(core::gBrightness, -5);
  EXPECT_EQ(Ini("PREFERENCES", "QUALITY"), "95");
  EXPECT_EQ(Ini("PREFERENCES", "BRIGHTNESS"), "-5");
  // The last accepted values are saved.
  frmSetup& again = Open();
  again.txtQuality.UserSetText("100.4");
  again.txtBrightness.UserSetText("-99");
  again.cmdSave.UserClick();
  EXPECT_EQ(core::gBrightness, -99);
  EXPECT_EQ(core::gJpegQuality, 100);
  EXPECT_EQ(Ini("PREFERENCES", "BRIGHTNESS"), "-99");
  EXPECT_EQ(Ini("PREFERENCES", "QUALITY"), "100");
}

TEST_F(SetupTest, PixelBoxRefusesAFourthDigitOver1000AtOnceAndASmallValueOnLeaving) {
  frmSetup& f = Open();
  f.UserFocus(f.txtPixelX);
  for (const char* typed : {"1", "12", "120"}) f.txtPixelX.UserSetText(typed);
  EXPECT_TRUE(app.Boxes().empty());  // no message while a short number may still grow
  f.txtPixelX.UserSetText("1200");
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(LastPrompt(), "Enter a number between 1000 and 50");
  EXPECT_EQ(f.txtPixelX.Text(), "800");
  EXPECT_EQ(f.ActiveControl(), &f.txtPixelX);

  app.ClearBoxes();
  Type(f, f.txtPixelY, "30", f.txtQuality);
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(LastPrompt(), "Enter a number between 1000 and 50");
  EXPECT_EQ(f.txtPixelY.Text(), "600");  // the setting comes back
  EXPECT_EQ(f.ActiveControl(), &f.txtPixelY);
}

TEST_F(SetupTest, TwoRefusedBoxesDoNotPassTheFocusBackAndForth) {
  frmSetup& f = Open();
  f.txtBrightness.SetText("250");
  f.UserFocus(f.txtQuality);
  f.txtQuality.UserSetText("0");
  // Leaving quality for brightness: quality takes the focus back, and brightness, losing it
  // that way, does not refuse its own value in turn.
  f.UserFocus(f.txtBrightness);
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(LastPrompt(), "Enter a number between 1 and 100");
  EXPECT_EQ(f.ActiveControl(), &f.txtQuality);
}

TEST_F(SetupTest, SaveAppliesTheControlsAndWritesEveryKeyInItsFormat) {
  core::WriteIni(kIni, "PREFERENCES", "IMAGE TYPE", "PNG");
  frmSetup& f = Open();
  f.ckbTrashcan.UserClick();
  f.ckbAutoDelete.UserClick();
  f.ckbPreviewCopyPics.UserClick();
  f.ckbButtons.UserClick();
  f.optScreen[4].UserClick();
  f.txtPixelX.UserSetText("1024");  // over 1000: refused while typing
  f.txtPixelY.UserSetText("768.5");
  f.txtQuality.UserSetText("92.5");
  f.txtBrightness.UserSetText("-0.5");
  f.txtLastCopy.UserSetText("E:\\DCIM");
  app.ClearBoxes();
  f.cmdSave.UserClick();
  EXPECT_FALSE(f.Loaded());
  // The last-copy folder is on a drive that does not exist: its notice, then its refusal.
  EXPECT_EQ(Prompts(),
            (std::vector<std::string>{
                "Creating directory E:\\DCIM.",
                "Unable to create directory E:\\DCIM.  Last Copy Directory stays blank."}));
  EXPECT_EQ(core::gbTrashcan, core::vbFalse);
  EXPECT_EQ(core::gbAutoDelete, core::vbTrue);
  EXPECT_EQ(core::gPreviewCopyPics, 0);
  EXPECT_EQ(core::gbUseButtons, core::vbFalse);
  EXPECT_EQ(core::gResolX, 800);
  EXPECT_EQ(core::gResolY, 768);  // halves to even
  EXPECT_EQ(core::gJpegQuality, 92);
  EXPECT_EQ(core::gBrightness, 0);
  EXPECT_EQ(core::gScreenSize, 4);
  EXPECT_EQ(core::gLastCopy, "");
  const std::pair<const char*, const char*> expected[] = {
      {"APPDIR", "C:\\Velmora\\"}, {"USERDIR", "C:\\Velmora\\"}, {"CAPTUREDIR", "C:\\GLENVUE\\"}};
  for (auto [key, value] : expected) EXPECT_EQ(Ini("DIRECTORIES", key), value) << key;
  EXPECT_EQ(Ini("COPY DEVICE", "LASTCOPY"), "");
  EXPECT_EQ(Ini("PREFERENCES", "TRASHCAN"), "0");
  EXPECT_EQ(Ini("PREFERENCES", "AUTODELETE"), "1");
  EXPECT_EQ(Ini("PREFERENCES", "PREVIEWCOPYPICS"), "0");
  EXPECT_EQ(Ini("PREFERENCES", "REDUX"), "1");
  EXPECT_EQ(Ini("PREFERENCES", "RESOLX"), "800");
  EXPECT_EQ(Ini("PREFERENCES", "RESOLY"), "768");
  EXPECT_EQ(Ini("PREFERENCES", "QUALITY"), "92");
  EXPECT_EQ(Ini("PREFERENCES", "BRIGHTNESS"), "0");
  EXPECT_EQ(Ini("PREFERENCES", "SCREENSIZE"), "4");
  EXPECT_EQ(Ini("PREFERENCES", "USEBUTTONS"), "0");
  EXPECT_EQ(Ini("PREFERENCES", "IMAGE TYPE"), "JPG");
  EXPECT_EQ(app.MousePointer(), forms::vbDefault);
}

TEST_F(SetupTest, ANewProgramFolderIsCreatedAfterItsNoticeAndKeptAsAFolder) {
  frmSetup& f = Open();
  f.SSConfig.UserSelectTab(0);
  f.UserFocus(f.txtProgramDir);
  f.txtProgramDir.UserSetText("C:\\NEWPROG");
  app.QueueAnswer(vbYes);
  f.UserFocus(f.txtUserDir);
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(LastPrompt(),
            "Chaning the Program Directory could cause Corvane Velmora to stop functioning. Do "
            "you wish to change?");
  EXPECT_EQ(app.Boxes()[0].ButtonSet(), forms::vbYesNo);
  f.cmdSave.UserClick();
  ASSERT_EQ(app.Boxes().size(), 2u);
  EXPECT_EQ(app.Boxes()[1].prompt, "Creating directory C:\\NEWPROG.");
  EXPECT_EQ(app.Boxes()[1].title, "Creating Directory");
  EXPECT_TRUE(std::filesystem::is_directory(prefix.Host("C:\\NEWPROG")));
  // Names joined to the setting stay inside the folder.
  EXPECT_EQ(core::gAppDir, "C:\\NEWPROG\\");
  EXPECT_EQ(Ini("DIRECTORIES", "APPDIR"), "C:\\NEWPROG\\");
}

TEST_F(SetupTest, AnUnwritableIniKeepsTheWindowOpen) {
  frmSetup& g = Open();
  g.ckbTrashcan.UserClick();
  core::gMainIniPath = "C:\\GONE\\VELMORA.INI";  // a folder that is not there
  app.ClearBoxes();
  g.cmdSave.UserClick();
  EXPECT_EQ(Prompts(), std::vector<std::string>{
                           "The configuration could not be saved to C:\\GONE\\VELMORA.INI."});
  EXPECT_TRUE(g.Loaded());
  EXPECT_TRUE(g.bConfigChanged);
  // The closing question's Yes cannot write either: the window stays.
  app.QueueAnswers({vbYes, vbOK});
  g.UserClose();
  EXPECT_TRUE(g.Loaded());
  EXPECT_EQ(app.Boxes().size(), 3u);
}

// A capture folder box left blank, or naming a folder that cannot be made (refused, saying so),
// leaves its setting as it was.
TEST_F(SetupTest, ABlankOrUnmakeableFolderLeavesItsSettingAsItWas) {
  const std::pair<const char*, const char*> rows[] = {
      {"   ", ""},
      {"Q:\\PICS",
       "Unable to create directory Q:\\PICS.  Camera (Capture) Directory stays C:\\GLENVUE\\."}};
  for (const auto& [text, refusal] : rows) {
    SCOPED_TRACE(text);
    app.ClearBoxes();
    frmSetup& f = Open();
    f.txtCaptureDir.UserSetText(text);
    f.cmdSave.UserClick();
    EXPECT_EQ(LastPrompt(), refusal);
    EXPECT_EQ(core::gCaptureDir, "C:\\GLENVUE\\");
    EXPECT_EQ(Ini("DIRECTORIES", "CAPTUREDIR"), "C:\\GLENVUE\\");
    EXPECT_FALSE(f.Loaded());
  }
}

TEST_F(SetupTest, NoToTheFolderWarningPutsThePreviousFolderBack) {
  frmSetup& f = Open();
  f.SSConfig.UserSelectTab(0);
  f.UserFocus(f.txtUserDir);
  f.txtUserDir.UserSetText("D:\\ELSEWHERE");
  app.QueueAnswer(vbNo);
  f.UserFocus(f.txtLastCopy);
  EXPECT_EQ(LastPrompt(),
            "Chaning the User Directory could cause Corvane Velmora to stop functioning (until "
            "reloading). Do you wish to change?");
  EXPECT_EQ(f.txtUserDir.Text(), "C:\\Velmora\\");
  // The same folder in another case or without its backslash asks nothing.
  app.ClearBoxes();
  Type(f, f.txtUserDir, "c:\\velmora", f.txtLastCopy);
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(SetupTest, LeavingAnUnchangedNumberDoesNotForgetEarlierChanges) {
  frmSetup& f = Open();
  f.ckbTrashcan.UserClick();
  Type(f, f.txtQuality, "95", f.txtBrightness);  // valid and unchanged
  app.QueueAnswer(vbYes);
  f.UserClose();
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(LastPrompt(), "Changes have been made to configuration. Save Changes?");
  EXPECT_EQ(core::gbTrashcan, core::vbFalse);
  EXPECT_EQ(Ini("PREFERENCES", "TRASHCAN"), "0");
}

TEST_F(SetupTest, ClosingAsksOnlyAfterChangesAndCancelStillCloses) {
  frmSetup& f = Open();
  f.cmdOK.UserClick();
  EXPECT_FALSE(f.Loaded());
  EXPECT_TRUE(app.Boxes().empty());

  frmSetup& g = Open();
  g.txtCaptureDir.UserSetText("C:\\PICS");
  app.QueueAnswers({forms::vbCancel, vbOK});
  g.UserClose();
  EXPECT_FALSE(g.Loaded());
  ASSERT_EQ(app.Boxes().size(), 2u);
  EXPECT_EQ(app.Boxes()[1].prompt, "Configuration has been restored to pre-existing settings");
  EXPECT_EQ(core::gCaptureDir, "C:\\GLENVUE\\");
}

TEST_F(SetupTest, CancelReloadsTheSettingsAndKeepsTheWindowOpen) {
  frmSetup& f = Open();
  f.txtQuality.UserSetText("50");
  f.ckbRedux.UserClick();
  f.optScreen[2].UserClick();
  f.cmdCancel.UserClick();
  EXPECT_TRUE(f.Loaded());
  EXPECT_EQ(f.txtQuality.Text(), "95");
  EXPECT_EQ(f.ckbRedux.Value(), 1);
  EXPECT_TRUE(f.optScreen[3].Value());
  EXPECT_EQ(core::gScreenSize, 3);
  EXPECT_TRUE(f.cmdOK.Enabled());
  EXPECT_TRUE(f.cmdSave.Enabled());
}

TEST_F(SetupTest, AboutAndEditGeneralViewsOpenTheirWindowsModally) {
  core::gbSetupOpen = core::vbTrue;
  frmSetup& f = Open();
  f.cmdAbout.UserClick();
  f.Command1.UserClick();
  ASSERT_EQ(app.ModalForms().size(), 2u);
  EXPECT_EQ(app.ModalForms()[0].form, "frmAbout");
  EXPECT_EQ(app.ModalForms()[1].form, "frmGenView");
  EXPECT_TRUE(f.Loaded());
}

}  // namespace
