// The general-view caption window in both modes: what it hands back, how it keeps the caption
// list in the INI file, and its layout variants.
#include "tools/frmGenView.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/imaging/Imaging.h"
#include "tests/unit/tools/ToolsFixture.h"

namespace {

using tools::frmGenView;

class GenViewTest : public ToolsFixture {
 protected:
  void StoreViews(const std::vector<std::string>& views) {
    for (size_t i = 0; i < views.size(); ++i) {
      SetIni("GENERAL VIEWS", "GENERALVIEW" + std::to_string(i + 1), views[i]);
    }
  }
  std::vector<std::string> Entries(frmGenView& w) {
    std::vector<std::string> out;
    for (int i = 0; i < w.lstViews.ListCount(); ++i) out.push_back(w.lstViews.List(i));
    return out;
  }
  frmGenView& Open() { return forms::FormInstance<frmGenView>(); }
  int IndexOf(frmGenView& w, const std::string& text) {
    for (int i = 0; i < w.lstViews.ListCount(); ++i)
      if (w.lstViews.List(i) == text) return i;
    return -1;
  }
};

TEST_F(GenViewTest, SelectModeShowsThePlacedPictureAndDefaultCaption) {
  const auto host = prefix.WriteFile("C:\\PICS\\FRONT.JPG", "");
  imaging::SaveJpeg(imaging::Picture::FromPixels(8, 6, std::vector<std::uint32_t>(48, 0xFF808080u)),
                    host, 90);
  core::gDragSourcePath = "C:\\PICS\\FRONT.JPG";
  StoreViews({"FRONT VIEW", "REAR VIEW"});
  auto& w = Open();
  EXPECT_EQ(w.txtView.Text(), "GENERAL VIEW");
  EXPECT_EQ(w.lblViews.Caption(), "Select the view for this photo or type one in and select 'OK'.");
  EXPECT_EQ(Entries(w), (std::vector<std::string>{"FRONT VIEW", "REAR VIEW"}));
  EXPECT_TRUE(w.ckbPicPreview.Visible());
  EXPECT_TRUE(w.geaPreview.Visible());
  EXPECT_TRUE(w.geaPreview.HasImage());
  EXPECT_EQ(w.geaPreview.ImageWidth(), 8);
}

TEST_F(GenViewTest, MissingPreviewPictureLeavesThePreviewEmpty) {
  core::gDragSourcePath = "C:\\PICS\\GONE.JPG";
  auto& w = Open();
  EXPECT_FALSE(w.geaPreview.HasImage());
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(GenViewTest, AnswersOkCancelAndCloseBox) {
  core::gGenViewCaption = "PRESET";
  auto& w = Open();
  w.txtView.UserSetText("porch");
  w.cmdOK.UserClick();
  EXPECT_EQ(core::gGenViewCaption, "porch");  // as typed, not upper-cased
  EXPECT_FALSE(w.Loaded());

  Open().cmdCancel.UserClick();
  EXPECT_EQ(core::gGenViewCaption, tools::kGenViewCancel);

  core::gGenViewCaption = "PRESET";
  Open().UserClose();  // the close box is Cancel
  EXPECT_EQ(core::gGenViewCaption, tools::kGenViewCancel);
}

TEST_F(GenViewTest, ListClickAndDoubleClickChooseTheEntry) {
  StoreViews({"FRONT VIEW", "STREET SCENE"});
  auto& w = Open();
  w.lstViews.UserSelect(1);
  EXPECT_EQ(w.txtView.Text(), "STREET SCENE");
  w.lstViews.UserDblClick();
  EXPECT_EQ(core::gGenViewCaption, "STREET SCENE");
  EXPECT_FALSE(w.Loaded());
}

TEST_F(GenViewTest, AddUpperCasesTrimsAndMarksTheListEvenWhenNothingWasAdded) {
  StoreViews({"FRONT VIEW"});
  auto& w = Open();
  w.txtView.UserSetText("  porch  ");
  w.cmdAddView.UserClick();
  EXPECT_EQ(Entries(w), (std::vector<std::string>{"FRONT VIEW", "PORCH"}));
  EXPECT_TRUE(w.bListChanged);
  w.txtView.UserSetText("Porch");
  w.imaAdd.UserClick();
  w.txtView.UserSetText("   ");
  w.cmdAddView.UserClick();
  EXPECT_EQ(w.lstViews.ListCount(), 2);
  // Closed by Cancel: the list is still written.
  w.cmdCancel.UserClick();
  EXPECT_EQ(Ini("GENERAL VIEWS", "GENERALVIEW2"), "PORCH");
}

TEST_F(GenViewTest, ListIsRewrittenOnlyAfterAddOrDelete) {
  StoreViews({"front view", "REAR VIEW"});
  const std::string before = IniBytes();
  auto& w = Open();
  w.lstViews.UserSelect(0);
  w.cmdOK.UserClick();
  EXPECT_EQ(IniBytes(), before);
}

TEST_F(GenViewTest, DeletedEntriesStayDeletedAtTheNextOpening) {
  StoreViews({"ONE", "TWO", "THREE", "FOUR", "FIVE"});
  {
    auto& w = Open();
    w.txtView.UserSetText("THREE");  // the typed text does not count
    w.lstViews.UserSelect(IndexOf(w, "FIVE"));
    w.cmdDelView.UserClick();
    w.cmdOK.UserClick();
  }
  EXPECT_EQ(Ini("GENERAL VIEWS", "GENERALVIEW4"), "FOUR");
  EXPECT_EQ(Ini("GENERAL VIEWS", "GENERALVIEW5"), "<missing>");
  auto& w = Open();
  EXPECT_EQ(Entries(w), (std::vector<std::string>{"ONE", "TWO", "THREE", "FOUR"}));
  w.lstViews.UserSelect(0);
  w.cmdDelView.UserClick();
  w.UserClose();
  EXPECT_EQ(Entries(Open()), (std::vector<std::string>{"TWO", "THREE", "FOUR"}));
}

TEST_F(GenViewTest, ListEditModeDeletesACaptionStoredInLowerCase) {
  core::gbSetupOpen = core::vbTrue;
  StoreViews({"front view", "REAR VIEW"});
  auto& w = Open();
  EXPECT_FALSE(w.geaPreview.Visible());
  EXPECT_FALSE(w.ckbPicPreview.Visible());
  EXPECT_EQ(w.lblViews.Caption(),
            "Type a new view and select 'ADD'  - OR - Highlight view from list and select "
            "'DELETE'.");
  EXPECT_NE(w.txtView.Text(), "GENERAL VIEW");
  w.lstViews.UserSelect(0);
  w.imaDelView.UserClick();
  EXPECT_EQ(Entries(w), (std::vector<std::string>{"REAR VIEW"}));
  // Nothing highlighted: nothing goes.
  w.lstViews.SetListIndex(-1);
  w.cmdDelView.UserClick();
  EXPECT_EQ(w.lstViews.ListCount(), 1);
}

TEST_F(GenViewTest, WithoutTextButtonsThePictureButtonsStillWork) {
  core::gbUseButtons = core::vbFalse;
  auto& w = Open();
  EXPECT_FALSE(w.cmdOK.Visible());
  EXPECT_FALSE(w.cmdCancel.Visible());
  EXPECT_FALSE(w.cmdAddView.Visible());
  EXPECT_FALSE(w.cmdDelView.Visible());
  EXPECT_TRUE(w.imaOK.Visible());
  w.txtView.UserSetText("SIDE VIEW");
  w.imaOK.UserClick();
  EXPECT_EQ(core::gGenViewCaption, "SIDE VIEW");
  core::gbUseButtons = core::vbTrue;
  EXPECT_TRUE(Open().cmdOK.Visible());
}

TEST_F(GenViewTest, PreviewBoxSwitchesThePreviewAndTheCopyPreference) {
  core::gPreviewCopyPics = 1;
  auto& w = Open();
  ASSERT_EQ(w.ckbPicPreview.Value(), 1);
  w.ckbPicPreview.UserClick();
  EXPECT_FALSE(w.geaPreview.Visible());
  EXPECT_EQ(core::gPreviewCopyPics, 0);
  w.ckbPicPreview.UserClick();
  EXPECT_TRUE(w.geaPreview.Visible());
  EXPECT_EQ(core::gPreviewCopyPics, 1);
}

TEST_F(GenViewTest, PlacementNormalAndCompact) {
  auto& w = Open();
  EXPECT_EQ(w.Height(), 9100);
  EXPECT_EQ(w.Left(), 600 + (12000 - w.Width()) / 2);
  EXPECT_EQ(w.Top(), 300 + (9000 - 9100) / 2);
  w.UserClose();

  core::gScreenSize = 1;
  auto& c = Open();
  EXPECT_EQ(c.Height(), 8400);
  EXPECT_EQ(c.Left(), 0);
  EXPECT_EQ(c.Top(), 0);
  EXPECT_EQ(c.lstViews.Height(), 5100);
  EXPECT_EQ(c.frabuttons.Top(), 4460);
  EXPECT_EQ(c.imaOK.Left(), 1820);
  EXPECT_EQ(c.cmdCancel.Top(), 3020);
  // The button frame still fits the compact window.
  EXPECT_LE(c.frabuttons.Top() + c.frabuttons.Height(), c.ScaleHeight());
}

TEST_F(GenViewTest, FocusOnTheTextSelectsIt) {
  auto& w = Open();
  w.UserFocus(w.txtView);
  EXPECT_EQ(w.txtView.SelStart(), 0);
  EXPECT_EQ(w.txtView.SelLength(), 12);
}

}  // namespace
