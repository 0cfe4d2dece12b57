// The picture search: order and format of the found list, the skip rules, the pattern, Stop
// and Esc, media and unreadable folders, the found-list click and preview, and both copy buttons.
#include "tools/frmSearch.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "core/modVelmod.h"
#include "platform/vbrt/Strings.h"
#include "platform/winfs/WinFs.h"
#include "tests/unit/tools/PictureFiles.h"
#include "tests/unit/tools/ToolsFixture.h"

namespace {

namespace fs = std::filesystem;
using tools::frmSearch;

// A memory card: a small tmpfs mounted on the drive's folder (the plain folder where the tests
// may not mount).  Pull() unmounts it and removes the mount point, as the desktop does when the
// card is taken out.
class Card {
 public:
  explicit Card(fs::path folder) : folder_(std::move(folder)) {
    mounted_ = ::mount("tmpfs", folder_.c_str(), "tmpfs", 0, "size=1m") == 0;
  }
  ~Card() { Unmount(); }
  Card(const Card&) = delete;
  Card& operator=(const Card&) = delete;
  void Pull() {
    Unmount();
    fs::remove_all(folder_);
  }
  bool Mounted() const { return mounted_; }
  // Taken out with the empty mount point left behind.
  void Unmount() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
    mounted_ = false;
  }

 private:
  fs::path folder_;
  bool mounted_ = false;
};

class SearchTest : public ToolsFixture {
 protected:
  SearchTest() {
    UseCaptureFolder();
    core::gbUseButtons = core::vbTrue;
  }
  void Pictures(const std::string& folder, std::initializer_list<const char*> names) {
    prefix.MakeDir(folder);
    for (const char* n : names) prefix.WriteFile(folder + "\\" + n, PictureBytes(n));
  }
  frmSearch& Open() { return forms::FormInstance<frmSearch>(); }
  std::vector<std::string> Found(frmSearch& w) {
    std::vector<std::string> out;
    for (int i = 0; i < w.lstFound.ListCount(); ++i) out.push_back(w.lstFound.List(i));
    return out;
  }
  // Opens the folder and searches it.
  void SearchFrom(frmSearch& w, const std::string& folder) {
    w.dirFind.SetPath(folder);
    w.cmdSearch.UserClick();
  }
};

TEST_F(SearchTest, OpensOnTheCaptureDirectoryAtTheTopLeft) {
  core::gbUseButtons = core::vbFalse;
  Pictures("C:\\CAPTURE", {"A.JPG", "B.BMP", "C.TIF"});
  auto& w = Open();
  EXPECT_EQ(w.Caption(), "Photo Finder: Assists With Finding Photos");
  EXPECT_EQ(w.Left(), 0);
  EXPECT_EQ(w.Top(), 0);
  EXPECT_EQ(w.dirFind.Path(), "C:\\CAPTURE");
  EXPECT_EQ(w.filFind.ListCount(), 2);
  EXPECT_EQ(w.lblDirectory.Caption(), "C:\\CAPTURE\\");
  EXPECT_EQ(w.searchPattern, "*.jpg;*.bmp");
  EXPECT_TRUE(w.bSearching);
  for (forms::CommandButton* b :
       {&w.cmdSearch, &w.cmdStop, &w.cmdCopy[0], &w.cmdCopy[1], &w.cmdCancel})
    EXPECT_FALSE(b->Visible());
  EXPECT_TRUE(w.imaCopy[1].Visible());
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(SearchTest, OpensEvenWhenTheCaptureDirectorysMediumIsGone) {
  prefix.LinkExtraDrive('E');
  winfs::SetRemovable('E', true);
  core::gCaptureDir = "E:\\DCIM\\";
  fs::remove_all(prefix.Root() / "drive_e");
  app.SetDefaultAnswer([](const forms::MsgBoxRecord&) { return forms::vbIgnore; });
  auto& w = Open();
  EXPECT_TRUE(w.Loaded());
  ASSERT_FALSE(app.Boxes().empty());
  EXPECT_NE(app.Boxes()[0].prompt.find("in module Form_Load"), std::string::npos)
      << app.Boxes()[0].prompt;
  EXPECT_EQ(w.lblDirectory.Caption(), "E:\\DCIM\\");
  EXPECT_EQ(w.searchPattern, "*.jpg;*.bmp");
  EXPECT_TRUE(w.bSearching);
  EXPECT_EQ(app.EndCount(), 0);
}

TEST_F(SearchTest, SubFoldersInReverseOrderThenTheFolderItself) {
  Pictures("C:\\A", {"1.JPG", "2.JPG"});
  Pictures("C:\\A\\B", {"X.JPG"});
  Pictures("C:\\A\\B\\DEEP", {"Y.BMP", "Z.BMP", "W.JPG"});
  Pictures("C:\\A\\C", {"X.JPG", "NOTE.TXT"});
  prefix.MakeDir("C:\\A\\EMPTY");
  auto& w = Open();
  SearchFrom(w, "C:\\A");
  EXPECT_EQ(Found(w), (std::vector<std::string>{
                          "  (1 Images) - C:\\A\\C\\", "  (3 Images) - C:\\A\\B\\DEEP\\",
                          "  (1 Images) - C:\\A\\B\\", "  (2 Images) - C:\\A\\"}));
  EXPECT_EQ(w.lblDirectory.Caption(), "Search Complete");
  EXPECT_EQ(w.dirFind.Path(), "C:\\A");
  EXPECT_EQ(w.filFind.Path(), "C:\\A");
  EXPECT_EQ(app.MousePointer(), forms::vbDefault);
  // A second search starts with an empty list.
  w.cmdSearch.UserClick();
  EXPECT_EQ(Found(w).size(), 4u);
}

TEST_F(SearchTest, SkipBoxesKeepTheWindowsAndProgramFilesFoldersOut) {
  Pictures("C:\\WINDOWS\\Web", {"W.JPG"});
  Pictures("C:\\Program Files\\App", {"P.BMP"});
  Pictures("C:\\PICS", {"A.JPG"});
  auto& w = Open();
  SearchFrom(w, "C:\\");
  EXPECT_EQ(Found(w), (std::vector<std::string>{"  (1 Images) - C:\\PICS\\"}));

  w.ckbSkip[0].UserClick();
  w.ckbSkip[1].UserClick();
  w.cmdSearch.UserClick();
  EXPECT_EQ(Found(w), (std::vector<std::string>{"  (1 Images) - C:\\WINDOWS\\Web\\",
                                                "  (1 Images) - C:\\Program Files\\App\\",
                                                "  (1 Images) - C:\\PICS\\"}));
}

TEST_F(SearchTest, PatternFollowsTheExtensionBoxes) {
  Pictures("C:\\P\\JPEGS", {"A.JPG"});
  Pictures("C:\\P\\BMPS", {"A.BMP"});
  auto& w = Open();
  w.ckbPicExt[1].UserClick();  // bitmaps only
  SearchFrom(w, "C:\\P");
  EXPECT_EQ(w.searchPattern, "*.bmp");
  EXPECT_EQ(Found(w), (std::vector<std::string>{"  (1 Images) - C:\\P\\BMPS\\"}));
  w.ckbPicExt[0].UserClick();  // neither: both kinds
  w.cmdSearch.UserClick();
  EXPECT_EQ(Found(w).size(), 2u);
  w.ckbPicExt[1].UserClick();  // JPEG only
  w.cmdSearch.UserClick();
  EXPECT_EQ(w.searchPattern, "*.jpg;");
  EXPECT_EQ(Found(w), (std::vector<std::string>{"  (1 Images) - C:\\P\\JPEGS\\"}));
}

// The boxes, the search, the file list and the copy go together: what the boxes say now is
// what is searched, listed and copied.
TEST_F(SearchTest, TheCopyTakesThePicturesTheBoxesChoose) {
  Pictures("C:\\SRC", {"A.JPG", "B.BMP"});
  auto& w = Open();
  w.dirFind.SetPath("C:\\SRC");
  w.ckbPicExt[1].UserClick();  // JPEG unticked: bitmaps only
  EXPECT_EQ(w.searchPattern, "*.bmp");
  ASSERT_EQ(w.filFind.ListCount(), 1);
  EXPECT_EQ(w.filFind.List(0), "B.BMP");
  w.cmdCopy[0].UserClick();
  EXPECT_EQ(Captured(), (std::vector<std::string>{"B.BMP"}));
}

TEST_F(SearchTest, KepPictureStoreIsNotListedButItsSubFoldersAre) {
  core::gKepDataDir = "C:\\KEP\\DATA";
  Pictures("C:\\KEP\\DATA\\IMAGES", {"K.JPG"});
  Pictures("C:\\KEP\\DATA\\IMAGES\\JOB", {"J.JPG"});
  auto& w = Open();
  SearchFrom(w, "C:\\KEP");
  EXPECT_EQ(Found(w), (std::vector<std::string>{"  (1 Images) - C:\\KEP\\DATA\\IMAGES\\JOB\\"}));
}

TEST_F(SearchTest, BeginSearchWithAHighlightedSubFolderOnlyOpensIt) {
  Pictures("C:\\A\\B", {"X.JPG"});
  auto& w = Open();
  w.dirFind.SetPath("C:\\A");
  w.dirFind.UserSelect(0);
  w.imaSearch.UserClick();
  EXPECT_EQ(w.dirFind.Path(), "C:\\A\\B");
  EXPECT_TRUE(Found(w).empty());
  w.imaSearch.UserClick();
  EXPECT_EQ(Found(w).size(), 1u);
}

TEST_F(SearchTest, StopDuringTheSearchKeepsWhatWasFoundAndANewSearchRunsAgain) {
  for (const char* d : {"C:\\T\\A", "C:\\T\\B", "C:\\T\\C", "C:\\T\\D"}) Pictures(d, {"X.JPG"});
  auto& w = Open();
  w.dirFind.SetPath("C:\\T");
  int pauses = 0;
  app.OnDoEvents([&] {
    // D is listed first; the stop comes while the next sub-folder visit starts.
    if (w.lstFound.ListCount() == 1 && ++pauses == 1) w.cmdStop.UserClick();
  });
  w.cmdSearch.UserClick();
  EXPECT_EQ(Found(w), (std::vector<std::string>{"  (1 Images) - C:\\T\\D\\"}));
  EXPECT_EQ(w.lblDirectory.Caption(), "Search Complete");
  app.OnDoEvents({});
  w.cmdSearch.UserClick();
  EXPECT_EQ(Found(w).size(), 4u);
}

TEST_F(SearchTest, EscAndTheStopPictureEndTheSearch) {
  for (const char* d : {"C:\\T\\A", "C:\\T\\B"}) Pictures(d, {"X.JPG"});
  auto& w = Open();
  w.dirFind.SetPath("C:\\T");
  app.OnDoEvents([&] { w.UserKeyPress(forms::vbKeyEscape); });
  w.cmdSearch.UserClick();
  EXPECT_TRUE(Found(w).empty());
  app.OnDoEvents([&] { w.imaStop.UserClick(); });
  w.cmdSearch.UserClick();
  EXPECT_TRUE(Found(w).empty());
  EXPECT_EQ(w.lblDirectory.Caption(), "Search Complete");
}

TEST_F(SearchTest, ClosingTheWindowEndsARunningSearch) {
  for (const char* d : {"C:\\T\\A", "C:\\T\\B", "C:\\T\\C"}) Pictures(d, {"X.JPG"});
  auto& w = Open();
  w.dirFind.SetPath("C:\\T");
  int pauses = 0;
  app.OnDoEvents([&] {
    if (++pauses == 3) w.imaCancel.UserClick();
  });
  w.cmdSearch.UserClick();
  EXPECT_FALSE(w.Loaded());
  EXPECT_LE(w.lstFound.ListCount(), 1);
}

TEST_F(SearchTest, FoldersThatGoAwayOrCannotBeReadArePassedOver) {
  Pictures("C:\\L\\B", {"X.JPG"});
  Pictures("C:\\L\\C", {"X.JPG"});
  Pictures("C:\\L\\LOCKED", {"X.JPG"});
  fs::permissions(prefix.Host("C:\\L\\LOCKED"), fs::perms::none);
  auto& w = Open();
  w.dirFind.SetPath("C:\\L");
  // B goes away while C (listed after it, so visited first) is searched.
  app.OnDoEvents([&] {
    if (w.lstFound.ListCount() == 1) fs::remove_all(prefix.Host("C:\\L\\B"));
  });
  w.cmdSearch.UserClick();
  fs::permissions(prefix.Host("C:\\L\\LOCKED"), fs::perms::owner_all);
  EXPECT_EQ(app.EndCount(), 0);
  EXPECT_TRUE(app.Boxes().empty());
  std::vector<std::string> expected{"  (1 Images) - C:\\L\\LOCKED\\", "  (1 Images) - C:\\L\\C\\"};
  if (::geteuid() != 0) expected.erase(expected.begin());  // only root reads a locked folder
  EXPECT_EQ(Found(w), expected);
  EXPECT_EQ(w.lblDirectory.Caption(), "Search Complete");
}

TEST_F(SearchTest, FolderLinkBackToAnOuterFolderIsNotFollowedAgain) {
  Pictures("C:\\L\\OK", {"X.JPG"});
  fs::create_directory_symlink("..", prefix.Host("C:\\L\\OK") / "BACK");
  fs::create_directory_symlink(".", prefix.Host("C:\\L") / "SELF");
  auto& w = Open();
  SearchFrom(w, "C:\\L");
  EXPECT_EQ(Found(w), (std::vector<std::string>{"  (1 Images) - C:\\L\\OK\\"}));
  EXPECT_TRUE(app.Boxes().empty());
}

// A drive over the host's root (as Z: is) reaches folders through many links: each folder is
// visited once whatever leads to it, and the host's /proc, /sys and /dev are never entered.
TEST_F(SearchTest, EachFolderIsVisitedOnceAndSystemFoldersAreNotEntered) {
  const fs::path root = prefix.LinkExtraDrive('Y');
  fs::create_directories(root / "PICS");
  std::ofstream(root / "PICS" / "X.JPG") << "x";
  fs::create_directories(root / "DEEP" / "ER");
  fs::create_directory_symlink(root / "PICS", root / "AGAIN");
  fs::create_directory_symlink(root / "PICS", root / "DEEP" / "ER" / "PICS");
  fs::create_directory_symlink(root, root / "DEEP" / "ER" / "ROOT");
  for (const char* system : {"proc", "sys", "dev"})
    fs::create_directory_symlink(fs::path("/") / system, root / system);
  // Links to folders inside them are not followed either.
  fs::create_directory_symlink("/proc/self", root / "DEEP" / "SELF");
  fs::create_directory_symlink("/sys/class", root / "DEEP" / "CLASS");
  auto& w = Open();
  w.drvFind.SetDrive("Y");
  int pauses = 0;
  app.OnDoEvents([&] {
    if (++pauses == 500) w.cmdStop.UserClick();  // far more than this tree needs
  });
  SearchFrom(w, "Y:\\");
  EXPECT_LT(pauses, 500);
  EXPECT_EQ(Found(w), (std::vector<std::string>{"  (1 Images) - Y:\\PICS\\"}));
  pauses = 0;
  SearchFrom(w, "Y:\\sys");
  EXPECT_LT(pauses, 20);
  EXPECT_TRUE(Found(w).empty());
  EXPECT_TRUE(app.Boxes().empty());
}

// A kernel file system mounted once more elsewhere (a chroot's /proc and /sys) is a device of
// its own, and it is not entered either.
TEST_F(SearchTest, AnotherMountOfProcOrSysIsNotEntered) {
  const fs::path root = prefix.LinkExtraDrive('Y');
  std::vector<fs::path> mounted;
  for (const char* type : {"proc", "sysfs"}) {
    const fs::path at = root / "CHROOT" / type;
    fs::create_directories(at);
    if (::mount(type, at.c_str(), type, 0, nullptr) == 0) mounted.push_back(at);
  }
  if (mounted.empty()) GTEST_SKIP() << "no mounts allowed here";
  fs::create_directories(root / "PICS");
  std::ofstream(root / "PICS" / "X.JPG") << "x";
  auto& w = Open();
  w.drvFind.SetDrive("Y");
  int pauses = 0;
  app.OnDoEvents([&] {
    if (++pauses == 500) w.cmdStop.UserClick();
  });
  SearchFrom(w, "Y:\\");
  for (const fs::path& at : mounted) ::umount2(at.c_str(), MNT_DETACH);
  EXPECT_LT(pauses, 500);
  EXPECT_EQ(Found(w), (std::vector<std::string>{"  (1 Images) - Y:\\PICS\\"}));
}

TEST_F(SearchTest, CardPulledDuringTheSearchStopsItWithTheMediaMessage) {
  const fs::path card = prefix.LinkExtraDrive('E');
  winfs::SetRemovable('E', true);
  for (const char* d : {"A", "B", "C"}) {
    fs::create_directories(card / d);
    std::ofstream(card / d / "X.JPG") << "x";
  }
  auto& w = Open();
  w.drvFind.SetDrive("E");
  int pauses = 0;
  app.OnDoEvents([&] {
    if (w.lstFound.ListCount() == 1 && ++pauses == 1) fs::rename(card, prefix.Root() / "gone");
  });
  w.cmdSearch.UserClick();
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt,
            "Media appears to be unreadable or not inserted properly.  Please try again.");
  EXPECT_EQ(app.EndCount(), 0);
  EXPECT_EQ(Found(w), (std::vector<std::string>{"  (1 Images) - E:\\C\\"}));
  EXPECT_EQ(w.lblDirectory.Caption(), "Search cut short (media unreadable): list incomplete");
}

// The card goes after its last folder was read (while the pictures of E:\A are counted), and
// the desktop leaves the empty mount point behind: what was listed from it is gone too.
TEST_F(SearchTest, CardUnmountedAfterItsLastFolderWasReadGivesTheMediaMessage) {
  Card card(prefix.LinkExtraDrive('E'));
  if (!card.Mounted()) GTEST_SKIP() << "no mount";
  for (const char* d : {"A", "B", "C"}) Pictures(std::string("E:\\") + d, {"X.JPG"});
  auto& w = Open();
  w.drvFind.SetDrive("E");
  int pausesAtTwo = 0;  // before A, at A's visit, then A's one picture
  app.OnDoEvents([&] {
    if (w.lstFound.ListCount() == 2 && ++pausesAtTwo == 3) card.Unmount();
  });
  w.cmdSearch.UserClick();
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt,
            "Media appears to be unreadable or not inserted properly.  Please try again.");
  EXPECT_EQ(Found(w).size(), 3u);
}

TEST_F(SearchTest, CardPulledBeforeBeginSearchGivesTheMediaMessageAndThePointerBack) {
  const fs::path folder = prefix.LinkExtraDrive('E');
  winfs::SetRemovable('E', true);
  Card card(folder);
  fs::create_directories(folder / "DCIM");
  std::ofstream(folder / "DCIM" / "X.JPG") << "x";
  auto& w = Open();
  w.drvFind.SetDrive("E");
  w.dirFind.SetPath("E:\\DCIM");
  card.Pull();
  w.cmdSearch.UserClick();
  ASSERT_EQ(app.Boxes().size(), 1u) << app.Boxes().back().prompt;
  EXPECT_EQ(app.Boxes()[0].prompt,
            "Media appears to be unreadable or not inserted properly.  Please try again.");
  EXPECT_EQ(w.lblDirectory.Caption(), "Search cut short (media unreadable): list incomplete");
  EXPECT_EQ(app.MousePointer(), forms::vbDefault);
  EXPECT_TRUE(Found(w).empty());
  // Ticking a box meanwhile is no error either.
  w.ckbPicExt[0].UserClick();
  EXPECT_EQ(app.Boxes().size(), 1u);
}

TEST_F(SearchTest, ClickingAFoundFolderOpensAndPreviewsIt) {
  prefix.MakeDir("C:\\SHOW");
  prefix.WriteFile("C:\\SHOW\\A.BMP", TinyBitmap());
  prefix.WriteFile("C:\\SHOW\\B.BMP", TinyBitmap());
  Pictures("C:\\SHOW\\EMPTIED", {"X.JPG"});
  auto& w = Open();
  SearchFrom(w, "C:\\SHOW");
  ASSERT_EQ(Found(w).size(), 2u);
  w.dirFind.SetPath("C:\\CAPTURE");
  w.lstFound.UserSelect(1);
  EXPECT_EQ(w.dirFind.Path(), "C:\\SHOW");
  EXPECT_EQ(w.filFind.ListIndex(), 0);
  EXPECT_EQ(w.geaPreview.ThumbPath(), "C:\\SHOW\\A.BMP");
  EXPECT_TRUE(w.geaPreview.HasImage());

  // A folder emptied (or removed) meanwhile leaves the lists where they are.
  fs::remove(prefix.Host("C:\\SHOW\\EMPTIED\\X.JPG"));
  w.lstFound.UserSelect(0);
  EXPECT_EQ(w.dirFind.Path(), "C:\\SHOW");
  fs::remove_all(prefix.Host("C:\\SHOW\\EMPTIED"));
  w.lstFound.UserSelect(0);
  EXPECT_EQ(w.dirFind.Path(), "C:\\SHOW");
  EXPECT_TRUE(app.Boxes().empty());

  w.ckbPicPreview.UserClick();
  EXPECT_FALSE(w.geaPreview.Visible());
  w.filFind.UserSelect(1);
  EXPECT_EQ(w.geaPreview.ThumbPath(), "");
}

TEST_F(SearchTest, ChangeCaptureDirTakesTheOpenFolderWithoutCopying) {
  const fs::path card = prefix.LinkExtraDrive('D');
  fs::create_directories(card / "PICS");
  std::ofstream(card / "PICS" / "X.JPG") << "x";
  app.QueueModal("frmSearch", [](forms::Form& f) {
    auto& w = dynamic_cast<frmSearch&>(f);
    w.drvFind.SetDrive("D");
    w.dirFind.SetPath("D:\\PICS");
    w.imaCopy[1].UserClick();
  });
  tools::ShowPictureSearch();
  EXPECT_FALSE(app.ModalForms().at(0).leftOpen);
  EXPECT_EQ(core::gCaptureDir, "D:\\PICS\\");
  EXPECT_TRUE(core::gbRefreshThumbs);
  EXPECT_TRUE(Captured().empty());
}

TEST_F(SearchTest, CopyTakesEveryListedPictureAndCloses) {
  Pictures("C:\\SRC", {"A.JPG", "B.BMP", "C.TXT"});
  prefix.WriteFile("C:\\CAPTURE\\A.JPG", "old");
  auto& w = Open();
  w.dirFind.SetPath("C:\\SRC");
  w.cmdCopy[0].UserClick();
  EXPECT_FALSE(w.Loaded());
  EXPECT_EQ(Captured(), (std::vector<std::string>{"A (2).JPG", "A.JPG", "B.BMP"}));
  EXPECT_EQ(ReadFile("C:\\CAPTURE\\A.JPG"), "old");
  EXPECT_EQ(ReadFile("C:\\CAPTURE\\A (2).JPG"), PictureBytes("A.JPG"));
  EXPECT_TRUE(core::gbRefreshThumbs);
  EXPECT_EQ(core::gCaptureDir, "C:\\CAPTURE\\");
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(SearchTest, CopyFromTheCaptureDirectoryItselfIsRefusedAndStillCloses) {
  Pictures("C:\\CAPTURE", {"A.JPG"});
  core::gCaptureDir = "c:\\capture";
  auto& w = Open();
  w.cmdCopy[0].UserClick();
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt,
            "The Source and target directories are the same.  Copy ignored.");
  EXPECT_FALSE(w.Loaded());
  EXPECT_TRUE(core::gbRefreshThumbs);
}

TEST_F(SearchTest, CopyFromAPulledCardAsksAndPutsTheListsOnTheIniDrive) {
  const fs::path card = prefix.LinkExtraDrive('E');
  fs::create_directories(card / "DCIM");
  std::ofstream(card / "DCIM" / "X.JPG") << "x";
  auto& w = Open();
  w.drvFind.SetDrive("E");
  w.dirFind.SetPath("E:\\DCIM");
  fs::remove_all(card);
  app.QueueAnswer(forms::vbNo);
  w.cmdCopy[0].UserClick();
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt, "Media is not ready/readable. Try again?");
  EXPECT_EQ(w.dirFind.Path().substr(0, 2), "C:");
  EXPECT_FALSE(w.Loaded());
  EXPECT_TRUE(Captured().empty());
  EXPECT_EQ(app.MousePointer(), forms::vbDefault);
}

TEST_F(SearchTest, CompactLayoutTakesTheResizersStoredSize) {
  core::gScreenSize = 1;
  frmSearch w;
  w.RXResizer1.width = [] { return 9000; };
  w.RXResizer1.height = [] { return 6600; };
  w.Load();
  EXPECT_EQ(w.Width(), 9000);
  EXPECT_EQ(w.Height(), 6600);
}

TEST_F(SearchTest, DriveWithoutMediumIsReported) {
  prefix.LinkExtraDrive('F');
  fs::remove_all(prefix.Root() / "drive_f");
  auto& w = Open();
  for (int i = 0; i < w.drvFind.ListCount(); ++i)
    if (w.drvFind.List(i).substr(0, 1) == "f") w.drvFind.UserSelect(i);
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt,
            "Media appears to be unreadable or not inserted properly.  Please try again.");
  EXPECT_EQ(w.dirFind.Path(), "C:\\CAPTURE");
  EXPECT_EQ(vb::Trim(core::gCurrentProc.str()), "drvFind_Change");
}

}  // namespace
