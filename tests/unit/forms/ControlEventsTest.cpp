// Events raised when code sets a value, control by control, and control arrays.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/forms/App.h"
#include "platform/forms/Control.h"
#include "platform/forms/ControlArray.h"
#include "platform/forms/Controls.h"
#include "platform/forms/DatePicker.h"
#include "platform/forms/Drag.h"
#include "platform/forms/Form.h"
#include "platform/forms/Gear.h"
#include "platform/forms/HeadlessApp.h"
#include "platform/forms/ListControls.h"
#include "platform/forms/TabControl.h"
#include "platform/forms/TextBox.h"
#include "platform/vbrt/VbError.h"
#include "tests/support/ErrorOf.h"

using namespace forms;

namespace {

struct Bare : Form {
  Bare() : Form("frmBare", "-") {}
};

struct EventsTest : ::testing::Test {
  HeadlessApp app;
  Bare form;
  std::vector<std::string> log;
  std::function<void()> Logger(std::string what) {
    return [this, what] { log.push_back(what); };
  }
};

TEST_F(EventsTest, ListBoxListIndexRaisesClickEveryTimeAndChecksRange) {
  ListBox lst(form, "lstFound");
  lst.Click = Logger("Click");
  lst.AddItem("b");
  lst.AddItem("a");
  lst.AddItem("c", 0);
  EXPECT_EQ(lst.List(0), "c");
  EXPECT_EQ(lst.NewIndex(), 0);
  lst.SetListIndex(1);
  lst.SetListIndex(1);
  lst.SetListIndex(-1);
  EXPECT_EQ(log.size(), 3u);
  EXPECT_EQ(ErrorOf([&] { lst.SetListIndex(3); }), 380);
  EXPECT_EQ(ErrorOf([&] { lst.SetListIndex(-2); }), 380);
  EXPECT_EQ(ErrorOf([&] { lst.AddItem("x", 5); }), 5);
  EXPECT_EQ(ErrorOf([&] { lst.RemoveItem(3); }), 5);
  EXPECT_EQ(lst.List(99), "");

  // Removing the selected entry leaves nothing selected; Clear raises nothing.
  lst.SetListIndex(2);
  lst.RemoveItem(2);
  EXPECT_EQ(lst.ListIndex(), -1);
  log.clear();
  lst.Clear();
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(lst.ListCount(), 0);
}

TEST_F(EventsTest, ListBoxSelectedAndSortedInsertion) {
  ListBox lst(form, "lstSel");
  ASSERT_TRUE(lst.SetDesignProperty("MultiSelect", "2"));
  ASSERT_TRUE(lst.SetDesignProperty("Sorted", "True"));
  lst.Click = Logger("Click");
  for (const char* s : {"img10.jpg", "IMG_2.JPG", "Img1.jpg", "apple"}) lst.AddItem(s);
  EXPECT_EQ(lst.List(0), "apple");
  lst.SetSelected(1, true);
  lst.SetSelected(3, true);
  lst.SetSelected(3, false);
  EXPECT_EQ(log.size(), 3u);
  EXPECT_EQ(lst.SelCount(), 1);
  EXPECT_TRUE(lst.Selected(1));
  EXPECT_EQ(lst.ListIndex(), 3);
  EXPECT_EQ(ErrorOf([&] { lst.SetSelected(4, true); }), 381);

  // Extended selection by the user: Shift extends, Ctrl toggles.
  lst.UserSelect(0);
  lst.UserSelect(2, vbShiftMask);
  EXPECT_EQ(lst.SelCount(), 3);
  lst.UserSelect(1, vbCtrlMask);
  EXPECT_FALSE(lst.Selected(1));
}

// Views add only the new rows while the edit count stays: an entry added at the end keeps it,
// every other change of the entries moves it on.
TEST_F(EventsTest, ListEditsStayForAnEntryAddedAtTheEndOnly) {
  ListBox lst(form, "lstFound");
  ComboBox cbo(form, "cboPick");
  for (const char* s : {"b", "d"}) {
    lst.AddItem(s);
    cbo.AddItem(s);
  }
  const unsigned long listEdits = lst.ListEdits(), comboEdits = cbo.ListEdits();
  lst.AddItem("e", lst.ListCount());
  cbo.AddItem("e");
  EXPECT_EQ(lst.ListEdits(), listEdits);
  EXPECT_EQ(cbo.ListEdits(), comboEdits);
  unsigned long last = lst.ListEdits();
  for (const auto& edit : std::vector<std::function<void()>>{
           [&] { lst.AddItem("a", 0); }, [&] { lst.SetList(1, "B"); }, [&] { lst.RemoveItem(3); },
           [&] { lst.Clear(); }}) {
    edit();
    EXPECT_NE(lst.ListEdits(), last);
    last = lst.ListEdits();
  }
  ASSERT_TRUE(lst.SetDesignProperty("Sorted", "True"));
  lst.AddItem("m");
  last = lst.ListEdits();
  lst.AddItem("z");  // sorts to the end
  EXPECT_EQ(lst.ListEdits(), last);
  lst.AddItem("c");  // sorts before "m"
  EXPECT_NE(lst.ListEdits(), last);
  EXPECT_EQ(ErrorOf([&] { cbo.SetList(3, "x"); }), 381);
  EXPECT_EQ(ErrorOf([&] { cbo.AddItem("x", 4); }), 5);
  EXPECT_EQ(ErrorOf([&] { cbo.RemoveItem(-1); }), 5);
}

TEST_F(EventsTest, TextBoxChangeOnlyWhenTheTextDiffers) {
  TextBox txt(form, "txtPixelX");
  txt.Change = Logger("Change");
  txt.SetText("800");
  txt.SetText("800");
  txt.SetText("");
  EXPECT_EQ(log.size(), 2u);
  txt.SetMaxLength(3);
  txt.SetText("12345");
  EXPECT_EQ(txt.Text(), "123");
  txt.SetSelStart(1);
  txt.SetSelLength(10);
  EXPECT_EQ(txt.SelText(), "23");
  txt.SetSelText("x");
  EXPECT_EQ(txt.Text(), "1x");
  EXPECT_EQ(ErrorOf([&] { txt.SetSelStart(-1); }), 380);

  // Typing: ignored while locked.
  txt.SetLocked(true);
  txt.UserSetText("999");
  EXPECT_EQ(txt.Text(), "1x");
}

TEST_F(EventsTest, ComboBoxTextListIndexAndDropDownList) {
  ComboBox cbo(form, "cboGeneral", 1);
  cbo.Click = Logger("Click");
  cbo.Change = Logger("Change");
  cbo.AddItem("FRONT VIEW");
  cbo.AddItem("REAR VIEW");
  cbo.SetText("STREET");
  cbo.SetListIndex(1);
  EXPECT_EQ(cbo.Text(), "REAR VIEW");
  EXPECT_EQ(log, (std::vector<std::string>{"Change", "Click"}));
  cbo.UserSetText("SIDE");
  EXPECT_EQ(cbo.ListIndex(), -1);

  ComboBox list(form, "cboList");
  ASSERT_TRUE(list.SetDesignProperty("Style", "2"));
  list.AddItem("STREET");
  list.SetText("street");
  EXPECT_EQ(list.ListIndex(), 0);
  EXPECT_EQ(ErrorOf([&] { list.SetText("garage"); }), 383);
}

TEST_F(EventsTest, CheckBoxAndOptionButtonsRaiseClickOnlyOnAChange) {
  CheckBox ckb(form, "ckbRedux");
  ckb.Click = Logger("ckb");
  ckb.SetValue(vbChecked);
  ckb.SetValue(vbChecked);
  ckb.SetValue(vbGrayed);
  EXPECT_EQ(log.size(), 2u);
  EXPECT_EQ(ErrorOf([&] { ckb.SetValue(3); }), 380);
  EXPECT_EQ(ErrorOf([&] { ckb.SetValue(-1); }), 380);
  ckb.UserClick();  // grey -> unchecked
  EXPECT_EQ(ckb.Value(), vbUnchecked);

  // Two groups: on the form, and in a frame.
  Frame fra(form, "fraOther");
  OptionButton a(form, "optA"), b(form, "optB"), c(form, "optC");
  c.SetContainer(&fra);
  a.SetValue(true);
  c.SetValue(true);
  log.clear();
  b.Click = Logger("b");
  b.SetValue(true);
  b.SetValue(true);
  EXPECT_FALSE(a.Value());
  EXPECT_TRUE(c.Value());  // another group
  EXPECT_EQ(log, std::vector<std::string>{"b"});
}

TEST_F(EventsTest, HScrollBarChangeOnlyOnARealChangeWithinRange) {
  HScrollBar hsb(form, "hsbcapturebrightness");
  hsb.Change = Logger("Change");
  hsb.Scroll = Logger("Scroll");
  hsb.SetMin(-100);
  hsb.SetMax(100);
  hsb.SetValue(0);  // already 0
  hsb.SetValue(25);
  hsb.SetValue(25);
  EXPECT_EQ(log, std::vector<std::string>{"Change"});
  EXPECT_EQ(ErrorOf([&] { hsb.SetValue(101); }), 380);
  EXPECT_EQ(hsb.Value(), 25);
  hsb.UserDragThumb(30);
  EXPECT_EQ(log.back(), "Scroll");
  // Shrinking the range pulls the value in, with its Change.
  hsb.SetMax(10);
  EXPECT_EQ(hsb.Value(), 10);
  EXPECT_EQ(log.back(), "Change");
}

TEST_F(EventsTest, TabControlClickCarriesThePreviousTab) {
  TabControl tab(form, "TabComp");
  std::vector<int> previous;
  tab.TabClick = [&](int p) { previous.push_back(p); };
  tab.SetTabCaption(2, "N/A");
  tab.SetTab(2);
  tab.SetTab(2);
  EXPECT_EQ(tab.Caption(), "N/A");
  tab.SetTabEnabled(1, false);
  tab.UserSelectTab(1);  // disabled page: ignored
  tab.UserSelectTab(0);
  EXPECT_EQ(previous, (std::vector<int>{0, 2}));
  EXPECT_EQ(ErrorOf([&] { tab.SetTab(3); }), 380);

  // Controls on a page are shown only while their page is current.
  Label onPage(form, "lblOnPage");
  onPage.SetContainer(&tab, 1);
  EXPECT_FALSE(onPage.IsShown());
  tab.SetTab(1);
  EXPECT_TRUE(onPage.IsShown());
  EXPECT_EQ(tab.PageControls(1), std::vector<Control*>{&onPage});
}

TEST_F(EventsTest, DatePickerRaisesChangeOnlyForTheUser) {
  DatePicker dt(form, "DTPicker1");
  dt.Change = Logger("Change");
  dt.CloseUp = Logger("CloseUp");
  dt.SetValue(CalendarDate::Serial(2024, 3 - 1, 31));  // 31 February runs into March
  EXPECT_EQ(dt.Value(), (CalendarDate{2024, 3, 2}));
  EXPECT_TRUE(log.empty());
  dt.UserSetValue({2024, 1, 5});
  dt.UserCloseUp();
  EXPECT_EQ(log, (std::vector<std::string>{"Change", "CloseUp"}));
  EXPECT_EQ(CalendarDate::Serial(2024, 0, 15), (CalendarDate{2023, 12, 15}));
  EXPECT_EQ(ErrorOf([&] { dt.SetValue({2024, 2, 30}); }), 380);
}

TEST_F(EventsTest, ObserversSeeEveryPropertyChange) {
  Label lbl(form, "lblCapDir");
  std::vector<Prop> seen;
  int id = lbl.Subscribe([&](Control&, Prop p) { seen.push_back(p); });
  lbl.SetCaption("C:\\PICS");
  lbl.SetCaption("C:\\PICS");
  lbl.Move(10, 20, 300, 40);
  lbl.SetVisible(false);
  lbl.ZOrder(0);
  lbl.Unsubscribe(id);
  lbl.SetCaption("other");
  EXPECT_EQ(seen, (std::vector<Prop>{Prop::Caption, Prop::Geometry, Prop::Visible, Prop::ZOrder}));

  Gear slot(form, "imaComp", 1);  // Redraw False holds the picture's changes back
  std::vector<Prop> painted;
  slot.Subscribe([&](Control&, Prop p) { painted.push_back(p); });
  slot.SetRedraw(false);
  slot.SetThumbPath("C:\\PICS\\A.JPG");
  slot.SetDisplayStretch(true);
  slot.SetRedraw(true);
  EXPECT_EQ(painted, (std::vector<Prop>{Prop::Picture}));
}

// An observer may unsubscribe itself or subscribe another while it is told: the change in
// hand still goes to the observers there were when it began, and only to them.
TEST_F(EventsTest, ObserversMayComeAndGoWhileTheyAreTold) {
  Label lbl(form, "lblCapDir");
  std::vector<std::string> seen;
  int first = 0;
  first = lbl.Subscribe([&](Control&, Prop) {
    seen.push_back("first");
    lbl.Unsubscribe(first);
    lbl.Subscribe([&](Control&, Prop) { seen.push_back("late"); });
  });
  lbl.Subscribe([&](Control&, Prop) { seen.push_back("second"); });
  lbl.SetCaption("one");
  EXPECT_EQ(seen, (std::vector<std::string>{"first", "second"}));
  seen.clear();
  lbl.SetCaption("two");
  EXPECT_EQ(seen, (std::vector<std::string>{"second", "late"}));
}

TEST_F(EventsTest, ControlArraysHaveGapsBoundsAndLateBoundHandlers) {
  ControlArray<Gear> ima(form, "imaGeneral");
  EXPECT_EQ(ErrorOf([&] { ima.UBound(); }), 340);
  std::vector<int> clicked;
  ima.Bind(&Gear::Click, [&](int Index) { clicked.push_back(Index); });
  for (int i = 0; i <= 36; ++i) ima.Ensure(i);
  ima.Ensure(40);
  EXPECT_EQ(ima.Count(), 38);
  EXPECT_EQ(ima.LBound(), 0);
  EXPECT_EQ(ima.UBound(), 40);
  try {
    ima[38].SetVisible(true);
    FAIL() << "no error for a missing element";
  } catch (const vb::VbError& e) {
    EXPECT_EQ(e.Number(), 340);
    EXPECT_NE(e.Description().find("'38'"), std::string::npos);
  }
  ima[40].UserClick();
  ima[3].UserClick();
  EXPECT_EQ(clicked, (std::vector<int>{40, 3}));
  EXPECT_EQ(ima[40].Name(), "imaGeneral");
  EXPECT_EQ(ima[40].Index(), 40);
  EXPECT_EQ(form.FindControl("IMAGENERAL", 40), &ima[40]);

  // VB's Load copies the lowest element's design and starts hidden.
  ima[0].Move(100, 200, 300, 400);
  Gear& added = ima.Load(41);
  EXPECT_EQ(added.Width(), 300);
  EXPECT_FALSE(added.Visible());
  EXPECT_EQ(ErrorOf([&] { ima.Load(41); }), 360);
  ima.Unload(41);
  EXPECT_FALSE(ima.Exists(41));
  int n = 0;
  for (Gear& g : ima) n += g.Index() >= 0;
  EXPECT_EQ(n, 38);
}

TEST_F(EventsTest, AnErrorEscapingAUserEventIsReportedOnce) {
  CommandButton cmd(form, "cmdCopy");
  cmd.Click = [] { vb::Raise(vb::kFileNotFound); };
  cmd.UserClick();
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt, "Run-time error '53':\n\nFile not found");
  EXPECT_EQ(app.Boxes()[0].Icon(), vbCritical);
  // From code the error reaches the caller.
  EXPECT_EQ(ErrorOf([&] { cmd.SetValue(true); }), 53);
  EXPECT_EQ(cmd.AccessKey(), 0);
  cmd.SetCaption("&Compress Picture");
  EXPECT_EQ(cmd.AccessKey(), 'C');
}

}  // namespace
