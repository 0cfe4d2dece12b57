// Layout files: the sample window with every control type, and malformed files.

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "platform/forms/HeadlessApp.h"
#include "platform/forms/Layout.h"
#include "tests/support/SampleForm.h"
#include "tests/support/TempPrefix.h"

using namespace forms;

namespace {

struct LayoutTest : ::testing::Test {
  TempPrefix prefix;
  HeadlessApp app;
  void TearDown() override { ResetFormInstances(); }
};

TEST_F(LayoutTest, SampleLayoutBuildsEveryControlType) {
  SampleForm f;
  f.Load();
  EXPECT_EQ(f.log, std::vector<std::string>{"Form_Load"});
  EXPECT_EQ(f.Caption(), "Sample Window");
  EXPECT_EQ(f.Width(), 12000);
  EXPECT_TRUE(f.KeyPreview());
  EXPECT_EQ(f.Icon().Width(), 32);

  std::set<std::string> types;
  for (Control* c : f.Controls()) types.insert(c->TypeName());
  EXPECT_EQ(types, (std::set<std::string>{"CheckBox", "ComboBox", "CommandButton", "DatePicker",
                                          "DirListBox", "DriveListBox", "FileListBox", "Frame",
                                          "Gear", "HScrollBar", "Image", "Label", "Line", "ListBox",
                                          "Menu", "OptionButton", "TabControl", "TextBox"}));
  // Controls() follows the file's order.
  EXPECT_EQ(f.Controls().front(), &f.mnuFile);
  EXPECT_EQ(f.Controls().back(), &f.imaComp[4]);

  EXPECT_EQ(f.lblTitle.Caption(), "Capture directory: C:\\GLENVUE\\");
  EXPECT_EQ(f.lblTitle.ToolTipText(), "The \"capture\" folder");
  EXPECT_EQ(f.lblTitle.GetFont().Name, "Arial");
  EXPECT_DOUBLE_EQ(f.lblTitle.GetFont().Size, 9.75);
  EXPECT_TRUE(f.lblTitle.GetFont().Bold);
  EXPECT_EQ(f.lblTitle.ForeColor(), 0xC0u);
  EXPECT_EQ(f.txtName.Text(), "first");
  EXPECT_EQ(f.txtName.MaxLength(), 40);
  EXPECT_EQ(f.txtDDE.LinkTimeout(), 100);
  EXPECT_FALSE(f.txtDDE.Visible());
  EXPECT_EQ(f.cboGeneral.Indexes(), (std::vector<int>{1, 3}));
  EXPECT_EQ(f.cboGeneral[3].Style(), vbComboDropdownList);
  EXPECT_EQ(f.cboGeneral[1].List(1), "REAR VIEW");
  EXPECT_EQ(f.lstFavorites.ListCount(), 2);
  EXPECT_EQ(f.filCapture.Pattern(), "*.jpg;*.bmp;*.tif");
  EXPECT_EQ(f.optScreen[1].Container(), &f.fraScreen);
  EXPECT_TRUE(f.optScreen[0].Value());
  EXPECT_EQ(f.hsbquality.Value(), 75);
  EXPECT_EQ(f.hsbquality.LargeChange(), 10);
  EXPECT_TRUE(f.cmdOK.Default());
  EXPECT_TRUE(f.cmdCancel.Cancel());
  EXPECT_FALSE(f.imaTrash.Picture().Empty());
  EXPECT_EQ(f.linSep.X2(), 11800);
  EXPECT_EQ(f.linSep.Width(), 11680);
  EXPECT_EQ(f.DTPicker1.Value(), (CalendarDate{2024, 3, 3}));
  EXPECT_EQ(f.GeaThumb[1].AutoResizeX(), 80);
  EXPECT_TRUE(f.GeaThumb[0].DisplayStretch());
  EXPECT_EQ(f.TabComp.Tabs(), 3);
  EXPECT_EQ(f.TabComp.TabCaption(2), "N/A");
  EXPECT_EQ(f.imaComp[4].Container(), &f.TabComp);
  EXPECT_EQ(f.imaComp[4].TabPage(), 1);
  EXPECT_TRUE(f.imaComp[1].IsShown());
  EXPECT_FALSE(f.imaComp[4].IsShown());
  std::vector<Menu*> items = f.mnuFile.Items();
  ASSERT_EQ(items.size(), 3u);
  EXPECT_TRUE(items[1]->IsSeparator());
  items[2]->UserClick();
  EXPECT_EQ(f.log.back(), "mnuFile_Entry_Click 2");
}

struct Target : Form {
  Target() : Form("frmTarget", "-") {}
  Label lblA{*this, "lblA"};
  Frame fraA{*this, "fraA"};
  ControlArray<Gear> imaA{*this, "imaA"};
  TabControl TabA{*this, "TabA"};
};

int LineOf(const std::string& text) {
  Target t;
  std::istringstream in(text);
  try {
    LoadLayout(t, in, "bad.layout");
  } catch (const LayoutError& e) {
    EXPECT_EQ(e.Number(), 321);
    EXPECT_EQ(e.File(), "bad.layout");
    EXPECT_EQ(e.Description().rfind("bad.layout:" + std::to_string(e.Line()) + ": ", 0), 0u)
        << e.Description();
    return e.Line();
  }
  return 0;
}

TEST_F(LayoutTest, MalformedLayoutsAreRejectedWithTheirLineNumber) {
  const std::string head = "Form frmTarget\n  Caption = \"x\"\n";
  EXPECT_EQ(LineOf(head), 0);
  EXPECT_EQ(LineOf(head + "Control Label lblB\n"), 3);                // not declared
  EXPECT_EQ(LineOf(head + "Control TextBox lblA\n"), 3);              // wrong type
  EXPECT_EQ(LineOf(head + "Control Label lblA\n  Colour = 1\n"), 4);  // unknown property
  EXPECT_EQ(LineOf(head + "Control Label lblA\n  Left = ten\n"), 4);  // bad number
  EXPECT_EQ(LineOf(head + "Control Label lblA\n  Caption = \"open\n"), 4);
  EXPECT_EQ(LineOf(head + "Control Label lblA\n  Caption = two words\n"), 4);
  EXPECT_EQ(LineOf(head + "Control Gear imaA\n"), 3);  // index missing
  EXPECT_EQ(LineOf(head + "Control Gear imaA(-1)\n"), 3);
  EXPECT_EQ(LineOf(head + "Control Label lblA\n  Parent = fraA\n"), 4);  // parent below
  EXPECT_EQ(LineOf(head + "Control Frame fraA\nControl Label lblA\n  Parent = TabA\n"), 5);
  EXPECT_EQ(LineOf(head + "Control TabControl TabA\n  TabCaption(7) = \"x\"\n"), 4);
  EXPECT_EQ(LineOf(head + "Control Label lblA\n  Picture = \"x.bmp\"\n"), 4);
  EXPECT_EQ(LineOf("Control Label lblA\n"), 1);
  EXPECT_EQ(LineOf("# empty\n"), 1);
  EXPECT_EQ(LineOf(head + "\n\nControl Gear imaA(2)\n  Picture = \"layouts/none.bmp\"\n"), 6);
}

TEST_F(LayoutTest, AMissingLayoutFileNamesTheFile) {
  struct Missing : Form {
    Missing() : Form("frmMissing") {}
  } m;
  try {
    m.Load();
    FAIL();
  } catch (const LayoutError& e) {
    EXPECT_EQ(e.Number(), 53);
    EXPECT_NE(e.Description().find("frmMissing.layout"), std::string::npos);
  }
  EXPECT_FALSE(m.Loaded());
}

}  // namespace
