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
  const auto ownerWrite = [&] { return fs::status(host).permissions() & fs::perms::owner_write; };
  winfs::SetAttr("C:\\DATA\\A.INI", winfs::kReadOnly);
  EXPECT_EQ(ownerWrite(), fs::perms::none);
  EXPECT_VB_ERROR(winfs::Kill("C:\\DATA\\A.INI"), 75);

  winfs::SetAttr("C:\\DATA\\A.INI", winfs::kNormal);
  EXPECT_EQ(ownerWrite(), fs::perms::owner_write);
  EXPECT_VB_ERROR(winfs::SetAttr("C:\\DATA\\A.INI", winfs::kDirectory), 5);
  EXPECT_VB_ERROR(winfs::SetAttr("C:\\DATA\\B.INI", winfs::kNormal), 53);
  EXPECT_VB_ERROR(winfs::SetAttr("C:\\NODATA\\B.INI", winfs::kNormal), 76);
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

  prefix.WriteFile("C:\\r.bmp", "5");
  winfs::Kill("?.BMP");  // relative to the current folder, the root of C
  EXPECT_FALSE(winfs::FileExists("C:\\r.bmp"));
  EXPECT_TRUE(winfs::FileExists("C:\\Cap\\c.bmp"));
  winfs::Kill("C:\\Cap\\?.BMP");
  EXPECT_FALSE(winfs::FileExists("C:\\Cap\\c.bmp"));
  EXPECT_VB_ERROR(winfs::Kill("C:\\Cap\\none.txt"), 53);
  EXPECT_VB_ERROR(winfs::Kill("C:\\Cap"), 53);
}

TEST(WinFsFileOps, FoldersMade) {
  TempPrefix prefix;
  winfs::MkDir("C:\\New");
  EXPECT_TRUE(winfs::DirExists("C:\\new"));
  EXPECT_VB_ERROR(winfs::MkDir("C:\\NEW"), 75);
  EXPECT_VB_ERROR(winfs::MkDir("C:\\Missing\\Sub"), 76);
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
  winfs::FileCopy("C:\\COPY\\" + quest, "C:\\COPY\\Q" + std::string("\uF03C") + ".jpg");
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
