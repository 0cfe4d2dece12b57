#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/profile/Profile.h"
#include "platform/vbrt/CodePage.h"

namespace fs = std::filesystem;

namespace {

class Profile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("vbrt-profile-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    file_ = dir_ / "APP.INI";
  }
  void TearDown() override {
    profile::testing::SetBeforeReplaceHook({});
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(dir_);
  }

  void Put(const std::string& bytes) { std::ofstream(file_, std::ios::binary) << bytes; }
  std::string Bytes() const {
    std::ifstream in(file_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // Value read with a roomy buffer; `ret` gets the returned count.
  std::string Get(std::optional<std::string_view> section, std::optional<std::string_view> key,
                  const char* def = "dflt", std::size_t size = 256, std::size_t* ret = nullptr) {
    std::string buf(size, '#');
    std::size_t n = profile::GetPrivateProfileString(section, key, def, buf.data(), size, file_);
    if (ret) *ret = n;
    return std::string(buf.data(), size ? n : 0);
  }
  std::size_t Entries() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {}));
  }

  fs::path dir_, file_;
};

TEST_F(Profile, ParsesNamesValuesAndLineEndsLikeWindows) {
  Put("top=lost\r\n"
      "[ section1 ]\r\n"
      "  NaMe1 =  val1  \n"
      "quoted=\"val2\"\r"
      "single=' a b '\n"
      "odd=\"abc'\n"
      "lone=\"\n"
      "empty=\n"
      "novalue\n"
      "; comment=1\n"
      "inline=v ; note\n"
      "dup=first\n"
      "dup=second\n"
      "[broken\n"
      "after=broken\n"
      "[Section1]\n"
      "second=copy\n");
  EXPECT_EQ(Get("section1", "name1"), "val1");
  EXPECT_EQ(Get("  SECTION1 ", "  NAME1  "), "val1");
  EXPECT_EQ(Get("section1", "quoted"), "val2");
  EXPECT_EQ(Get("section1", "single"), " a b ");
  EXPECT_EQ(Get("section1", "odd"), "\"abc'");
  EXPECT_EQ(Get("section1", "lone"), "\"");
  EXPECT_EQ(Get("section1", "empty"), "");
  EXPECT_EQ(Get("section1", "novalue"), "dflt");
  EXPECT_EQ(Get("section1", "; comment"), "dflt");
  EXPECT_EQ(Get("section1", "inline"), "v ; note");
  EXPECT_EQ(Get("section1", "dup"), "first");
  EXPECT_EQ(Get("section1", "after"), "broken");  // "[broken" is not a header
  EXPECT_EQ(Get("section1", "second"), "dflt");   // only the first copy is searched
  EXPECT_EQ(Get("", "top"), "dflt");
  EXPECT_EQ(Get("section1", ""), "dflt");
  EXPECT_EQ(Get("nosuch", "name1"), "dflt");
}

TEST_F(Profile, DefaultsAndMissingFile) {
  std::size_t ret = 0;
  EXPECT_EQ(Get("a", "b", "default  ", 256, &ret), "default");
  EXPECT_EQ(ret, 7u);
  EXPECT_EQ(Get("a", "b", "one two  "), "one two");
  EXPECT_EQ(Get("a", "b", "  x   "), "  x");
  EXPECT_EQ(Get("a", "b", "'x'"), "x");
  EXPECT_EQ(Get("a", "b", nullptr, 256, &ret), "");
  EXPECT_EQ(ret, 0u);
}

// UTF-16 text with its byte-order mark, in either byte order.
std::string Utf16(std::u16string_view text, bool bigEndian) {
  std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char16_t unit : text) {
    const char lo = static_cast<char>(unit & 0xFF), hi = static_cast<char>(unit >> 8);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  }
  return out;
}

// A file with a UTF-16 byte-order mark reads as Unicode and is written back as Unicode.
TEST_F(Profile, Utf16FilesAreReadAndWrittenBackAsUnicode) {
  const std::string kLodz =
      "\xC5\x81\xC3\xB3"
      "d\xC5\xBA";
  for (const bool big : {false, true}) {
    Put(Utf16(u"[Paths]\r\nCAPTUREDIR=C:\\\u0141\u00F3d\u017A\\\r\nk=\U0001F600\r\n", big));
    EXPECT_EQ(Get("PATHS", "capturedir"), "C:\\" + kLodz + "\\") << big;
    EXPECT_EQ(Get("Paths", "k"), "\xF0\x9F\x98\x80");
    EXPECT_TRUE(profile::WritePrivateProfileString("paths", "CAPTUREDIR", "C:\\\xC3\x89\\", file_));
    EXPECT_TRUE(profile::WritePrivateProfileString("New", "k", "v", file_));
    EXPECT_EQ(
        Bytes(),
        Utf16(u"[Paths]\r\nCAPTUREDIR=C:\\\u00C9\\\r\nk=\U0001F600\r\n[New]\r\nk=v\r\n", big));
    EXPECT_EQ(Get("paths", "capturedir"), "C:\\\xC3\x89\\");
  }
  // An unpaired surrogate reads as U+FFFD, an odd last byte as nothing.
  Put(Utf16(u"[s]\r\nk=", false) + std::string("\x00\xD8x\0\r\0\n\0z", 9));
  EXPECT_EQ(Get("s", "k"), "\xEF\xBF\xBDx");
}

TEST_F(Profile, TruncationReturnValuesMatchGrowingReaders) {
  Put("[s]\nkey=val1\nq=\"val2\"\n[t]\nsection2=x\n");
  std::size_t ret = 99;
  std::string buf = "untouched";
  EXPECT_EQ(profile::GetPrivateProfileString("s", "key", "", buf.data(), 0, file_), 0u);
  EXPECT_EQ(buf, "untouched");
  EXPECT_EQ(Get("s", "key", "", 1, &ret), "");
  EXPECT_EQ(ret, 0u);
  EXPECT_EQ(Get("s", "key", "", 4, &ret), "val");
  EXPECT_EQ(ret, 3u);
  EXPECT_EQ(Get("s", "key", "", 5, &ret), "val1");
  EXPECT_EQ(ret, 4u);
  EXPECT_EQ(Get("s", "q", "", 3, &ret), "va");
  EXPECT_EQ(Get("s", "nokey", "defaultvalue", 5, &ret), "defa");
  EXPECT_EQ(ret, 4u);

  std::string list(32, '#');
  ret = profile::GetPrivateProfileString(std::nullopt, std::nullopt, "", list.data(), 32, file_);
  EXPECT_EQ(list.substr(0, ret + 1), std::string("s\0t\0\0", 5).substr(0, ret + 1));
  EXPECT_EQ(ret, 4u);
  Put("[section1]\n[section2]\n[section3]\n");
  ret = profile::GetPrivateProfileString(std::nullopt, std::nullopt, "", list.data(), 16, file_);
  EXPECT_EQ(ret, 14u);
  EXPECT_EQ(list.substr(0, 16), std::string("section1\0secti\0\0", 16));

  std::string big(1000, 'x');
  Put("[s]\r\nk=" + big + "\r\n");
  EXPECT_EQ(profile::ReadValue(file_, "s", "k"), big);
  EXPECT_EQ(profile::ReadValue(file_, "s", "none", "d"), "d");
}

// Files are parsed once per change: every change must still be seen, also one in place with
// the same size within the file system's time tick, and the program's own writes at once.
TEST_F(Profile, ReadsFollowEveryChangeOfTheFile) {
  Put("[s]\nk=1\n");
  const fs::file_time_type tick = fs::last_write_time(file_);
  EXPECT_EQ(Get("s", "k"), "1");
  Put("[s]\nk=2\n");
  fs::last_write_time(file_, tick);
  EXPECT_EQ(Get("s", "k"), "2");
  for (const char* value : {"3", "4", "5"}) {
    EXPECT_TRUE(profile::WritePrivateProfileString("s", "k", value, file_));
    fs::last_write_time(file_, tick);
    EXPECT_EQ(Get("s", "k"), value);
    EXPECT_EQ(profile::ReadValue(file_, "s", "k"), value);
  }
  fs::remove(file_);
  EXPECT_EQ(Get("s", "k"), "dflt");
}

TEST_F(Profile, KeyListingSkipsCommentsAndValuelessLines) {
  Put("[App]\nk1=a\n;c=1\nbare\nempty=\n\n[Other]\n");
  std::string list(64, '#');
  std::size_t ret =
      profile::GetPrivateProfileString("app", std::nullopt, "d", list.data(), 64, file_);
  EXPECT_EQ(list.substr(0, ret + 1), std::string("k1\0empty\0\0", 10));
  ret = profile::GetPrivateProfileString("other", std::nullopt, "d", list.data(), 64, file_);
  EXPECT_EQ(std::string(list.data(), ret), "d");
}

TEST_F(Profile, WritingCreatesFilesAndAppendsWithCrLf) {
  EXPECT_TRUE(profile::WritePrivateProfileString("App", "key", "string", file_));
  EXPECT_EQ(Bytes(), "[App]\r\nkey=string\r\n");
  EXPECT_TRUE(profile::WritePrivateProfileString("App", "key2", "", file_));
  EXPECT_TRUE(profile::WritePrivateProfileString("App3", "key5", "string5", file_));
  EXPECT_EQ(Bytes(), "[App]\r\nkey=string\r\nkey2=\r\n[App3]\r\nkey5=string5\r\n");

  Put("[App]\nkey=1\n\n; trailing\n[Next]\nz=9");
  EXPECT_TRUE(profile::WritePrivateProfileString("app", "new", "2", file_));
  EXPECT_TRUE(profile::WritePrivateProfileString("New", "k", "v", file_));
  EXPECT_EQ(Bytes(), "[App]\nkey=1\nnew=2\r\n\n; trailing\n[Next]\nz=9\r\n[New]\r\nk=v\r\n");
  EXPECT_EQ(Get("next", "z"), "9");
}

TEST_F(Profile, ReplacingAndDeletingKeepsOtherBytes) {
  const std::string original = "; header comment\r\n[App]\r\n  KeY = old \r\nother=1\n\n[B]\r\nx=y";
  Put(original);
  EXPECT_TRUE(profile::WritePrivateProfileString("APP", "key", "new", file_));
  EXPECT_EQ(Bytes(), "; header comment\r\n[App]\r\nKeY=new\r\nother=1\n\n[B]\r\nx=y");
  fs::file_time_type before = fs::last_write_time(file_);
  EXPECT_TRUE(profile::WritePrivateProfileString("App", "KEY", "new", file_));
  EXPECT_EQ(fs::last_write_time(file_), before);  // same value: untouched

  EXPECT_TRUE(profile::WritePrivateProfileString("App", "other", std::nullopt, file_));
  EXPECT_TRUE(profile::WritePrivateProfileString("App", "missing", std::nullopt, file_));
  EXPECT_TRUE(profile::WritePrivateProfileString("App", "key", std::nullopt, file_));
  EXPECT_EQ(Bytes(), "; header comment\r\n[App]\r\n\n[B]\r\nx=y");
  EXPECT_TRUE(profile::WritePrivateProfileString("app", std::nullopt, std::nullopt, file_));
  EXPECT_EQ(Bytes(), "; header comment\r\n[B]\r\nx=y");
  EXPECT_TRUE(profile::WritePrivateProfileString("gone", std::nullopt, std::nullopt, file_));
  EXPECT_FALSE(profile::WritePrivateProfileString(std::nullopt, "k", "v", file_));
  EXPECT_EQ(Bytes(), "; header comment\r\n[B]\r\nx=y");

  fs::path created = dir_ / "EMPTY.INI";
  EXPECT_TRUE(profile::WritePrivateProfileString("s", std::nullopt, std::nullopt, created));
  EXPECT_TRUE(fs::exists(created));
}

TEST_F(Profile, RefusesTextThatWouldForgeLines) {
  Put("[App]\r\nk=1\r\n");
  EXPECT_FALSE(profile::WritePrivateProfileString("App", "k", "1\r\n[Evil]", file_));
  EXPECT_FALSE(profile::WritePrivateProfileString("App", "a=b", "1", file_));
  EXPECT_EQ(Bytes(), "[App]\r\nk=1\r\n");
}

TEST_F(Profile, FailedWritesLeaveTheOldFileAndNoTemporary) {
  const std::string original = "[App]\r\nkey=old\r\n";
  Put(original);
  fs::permissions(file_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  profile::testing::SetBeforeReplaceHook([] { return false; });
  EXPECT_FALSE(profile::WritePrivateProfileString("App", "key", "new", file_));
  EXPECT_EQ(Bytes(), original);
  EXPECT_EQ(Entries(), 1u);
  profile::testing::SetBeforeReplaceHook({});

  EXPECT_TRUE(profile::WritePrivateProfileString("App", "key", "new", file_));
  EXPECT_EQ(fs::status(file_).permissions() & fs::perms::mask,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(Entries(), 1u);

  fs::permissions(file_, fs::perms::owner_read | fs::perms::group_read);
  EXPECT_FALSE(profile::WritePrivateProfileString("App", "key", "newer", file_));
  EXPECT_FALSE(profile::WritePrivateProfileString("App", "key", std::nullopt, file_));
  EXPECT_EQ(Bytes(), "[App]\r\nkey=new\r\n");
  EXPECT_EQ(Entries(), 1u);

  EXPECT_FALSE(profile::WritePrivateProfileString("App", "k", "v", dir_ / "NOFOLDER" / "X.INI"));
  EXPECT_FALSE(profile::WritePrivateProfileString("App", "k", "v", fs::path()));
  EXPECT_FALSE(fs::exists(dir_ / "NOFOLDER"));

  // A write killed before it replaced the file leaves its temporary behind; a later write of the
  // same file removes those whose writer no longer runs.
  fs::permissions(file_, fs::perms::owner_read | fs::perms::owner_write);
  Put("[App]\r\nk=1\r\n");
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ASSERT_GT(gone, 0);
  ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
  const std::string dead = std::to_string(gone), live = std::to_string(::getppid());
  const std::vector<std::string> kept{".APP.INI.tmp" + live + "-3", ".OTHER.INI.tmp" + dead + "-4",
                                      ".APP.INI.tmp" + dead + "-4x", ".APP.INI.tmp-" + dead};
  for (const auto& name : kept) std::ofstream(dir_ / name) << "x";
  std::ofstream(dir_ / (".APP.INI.tmp" + dead + "-12")) << std::string(1000, 'x');
  EXPECT_TRUE(profile::WritePrivateProfileString("App", "k", "2", file_));
  EXPECT_FALSE(fs::exists(dir_ / (".APP.INI.tmp" + dead + "-12")));
  for (const auto& name : kept) EXPECT_TRUE(fs::exists(dir_ / name)) << name;
  EXPECT_EQ(Bytes(), "[App]\r\nk=2\r\n");
}

// A file that is not UTF-8 was written in the ANSI code page (KEP's INI file): it reads in that
// code page, and writes keep it there as long as it can hold the text.
TEST_F(Profile, ArbitraryBytesNeverCrashAndAnsiFilesReadInTheCodePage) {
  const std::string kLodz =
      "\xC5\x81\xC3\xB3"
      "d\xC5\xBA";  // not in Windows-1252
  std::string junk("[S]\r\nk=\xE9t\xE9\0tail\r\n[\0]\n=\n\x1a\x1a\n", 25);
  junk += std::string(100000, 'x') + "\r\r\n[\xC9T\xE9]\nv=\x80\x81";
  Put(junk);
  EXPECT_EQ(Get("s", "k"), "\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(Get("\xC3\xA9T\xC3\x89", "V"), "\xE2\x82\xAC\xC2\x81");
  EXPECT_TRUE(profile::WritePrivateProfileString("\xC3\xA9t\xC3\xA9", "w", "\xC5\xB8", file_));
  EXPECT_EQ(Bytes(), junk + "\r\nw=\x9F\r\n");
  EXPECT_TRUE(profile::WritePrivateProfileString("S", "z", kLodz, file_));
  EXPECT_TRUE(vb::IsValidUtf8(Bytes()));
  EXPECT_EQ(Get("s", "k"), "\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(Get("s", "z"), kLodz);
  EXPECT_EQ(Get("\xC3\xA9t\xC3\xA9", "w"), "\xC5\xB8");
  std::string list(8, '#');
  profile::GetPrivateProfileString(std::nullopt, std::nullopt, "", list.data(), 8, file_);

  vb::SetAnsiCodePage(1250);
  Put("[s]\r\nk=\xA3\xF3\x64\x9F\r\n");
  EXPECT_EQ(Get("s", "k"), kLodz);
  vb::SetAnsiCodePage(1252);
}

}  // namespace
