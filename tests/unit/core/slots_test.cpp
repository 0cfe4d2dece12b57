// Loading and clearing slot and thumbnail pictures, the empty-slot marker and the address
// captions under the slots.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/frmMainControls.h"
#include "core/modVelmod.h"
#include "core/modVelmodSlots.h"
#include "platform/imaging/Imaging.h"
#include "platform/vbrt/Strings.h"
#include "platform/vbrt/VbError.h"
#include "tests/support/CoreFixture.h"

namespace {

using namespace core;

class SlotsTest : public CoreFixture {
 protected:
  SlotsTest() {
    app.SetTitle("Velmora");
    gAppDir = "C:\\Velmora\\";
    form.CreateElements();
    SetMainForm(&form);
  }
  ~SlotsTest() override { SetMainForm(nullptr); }

  // A real JPEG of w x h pixels at a Windows path.
  void WriteJpeg(const std::string& winPath, int w, int h) {
    const auto host = prefix.WriteFile(winPath, "");
    std::vector<std::uint32_t> px(static_cast<std::size_t>(w * h), 0xFF3080C0u);
    imaging::SaveJpeg(imaging::Picture::FromPixels(w, h, std::move(px)), host, 90);
  }

  MainFormControls form{"frmMain", "-"};
};

TEST(IsEmptyPict, EmptyTextAndTheEmptyMarkerInAnyCase) {
  EXPECT_TRUE(IsEmptyPict(""));
  EXPECT_TRUE(IsEmptyPict("C:\\Velmora\\empty.jpg"));
  EXPECT_TRUE(IsEmptyPict("D:\\PICS\\Empty.JPG"));
  EXPECT_TRUE(IsEmptyPict("C:\\X\\EMPTY.JPG.BAK"));  // the marker anywhere in the path
  EXPECT_FALSE(IsEmptyPict("C:\\PICS\\MYEMPTY.JPG"));
  EXPECT_FALSE(IsEmptyPict("EMPTY.JPG"));  // no backslash before the name
  EXPECT_FALSE(IsEmptyPict(" "));
}

TEST_F(SlotsTest, ThumbnailLoadsReducedAndStretched) {
  WriteJpeg("C:\\PICS\\BIG.JPG", 400, 300);
  forms::Gear& thumb = form.GeaThumb[0];
  thumb.SetVisible(false);
  ErrLoadThumb(thumb, "C:\\PICS\\BIG.JPG");
  EXPECT_EQ(thumb.ThumbPath(), "C:\\PICS\\BIG.JPG");
  EXPECT_TRUE(thumb.Visible());
  EXPECT_TRUE(thumb.DisplayStretch());
  EXPECT_EQ(thumb.AutoResizeX(), 80);
  EXPECT_EQ(thumb.AutoResizeY(), 60);
  EXPECT_EQ(thumb.AutoReduce(), 3);
  EXPECT_TRUE(thumb.HasImage());
  EXPECT_LE(thumb.DisplayImage().Width(), 80);
  EXPECT_LE(thumb.DisplayImage().Height(), 60);
  EXPECT_EQ(thumb.ImageWidth(), 400);  // the picture's own size
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(SlotsTest, MissingFileOnlyEmptiesThePathOfAThumbnail) {
  WriteJpeg("C:\\PICS\\A.JPG", 40, 30);
  forms::Gear& slot = form.imaComp[1];
  ErrLoadThumb(slot, "C:\\PICS\\A.JPG");
  slot.SetVisible(false);

  ErrLoadThumb(slot, "C:\\PICS\\GONE.JPG");
  EXPECT_EQ(slot.ThumbPath(), "");
  EXPECT_TRUE(slot.Visible());
  EXPECT_TRUE(slot.HasImage());  // the old picture stays
  ErrLoadThumb(slot, "   ");
  EXPECT_EQ(slot.ThumbPath(), "");
  EXPECT_TRUE(slot.HasImage());
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(SlotsTest, MissingFolderClearsTheControl) {
  WriteJpeg("C:\\PICS\\A.JPG", 40, 30);
  forms::Gear& thumb = form.GeaThumb[3];
  ErrLoadThumb(thumb, "C:\\PICS\\A.JPG");
  ErrLoadThumb(thumb, "C:\\NOWHERE\\A.JPG");
  EXPECT_EQ(thumb.ThumbPath(), "");
  EXPECT_FALSE(thumb.HasImage());
  EXPECT_FALSE(thumb.Visible());  // a thumbnail is hidden when cleared
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(SlotsTest, CorruptFileIsReportedAndShowsNoStalePicture) {
  WriteJpeg("C:\\PICS\\A.JPG", 40, 30);
  prefix.WriteFile("C:\\PICS\\BAD.JPG", "this is not a picture");
  gCurrentProc = "errdisplayThumbs";
  forms::Gear& thumb = form.GeaThumb[2];
  ErrLoadThumb(thumb, "C:\\PICS\\A.JPG");

  ErrLoadThumb(thumb, "C:\\PICS\\BAD.JPG");
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt, "The File 'C:\\PICS\\BAD.JPG' appears to be a corrupt file.");
  EXPECT_EQ(app.Boxes()[0].title, "Velmora");
  EXPECT_EQ(app.Boxes()[0].ButtonSet(), forms::vbOKOnly);
  // The thumbnail goes on with its steps: it names the file but shows no picture of another.
  EXPECT_EQ(thumb.ThumbPath(), "C:\\PICS\\BAD.JPG");
  EXPECT_TRUE(thumb.Visible());
  EXPECT_FALSE(thumb.HasImage());
  EXPECT_EQ(vb::RTrim(gCurrentProc.str()), "errdisplayThumbs");  // the caller's name stays
}

TEST_F(SlotsTest, LoadPictErrorsAndMissingFile) {
  WriteJpeg("C:\\PICS\\A.JPG", 40, 30);
  forms::Gear& slot = form.imaGeneral[4];
  ErrLoadPict(slot, "C:\\PICS\\A.JPG");
  EXPECT_TRUE(slot.HasImage());
  EXPECT_EQ(slot.ThumbPath(), "C:\\PICS\\A.JPG");

  slot.SetVisible(false);
  ErrLoadPict(slot, "C:\\PICS\\NONE.JPG");
  EXPECT_TRUE(slot.Visible());
  EXPECT_FALSE(slot.HasImage());
  EXPECT_EQ(slot.ThumbPath(), "");

  // A pattern finds a file but is no file name: the "File not found." message.
  ErrLoadPict(slot, "C:\\PICS\\*.JPG");
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt, "C:\\PICS\\*.JPGFile not found.");
}

TEST_F(SlotsTest, ClearingHidesOnlyThumbnailsAndPlaceholderIsEmpty) {
  WriteJpeg("C:\\PICS\\A.JPG", 40, 30);
  forms::Gear& thumb = form.GeaThumb[0];
  forms::Gear& slot = form.imaSubject[1];
  ErrLoadThumb(thumb, "C:\\PICS\\A.JPG");
  ErrLoadThumb(slot, "C:\\PICS\\A.JPG");

  ErrClearPict(thumb);
  ErrClearPict(slot);
  EXPECT_FALSE(thumb.Visible());
  EXPECT_TRUE(slot.Visible());
  EXPECT_EQ(slot.ThumbPath(), "");
  EXPECT_FALSE(slot.HasImage());

  ErrLoadThumb(slot, "C:\\PICS\\A.JPG");
  geaClearImage(slot);
  EXPECT_EQ(slot.ThumbPath(), "C:\\Velmora\\empty.jpg");
  EXPECT_TRUE(IsEmptyPict(slot.ThumbPath()));
  EXPECT_FALSE(slot.HasImage());
}

TEST_F(SlotsTest, SlotsLoadAtTheirSizeOnScreenAndShowThePlaceholder) {
  WriteJpeg("C:\\PICS\\BIG.JPG", 1600, 1200);
  WriteJpeg("C:\\Velmora\\empty.jpg", 320, 240);
  forms::Gear& slot = form.imaComp[2];
  slot.Move(0, 0, 4440, 3330);  // 296 x 222 pixels
  ErrLoadThumb(slot, "C:\\PICS\\BIG.JPG");
  EXPECT_EQ(slot.AutoResizeX(), 80);
  EXPECT_GE(slot.DisplayImage().Width(), 296);
  EXPECT_GE(slot.DisplayImage().Height(), 222);
  EXPECT_LT(slot.DisplayImage().Width(), 1600);  // still a reduced copy
  EXPECT_EQ(slot.ImageWidth(), 1600);

  forms::Gear& thumb = form.GeaThumb[1];
  thumb.Move(0, 0, 1200, 900);
  ErrLoadThumb(thumb, "C:\\PICS\\BIG.JPG");
  EXPECT_LE(thumb.DisplayImage().Width(), 80);

  geaClearImage(slot);
  EXPECT_EQ(slot.ThumbPath(), "C:\\Velmora\\empty.jpg");
  EXPECT_TRUE(slot.HasImage());  // the placeholder is shown, not only named
  EXPECT_FALSE(slot.DisplayImage().IsNull());
  // Decoded once for slots of one size, and again once its file changed.
  forms::Gear& other = form.imaComp[3];
  other.Move(0, 0, 4440, 3330);
  ErrLoadThumb(other, "C:\\PICS\\BIG.JPG");
  geaClearImage(other);
  EXPECT_EQ(other.DisplayImage().Row(0), slot.DisplayImage().Row(0));
  WriteJpeg("C:\\Velmora\\empty.jpg", 640, 480);
  geaClearImage(other);
  EXPECT_EQ(other.ImageWidth(), 640);
  prefix.WriteFile("C:\\Velmora\\empty.jpg", "damaged");
  geaClearImage(slot);
  EXPECT_FALSE(slot.HasImage());
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(SlotsTest, LabelTagsAndAddressCaptions) {
  forms::Label& tag = form.lbltag[5];
  ErrLoadLblTag(tag, "IMG_0001.JPG");
  EXPECT_EQ(tag.Caption(), "IMG_0001.JPG");
  ErrLoadLblTag(tag, "   ");
  EXPECT_EQ(tag.Caption(), "");
  ErrLoadLblTag(tag, " A ");
  EXPECT_EQ(tag.Caption(), " A ");  // not trimmed

  gSubjectAddr = "1 Elm St";
  for (int i = 0; i <= 20; ++i) {
    const std::string n = std::to_string(i);
    gCompAddr[i] = "comp " + n;
    gAltCompAddr[i] = "alt " + n;
    gListingAddr[i] = "list " + n;
    gSpecificListingAddr[i] = "spec " + n;
    gReoListingAddr[i] = "reo " + n;
    gReo2ListingAddr[i] = "reo2 " + n;
    gRentalAddr[i] = "rent " + n;
  }
  setSubjectLabels();
  SetSalesLabels();
  SetAltSalesLabels();
  SetListingLabels();
  SetSpecificListingLabels();
  SetReoListingLabels();
  SetReo2ListingLabels();
  SetRentalLabels();
  EXPECT_EQ(form.lblSubjectAddr.Caption(), "1 Elm St");
  EXPECT_EQ(form.lblCompAddr[1].Caption(), "comp 1");
  EXPECT_EQ(form.lblCompAddr[9].Caption(), "comp 9");
  EXPECT_EQ(form.lblAltCompAddr[6].Caption(), "alt 6");
  EXPECT_EQ(form.lblListingAddr[6].Caption(), "list 6");
  EXPECT_EQ(form.lblSpecificListingAddr[4].Caption(), "spec 4");
  EXPECT_EQ(form.lblReoListingAddr[3].Caption(), "reo 3");
  EXPECT_EQ(form.lblReo2ListingAddr[2].Caption(), "reo2 2");
  EXPECT_EQ(form.lblRentalAddr[9].Caption(), "rent 9");
}

TEST_F(SlotsTest, CaptionSetterRaisesForAMissingLabel) {
  MainFormControls bare{"frmMain", "-"};
  SetMainForm(&bare);
  try {
    SetSalesLabels();
    FAIL() << "no error";
  } catch (const vb::VbError& e) {
    EXPECT_EQ(e.Number(), 340);
  }
  SetMainForm(&form);
}

}  // namespace
