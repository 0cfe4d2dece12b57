// The picture editor on real pictures: crop, brightness, quality, undo, the kept copy and the
// information labels, and that no failure loses the user's picture.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/modVelmod.h"
#include "platform/imaging/Imaging.h"
#include "platform/vbrt/Strings.h"
#include "platform/winfs/WinFs.h"
#include "tests/support/OrientedJpeg.h"
#include "tests/unit/tools/PictureFiles.h"
#include "tests/unit/tools/ToolsFixture.h"
#include "tools/frmDouble.h"

namespace {

using tools::frmDouble;

constexpr std::uint32_t kRed = 0xFFE02020, kGreen = 0xFF20C040, kBlue = 0xFF2040E0,
                        kGrey = 0xFF808080;

class DoubleTest : public ToolsFixture {
 protected:
  DoubleTest() {
    prefix.MakeDir("C:\\USER");
    prefix.MakeDir("C:\\PICS");
    core::gUserDir = "C:\\USER\\";
    core::gJpegQuality = 95;
    core::gBrightness = 0;
    core::gbRedux = core::vbFalse;
    core::gResolX = 800;
    core::gResolY = 600;
  }

  // Four coloured quadrants with a little noise (so that the quality shows in the file size).
  static imaging::Picture Quadrants(int w, int h) {
    std::vector<std::uint32_t> px(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        std::uint32_t c = y < h / 2 ? (x < w / 2 ? kRed : kGreen) : (x < w / 2 ? kBlue : kGrey);
        const std::uint32_t noise = static_cast<std::uint32_t>((x * 7 + y * 13) % 16);
        px[static_cast<std::size_t>(y) * w + x] = c ^ noise;
      }
    return imaging::Picture::FromPixels(w, h, std::move(px));
  }
  void WriteJpeg(const std::string& path, int w = 80, int h = 60, int quality = 90) {
    imaging::SaveJpeg(Quadrants(w, h), prefix.Host(path), quality);
  }
  void WriteBmp(const std::string& path, int w = 80, int h = 60) {
    imaging::SaveBmp(Quadrants(w, h), prefix.Host(path));
  }
  imaging::Picture Decode(const std::string& path, imaging::PictureInfo* info = nullptr) {
    return imaging::Load(prefix.Host(path), info);
  }
  static int Red(std::uint32_t px) { return static_cast<int>((px >> 16) & 0xFF); }

  frmDouble& Open(const std::string& path) {
    core::gEditPicturePath = path;
    return forms::FormInstance<frmDouble>();
  }
  bool Exists(const std::string& path) { return winfs::FileExists(path); }
};

TEST_F(DoubleTest, OpeningClearsLeftoversCentresAndDescribesThePicture) {
  // A kept original left by an edit that never ended goes to the capture folder's trash, beside
  // an earlier one of its name; the strip's temporary file is deleted.
  core::gCaptureDir = "C:\\PICS\\";
  prefix.WriteFile("C:\\USER\\tempOrig.bmp", "old");
  prefix.WriteFile("C:\\USER\\TEMPTEMP.JPG", "old");
  prefix.WriteFile("C:\\USER\\tempOrig.TIF", "kept");
  prefix.MakeDir("C:\\PICS\\TRASHCAN");
  prefix.WriteFile("C:\\PICS\\TRASHCAN\\tempOrig.bmp", "older");
  WriteJpeg("C:\\PICS\\a.jpg");
  frmDouble& f = Open("C:\\PICS\\a.jpg");
  EXPECT_FALSE(Exists("C:\\USER\\tempOrig.bmp"));
  EXPECT_FALSE(Exists("C:\\USER\\temptemp.jpg"));
  EXPECT_FALSE(Exists("C:\\USER\\tempOrig.TIF"));
  EXPECT_EQ(ReadFile("C:\\PICS\\TRASHCAN\\tempOrig (2).bmp"), "old");
  EXPECT_EQ(ReadFile("C:\\PICS\\TRASHCAN\\tempOrig.bmp"), "older");
  EXPECT_EQ(ReadFile("C:\\PICS\\TRASHCAN\\tempOrig.TIF"), "kept");
  EXPECT_EQ(f.Caption(), "Double Size");
  EXPECT_EQ(f.Top(), main.Top() + (main.Height() - f.Height()) / 2);
  EXPECT_EQ(f.Left(), main.Left() + (main.Width() - f.Width()) / 2);
  EXPECT_EQ(f.lblFileName.Caption(), "C:\\PICS\\a.jpg");
  EXPECT_EQ(f.lblFileRes.Caption(), "80 x 60");
  EXPECT_EQ(f.lblFileBitDepth.Caption(), "24 bit(s) per pixel");
  EXPECT_EQ(f.lblFileFormat.Caption(), "JPEG File Interchange Format");
  EXPECT_EQ(f.lblFileCompression.Caption(), "JPEG baseline");
  EXPECT_NE(f.lblfiledate.Caption(), "N/A");
  EXPECT_EQ(f.lblFileSize.Caption(), frmDouble::FileSizeText(winfs::FileLen("C:\\PICS\\a.jpg")));
  // The brightness bar starts where it stood: its label keeps "###"; quality moved to 95.
  EXPECT_EQ(f.lblBrightness.Caption(), "###");
  EXPECT_EQ(f.lblquality.Caption(), "95");
  EXPECT_TRUE(f.bmpDouble.Visible());
  EXPECT_FALSE(f.bmpDouble2.Visible());
  EXPECT_FALSE(f.cmdCancel.Enabled());
  EXPECT_EQ(f.lstHow2.ListCount(), 12);
  EXPECT_EQ(f.lstHow2.List(3), "");
  EXPECT_EQ(f.lstHow2.List(11), "and clicking 'Compress' button");
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(DoubleTest, SizeTextGroupsRoundsAndAddsMegabytesAboveHalfAMegabyte) {
  EXPECT_EQ(frmDouble::FileSizeText(512000), "500. KB");
  EXPECT_EQ(frmDouble::FileSizeText(600000), "585.94 KB   ( .57 MB )");
  EXPECT_EQ(frmDouble::FileSizeText(5 * 1024 * 1024), "5,120. KB   ( 5. MB )");
  EXPECT_EQ(frmDouble::FileSizeText(100), ".1 KB");
}

TEST_F(DoubleTest, MissingPictureShowsNotAvailable) {
  frmDouble& f = Open("C:\\PICS\\gone.jpg");
  EXPECT_EQ(f.lblFileSize.Caption(), "N/A");
  EXPECT_EQ(f.lblfiledate.Caption(), "N/A");
  EXPECT_EQ(f.lblFileName.Caption(), "");
  f.cmdCompress.UserClick();  // nothing to compress
  EXPECT_FALSE(f.Compressed());
  EXPECT_FALSE(Exists("C:\\USER\\tempOrig.JPG"));
}

TEST_F(DoubleTest, BarsLabelsResetAndHelp) {
  WriteJpeg("C:\\PICS\\a.jpg");
  frmDouble& f = Open("C:\\PICS\\a.jpg");
  EXPECT_FALSE(f.ImageAttributesChanged());
  f.lblQualityCaption.UserClick();
  EXPECT_EQ(f.hsbquality.Value(), 70);
  EXPECT_EQ(f.lblquality.Caption(), "70");
  EXPECT_TRUE(f.ImageAttributesChanged());
  f.hsbcapturebrightness.UserSetValue(40);
  EXPECT_EQ(f.lblBrightness.Caption(), "40");
  EXPECT_EQ(f.bmpDouble.Brightness(), 40);
  f.imacapturebrightness.UserClick();
  EXPECT_EQ(f.hsbcapturebrightness.Value(), 0);
  EXPECT_EQ(f.lblBrightness.Caption(), "0");
  f.imaReset.UserClick();
  EXPECT_EQ(f.hsbquality.Value(), 95);
  EXPECT_FALSE(f.ImageAttributesChanged());

  f.imaHelp.UserClick();
  EXPECT_EQ(f.cmdHelp.Caption(), "Hide Help");
  EXPECT_TRUE(f.lstHow2.Visible());
  f.cmdHelp.UserClick();
  EXPECT_EQ(f.cmdHelp.Caption(), "Compression Help");
  EXPECT_FALSE(f.lstHow2.Visible());
}

TEST_F(DoubleTest, CompressingABmpMakesAJpegAndCancelPutsTheBmpBack) {
  WriteBmp("C:\\PICS\\a.bmp");
  const std::string original = ReadFile("C:\\PICS\\a.bmp");
  frmDouble& f = Open("C:\\PICS\\a.bmp");
  EXPECT_EQ(f.lblFileFormat.Caption(), "Windows Bitmap");
  f.imaCompress.UserClick();
  ASSERT_TRUE(f.Compressed());
  EXPECT_FALSE(Exists("C:\\PICS\\a.bmp"));
  EXPECT_EQ(ReadFile("C:\\USER\\tempOrig.BMP"), original);
  imaging::PictureInfo info;
  Decode("C:\\PICS\\A.jpg", &info);
  EXPECT_EQ(info.format, "JPEG");
  EXPECT_EQ(f.lblFileNameC.Caption(), "File Name:*");
  EXPECT_EQ(f.lblFileName.Caption(), "C:\\PICS\\a.jpg");  // its own name
  EXPECT_EQ(f.lblFileFormat.Caption(), "JPEG File Interchange Format");
  EXPECT_TRUE(f.bmpDouble2.Visible());
  EXPECT_TRUE(f.fraHLight.Visible());
  EXPECT_FALSE(f.bmpDouble.Visible());
  EXPECT_TRUE(f.cmdCancel.Enabled());
  EXPECT_FALSE(f.hsbquality.Enabled());
  EXPECT_EQ(core::gbRefreshThumbs, core::vbTrue);

  // A second Compress writes nothing and keeps the result in place.
  const std::string result = ReadFile("C:\\PICS\\A.jpg");
  f.cmdCompress.UserClick();
  EXPECT_EQ(ReadFile("C:\\PICS\\A.jpg"), result);
  EXPECT_EQ(f.lblFileNameC.Caption(), "File Name:*");

  f.cmdCancel.UserClick();
  EXPECT_FALSE(f.Compressed());
  EXPECT_EQ(winfs::ListFiles("C:\\PICS\\"), std::vector<std::string>{"a.bmp"});  // its own name
  EXPECT_EQ(ReadFile("C:\\PICS\\a.bmp"), original);
  EXPECT_FALSE(Exists("C:\\PICS\\A.jpg"));
  EXPECT_FALSE(Exists("C:\\USER\\tempOrig.BMP"));
  EXPECT_EQ(f.lblFileNameC.Caption(), "File Name:");
  EXPECT_TRUE(f.bmpDouble.Visible());
  EXPECT_FALSE(f.bmpDouble2.Visible());
  EXPECT_FALSE(f.cmdCancel.Enabled());
  EXPECT_TRUE(f.hsbquality.Enabled());
  EXPECT_EQ(core::gbRefreshThumbs, core::vbFalse);
  // Closing now hands back the picture itself, not the JPEG that Cancel removed.
  f.cmdExit.UserClick();
  EXPECT_FALSE(f.Loaded());
  EXPECT_TRUE(vb::EqualsNoCase(core::gDragSourcePath, "C:\\PICS\\a.bmp"));
}

TEST_F(DoubleTest, ExitKeepsTheCompressionAndHandsBackTheJpeg) {
  WriteBmp("C:\\PICS\\a.bmp");
  const std::string original = ReadFile("C:\\PICS\\a.bmp");
  core::gbRefreshThumbs = core::vbFalse;
  app.QueueModal("frmDouble", [](forms::Form& form) {
    auto& f = dynamic_cast<frmDouble&>(form);
    f.cmdCompress.UserClick();
    f.imaExit.UserClick();
  });
  core::gEditPicturePath = "C:\\PICS\\a.bmp";
  tools::ShowDouble();
  ASSERT_EQ(app.ModalForms().size(), 1u);
  EXPECT_FALSE(app.ModalForms()[0].leftOpen);
  EXPECT_EQ(core::gDragSourcePath, "C:\\PICS\\a.jpg");
  EXPECT_EQ(core::gbRefreshThumbs, core::vbTrue);
  EXPECT_FALSE(Exists("C:\\USER\\tempOrig.BMP"));
  EXPECT_FALSE(Exists("C:\\PICS\\a.bmp"));
  EXPECT_TRUE(Exists("C:\\PICS\\A.jpg"));
  EXPECT_EQ(ReadFile("C:\\PICS\\TRASHCAN\\a.bmp"), original);  // the unedited picture
}

TEST_F(DoubleTest, CompressingAJpegKeepsItsNameAndAppliesBrightnessAndQuality) {
  WriteJpeg("C:\\PICS\\x.jpg", 160, 120, 100);
  const std::string original = ReadFile("C:\\PICS\\x.jpg");
  {
    frmDouble& f = Open("C:\\PICS\\x.jpg");
    f.hsbquality.UserSetValue(10);
    f.hsbcapturebrightness.UserSetValue(50);
    f.cmdCompress.UserClick();
    ASSERT_TRUE(f.Compressed());
    EXPECT_EQ(ReadFile("C:\\USER\\tempOrig.JPG"), original);
    EXPECT_EQ(winfs::ListFiles("C:\\PICS\\"), std::vector<std::string>{"x.jpg"});
    const std::string low = ReadFile("C:\\PICS\\x.jpg");
    EXPECT_LT(low.size(), original.size() / 2);
    // Brightness +50 adds about 127 to each channel of the blue quadrant (red 0x20).
    imaging::Picture pic = Decode("C:\\PICS\\x.jpg");
    EXPECT_GT(Red(pic.Pixel(20, 100)), 0x20 + 100);
    // Undo restores the very bytes.
    f.cmdCancel.UserClick();
    EXPECT_EQ(ReadFile("C:\\PICS\\x.jpg"), original);
    EXPECT_FALSE(Exists("C:\\USER\\tempOrig.JPG"));
    EXPECT_EQ(f.hsbquality.Value(), 95);
    EXPECT_EQ(f.hsbcapturebrightness.Value(), 0);
    f.cmdExit.UserClick();
  }
  // Unchanged bars save at the configured quality, without brightness.
  core::gJpegQuality = 100;
  frmDouble& f = Open("C:\\PICS\\x.jpg");
  f.cmdCompress.UserClick();
  const std::string high = ReadFile("C:\\PICS\\x.jpg");
  EXPECT_GT(high.size(), original.size() / 2);
  EXPECT_LT(Red(Decode("C:\\PICS\\x.jpg").Pixel(20, 100)), 0x20 + 20);
}

TEST_F(DoubleTest, ReduxFitsThePictureInsideTheLimitsWithItsShape) {
  core::gbRedux = core::vbTrue;
  core::gResolX = 64;
  core::gResolY = 100;
  WriteJpeg("C:\\PICS\\x.jpg", 160, 120);
  frmDouble& f = Open("C:\\PICS\\x.jpg");
  f.cmdCompress.UserClick();
  imaging::PictureInfo info;
  Decode("C:\\PICS\\x.jpg", &info);
  EXPECT_EQ(info.width, 64);
  EXPECT_EQ(info.height, 48);
  EXPECT_EQ(f.lblFileRes.Caption(), "64 x 48");
  f.cmdExit.UserClick();
  // A picture inside the limits is never enlarged.
  WriteJpeg("C:\\PICS\\y.jpg", 40, 30);
  Open("C:\\PICS\\y.jpg").cmdCompress.UserClick();
  Decode("C:\\PICS\\y.jpg", &info);
  EXPECT_EQ(info.width, 40);
  EXPECT_EQ(info.height, 30);
}

// A camera picture stored sideways (Exif orientation 6) is edited and saved upright.
TEST_F(DoubleTest, ASidewaysCameraPictureIsShownAndSavedUpright) {
  const std::filesystem::path host = prefix.Host("C:\\PICS\\cam.jpg");
  imaging::SaveJpeg(oriented::Stored(80, 60, 6), host, 95);
  prefix.WriteFile("C:\\PICS\\cam.jpg",
                   oriented::WithApp1(ReadFile("C:\\PICS\\cam.jpg"), oriented::ExifPayload(6)));
  frmDouble& f = Open("C:\\PICS\\cam.jpg");
  EXPECT_EQ(f.lblFileRes.Caption(), "80 x 60");
  EXPECT_EQ(oriented::Quadrants(f.bmpDouble.DisplayImage()), oriented::kUpright);
  f.cmdCompress.UserClick();
  imaging::PictureInfo info;
  EXPECT_EQ(oriented::Quadrants(Decode("C:\\PICS\\cam.jpg", &info)), oriented::kUpright);
  EXPECT_EQ(info.orientation, 1);
  EXPECT_EQ(info.width, 80);
}

TEST_F(DoubleTest, CropWithTheRubberBandSavesTheSelectedPixels) {
  core::gCaptureDir = "C:\\PICS\\";
  WriteJpeg("C:\\PICS\\x.jpg", 80, 60, 100);
  const std::string original = ReadFile("C:\\PICS\\x.jpg");
  frmDouble& f = Open("C:\\PICS\\x.jpg");
  app.QueueAnswer(forms::vbNo);  // free shape
  f.cmdcrop.UserClick();
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt,
            "Select the area to crop with your mouse.   Select with same shape as picture? Do "
            "NOT save if you don't like the results.   It's permanent.");
  EXPECT_EQ(app.Boxes()[0].ButtonSet(), forms::vbYesNoCancel);
  EXPECT_EQ(app.Boxes()[0].title, app.Title());
  EXPECT_TRUE(f.bmpDouble.RubberBand());
  EXPECT_FALSE(f.bmpDouble.KeepProportions());
  // The lower-left (blue) quadrant, dragged from its bottom-right corner.
  app.QueueAnswer(forms::vbYes);
  f.bmpDouble.UserSelectionDone({40, 60, 0, 30});
  EXPECT_EQ(app.Boxes().back().prompt, "Save the results?");
  EXPECT_FALSE(f.bmpDouble.RubberBand());
  imaging::Picture pic = Decode("C:\\PICS\\x.jpg");
  EXPECT_EQ(pic.Width(), 40);
  EXPECT_EQ(pic.Height(), 30);
  EXPECT_NEAR(Red(pic.Pixel(20, 15)), 0x20, 12);
  EXPECT_NEAR(static_cast<int>(pic.Pixel(20, 15) & 0xFF), 0xE0, 12);
  EXPECT_EQ(core::gbRefreshThumbs, core::vbFalse);  // the picture itself: the flag stays
  EXPECT_EQ(f.lblFileRes.Caption(), "40 x 30");
  EXPECT_EQ(ReadFile("C:\\PICS\\TRASHCAN\\x.jpg"), original);  // the uncropped picture
}

// A file holds the format its name says: a bitmap's crop is a bitmap; a TIFF, which the editor
// does not write, stays and its crop is a JPEG beside it.
TEST_F(DoubleTest, ACropIsSavedInTheFormatOfItsFileName) {
  WriteBmp("C:\\PICS\\a.bmp");
  prefix.WriteFile("C:\\PICS\\t.tif", TinyTiff());
  for (const char* name : {"C:\\PICS\\a.bmp", "C:\\PICS\\t.tif"}) {
    frmDouble& f = Open(name);
    app.QueueAnswers({forms::vbNo, forms::vbYes});
    f.cmdcrop.UserClick();
    f.bmpDouble.UserSelectionDone({0, 0, 1, 1});
    f.cmdExit.UserClick();
  }
  imaging::PictureInfo info;
  EXPECT_EQ(Decode("C:\\PICS\\a.bmp", &info).Width(), 1);
  EXPECT_EQ(info.format, "BMP");
  EXPECT_EQ(ReadFile("C:\\PICS\\t.tif"), TinyTiff());
  EXPECT_EQ(Decode("C:\\PICS\\t.jpg", &info).Width(), 1);
  EXPECT_EQ(info.format, "JPEG");
  EXPECT_EQ(core::gDragSourcePath, "C:\\PICS\\t.jpg");
}

TEST_F(DoubleTest, AClickWithoutADragSelectsNothingAndTheRubberBandStays) {
  WriteJpeg("C:\\PICS\\x.jpg");
  const std::string original = ReadFile("C:\\PICS\\x.jpg");
  frmDouble& f = Open("C:\\PICS\\x.jpg");
  for (const int answer : {forms::vbNo, forms::vbYes}) {
    app.ClearBoxes();
    app.QueueAnswer(answer);
    f.cmdcrop.UserClick();
    f.bmpDouble.UserSelectionDone({30, 20, 30, 20});
    f.bmpDouble.UserSelectionDone({200, 200, 300, 250});  // beside the picture
    EXPECT_EQ(app.Boxes().size(), 1u);
    EXPECT_TRUE(f.bmpDouble.RubberBand());
    EXPECT_EQ(f.bmpDouble.ImageWidth(), 80);
  }
  EXPECT_EQ(ReadFile("C:\\PICS\\x.jpg"), original);
  // The next drag crops, saved with the brightness the preview shows; the bar then adds none.
  f.hsbcapturebrightness.UserSetValue(50);
  app.QueueAnswer(forms::vbYes);
  f.bmpDouble.UserSelectionDone({0, 0, 40, 30});
  const imaging::Picture saved = Decode("C:\\PICS\\x.jpg");
  EXPECT_EQ(saved.Width(), 40);
  EXPECT_GT(static_cast<int>(saved.Pixel(20, 15) & 0xFF), 0x20 + 100);  // the red quadrant's blue
  EXPECT_EQ(f.hsbcapturebrightness.Value(), 0);
  EXPECT_EQ(f.bmpDouble.DisplayImage().Pixel(20, 15) & 0xFF, saved.Pixel(20, 15) & 0xFF);
}

TEST_F(DoubleTest, CropNotSavedReloadsThePicture) {
  WriteJpeg("C:\\PICS\\x.jpg");
  const std::string original = ReadFile("C:\\PICS\\x.jpg");
  frmDouble& f = Open("C:\\PICS\\x.jpg");
  app.QueueAnswer(forms::vbYes);
  f.Image1.UserClick();
  EXPECT_TRUE(f.bmpDouble.KeepProportions());
  std::string asked;  // the size shown while "Save the results?" is asked
  app.SetDefaultAnswer([&](const forms::MsgBoxRecord&) {
    asked = f.lblFileRes.Caption();
    return forms::vbNo;
  });
  f.bmpDouble.UserSelectionDone({0, 0, 40, 10});  // made the picture's shape: 40 x 30
  EXPECT_EQ(asked, "40 x 30");
  EXPECT_EQ(f.lblFileRes.Caption(), "80 x 60");
  EXPECT_EQ(ReadFile("C:\\PICS\\x.jpg"), original);
  EXPECT_EQ(f.bmpDouble.ImageWidth(), 80);
  EXPECT_EQ(f.bmpDouble.ImageHeight(), 60);
  // Cancel of the question arms nothing.
  app.QueueAnswer(forms::vbCancel);
  f.cmdcrop.UserClick();
  EXPECT_FALSE(f.bmpDouble.RubberBand());
}

TEST_F(DoubleTest, CropOfTheCompressedCopyGoesToItsOwnFile) {
  WriteBmp("C:\\PICS\\a.bmp");
  frmDouble& f = Open("C:\\PICS\\a.bmp");
  f.cmdCompress.UserClick();
  core::gbRefreshThumbs = core::vbFalse;
  app.QueueAnswers({forms::vbNo, forms::vbYes});
  f.cmdcrop.UserClick();
  f.bmpDouble2.UserSelectionDone({0, 0, 20, 30});
  EXPECT_EQ(core::gbRefreshThumbs, core::vbTrue);
  EXPECT_FALSE(Exists("C:\\PICS\\a.bmp"));  // the picture is not written back under its old name
  imaging::PictureInfo info;
  Decode("C:\\PICS\\A.jpg", &info);
  EXPECT_EQ(info.width, 20);
  EXPECT_EQ(info.height, 30);
  // Cancel still goes back to the unedited picture.
  f.cmdCancel.UserClick();
  Decode("C:\\PICS\\a.bmp", &info);
  EXPECT_EQ(info.width, 80);
  EXPECT_FALSE(Exists("C:\\PICS\\A.jpg"));
}

TEST_F(DoubleTest, CorruptPictureIsReportedAndNeverTouched) {
  prefix.WriteFile("C:\\PICS\\bad.jpg", std::string("\xFF\xD8\xFF garbage", 11));
  const std::string bytes = ReadFile("C:\\PICS\\bad.jpg");
  frmDouble& f = Open("C:\\PICS\\bad.jpg");
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt, "The File 'C:\\PICS\\bad.jpg' appears to be a corrupt file.");
  f.cmdCompress.UserClick();
  EXPECT_FALSE(f.Compressed());
  EXPECT_EQ(ReadFile("C:\\PICS\\bad.jpg"), bytes);
  f.cmdExit.UserClick();
  EXPECT_EQ(ReadFile("C:\\PICS\\bad.jpg"), bytes);
}

TEST_F(DoubleTest, ReadOnlyPictureRefusesACropSaveAndKeepsItsBytes) {
  WriteJpeg("C:\\PICS\\x.jpg");
  const std::string original = ReadFile("C:\\PICS\\x.jpg");
  winfs::SetAttr("C:\\PICS\\x.jpg", winfs::kReadOnly);
  frmDouble& f = Open("C:\\PICS\\x.jpg");
  app.QueueAnswers({forms::vbNo, forms::vbYes});
  f.cmdcrop.UserClick();
  f.bmpDouble.UserSelectionDone({0, 0, 10, 10});
  ASSERT_EQ(app.Boxes().size(), 3u);
  EXPECT_EQ(app.Boxes()[2].title, "Error");
  EXPECT_EQ(ReadFile("C:\\PICS\\x.jpg"), original);
  EXPECT_EQ(f.bmpDouble.ImageWidth(), 80);  // shows the file as it is again
}

TEST_F(DoubleTest, CompressionThatCannotKeepTheOriginalChangesNothing) {
  prefix.WriteFile("C:\\BLOCKED", "a file where the user folder should be");
  core::gUserDir = "C:\\BLOCKED\\";
  WriteBmp("C:\\PICS\\a.bmp");
  const std::string original = ReadFile("C:\\PICS\\a.bmp");
  frmDouble& f = Open("C:\\PICS\\a.bmp");
  f.cmdCompress.UserClick();
  EXPECT_FALSE(f.Compressed());
  EXPECT_EQ(ReadFile("C:\\PICS\\a.bmp"), original);
  EXPECT_FALSE(Exists("C:\\PICS\\A.jpg"));
  EXPECT_EQ(f.lblFileNameC.Caption(), "File Name:");
  EXPECT_EQ(core::gbRefreshThumbs, core::vbFalse);
}

TEST_F(DoubleTest, FailedSaveOfTheCompressionKeepsTheOriginal) {
  WriteBmp("C:\\PICS\\a.bmp");
  prefix.MakeDir("C:\\PICS\\A.jpg");  // the target cannot be written
  const std::string original = ReadFile("C:\\PICS\\a.bmp");
  frmDouble& f = Open("C:\\PICS\\a.bmp");
  f.cmdCompress.UserClick();
  EXPECT_FALSE(f.Compressed());
  EXPECT_EQ(ReadFile("C:\\PICS\\a.bmp"), original);
  EXPECT_FALSE(Exists("C:\\USER\\tempOrig.BMP"));
  EXPECT_TRUE(f.bmpDouble.Visible());
  EXPECT_FALSE(f.cmdCancel.Enabled());
  f.cmdExit.UserClick();
  EXPECT_TRUE(vb::EqualsNoCase(core::gDragSourcePath, "C:\\PICS\\a.bmp"));
}

TEST_F(DoubleTest, UndoThatCannotRestoreKeepsTheKeptCopy) {
  WriteBmp("C:\\PICS\\a.bmp");
  const std::string original = ReadFile("C:\\PICS\\a.bmp");
  frmDouble& f = Open("C:\\PICS\\a.bmp");
  f.cmdCompress.UserClick();
  prefix.MakeDir("C:\\PICS\\A.BMP");  // the original's place is taken
  f.cmdCancel.UserClick();
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt, "Unable to undo changes: original file is missing");
  EXPECT_EQ(app.Boxes()[0].title, "Unable to Retrieve Original");
  EXPECT_TRUE(f.Compressed());
  EXPECT_EQ(ReadFile("C:\\USER\\tempOrig.BMP"), original);
  EXPECT_TRUE(Exists("C:\\PICS\\A.jpg"));

  // A JPEG that cannot be overwritten: the copy fails though the file is there.
  WriteJpeg("C:\\PICS\\x.jpg");
  const std::string jpeg = ReadFile("C:\\PICS\\x.jpg");
  f.cmdExit.UserClick();
  app.ClearBoxes();
  frmDouble& g = Open("C:\\PICS\\x.jpg");
  g.cmdCompress.UserClick();
  winfs::SetAttr("C:\\PICS\\x.jpg", winfs::kReadOnly);
  g.cmdCancel.UserClick();
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].title, "Unable to Retrieve Original");
  EXPECT_EQ(ReadFile("C:\\USER\\tempOrig.JPG"), jpeg);
  winfs::SetAttr("C:\\PICS\\x.jpg", winfs::kNormal);
  g.cmdCancel.UserClick();
  EXPECT_EQ(ReadFile("C:\\PICS\\x.jpg"), jpeg);
  EXPECT_FALSE(Exists("C:\\USER\\tempOrig.JPG"));
}

TEST_F(DoubleTest, CancelBeforeAnyCompressionResetsTheWindow) {
  WriteJpeg("C:\\PICS\\x.jpg");
  frmDouble& f = Open("C:\\PICS\\x.jpg");
  core::gbRefreshThumbs = core::vbTrue;
  f.hsbquality.UserSetValue(40);
  f.imaCancel.UserClick();  // the picture button works while the text button is disabled
  EXPECT_EQ(f.hsbquality.Value(), 95);
  EXPECT_EQ(core::gbRefreshThumbs, core::vbFalse);
  EXPECT_FALSE(f.cmdCancel.Enabled());
  EXPECT_TRUE(f.bmpDouble.Visible());
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(DoubleTest, CancelRemovesTheJpegMadeBesideAPictureOfAnotherName) {
  // Only the last extension changes: the result of house.front.bmp is house.front.jpg.
  WriteBmp("C:\\PICS\\house.front.bmp");
  const std::string original = ReadFile("C:\\PICS\\house.front.bmp");
  frmDouble& f = Open("C:\\PICS\\house.front.bmp");
  f.cmdCompress.UserClick();
  EXPECT_EQ(winfs::ListFiles("C:\\PICS\\"), std::vector<std::string>{"house.front.jpg"});
  EXPECT_TRUE(Exists("C:\\USER\\tempOrig.BMP"));
  f.cmdCancel.UserClick();
  EXPECT_FALSE(Exists("C:\\PICS\\house.front.jpg"));
  EXPECT_EQ(ReadFile("C:\\PICS\\house.front.bmp"), original);
}

// A JPEG keeps its whole name (house.back.jpg beside house.front.jpg), and A.bmp beside another
// A.jpg gets the next free name.
TEST_F(DoubleTest, TheResultNeverTakesTheNameOfAnotherPicture) {
  WriteJpeg("C:\\PICS\\house.front.jpg", 80, 60);
  WriteJpeg("C:\\PICS\\house.back.jpg", 40, 30);
  Open("C:\\PICS\\house.front.jpg").cmdCompress.UserClick();
  forms::FormInstance<frmDouble>().cmdExit.UserClick();
  EXPECT_EQ(core::gDragSourcePath, "C:\\PICS\\house.front.jpg");
  frmDouble& back = Open("C:\\PICS\\house.back.jpg");
  back.cmdCompress.UserClick();
  back.cmdExit.UserClick();
  EXPECT_EQ(core::gDragSourcePath, "C:\\PICS\\house.back.jpg");
  EXPECT_EQ(winfs::ListFiles("C:\\PICS\\", "*.jpg"),
            (std::vector<std::string>{"house.back.jpg", "house.front.jpg"}));
  EXPECT_EQ(Decode("C:\\PICS\\house.front.jpg").Width(), 80);
  EXPECT_EQ(Decode("C:\\PICS\\house.back.jpg").Width(), 40);

  WriteBmp("C:\\PICS\\a.bmp");
  WriteJpeg("C:\\PICS\\A.jpg", 40, 30);
  const std::string other = ReadFile("C:\\PICS\\A.jpg");
  const std::string original = ReadFile("C:\\PICS\\a.bmp");
  frmDouble& f = Open("C:\\PICS\\a.bmp");
  f.cmdCompress.UserClick();
  ASSERT_TRUE(f.Compressed());
  EXPECT_EQ(Decode("C:\\PICS\\A (2).jpg").Width(), 80);
  EXPECT_EQ(ReadFile("C:\\PICS\\A.jpg"), other);
  f.cmdCancel.UserClick();
  EXPECT_FALSE(Exists("C:\\PICS\\A (2).jpg"));
  EXPECT_EQ(ReadFile("C:\\PICS\\A.jpg"), other);
  EXPECT_EQ(ReadFile("C:\\PICS\\a.bmp"), original);
  EXPECT_TRUE(app.Boxes().empty());
}

// A kept original that cannot be copied into the trash is never deleted.
TEST_F(DoubleTest, ALeftoverThatCannotGoToTheTrashStaysWhereItIs) {
  core::gCaptureDir = "C:\\PICS\\";
  prefix.WriteFile("C:\\PICS\\TRASHCAN", "a file where the trash folder should be");
  prefix.WriteFile("C:\\USER\\tempOrig.JPG", "the only original");
  WriteJpeg("C:\\PICS\\a.jpg");
  frmDouble& f = Open("C:\\PICS\\a.jpg");
  EXPECT_EQ(ReadFile("C:\\USER\\tempOrig.JPG"), "the only original");
  EXPECT_EQ(f.lblFileRes.Caption(), "80 x 60");
  // Nor does a compression, which needs its name, overwrite it: it is refused with a message.
  const std::string picture = ReadFile("C:\\PICS\\a.jpg");
  f.cmdCompress.UserClick();
  EXPECT_FALSE(f.Compressed());
  EXPECT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(ReadFile("C:\\USER\\tempOrig.JPG"), "the only original");
  EXPECT_EQ(ReadFile("C:\\PICS\\a.jpg"), picture);
}

}  // namespace
