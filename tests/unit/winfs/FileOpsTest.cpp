#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/winfs/WinFs.h"
#include "tests/support/TempPrefix.h"
#include "tests/unit/winfs/ExpectVbError.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

size_t EntryCount(const fs::path& dir) {
  return static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

}  // namespace

TEST(WinFsFileOps, ReadOnlyFileMadeWritable) {
  TempPrefix prefix;
  const fs::path host = prefix.WriteFile("C:\\Data\\a.ini", "x");
  winfs::SetAttr("C:\\DATA\\A.INI", winfs::kReadOnly);
  EXPECT_EQ(winfs::GetAttr("C:\\DATA\\A.INI"), winfs::kReadOnly | winfs::kArchive);
  EXPECT_EQ(fs::status(host).permissions() & fs::perms::owner_write, fs::perms::none);
  EXPECT_VB_ERROR(winfs::Kill("C:\\DATA\\A.INI"), 75);

  winfs::SetAttr("C:\\DATA\\A.INI", winfs::kNormal);
  EXPECT_EQ(winfs::GetAttr("C:\\DATA\\A.INI"), winfs::kArchive);
  EXPECT_EQ(winfs::GetAttr("C:\\DATA"), winfs::kDirectory);
  EXPECT_VB_ERROR(winfs::SetAttr("C:\\DATA\\A.INI", winfs::kDirectory), 5);
  EXPECT_VB_ERROR(winfs::GetAttr("C:\\DATA\\B.INI"), 53);
  EXPECT_VB_ERROR(winfs::GetAttr("C:\\NODATA\\B.INI"), 76);
}

TEST(WinFsFileOps, CopyOverwritesAndKeepsTheDate) {
  TempPrefix prefix;
  const fs::path src = prefix.WriteFile("C:\\src.jpg", "new picture");
  const fs::path dst = prefix.WriteFile("C:\\Out\\Photo.jpg", "old");
  const auto when = fs::file_time_type::clock::now() - std::chrono::hours(48);
  fs::last_write_time(src, when);

  winfs::FileCopy("C:\\SRC.JPG", "C:\\OUT\\PHOTO.JPG");
  EXPECT_EQ(ReadAll(dst), "new picture");
  EXPECT_EQ(winfs::FileDateTime("C:\\OUT\\PHOTO.JPG"), winfs::FileDateTime("C:\\SRC.JPG"));
  EXPECT_EQ(EntryCount(dst.parent_path()), 1u);  // no temporary file left

  winfs::FileCopy("C:\\SRC.JPG", "C:\\Out\\Second.jpg");
  EXPECT_EQ(ReadAll(dst.parent_path() / "Second.jpg"), "new picture");
}

TEST(WinFsFileOps, CopyFailuresKeepTheTarget) {
  TempPrefix prefix;
  prefix.WriteFile("C:\\src.jpg", "new");
  const fs::path dst = prefix.WriteFile("C:\\Out\\locked.jpg", "old");
  winfs::SetAttr("C:\\Out\\locked.jpg", winfs::kReadOnly);
  EXPECT_VB_ERROR(winfs::FileCopy("C:\\src.jpg", "C:\\Out\\locked.jpg"), 75);
  EXPECT_EQ(ReadAll(dst), "old");

  EXPECT_VB_ERROR(winfs::FileCopy("C:\\missing.jpg", "C:\\Out\\x.jpg"), 53);
  EXPECT_VB_ERROR(winfs::FileCopy("C:\\src.jpg", "C:\\NoFolder\\x.jpg"), 76);
  EXPECT_VB_ERROR(winfs::FileCopy("C:\\src.jpg", "C:\\Out"), 75);
  EXPECT_VB_ERROR(winfs::FileCopy("C:\\src.jpg", "C:\\SRC.JPG"), 70);
  EXPECT_EQ(EntryCount(dst.parent_path()), 1u);
}

TEST(WinFsFileOps, KillWithWildcards) {
  TempPrefix prefix;
  prefix.WriteFile("C:\\Cap\\a.jpg", "1");
  prefix.WriteFile("C:\\Cap\\B.JPG", "2");
  prefix.WriteFile("C:\\Cap\\c.bmp", "3");
  prefix.WriteFile("C:\\Cap\\.hidden.jpg", "4");
  winfs::Kill("C:\\CAP\\*.jpg");
  EXPECT_EQ(winfs::ListFiles("C:\\Cap", "*.*", true),
            (std::vector<std::string>{".hidden.jpg", "c.bmp"}));
  EXPECT_VB_ERROR(winfs::Kill("C:\\Cap\\*.jpg"), 53);

  winfs::ChDir("C:\\Cap");
  winfs::Kill("?.BMP");
  EXPECT_FALSE(winfs::FileExists("C:\\Cap\\c.bmp"));
  EXPECT_VB_ERROR(winfs::Kill("C:\\Cap\\none.txt"), 53);
  EXPECT_VB_ERROR(winfs::Kill("C:\\Cap"), 53);
}

TEST(WinFsFileOps, NameRenamesAndRefusesExistingTargets) {
  TempPrefix prefix;
  prefix.WriteFile("C:\\a.txt", "A");
  prefix.WriteFile("C:\\b.txt", "B");
  EXPECT_VB_ERROR(winfs::Name("C:\\a.txt", "C:\\B.TXT"), 58);
  EXPECT_VB_ERROR(winfs::Name("C:\\zzz.txt", "C:\\c.txt"), 53);

  winfs::Name("C:\\a.txt", "C:\\A.TXT");  // a change of case only
  EXPECT_EQ(winfs::ListFiles("C:\\"), (std::vector<std::string>{"A.TXT", "b.txt"}));

  const fs::path d = prefix.LinkExtraDrive('D');
  winfs::Name("C:\\A.TXT", "D:\\moved.txt");
  EXPECT_EQ(ReadAll(d / "moved.txt"), "A");
  EXPECT_FALSE(winfs::FileExists("C:\\A.TXT"));

  winfs::MkDir("C:\\Folder");
  EXPECT_VB_ERROR(winfs::Name("C:\\Folder", "D:\\Folder"), 74);
  winfs::Name("C:\\FOLDER", "C:\\Renamed");
  EXPECT_TRUE(winfs::DirExists("C:\\renamed"));
}

TEST(WinFsFileOps, FoldersMadeAndRemoved) {
  TempPrefix prefix;
  winfs::MkDir("C:\\New");
  EXPECT_VB_ERROR(winfs::MkDir("C:\\NEW"), 75);
  EXPECT_VB_ERROR(winfs::MkDir("C:\\Missing\\Sub"), 76);
  prefix.WriteFile("C:\\New\\f.txt", "");
  EXPECT_VB_ERROR(winfs::RmDir("C:\\new"), 75);
  winfs::Kill("C:\\new\\F.TXT");
  winfs::RmDir("C:\\new");
  EXPECT_FALSE(winfs::DirExists("C:\\New"));
  EXPECT_VB_ERROR(winfs::RmDir("C:\\New"), 76);
  EXPECT_VB_ERROR(winfs::RmDir("C:\\"), 75);
  EXPECT_VB_ERROR(winfs::FileLen("C:\\WINDOWS"), 53);
}

// Host names with characters no Windows name can hold are listed with private-use characters
// (U+F000 + the character) and can be used by those names for every file operation.
TEST(WinFsFileOps, NamesWindowsCannotHoldAreListedAndUsable) {
  TempPrefix prefix;
  const fs::path odd = prefix.MakeDir("C:\\Odd");
  prefix.MakeDir("C:\\Copy");
  for (const char* name : {"star*x.jpg", "q?.jpg", "a:b.jpg", "ok.jpg", "dot."})
    std::ofstream(odd / name) << name;
  const std::string star = "star\uF02Ax.jpg", quest = "q\uF03F.jpg", colon = "a\uF03Ab.jpg";
  using Names = std::vector<std::string>;
  EXPECT_EQ(winfs::ListFiles("C:\\ODD", "*.jpg"), (Names{colon, "ok.jpg", quest, star}));
  EXPECT_EQ(winfs::ListFiles("C:\\ODD", "dot*"), (Names{"dot\uF02E"}));
  EXPECT_EQ(winfs::ToWindows(odd / "star*x.jpg"), "C:\\Odd\\" + star);
  EXPECT_VB_ERROR(winfs::FileLen("C:\\ODD\\star*x.jpg"), 52);

  for (const std::string& name : winfs::ListFiles("C:\\ODD")) {
    std::string upper = "C:\\ODD\\" + name;
    for (char& c : upper)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    EXPECT_TRUE(winfs::FileExists(upper)) << name;
    EXPECT_GT(winfs::FileLen(upper), 0) << name;
    winfs::FileCopy(upper, "C:\\COPY\\" + name);
    winfs::Kill(upper);
  }
  EXPECT_EQ(EntryCount(odd), 0u);
  // The copies carry the host names, original characters included.
  EXPECT_EQ(ReadAll(prefix.Host("C:\\Copy") / "star*x.jpg"), "star*x.jpg");
  EXPECT_EQ(ReadAll(prefix.Host("C:\\Copy") / "dot."), "dot.");
  winfs::Name("C:\\COPY\\" + quest, "C:\\COPY\\Q" + std::string("\uF03C") + ".jpg");
  EXPECT_TRUE(fs::exists(prefix.Host("C:\\Copy") / "Q<.jpg"));
  EXPECT_TRUE(winfs::FileExists("C:\\COPY\\STAR\uF02AX.JPG"));
}

// A host name may hold a private-use character itself (U+F000 here): it is listed as it is and
// its listed name reaches that file, never a neighbour whose name it would cut short.
TEST(WinFsFileOps, APrivateUseCharacterOnTheHostIsKeptAsItIs) {
  TempPrefix prefix;
  const fs::path dir = prefix.MakeDir("C:\\Keep");
  std::ofstream(dir / "a.jpg") << "picture";
  std::ofstream(dir / "a.jpg\uF000") << "other";
  EXPECT_EQ(winfs::ListFiles("C:\\KEEP").size(), 2u);
  EXPECT_EQ(winfs::FileLen("C:\\KEEP\\a.jpg\uF000"), 5);
  winfs::Kill("C:\\KEEP\\a.jpg\uF000");
  EXPECT_EQ(ReadAll(dir / "a.jpg"), "picture");
  EXPECT_FALSE(fs::exists(dir / "a.jpg\uF000"));
}

// Kill with a mask deletes every listed name, one that holds a private-use character on the
// host as well, and goes on to the names after it.
TEST(WinFsFileOps, KillWithAMaskReachesHostPrivateUseNames) {
  TempPrefix prefix;
  const fs::path dir = prefix.MakeDir("C:\\Lit");
  for (const char* name : {"a.jpg", "lit\uF02A.jpg", "z.jpg", "keep.txt"})
    std::ofstream(dir / name) << "x";
  winfs::Kill("C:\\LIT\\*.jpg");
  EXPECT_EQ(winfs::ListFiles("C:\\LIT"), (std::vector<std::string>{"keep.txt"}));
}
