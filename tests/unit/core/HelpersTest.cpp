// Path, file, text, list, shell and screen helpers.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/lstControl.h"
#include "core/modShell32.h"
#include "core/modVBCommon.h"
#include "core/mod_Resize.h"
#include "platform/forms/Form.h"
#include "platform/forms/ListControls.h"
#include "platform/forms/TextBox.h"
#include "tests/support/CoreFixture.h"

namespace {

using namespace core;

struct Parts {
  std::string drive, directory, name, extension;
  bool operator==(const Parts&) const = default;
};

Parts Parse(const std::string& path) {
  Parts p{"x", "x", "x", "x"};
  ParseFileName(path, p.drive, p.directory, p.name, p.extension);
  return p;
}

class PathTest : public CoreFixture {};

TEST_F(PathTest, ParseFileNameSplitsAtTheFirstDot) {
  EXPECT_EQ(Parse("c:\\pics\\house.front.jpg"), (Parts{"C:", "\\PICS\\", "HOUSE", "FRONT.JPG"}));
  EXPECT_EQ(Parse("  d:\\a\\name.  "), (Parts{"D:", "\\A\\", "NAME", ""}));
  EXPECT_EQ(Parse("C:\\MY.PICS\\A.JPG"), (Parts{"C:", "\\", "MY", "PICS\\A.JPG"}));
  EXPECT_EQ(Parse("house"), (Parts{"", "", "HOUSE", ""}));
  EXPECT_EQ(Parse("[vol]x\\y.bmp"), (Parts{"", "X\\", "Y", "BMP"}));
  EXPECT_EQ(Parse("   "), (Parts{"", "", "", ""}));
  EXPECT_EQ(gCurrentProc.str(), "ParseFileName       ");
  EXPECT_EQ(GetFileNameExt("c:\\a\\b"), "B.");
  EXPECT_EQ(GetFileDrive("e:\\dcim"), "E:");
  EXPECT_EQ(GetFileBaseName("c:\\a\\b.c.d"), "B");
  EXPECT_EQ(GetFileBaseName2("c:\\a\\b.c.d"), "B");
}

TEST_F(PathTest, TrailingBackslashHelpers) {
  std::string blanks = "  ";
  EXPECT_EQ(CkRSlash(blanks), "");
  std::string pics = " C:\\pics ";
  EXPECT_EQ(CkRSlash(pics), "C:\\pics\\");
  EXPECT_EQ(pics, "C:\\pics\\");  // extended path written back
  std::string done = " C:\\pics\\ ";
  EXPECT_EQ(CkRSlash(done), "C:\\pics\\");
  EXPECT_EQ(done, " C:\\pics\\ ");  // left as it was

  std::string strip = " C:\\pics\\ ";
  EXPECT_EQ(StripRChar(strip), "C:\\pics");
  EXPECT_EQ(strip, "C:\\pics");

  EXPECT_EQ(StripTrashcan("c:\\cap\\trashcan\\"), "C:\\CAP\\");
  EXPECT_EQ(StripTrashcan(" c:\\cap\\ "), " c:\\cap\\ ");
  EXPECT_EQ(StripTrashcan("c:\\cap\\trashcan"), "c:\\cap\\trashcan");
}

TEST_F(PathTest, TextHelpers) {
  EXPECT_EQ(PadLeft("7", 2, '0'), "07");
  EXPECT_EQ(PadLeft(" 123 ", 2, '0'), "23");
  EXPECT_EQ(PadLeft("", 0, '0'), "");
  EXPECT_THROW(PadLeft("1", -1, '0'), vb::VbError);
  EXPECT_EQ(IntToStr(-32768), "-32768");
  EXPECT_EQ(ParseLR("CMP_3_3X5", "left", "_"), "CMP");
  EXPECT_EQ(ParseLR("CMP_3_3X5", "r", "_"), "3_3X5");
  EXPECT_EQ(ParseLR("CMP_3_3X5", "x", "_"), "");
  EXPECT_EQ(ParseLR("CMP", "L", "_"), "");
  EXPECT_EQ(IniBool(1.0f), vbTrue);
  EXPECT_EQ(IniBool(-1.0f), vbFalse);
  EXPECT_EQ(IniBool(1.0000001f), vbFalse);
  EXPECT_EQ(ReplaceString("aXa", "a", "aa"), "aaXaa");
  EXPECT_EQ(ReplaceString("a__b", "_", ""), "ab");
  EXPECT_EQ(ReplaceString("abc", "", "x"), "abc");
}

TEST_F(PathTest, CleanFileNameRemovesWhatAFileNameCannotHold) {
  EXPECT_EQ(CleanFileName("A/B: C?"), "AB C");
  EXPECT_EQ(CleanFileName("Front (1), [a]_b-c.{x}|y"), "Front (1), [a]_b-c.{x}|y");
  EXPECT_EQ(CleanFileName("a\tb\"c*d<e>f\\g^h`i~j\x7f"), "abcdefghij");
  EXPECT_EQ(RemoveChar("A & B", '&'), "A B");
  EXPECT_EQ(RemoveChar("&A&", '&'), "A");
  EXPECT_EQ(RemoveChar(" & ", '&'), " ");
  EXPECT_GT(app.DoEventsCount(), 0);
}

// ---- Files

class FileTest : public CoreFixture {};

TEST_F(FileTest, FileExistsNeedsAtLeastOneByte) {
  prefix.WriteFile("C:\\PICS\\ONE.JPG", "x");
  prefix.WriteFile("C:\\PICS\\ZERO.JPG", "");
  EXPECT_TRUE(FileExists("c:\\pics\\one.jpg"));
  EXPECT_FALSE(FileExists("C:\\PICS\\ZERO.JPG"));
  EXPECT_FALSE(FileExists("C:\\PICS\\NONE.JPG"));
  EXPECT_FALSE(FileExists("C:\\NOWHERE\\NONE.JPG"));
  EXPECT_FALSE(FileExists("C:\\PICS"));
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(FileTest, FileExistsOnADriveThatIsNotReadyAsks) {
  winfs::SetRemovable('E', true);
  app.QueueAnswer(forms::vbAbort);
  EXPECT_FALSE(FileExists("E:\\A.JPG"));
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt, "Disk not ready.\r\nError # 71 in module FileExists.");
}

TEST_F(FileTest, DirExistsListsDirectoriesAndFiles) {
  prefix.MakeDir("C:\\PICS\\SUB");
  prefix.WriteFile("C:\\PICS\\A.JPG", "x");
  EXPECT_TRUE(DirExists("C:\\PICS\\"));
  EXPECT_TRUE(DirExists("c:\\pics\\sub"));
  EXPECT_TRUE(DirExists("C:\\PICS\\*.JPG"));
  EXPECT_FALSE(DirExists("C:\\PICS\\NONE\\"));
  EXPECT_FALSE(DirExists("C:\\NOWHERE\\X"));
  EXPECT_FALSE(DirExists("Q:\\"));
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(FileTest, DelPictOfAReadOnlyFileQuietly) {
  prefix.WriteFile("C:\\PICS\\RO.JPG", "x");
  winfs::SetAttr("C:\\PICS\\RO.JPG", winfs::kReadOnly);
  EXPECT_TRUE(DelPict("C:\\PICS\\RO.JPG", true));
  EXPECT_FALSE(winfs::FileExists("C:\\PICS\\RO.JPG"));
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(FileTest, DelPictAsksUnlessQuiet) {
  prefix.WriteFile("C:\\PICS\\A.JPG", "x");
  std::string prompt;
  app.QueueAnswer(forms::vbNo);
  EXPECT_FALSE(DelPict("C:\\PICS\\A.JPG", false, prompt));
  EXPECT_EQ(prompt, "Delete C:\\PICS\\A.JPG?");
  EXPECT_TRUE(winfs::FileExists("C:\\PICS\\A.JPG"));

  app.QueueAnswer(forms::vbYes);
  std::string own = "Really?";
  EXPECT_TRUE(DelPict("C:\\PICS\\A.JPG", false, own));
  EXPECT_EQ(app.Boxes().back().prompt, "Really?");
  EXPECT_EQ(app.Boxes().back().ButtonSet(), forms::vbYesNo);
  EXPECT_FALSE(winfs::FileExists("C:\\PICS\\A.JPG"));
}

TEST_F(FileTest, DelPictFindsNothingToDelete) {
  prefix.WriteFile("C:\\PICS\\.HIDDEN.JPG", "x");
  prefix.WriteFile("C:\\PICS\\B.JPG", "x");
  EXPECT_FALSE(DelPict("C:\\PICS\\NONE.JPG", true));
  EXPECT_FALSE(DelPict("C:\\NOWHERE\\NONE.JPG", true));
  EXPECT_FALSE(DelPict("C:\\PICS\\", true));
  EXPECT_FALSE(DelPict("C:\\PICS\\.HIDDEN.JPG", true));
  EXPECT_FALSE(DelPict("C:\\PICS\\*.JPG", true));
  EXPECT_TRUE(winfs::FileExists("C:\\PICS\\B.JPG"));
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(FileTest, DelPictOnACardReaderWithoutCardAsksAbortRetryIgnore) {
  winfs::SetRemovable('E', true);
  const std::filesystem::path card = prefix.Root() / "card";
  std::filesystem::create_directories(card);
  std::ofstream(card / "IMG1.JPG") << "x";

  app.QueueAnswer(forms::vbAbort);
  EXPECT_FALSE(DelPict("E:\\IMG1.JPG", true));
  app.QueueAnswer(forms::vbIgnore);
  EXPECT_FALSE(DelPict("E:\\IMG1.JPG", true));
  ASSERT_EQ(app.Boxes().size(), 2u);
  EXPECT_EQ(app.Boxes()[0].prompt, "Disk not ready.\r\nError # 71 in module DelPict.");

  // The user puts the card in, then answers Retry: the failing statement runs again.
  app.SetDefaultAnswer([&](const forms::MsgBoxRecord&) {
    winfs::LinkDrive('E', card);
    return int{forms::vbRetry};
  });
  EXPECT_TRUE(DelPict("E:\\IMG1.JPG", true));
  EXPECT_EQ(app.Boxes().size(), 3u);
  EXPECT_FALSE(std::filesystem::exists(card / "IMG1.JPG"));
}

TEST_F(FileTest, MakeDirNoticeTellsAndCreates) {
  std::string dir = "C:\\NEWDIR\\";
  MakeDirNotice(dir);
  EXPECT_EQ(dir, "C:\\NEWDIR");
  EXPECT_TRUE(winfs::DirExists("C:\\NEWDIR"));
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt, "Creating directory C:\\NEWDIR.");
  EXPECT_EQ(app.Boxes()[0].title, "Creating Directory");
  MakeDirNotice(dir);
  std::string root = "C:\\";
  MakeDirNotice(root);
  EXPECT_EQ(app.Boxes().size(), 1u);
  std::string deep = "C:\\NO\\SUCH";
  EXPECT_THROW(MakeDirNotice(deep), vb::VbError);  // told first, then the creation fails
  EXPECT_EQ(app.Boxes().size(), 2u);
}

// ---- Shell and screen

class ShellScreenTest : public CoreFixture {};

TEST_F(ShellScreenTest, ShellFailureShowsItsReason) {
  app.SetTitle("Corvane_Velmora");
  app.SetShellResult(2);
  EXPECT_FALSE(GShell("C:\\Velmora\\missing.chm", 1, "", "", "open", 0));
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt, "File not found");
  EXPECT_EQ(app.Boxes()[0].title, "Corvane Velmora");
  EXPECT_EQ(app.Boxes()[0].Icon(), forms::vbInformation);

  app.SetShellResult(42);
  EXPECT_TRUE(GShell("http://example.invalid/", 3, "", "C:\\Velmora", "open", 0));
  EXPECT_TRUE(GShell("C:\\Velmora\\Velmora.chm", 10, "", "", "OPEN", 0));
  EXPECT_TRUE(GShell("C:\\Velmora\\setup.exe", 3, "", "C:\\Velmora", "open", 0));
  ASSERT_EQ(app.ShellOpens().size(), 4u);
  EXPECT_EQ(app.ShellOpens()[1].workingDir, "C:\\Velmora");
  EXPECT_EQ(app.ShellOpens()[1].showCommand, 3);
  EXPECT_EQ(app.ShellOpens()[2].showCommand, 1);  // no parameters, no directory: normal
  EXPECT_EQ(app.ShellOpens()[3].showCommand, 0);  // a program opens hidden
}

TEST_F(ShellScreenTest, SmallScreenWarning) {
  EXPECT_FALSE(ScreenTooSmall(false));  // 1024 x 768
  app.SetScreen(1024, 600);
  EXPECT_TRUE(ScreenTooSmall(true));
  EXPECT_TRUE(app.Boxes().empty());
  EXPECT_TRUE(ScreenTooSmall(false));
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].title, "Screen Resolution Warning");
  EXPECT_EQ(app.Boxes()[0].prompt,
            "This program is designed for a video display of 1024X768 (or higher) resolution.\r\n"
            "While this program will function LIMITEDLY in a smaller screen resolution,\r\n"
            "it is recommended that the screen size be adjusted larger.");
  app.SetScreen(1280, 680);
  EXPECT_FALSE(ScreenTooSmall(false));
}

TEST_F(ShellScreenTest, FormOnScreenIsTestedUntilFound) {
  forms::Form form("frmTest", "-");
  form.Move(0, 0, 15000, 11000);
  CheckFormOnScreen(form);  // hidden: not tested
  EXPECT_EQ(gbFormOnScreen, vbFalse);
  form.SetVisible(true);
  form.Move(-15, 0, 15000, 11000);
  CheckFormOnScreen(form);
  EXPECT_EQ(gbFormOnScreen, vbFalse);
  form.Move(100, 100, 15300, 11000);  // 15400 > 15360 twips
  CheckFormOnScreen(form);
  EXPECT_EQ(gbFormOnScreen, vbFalse);
  ResetFormPos(form);
  EXPECT_EQ(form.Left(), 0);
  EXPECT_EQ(form.Top(), 0);
  CheckFormOnScreen(form);
  EXPECT_EQ(gbFormOnScreen, vbTrue);
  form.Move(-500, -500, 30000, 30000);
  CheckFormOnScreen(form);
  EXPECT_EQ(gbFormOnScreen, vbTrue);
}

// ---- Lists and text boxes

class ListHelperTest : public CoreFixture {
 protected:
  forms::Form form{"frmTest", "-"};
  forms::ListBox list{form, "lstA"};
  forms::ComboBox combo{form, "cboB"};
};

TEST_F(ListHelperTest, FindContainAddAndRemove) {
  list.AddItem(" Front ");
  list.AddItem("Rear");
  list.AddItem("front");
  EXPECT_EQ(lstFindIndex(list, "front", true), 2);
  EXPECT_EQ(lstFindIndex(list, "FRONT ", false), 0);
  EXPECT_EQ(lstFindIndex(list, "Side", false), -1);
  EXPECT_TRUE(lstContains(list, " rear"));
  lstAddUnique(list, "REAR");
  lstAddUnique(list, "   ");
  lstAddUnique(list, " Side ");
  ASSERT_EQ(list.ListCount(), 4);
  EXPECT_EQ(list.List(3), " Side ");
  lstRemoveItem(list, "front");
  EXPECT_EQ(list.List(0), " Front ");
  EXPECT_EQ(list.ListCount(), 3);
}

TEST_F(ListHelperTest, CopyAndCountSelected) {
  list.AddItem("a");
  list.AddItem("b");
  combo.AddItem("old");
  int clicks = 0;
  list.Click = [&] { ++clicks; };
  lstCopy(list, combo);
  ASSERT_EQ(combo.ListCount(), 2);
  EXPECT_EQ(combo.List(1), "b");
  EXPECT_EQ(list.ListIndex(), -1);  // the source is neither selected nor clicked
  EXPECT_EQ(clicks, 0);
  list.Clear();
  lstCopy(list, combo);
  EXPECT_EQ(combo.ListCount(), 0);

  forms::ListBox multi(form, "lstMulti");
  ASSERT_TRUE(multi.SetDesignProperty("MultiSelect", "1"));
  for (const char* s : {"a", "b", "c"}) multi.AddItem(s);
  multi.SetSelected(0, true);
  multi.SetSelected(2, true);
  EXPECT_EQ(lstCountSelected(multi), 2);
}

TEST_F(ListHelperTest, SelectAllTextSelectsCharacters) {
  forms::TextBox box(form, "txtA");
  box.SetText("Zoë");
  SelectAllText(box);
  EXPECT_EQ(box.SelStart(), 0);
  EXPECT_EQ(box.SelLength(), 3);
}

}  // namespace
