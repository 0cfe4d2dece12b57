#include <gtest/gtest.h>

#include "platform/winfs/WinFs.h"
#include "tests/support/TempPrefix.h"
#include "tests/unit/winfs/ExpectVbError.h"

using Names = std::vector<std::string>;

TEST(WinFsListing, SeveralPatternsInAnyCase) {
  TempPrefix prefix;
  for (const char* name : {"a.JPG", "b.bmp", "c.Tif", "d.tiff", "e.txt", "f.jpeg", "noext"}) {
    prefix.WriteFile(std::string("C:\\Pics\\") + name, "x");
  }
  prefix.MakeDir("C:\\Pics\\sub.jpg");
  // A three-letter extension also matches a longer one through its 8.3 short name (D~1.TIF).
  EXPECT_EQ(winfs::ListFiles("C:\\PICS", "*.jpg;*.BMP; *.tif"),
            (Names{"a.JPG", "b.bmp", "c.Tif", "d.tiff"}));
  EXPECT_EQ(winfs::ListFiles("C:\\PICS", "*.jpe"), (Names{"f.jpeg"}));
  EXPECT_EQ(winfs::ListFiles("C:\\PICS", "*.*").size(), 7u);
  EXPECT_EQ(winfs::ListFiles("C:\\PICS", "*."), (Names{"noext"}));
  EXPECT_EQ(winfs::ListFiles("C:\\PICS", "?.t*"), (Names{"c.Tif", "d.tiff", "e.txt"}));
  EXPECT_VB_ERROR(winfs::ListFiles("C:\\NoSuch"), 76);
  // One name is found without a listing, in any case; folders and hidden names do not count.
  prefix.WriteFile("C:\\Pics\\.hidden.jpg", "x");
  EXPECT_EQ(winfs::FindFile("c:\\pics\\A.jpg"), "a.JPG");
  EXPECT_EQ(winfs::FindFile("C:\\Pics\\sub.jpg"), std::nullopt);
  EXPECT_EQ(winfs::FindFile("C:\\Pics\\.hidden.jpg"), std::nullopt);
  EXPECT_EQ(winfs::FindFile("C:\\Pics\\z.jpg"), std::nullopt);
  EXPECT_VB_ERROR(winfs::FindFile("C:\\NoSuch\\a.jpg"), 76);
}

TEST(WinFsListing, PatternRules) {
  EXPECT_TRUE(winfs::MatchesPattern("README", "*.*"));
  EXPECT_TRUE(winfs::MatchesPattern("IMG1", "IMG*.*"));
  EXPECT_FALSE(winfs::MatchesPattern("a.jpg", "*."));
  EXPECT_TRUE(winfs::MatchesPattern("FOTO.JPG", "*.jpg ;  *.bmp"));
  EXPECT_TRUE(winfs::MatchesPattern("ÉTÉ.JPG", "été.*"));
  EXPECT_FALSE(winfs::MatchesPattern("ab.jpg", "?.jpg"));
  EXPECT_TRUE(winfs::MatchesPattern("a.b.c", "*.c"));
  EXPECT_FALSE(winfs::MatchesPattern("a.jpg.bak", "*.jpg"));
}

// Windows matches a mask against the long name and the generated 8.3 short name: the short
// extension is the first three characters after the last dot, the base its first six usable
// characters and "~1".
TEST(WinFsListing, MasksAlsoMatchTheShortName) {
  EXPECT_TRUE(winfs::MatchesPattern("page.html", "*.htm"));
  EXPECT_TRUE(winfs::MatchesPattern("Scan 0001.TIFF", "*.tif"));
  EXPECT_TRUE(winfs::MatchesPattern("IMG_20240101_120000.jpeg", "*.JPE"));
  EXPECT_TRUE(winfs::MatchesPattern("IMG_20240101_120000.jpeg", "img_20~1.*"));
  EXPECT_TRUE(winfs::MatchesPattern("a.b.tiff", "*.tif"));
  EXPECT_FALSE(winfs::MatchesPattern("x.jpeg", "*.jpg"));  // its short name is X~1.JPE
  EXPECT_FALSE(winfs::MatchesPattern("x.tif", "*.tiff"));
  EXPECT_FALSE(winfs::MatchesPattern("short.tif", "*~1.tif"));  // an 8.3 name has no alias
  EXPECT_FALSE(winfs::MatchesPattern("x.tiff", "*."));

  TempPrefix prefix;
  for (const char* name : {"keep.jpg", "scan.tiff", "old.TIFF", "page.html"})
    prefix.WriteFile(std::string("C:\\Cards\\") + name, "x");
  winfs::Kill("C:\\Cards\\*.tif");
  EXPECT_EQ(winfs::ListFiles("C:\\Cards"), (Names{"keep.jpg", "page.html"}));
}

TEST(WinFsListing, OrderIsThatOfAWindowsListBox) {
  TempPrefix prefix;
  const Names files = {"img10.jpg", "IMG1.JPG", "IMG_2.JPG", "Img 3.jpg", "a.jpg", "co-op.jpg",
                       "coop.jpg",  "cop.jpg",  "élan.jpg",  "Zeta.jpg",  "1.jpg", "_x.jpg"};
  for (const auto& f : files) prefix.WriteFile("C:\\Order\\" + f, "");
  prefix.MakeDir("C:\\Order\\Beta");
  prefix.MakeDir("C:\\Order\\alpha");
  prefix.MakeDir("C:\\Order\\.git");
  EXPECT_EQ(winfs::ListFiles("C:\\Order"),
            (Names{"_x.jpg", "1.jpg", "a.jpg", "coop.jpg", "co-op.jpg", "cop.jpg", "élan.jpg",
                   "Img 3.jpg", "IMG_2.JPG", "IMG1.JPG", "img10.jpg", "Zeta.jpg"}));
  EXPECT_EQ(winfs::ListDirs("C:\\Order"), (Names{"alpha", "Beta"}));
  EXPECT_EQ(winfs::ListDirs("C:\\Order", true), (Names{".git", "alpha", "Beta"}));
}

TEST(WinFsListing, CompareNamesLevels) {
  EXPECT_LT(winfs::CompareNames("IMG_2.JPG", "IMG1.JPG"), 0);
  EXPECT_LT(winfs::CompareNames("img1.jpg", "IMG2.JPG"), 0);
  EXPECT_LT(winfs::CompareNames("e.jpg", "é.jpg"), 0);
  EXPECT_LT(winfs::CompareNames("é.jpg", "f.jpg"), 0);
  EXPECT_NE(winfs::CompareNames("A.JPG", "a.jpg"), 0);
  EXPECT_EQ(winfs::CompareNames("a.jpg", "a.jpg"), 0);
}
