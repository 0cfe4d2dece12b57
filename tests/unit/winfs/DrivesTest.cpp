#include <sys/mount.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/vbrt/CodePage.h"
#include "platform/winfs/Internal.h"
#include "platform/winfs/WinFs.h"
#include "tests/support/TempPrefix.h"
#include "tests/unit/winfs/ExpectVbError.h"

namespace fs = std::filesystem;

TEST(WinFsDrives, NewPrefixHasCAndZ) {
  TempPrefix prefix;
  EXPECT_EQ(winfs::Drives(), (std::vector<char>{'C', 'Z'}));
  const auto links = winfs::DriveLinks();
  EXPECT_EQ(links.at('C'), prefix.Prefix() / "drive_c");
  EXPECT_EQ(links.at('Z'), fs::path("/"));
  EXPECT_TRUE(winfs::DriveReady('c'));
  EXPECT_TRUE(winfs::DirExists(winfs::SystemDirectory()));
  EXPECT_EQ(winfs::VolumeLabel('C'), "");
  // Creating again keeps what is there.
  winfs::LinkDrive('Z', prefix.Root());
  winfs::CreatePrefix(prefix.Prefix());
  EXPECT_EQ(winfs::DriveLinks().at('Z'), prefix.Root());
}

TEST(WinFsDrives, LabelIsTheFirstLineOfTheLabelFile) {
  TempPrefix prefix;
  const fs::path e = prefix.LinkExtraDrive('e');
  std::ofstream(e / ".windows-label") << "CARD_01  \r\nsecond line\n";
  EXPECT_EQ(winfs::VolumeLabel('E'), "CARD_01");
  EXPECT_EQ(winfs::Drives(), (std::vector<char>{'C', 'E', 'Z'}));
}

TEST(WinFsDrives, DriveWhoseFolderIsRemovedIsNotReady) {
  TempPrefix prefix;
  const fs::path d = prefix.LinkExtraDrive('D');
  prefix.WriteFile("D:\\Pics\\a.jpg", "abc");
  EXPECT_EQ(winfs::FileLen("d:\\pics\\A.JPG"), 3);

  const fs::path resolved = winfs::ToHost("D:\\Pics\\a.jpg");
  EXPECT_VB_ERROR(winfs::detail::RaiseHost(ENOENT, resolved.parent_path() / "b.jpg"), 53);
  fs::remove_all(d);
  EXPECT_VB_ERROR(winfs::detail::RaiseHost(ENOENT, resolved), 71);
  EXPECT_FALSE(winfs::DriveReady('D'));
  EXPECT_EQ(winfs::Drives(), (std::vector<char>{'C', 'D', 'Z'}));  // still listed
  EXPECT_VB_ERROR(winfs::VolumeLabel('D'), 68);
  EXPECT_VB_ERROR(winfs::FileLen("D:\\Pics\\a.jpg"), 71);
  EXPECT_VB_ERROR(winfs::ListFiles("D:\\"), 71);
  EXPECT_VB_ERROR(winfs::MkDir("D:\\New"), 71);
  EXPECT_FALSE(winfs::FileExists("D:\\Pics\\a.jpg"));

  // Without the link the letter is no drive at all.
  prefix.UnlinkDrive('D');
  EXPECT_EQ(winfs::Drives(), (std::vector<char>{'C', 'Z'}));
  EXPECT_VB_ERROR(winfs::FileLen("D:\\Pics\\a.jpg"), 76);
  EXPECT_VB_ERROR(winfs::VolumeLabel('D'), 68);
}

// A card mounted on the drive's folder and taken out: the desktop unmounts it and the empty
// mount point stays a while.  The medium is gone, not the folders on it.
TEST(WinFsDrives, UnmountedCardWhoseMountPointLingersIsNotReady) {
  TempPrefix prefix;
  const fs::path card = prefix.LinkExtraDrive('E');
  if (::mount("tmpfs", card.c_str(), "tmpfs", 0, "size=1m") != 0) GTEST_SKIP() << "no mount";
  prefix.WriteFile("E:\\DCIM\\P1.JPG", "abc");
  EXPECT_TRUE(winfs::DriveReady('E'));
  ::umount2(card.c_str(), MNT_DETACH);
  EXPECT_FALSE(winfs::DriveReady('E'));
  EXPECT_VB_ERROR(winfs::FileLen("E:\\DCIM\\P1.JPG"), 71);
  EXPECT_VB_ERROR(winfs::FileCopy("E:\\DCIM\\P1.JPG", "C:\\P1.JPG"), 71);
  // Another card in the same place: ready again.
  ASSERT_EQ(::mount("tmpfs", card.c_str(), "tmpfs", 0, "size=1m"), 0);
  EXPECT_TRUE(winfs::DriveReady('E'));
  EXPECT_VB_ERROR(winfs::FileLen("E:\\DCIM\\P1.JPG"), 76);
  ::umount2(card.c_str(), MNT_DETACH);
}

TEST(WinFsDrives, RemovableDriveWithoutMediumReports71) {
  TempPrefix prefix;
  const fs::path card = prefix.Root() / "card";
  winfs::LinkDrive('F', card);  // the card is not in
  winfs::SetRemovable('f', true);
  EXPECT_TRUE(winfs::IsRemovable('F'));
  EXPECT_FALSE(winfs::IsRemovable('C'));
  EXPECT_FALSE(winfs::DriveReady('F'));
  EXPECT_VB_ERROR(winfs::VolumeLabel('F'), 71);
  EXPECT_VB_ERROR(winfs::ListFiles("F:\\DCIM"), 71);

  fs::create_directories(card / "DCIM");
  EXPECT_TRUE(winfs::DriveReady('F'));
  EXPECT_TRUE(winfs::ListFiles("F:\\DCIM").empty());

  // A removable letter is listed and "not ready" even without a link.
  prefix.UnlinkDrive('F');
  EXPECT_EQ(winfs::Drives(), (std::vector<char>{'C', 'F', 'Z'}));
  EXPECT_VB_ERROR(winfs::FileLen("F:\\x.jpg"), 71);
  winfs::SetRemovable('F', false);
  EXPECT_VB_ERROR(winfs::FileLen("F:\\x.jpg"), 76);
}

TEST(WinFsDrives, BadLetterIsAnInvalidCall) {
  TempPrefix prefix;
  EXPECT_VB_ERROR(winfs::LinkDrive('1', prefix.Root()), 5);
  EXPECT_FALSE(winfs::DriveReady('1'));
}

TEST(WinFsSystem, VersionFoldersAndProgramFolder) {
  TempPrefix prefix;
  EXPECT_EQ(winfs::WindowsDirectory(), "C:\\WINDOWS");
  EXPECT_EQ(winfs::WindowsMajorVersion(), 5);
  EXPECT_EQ(winfs::WindowsMinorVersion(), 1);
  winfs::SetWindowsVersion(6, 1);
  EXPECT_EQ(winfs::WindowsMajorVersion(), 6);
  EXPECT_EQ(winfs::WindowsMinorVersion(), 1);

  // The test executable lives under / so z: names it.
  const std::string folder = winfs::ProgramFolder();
  ASSERT_EQ(folder.rfind("Z:\\", 0), 0u) << folder;
  EXPECT_TRUE(winfs::DirExists(folder));
  winfs::SetProgramFolder("C:\\APPRAISE");
  EXPECT_EQ(winfs::ProgramFolder(), "C:\\APPRAISE");
  winfs::SetProgramFolder("");

  winfs::SetCommandLine("/auto \"C:\\My Files\"");
  EXPECT_EQ(winfs::CommandLine(), "/auto \"C:\\My Files\"");
}

// A Wine prefix keeps its Windows folders in lower case: they are the program's C:\WINDOWS and
// C:\WINDOWS\SYSTEM32, and completing the prefix adds no second, upper-case tree beside them.
// Its registry gives the ANSI code page its programs write their files in.
TEST(WinFsDrives, AWinePrefixsLowerCaseWindowsFolderIsTheWindowsDirectory) {
  TempPrefix prefix;
  const fs::path wine = prefix.Root() / "wine";
  fs::create_directories(wine / "drive_c" / "windows" / "system32");
  fs::create_directories(wine / "dosdevices");
  fs::create_directory_symlink("../drive_c", wine / "dosdevices" / "c:");
  std::ofstream(wine / "drive_c" / "windows" / "win.ini") << "[windows]\n";
  EXPECT_EQ(vb::AnsiCodePage(), 1252);
  std::ofstream(wine / "system.reg")
      << "WINE REGISTRY Version 2\n\n[System\\\\CurrentControlSet\\\\Control\\\\Nls\\\\Codepage] "
         "17\n"
         "#time=1dd\n\"10000\"=\"c_10000.nls\"\n\"ACP\"=\"1250\"\n\"OEMCP\"=\"852\"\n\n"
         "[System\\\\CurrentControlSet\\\\Control\\\\Nls\\\\Language] 17\n\"ACP\"=\"1251\"\n";
  winfs::CreatePrefix(wine);
  winfs::UsePrefix(wine);
  EXPECT_EQ(vb::AnsiCodePage(), 1250);
  std::vector<std::string> top;
  for (const auto& e : fs::directory_iterator(wine / "drive_c")) {
    top.push_back(e.path().filename().string());
  }
  EXPECT_EQ(top, std::vector<std::string>{"windows"});
  EXPECT_TRUE(fs::exists(wine / "drive_c" / "windows" / "system32"));
  EXPECT_EQ(winfs::ToHost(winfs::SystemDirectory()), wine / "drive_c" / "windows" / "system32");
  EXPECT_TRUE(winfs::FileExists(winfs::WindowsDirectory() + "\\WIN.INI"));
}
