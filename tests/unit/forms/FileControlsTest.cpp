// File, folder and drive lists on a temporary prefix.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/forms/App.h"
#include "platform/forms/Control.h"
#include "platform/forms/Drag.h"
#include "platform/forms/FileControls.h"
#include "platform/forms/Form.h"
#include "platform/forms/HeadlessApp.h"
#include "platform/vbrt/VbError.h"
#include "platform/winfs/WinFs.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/TempPrefix.h"

using namespace forms;

namespace {

struct Bare : Form {
  Bare() : Form("frmBare", "-") {}
};

struct FileControlsTest : ::testing::Test {
  TempPrefix prefix;
  HeadlessApp app;
  Bare form;
  std::vector<std::string> log;
};

TEST_F(FileControlsTest, FileListBoxListsMatchingFilesInListOrderWithTheirOwnCase) {
  for (const char* name : {"IMG_0002.JPG", "img_0001.jpg", "Scan.Bmp", "photo.TIF", "notes.txt",
                           "photo.tiff", "a.jpeg", ".hidden.jpg"})
    prefix.WriteFile(std::string("C:\\GLENVUE\\") + name, "x");
  prefix.MakeDir("C:\\GLENVUE\\sub.jpg");
  FileListBox fil(form, "filCapture");
  fil.PathChange = [&] { log.push_back("PathChange"); };
  fil.PatternChange = [&] { log.push_back("PatternChange"); };
  fil.SetPattern("*.jpg;*.bmp;*.tif");
  fil.SetPath("c:\\glenvue\\");
  EXPECT_EQ(fil.Path(), "C:\\glenvue");
  // "photo.tiff" through its short name PHOTO~1.TIF; "a.jpeg" (A~1.JPE) is not a "*.jpg".
  std::vector<std::string> want{"img_0001.jpg", "IMG_0002.JPG", "photo.TIF", "photo.tiff",
                                "Scan.Bmp"};
  EXPECT_EQ(fil.ListCount(), 5);
  for (int i = 0; i < fil.ListCount(); ++i) EXPECT_EQ(fil.List(i), want[i]);
  EXPECT_EQ(fil.ListIndex(), -1);
  EXPECT_EQ(log, (std::vector<std::string>{"PatternChange", "PathChange"}));

  // Same path again: nothing re-read, no event.
  fil.SetPath("C:\\GLENVUE");
  EXPECT_EQ(log.size(), 2u);
  // The list does not notice new files until Refresh.
  prefix.WriteFile("C:\\GLENVUE\\b.jpg", "x");
  EXPECT_EQ(fil.ListCount(), 5);
  fil.Refresh();
  EXPECT_EQ(fil.ListCount(), 6);
  EXPECT_EQ(fil.List(0), "b.jpg");

  fil.SetFileName("IMG_0002.jpg");
  EXPECT_EQ(fil.FileName(), "IMG_0002.JPG");
  fil.SetFileName("C:\\GLENVUE\\*.txt");
  EXPECT_EQ(fil.Pattern(), "*.txt");
  EXPECT_EQ(fil.ListCount(), 1);

  // A missing folder raises 76 and keeps the list.
  EXPECT_EQ(ErrorOf([&] { fil.SetPath("C:\\NOWHERE"); }), 76);
  EXPECT_EQ(fil.Path(), "C:\\glenvue");
  EXPECT_EQ(fil.ListCount(), 1);
  // A drive that is not ready: 68.
  winfs::SetRemovable('E', true);
  EXPECT_EQ(ErrorOf([&] { fil.SetPath("E:\\DCIM"); }), 68);
}

TEST_F(FileControlsTest, TopIndexPagingRaisesScrollOnlyWhenTheTopMoves) {
  for (int i = 0; i < 30; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "C:\\CAP\\p%02d.jpg", i);
    prefix.WriteFile(name, "x");
  }
  FileListBox fil(form, "filCapture");
  fil.SetHeight(195);  // one row: the top can reach the last entry
  fil.SetPath("C:\\CAP");
  fil.Scroll = [&] { log.push_back("Scroll " + std::to_string(fil.TopIndex())); };
  fil.Click = [&] { log.push_back("Click " + std::to_string(fil.ListIndex())); };

  // Next page from entry 5 (as the strip pages): TopIndex and ListIndex 17.
  fil.SetListIndex(5);
  fil.SetTopIndex(fil.ListIndex() + 12);
  fil.SetListIndex(fil.TopIndex());
  fil.SetTopIndex(17);  // no move, no Scroll
  fil.SetTopIndex(29);
  EXPECT_EQ(log, (std::vector<std::string>{"Click 5", "Scroll 17", "Click 17", "Scroll 29"}));
  EXPECT_EQ(ErrorOf([&] { fil.SetTopIndex(30); }), 380);

  // Refresh keeps the top entry and the selection where they still fit; the same files read
  // again are no edit of the list (a view keeps its rows).
  const unsigned long edits = fil.ListEdits();
  fil.Refresh();
  EXPECT_EQ(fil.TopIndex(), 29);
  EXPECT_EQ(fil.ListIndex(), 17);
  EXPECT_EQ(fil.ListEdits(), edits);

  // A taller list cannot scroll past its last full page.
  fil.SetHeight(fil.ItemHeight() * 12);
  EXPECT_EQ(fil.VisibleRows(), 12);
  fil.SetTopIndex(25);
  EXPECT_EQ(fil.TopIndex(), 18);
  // A new folder starts at the top without a Scroll event.
  prefix.MakeDir("C:\\EMPTY");
  log.clear();
  fil.SetPath("C:\\EMPTY");
  EXPECT_EQ(fil.TopIndex(), 0);
  EXPECT_EQ(log.size(), 0u);
}

TEST_F(FileControlsTest, DirListBoxIndexesAncestorsAndSubFolders) {
  prefix.MakeDir("C:\\Pics\\2024\\March");
  prefix.MakeDir("C:\\Pics\\2024\\april");
  prefix.MakeDir("C:\\Pics\\2024\\Zoo");
  prefix.WriteFile("C:\\Pics\\2024\\file.jpg", "x");
  DirListBox dir(form, "dirFind");
  dir.Change = [&] { log.push_back("Change " + dir.Path()); };
  dir.Click = [&] { log.push_back("Click " + std::to_string(dir.ListIndex())); };
  dir.SetPath("C:\\PICS\\2024");
  EXPECT_EQ(dir.ListCount(), 3);
  EXPECT_EQ(dir.List(0), "C:\\PICS\\2024\\april");
  EXPECT_EQ(dir.List(1), "C:\\PICS\\2024\\March");
  EXPECT_EQ(dir.List(-1), "C:\\PICS\\2024");
  EXPECT_EQ(dir.List(-2), "C:\\PICS");
  EXPECT_EQ(dir.List(-3), "C:\\");
  EXPECT_EQ(dir.List(-4), "");
  EXPECT_EQ(dir.ListIndex(), -1);

  dir.SetListIndex(2);  // selection only
  EXPECT_EQ(dir.Path(), "C:\\PICS\\2024");
  dir.SetPath(dir.List(dir.ListIndex()));  // "open" it
  dir.SetPath("c:\\pics\\2024\\zoo");      // the same folder: nothing
  EXPECT_EQ(log, (std::vector<std::string>{"Change C:\\PICS\\2024", "Click 2",
                                           "Change C:\\PICS\\2024\\Zoo"}));
  EXPECT_EQ(dir.ListCount(), 0);
  EXPECT_EQ(ErrorOf([&] { dir.SetListIndex(-5); }), 380);
  dir.UserOpen(-4);
  EXPECT_EQ(dir.Path(), "C:\\");
  EXPECT_EQ(dir.Depth(), 1);
  EXPECT_EQ(ErrorOf([&] { dir.SetPath("C:\\missing"); }), 76);
}

TEST_F(FileControlsTest, DriveListBoxShowsLabelsAndRefusesDrivesThatAreNotReady) {
  auto card = prefix.LinkExtraDrive('E');
  prefix.WriteFile("E:\\.windows-label", "CARD\r\n");
  winfs::LinkDrive('F', prefix.Root() / "gone");
  DriveListBox drv(form, "NewDrive");
  drv.Change = [&] { log.push_back("Change " + drv.Drive()); };
  std::vector<std::string> entries;
  for (int i = 0; i < drv.ListCount(); ++i) entries.push_back(drv.List(i));
  EXPECT_NE(std::find(entries.begin(), entries.end(), "e: [CARD]"), entries.end());
  EXPECT_NE(std::find(entries.begin(), entries.end(), "f:"), entries.end());
  EXPECT_EQ(drv.Drive().substr(0, 2), "c:");

  drv.SetDrive("e:\\dcim");
  EXPECT_EQ(drv.Drive(), "e: [CARD]");
  EXPECT_EQ(ErrorOf([&] { drv.SetDrive("F"); }), 68);
  EXPECT_EQ(ErrorOf([&] { drv.SetDrive("Q"); }), 68);
  EXPECT_EQ(drv.Drive(), "e: [CARD]");
  EXPECT_EQ(log, std::vector<std::string>{"Change e: [CARD]"});
  // The user may pick the dead drive: Change runs, and the handler's own use of the drive
  // fails there (an error it does not trap is reported, not thrown).
  int f = -1;
  for (int i = 0; i < drv.ListCount(); ++i)
    if (drv.List(i) == "f:") f = i;
  DirListBox dir(form, "dirCapture");
  drv.Change = [&] {
    log.push_back("Change " + drv.Drive());
    dir.SetPath(drv.Drive().substr(0, 2));
  };
  drv.UserSelect(f);
  EXPECT_EQ(log.back(), "Change f:");
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_NE(app.Boxes()[0].prompt.find("'68'"), std::string::npos);
}

}  // namespace
