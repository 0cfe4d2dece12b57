// The imaging control over real picture files, and the text box's DDE link.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <thread>

#include "platform/dde/Server.h"
#include "platform/forms/App.h"
#include "platform/forms/Control.h"
#include "platform/forms/Drag.h"
#include "platform/forms/Form.h"
#include "platform/forms/Gear.h"
#include "platform/forms/HeadlessApp.h"
#include "platform/forms/TextBox.h"
#include "platform/imaging/Imaging.h"
#include "platform/vbrt/VbError.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/TempPrefix.h"

using namespace forms;

namespace {

struct Bare : Form {
  Bare() : Form("frmBare", "-") {}
};

struct GearTest : ::testing::Test {
  TempPrefix prefix;
  HeadlessApp app;
  Bare form;

  // A w x h JPEG, grey 100, at a Windows path.
  void WriteJpeg(const std::string& winPath, int w, int h) {
    prefix.WriteFile(winPath, "");
    std::vector<std::uint32_t> px(static_cast<size_t>(w) * h, 0xFF646464u);
    imaging::SaveJpeg(imaging::Picture::FromPixels(w, h, std::move(px)), prefix.Host(winPath), 95);
  }
};

TEST_F(GearTest, APictureDecodedAheadIsTakenOnceAndOnlyForItsFileAndSize) {
  WriteJpeg("C:\\CAP\\a.jpg", 640, 480);
  Gear thumb(form, "GeaThumb", 0);
  thumb.Move(0, 0, 1200, 900);
  thumb.SetAutoResizeX(80);
  thumb.SetAutoResizeY(60);
  thumb.SetAutoReduce(3);
  int w = 0, h = 0;
  thumb.ReducedLoadSize(80, 60, w, h);
  EXPECT_EQ(w, 80);
  EXPECT_EQ(h, 60);

  // The decoded picture stands in for the file, its error too.
  imaging::ReducedLoad failed;
  failed.error = 481;
  thumb.PrepareLoad("C:\\CAP\\a.jpg", 80, 60, failed);
  EXPECT_EQ(ErrorOf([&] { thumb.LoadImage("C:\\CAP\\a.jpg"); }), 481);
  thumb.LoadImage("C:\\CAP\\a.jpg");  // taken once only: decoded from the file now
  EXPECT_EQ(thumb.ImageWidth(), 640);

  // Another size, or a file written since, is decoded afresh.
  thumb.PrepareLoad("C:\\CAP\\a.jpg", 160, 120, failed);
  EXPECT_EQ(ErrorOf([&] { thumb.LoadImage("C:\\CAP\\a.jpg"); }), 0);
  thumb.PrepareLoad("C:\\CAP\\a.jpg", 80, 60, failed);
  WriteJpeg("C:\\CAP\\a.jpg", 320, 200);
  EXPECT_EQ(ErrorOf([&] { thumb.LoadImage("C:\\CAP\\a.jpg"); }), 0);
  EXPECT_EQ(thumb.ImageWidth(), 320);

  // A large control loads a copy as large as it is shown.
  Gear slot(form, "imaComp", 1);
  slot.Move(0, 0, 4440, 3330);
  slot.SetAutoResizeX(80);
  slot.SetAutoResizeY(60);
  slot.SetAutoReduce(3);
  WriteJpeg("C:\\CAP\\big.jpg", 1600, 1200);
  slot.LoadImage("C:\\CAP\\big.jpg");
  EXPECT_GE(slot.DisplayImage().Width(), 296);
  EXPECT_GE(slot.DisplayImage().Height(), 222);
  EXPECT_LT(slot.DisplayImage().Width(), 1600);
}

TEST_F(GearTest, ReducedThumbnailKeepsTheTrueSizeAndSavesFullSize) {
  WriteJpeg("C:\\CAP\\big.jpg", 640, 480);
  Gear thumb(form, "GeaThumb", 0);
  thumb.SetAutoResizeX(80);
  thumb.SetAutoResizeY(60);
  thumb.SetAutoReduce(3);
  thumb.LoadImage("C:\\CAP\\big.jpg");
  thumb.SetThumbPath("C:\\CAP\\big.jpg");
  EXPECT_EQ(thumb.ImageWidth(), 640);
  EXPECT_EQ(thumb.ImageHeight(), 480);
  EXPECT_LE(thumb.DisplayImage().Width(), 80);
  EXPECT_EQ(thumb.FormatText().empty(), false);

  prefix.MakeDir("C:\\USER");
  thumb.SetSaveFormat(kGearJpeg);
  thumb.SetSaveQuality(60);
  thumb.SaveImage("C:\\USER\\PTEMP_00.JPG");
  imaging::PictureInfo info = imaging::Probe(prefix.Host("C:\\USER\\PTEMP_00.JPG"));
  EXPECT_EQ(info.width, 640);
  EXPECT_EQ(info.height, 480);

  // A corrupt file raises 481 and the control keeps its picture.
  prefix.WriteFile("C:\\CAP\\bad.jpg", "not a picture");
  EXPECT_EQ(ErrorOf([&] { thumb.LoadImage("C:\\CAP\\bad.jpg"); }), 481);
  EXPECT_EQ(ErrorOf([&] { thumb.LoadImage("C:\\CAP\\none.jpg"); }), 53);
  EXPECT_EQ(thumb.ImageWidth(), 640);
  EXPECT_TRUE(thumb.HasImage());

  thumb.DelImage();
  EXPECT_FALSE(thumb.HasImage());
  EXPECT_EQ(ErrorOf([&] { thumb.SaveImage("C:\\USER\\x.jpg"); }), 481);
}

TEST_F(GearTest, ResizeBrightnessAndRubberBandCrop) {
  WriteJpeg("C:\\CAP\\pic.jpg", 400, 300);
  Gear res(form, "geaRes");
  res.LoadImage("C:\\CAP\\pic.jpg");
  res.SetNewWidth(200);
  res.SetNewHeight(300);  // each side on its own
  res.ApplyResize();
  EXPECT_EQ(res.ImageWidth(), 200);
  EXPECT_EQ(res.ImageHeight(), 300);

  res.SetBrightness(50);
  std::uint32_t shown = res.DisplayImage().Pixel(10, 10) & 0xFF;
  EXPECT_GT(shown, 150u);
  EXPECT_EQ(ErrorOf([&] { res.SetBrightness(101); }), 380);
  res.SetSaveBrightness(-50);
  res.SaveImage("C:\\CAP\\dark.jpg");
  imaging::Picture dark = imaging::Load(prefix.Host("C:\\CAP\\dark.jpg"));
  EXPECT_LT(dark.Pixel(10, 10) & 0xFF, 60u);

  std::vector<int> done;
  res.SelectionDone = [&](int l, int t, int r, int b) { done = {l, t, r, b}; };
  res.UserSelectionDone({10, 10, 50, 50});  // rubber band off: ignored
  EXPECT_TRUE(done.empty());
  res.SetRubberBand(true);
  res.SetKeepProportions(true);
  res.UserSelectionDone({110, 90, 10, 10});  // dragged up-left; shaped like 200 x 300
  EXPECT_EQ(done, (std::vector<int>{10, 10, 110, 160}));
  // Near the bottom the shaped band grows upwards from the press point or stops at the edge.
  EXPECT_EQ(res.DraggedBand(150, 250, 110, 200), (SelectionRect{110, 190, 150, 250}));
  EXPECT_EQ(res.DraggedBand(150, 250, 190, 290), (SelectionRect{150, 250, 183, 300}));
  res.SetCropRect(done[0], done[1], done[2], done[3]);
  res.ApplyCrop();
  EXPECT_EQ(res.ImageWidth(), 100);
  EXPECT_EQ(res.ImageHeight(), 150);
  EXPECT_FALSE(res.SelectionVisible());
  res.SetCropRect(5, 5, 5, 9);
  EXPECT_EQ(ErrorOf([&] { res.ApplyCrop(); }), 380);
}

// A DDE server answering on a thread, as KEP would.
struct FakeKep : dde::Handler {
  std::string poked;
  std::string executed;
  dde::Answer Connect(const dde::Conversation& c) override {
    return c.topic == "System" ? dde::Answer::Ok() : dde::Answer::Refuse();
  }
  dde::Answer Request(const dde::Conversation&, const std::string& item) override {
    if (item == "ActiveReports") return dde::Answer::Ok("C:\\KEP\\REPORT1.KEP");
    return dde::Answer::Refuse();
  }
  dde::Answer Execute(const dde::Conversation&, const std::string& command) override {
    executed = command;
    return dde::Answer::Ok();
  }
  dde::Answer Poke(const dde::Conversation&, const std::string&, const std::string& data) override {
    poked = data;
    return dde::Answer::Ok();
  }
};

TEST_F(GearTest, TextBoxLinkRequestFillsTextAndRaisesChange) {
  std::filesystem::path dir = prefix.Root() / "dde";
  std::filesystem::create_directories(dir);
  std::filesystem::permissions(dir, std::filesystem::perms::owner_all);
  setenv("VELMORA_DDE_DIR", dir.c_str(), 1);
  FakeKep kep;
  dde::Server server("KEP", kep, {dir});
  std::thread serving([&] { server.Run(); });

  TextBox txtDDE(form, "txtDDE");
  int changes = 0;
  txtDDE.Change = [&] { ++changes; };
  EXPECT_EQ(ErrorOf([&] { txtDDE.LinkRequest(); }), 293);
  txtDDE.SetLinkTopic("kep|System");
  txtDDE.SetLinkMode(2);
  txtDDE.SetLinkItem("ActiveReports");
  txtDDE.LinkRequest();
  EXPECT_EQ(txtDDE.Text(), "C:\\KEP\\REPORT1.KEP");
  EXPECT_EQ(changes, 1);
  txtDDE.SetLinkItem("Unknown");
  EXPECT_EQ(ErrorOf([&] { txtDDE.LinkRequest(); }), 285);
  EXPECT_EQ(txtDDE.Text(), "C:\\KEP\\REPORT1.KEP");
  txtDDE.SetText("poked text");
  txtDDE.LinkPoke();
  txtDDE.LinkExecute("[RunMacro(\"x\")]");
  txtDDE.SetLinkMode(0);

  server.Stop();
  serving.join();
  unsetenv("VELMORA_DDE_DIR");
  EXPECT_EQ(kep.poked, "poked text");
  EXPECT_EQ(kep.executed, "[RunMacro(\"x\")]");
}

}  // namespace
