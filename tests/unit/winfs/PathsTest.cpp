#include <filesystem>

#include <gtest/gtest.h>

#include "platform/winfs/WinFs.h"
#include "tests/support/TempPrefix.h"
#include "tests/unit/winfs/ExpectVbError.h"

namespace fs = std::filesystem;

TEST(WinFsPaths, FindsMixedCaseHostNamesThroughAnyCase) {
  TempPrefix prefix;
  const fs::path drive = prefix.Prefix() / "drive_c";
  fs::create_directories(drive / "Glenvue" / "Photos");
  prefix.WriteFile("C:\\Glenvue\\Photos\\Img_01.Jpg", "x");

  EXPECT_EQ(winfs::ToHost("C:\\GLENVUE\\PHOTOS\\IMG_01.JPG"),
            drive / "Glenvue" / "Photos" / "Img_01.Jpg");
  EXPECT_EQ(winfs::ToHost("c:/glenvue/photos"), drive / "Glenvue" / "Photos");
  EXPECT_TRUE(winfs::FileExists("C:\\GLENVUE\\PHOTOS\\IMG_01.JPG"));
  EXPECT_FALSE(winfs::FileExists("C:\\GLENVUE\\PHOTOS"));
  EXPECT_TRUE(winfs::DirExists("C:\\GLENVUE\\PHOTOS"));
}

TEST(WinFsPaths, ExactSpellingWinsOverOtherCase) {
  TempPrefix prefix;
  const fs::path drive = prefix.Prefix() / "drive_c";
  fs::create_directories(drive / "photos");
  fs::create_directories(drive / "PHOTOS");
  fs::create_directories(drive / "Photos");
  EXPECT_EQ(winfs::ToHost("C:\\PHOTOS"), drive / "PHOTOS");
  EXPECT_EQ(winfs::ToHost("C:\\photos"), drive / "photos");
  // No exact spelling: the first in list order, which for equal names is the byte order.
  EXPECT_EQ(winfs::ToHost("C:\\pHoToS"), drive / "PHOTOS");
}

TEST(WinFsPaths, NonAsciiLettersMatchAcrossCase) {
  TempPrefix prefix;
  prefix.MakeDir("C:\\Niño\\Élan");
  EXPECT_EQ(winfs::ToHost("C:\\NIÑO\\élan"), prefix.Prefix() / "drive_c" / "Niño" / "Élan");
}

TEST(WinFsPaths, MissingComponentsKeepTheGivenCase) {
  TempPrefix prefix;
  prefix.MakeDir("C:\\Appraise");
  EXPECT_EQ(winfs::ToHost("C:\\APPRAISE\\New Folder\\Report.INI"),
            prefix.Prefix() / "drive_c" / "Appraise" / "New Folder" / "Report.INI");
  winfs::MkDir("C:\\APPRAISE\\Captures");
  EXPECT_TRUE(fs::is_directory(prefix.Prefix() / "drive_c" / "Appraise" / "Captures"));
}

TEST(WinFsPaths, DotDotNeverLeavesTheDrive) {
  TempPrefix prefix;
  const fs::path drive = prefix.Prefix() / "drive_c";
  EXPECT_EQ(winfs::ToHost("C:\\..\\..\\.."), drive);
  EXPECT_EQ(winfs::ToHost("C:\\WINDOWS\\..\\..\\WINDOWS\\.\\SYSTEM32"),
            drive / "WINDOWS" / "SYSTEM32");
  EXPECT_EQ(winfs::ToHost("C:\\..\\dosdevices"), drive / "dosdevices");
}

TEST(WinFsPaths, RelativePathsStartAtTheDriveRoot) {
  TempPrefix prefix;
  const fs::path drive = prefix.Prefix() / "drive_c";
  EXPECT_EQ(winfs::CurDir(), "C:\\");
  EXPECT_EQ(winfs::ToHost("windows\\system32"), drive / "WINDOWS" / "SYSTEM32");
  EXPECT_EQ(winfs::ToHost("\\WINDOWS"), drive / "WINDOWS");
  EXPECT_EQ(winfs::ToHost("C:..\\x"), drive / "x");

  const fs::path d = prefix.LinkExtraDrive('D');
  EXPECT_EQ(winfs::CurDir('d'), "D:\\");
  EXPECT_EQ(winfs::ToHost("D:x"), d / "x");
}

TEST(WinFsPaths, ForbiddenCharactersAreBadFileNames) {
  TempPrefix prefix;
  for (const char* bad : {"C:\\a<b", "C:\\a>b", "C:\\a\"b", "C:\\a|b", "C:\\a?b", "C:\\a*b",
                          "C:\\a:b", "C:\\a\tb", "", "\\\\server\\share\\x"}) {
    EXPECT_VB_ERROR(winfs::ToHost(bad), 52);
  }
  EXPECT_FALSE(winfs::FileExists("C:\\a?b"));
  EXPECT_VB_ERROR(winfs::MkDir("C:\\x|y"), 52);
}

TEST(WinFsPaths, TrailingDotsAndBlanksAreDropped) {
  TempPrefix prefix;
  prefix.WriteFile("C:\\abc", "1");
  EXPECT_TRUE(winfs::FileExists("C:\\abc. "));
}

TEST(WinFsPaths, ToWindowsUsesTheLongestLink) {
  TempPrefix prefix;
  const fs::path e = prefix.LinkExtraDrive('E');
  EXPECT_EQ(winfs::ToWindows(prefix.Prefix() / "drive_c" / "WINDOWS"), "C:\\WINDOWS");
  EXPECT_EQ(winfs::ToWindows(prefix.Prefix() / "drive_c"), "C:\\");
  EXPECT_EQ(winfs::ToWindows(e / "DCIM" / "a.jpg"), "E:\\DCIM\\a.jpg");
  EXPECT_EQ(winfs::ToWindows("/usr/share/doc"), "Z:\\usr\\share\\doc");
  EXPECT_EQ(winfs::ToWindows("/"), "Z:\\");
  prefix.UnlinkDrive('Z');
  EXPECT_EQ(winfs::ToWindows("/usr/share/doc"), std::nullopt);
}

TEST(WinFsPaths, SymlinkInsideADriveIsFollowed) {
  TempPrefix prefix;
  const fs::path outside = prefix.Root() / "outside";
  fs::create_directories(outside);
  fs::create_directory_symlink(outside, prefix.Prefix() / "drive_c" / "Linked");
  prefix.WriteFile("C:\\LINKED\\note.txt", "hi");
  EXPECT_TRUE(fs::exists(outside / "note.txt"));
  EXPECT_EQ(winfs::FileLen("C:\\linked\\NOTE.TXT"), 2);
  // ".." is textual: it goes back to the drive, not to the link target's parent.
  EXPECT_EQ(winfs::ToHost("C:\\Linked\\..\\WINDOWS"), prefix.Prefix() / "drive_c" / "WINDOWS");
}

// Private-use dots stand for the trailing dots of a host name; names made of them alone are no
// way out of the folder either.
TEST(WinFsPaths, PrivateUseDotsNeverLeaveTheFolder) {
  TempPrefix prefix;
  const fs::path drive = prefix.Prefix() / "drive_c";
  EXPECT_EQ(winfs::ToHost("C:\\\uF02E\uF02E\\dosdevices"), drive / "\uF02E\uF02E" / "dosdevices");
  EXPECT_EQ(winfs::ToHost("C:\\WINDOWS\\\uF02E"), drive / "WINDOWS" / "\uF02E");
  EXPECT_FALSE(winfs::DirExists("C:\\\uF02E\uF02E\\dosdevices"));
}
