// velmora-setup as a separate process on throw-away folders, and the demonstration report it
// installs as the KEP stand-in serves it.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/dde/Link.h"
#include "platform/profile/Profile.h"
#include "platform/winfs/WinFs.h"
#include "tests/integration/KepProcess.h"
#include "tests/support/TempPrefix.h"

#ifdef SETUP_EXECUTABLE

namespace {

namespace fs = std::filesystem;

const fs::path kResources = fs::path(VELMORA_SOURCE_DIR) / "resources";

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteAll(const fs::path& file, const std::string& bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << bytes;
}

// Every entry under root (symbolic links not followed): type, size, time and link target.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
  std::map<std::string, std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    std::ostringstream s;
    if (e.is_symlink()) {
      s << "link " << fs::read_symlink(e.path()).string();
    } else if (e.is_directory()) {
      s << "dir";
    } else {
      s << "file " << e.file_size() << " " << e.last_write_time().time_since_epoch().count();
    }
    out[e.path().lexically_relative(root).string()] = s.str();
  }
  return out;
}

// Width and height from a JPEG's frame header; {0, 0} when there is none.
std::pair<int, int> JpegSize(const std::string& b) {
  std::size_t i = 2;
  while (i + 9 < b.size()) {
    if (static_cast<unsigned char>(b[i]) != 0xFF) return {0, 0};
    const unsigned char marker = static_cast<unsigned char>(b[i + 1]);
    const int len =
        (static_cast<unsigned char>(b[i + 2]) << 8) | static_cast<unsigned char>(b[i + 3]);
    if (marker >= 0xC0 && marker <= 0xC3) {
      const int h =
          (static_cast<unsigned char>(b[i + 5]) << 8) | static_cast<unsigned char>(b[i + 6]);
      const int w =
          (static_cast<unsigned char>(b[i + 7]) << 8) | static_cast<unsigned char>(b[i + 8]);
      return {w, h};
    }
    i += 2 + static_cast<std::size_t>(len);
  }
  return {0, 0};
}

class SetupTest : public ::testing::Test {
 protected:
  fs::path Prefix() const { return temp_.Root() / "user"; }
  fs::path Media() const { return temp_.Root() / "media"; }

  // Runs velmora-setup --prefix <Prefix()> args...; returns the exit code.
  int RunSetup(std::vector<std::string> args, const std::string& photoCount = {}) {
    args.insert(args.begin(), {SETUP_EXECUTABLE, "--prefix", Prefix().string()});
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const fs::path out = temp_.Root() / "setup.out";
    const pid_t pid = ::fork();
    if (pid == 0) {
      const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ::dup2(fd, STDOUT_FILENO);
      ::dup2(fd, STDERR_FILENO);
      if (photoCount.empty()) {
        ::unsetenv("VELMORA_DEMO_PHOTOS");
      } else {
        ::setenv("VELMORA_DEMO_PHOTOS", photoCount.c_str(), 1);
      }
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    output_ = ReadAll(out);
    winfs::UsePrefix(Prefix());
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
  }

  // A folder of ready demo pictures (tiny stand-ins: the copy is what is tested here), with
  // every picture the demo report holds in placed/.
  fs::path FakePhotos() {
    const fs::path dir = temp_.Root() / "photos";
    const std::string jpeg = ReadAll(kResources / "program" / "empty.jpg");
    for (const char* name : {"IMG_0001.JPG", "IMG_0002.JPG", "SCAN0001.BMP"})
      WriteAll(dir / name, jpeg);
    WriteAll(dir / "notes.txt", "not a picture");
    std::istringstream report(ReadAll(kResources / "demo" / "1427MAPLE.ZAP"));
    for (std::string line; std::getline(report, line);) {
      const auto slash = line.rfind('\\');
      if (line.find("_3X5.JPG") != std::string::npos && slash != std::string::npos) {
        std::string name = line.substr(slash + 1);
        if (!name.empty() && name.back() == '\r') name.pop_back();
        WriteAll(dir / "placed" / name, jpeg);
      }
    }
    return dir;
  }

  std::string Ini(const char* section, const char* key) const {
    return profile::ReadValue(winfs::ToHost("C:\\APPRAISE\\VELMORA.INI"), section, key,
                              "<missing>");
  }

  TempPrefix temp_;
  std::string output_;
};

TEST_F(SetupTest, FirstRunMakesPrefixProgramFolderAndDefaultSettings) {
  fs::create_directories(Media() / "CARD");
  fs::create_directories(Media() / "USB STICK");
  WriteAll(Media() / "not-a-medium.txt", "x");
  ASSERT_EQ(RunSetup({"--media", Media().string()}), 0) << output_;

  const auto links = winfs::DriveLinks();
  EXPECT_EQ(links.at('C'), (Prefix() / "drive_c").lexically_normal());
  EXPECT_EQ(links.at('Z'), fs::path("/"));
  EXPECT_EQ(links.at('D'), Media() / "CARD");
  EXPECT_EQ(links.at('E'), Media() / "USB STICK");
  EXPECT_EQ(links.size(), 4u);
  EXPECT_TRUE(winfs::IsRemovable('D'));
  EXPECT_TRUE(winfs::IsRemovable('E'));
  EXPECT_FALSE(winfs::IsRemovable('C'));
  EXPECT_FALSE(winfs::VolumeLabel('C').empty());

  EXPECT_EQ(ReadAll(winfs::ToHost("C:\\Velmora\\empty.jpg")),
            ReadAll(kResources / "program" / "empty.jpg"));
  EXPECT_EQ(ReadAll(winfs::ToHost("C:\\Velmora\\velmod.dat")),
            ReadAll(kResources / "demo" / "velmod.dat"));
  // The help file this build compiled, where Help opens it.
  EXPECT_EQ(ReadAll(winfs::ToHost("C:\\Velmora\\Velmora.chm")).substr(0, 4), "ITSF");
  EXPECT_TRUE(winfs::DirExists("C:\\GLENVUE"));
  EXPECT_FALSE(winfs::FileExists("C:\\APPRAISE\\KEP.INI"));

  const struct {
    const char* section;
    const char* key;
    const char* value;
  } defaults[] = {
      {"PRODUCT INFO", "COMPANY NAME", "Ostrel, Inc."},
      {"PROGRAM ALIAS", "CORVANE VELMORA", "Corvane Velmora"},
      {"DIRECTORIES", "APPDIR", "C:\\Velmora"},
      {"DIRECTORIES", "USERDIR", "C:\\Velmora"},
      {"DIRECTORIES", "CAPTUREDIR", "C:\\GLENVUE"},
      {"PREFERENCES", "SCREENSIZE", "0"},
      {"PREFERENCES", "USEBUTTONS", "0"},
      {"COPY DEVICE", "LASTCOPY", ""},
      {"PREFERENCES", "PREVIEWCOPYPICS", "1"},
      {"PREFERENCES", "IMAGE TYPE", "JPG"},
      {"PREFERENCES", "TRASHCAN", "1"},
      {"PREFERENCES", "AUTODELETE", "1"},
      {"PREFERENCES", "QUALITY", "95"},
      {"PREFERENCES", "BRIGHTNESS", "0"},
      {"PREFERENCES", "REDUX", "1"},
      {"PREFERENCES", "RESOLX", "800"},
      {"PREFERENCES", "RESOLY", "600"},
  };
  for (const auto& d : defaults) EXPECT_EQ(Ini(d.section, d.key), d.value) << d.key;
  EXPECT_NE(Ini("PRODUCT INFO", "TECHPHONE"), "");
  EXPECT_NE(Ini("GENERAL VIEWS", "GENERALVIEW1"), "<missing>");

  // A second run changes nothing.
  const auto before = Snapshot(Prefix());
  ASSERT_EQ(RunSetup({"--media", Media().string()}), 0) << output_;
  EXPECT_EQ(Snapshot(Prefix()), before);
}

TEST_F(SetupTest, NewMediumGetsTheNextFreeLetterAndOldLinksStay) {
  fs::create_directories(Media() / "CARD");
  ASSERT_EQ(RunSetup({"--media", Media().string()}), 0) << output_;
  winfs::LinkDrive('E', temp_.Root());  // a letter the user linked himself
  fs::create_directories(Media() / "PHONE");
  fs::remove(Media() / "CARD");
  ASSERT_EQ(RunSetup({"--media", Media().string()}), 0) << output_;
  const auto links = winfs::DriveLinks();
  EXPECT_EQ(links.at('D'), Media() / "CARD");  // kept: a card reader without its card
  EXPECT_EQ(links.at('E'), temp_.Root());
  EXPECT_EQ(links.at('F'), Media() / "PHONE");
  EXPECT_TRUE(winfs::IsRemovable('F'));
  EXPECT_FALSE(winfs::DriveReady('D'));
}

TEST_F(SetupTest, KeepsTheUsersSettingsDataAndPicturesAndOffersNewerFilesBeside) {
  ASSERT_EQ(RunSetup({"--no-media"}), 0) << output_;
  ASSERT_EQ(RunSetup({"--no-media"}), 0) << output_;  // the same files: nothing beside them
  EXPECT_FALSE(winfs::FileExists("C:\\Velmora\\velmod.dat.new")) << output_;
  EXPECT_FALSE(winfs::FileExists("C:\\Velmora\\empty.jpg.new")) << output_;
  profile::WritePrivateProfileString("PREFERENCES", "QUALITY", "70",
                                     winfs::ToHost("C:\\APPRAISE\\VELMORA.INI"));
  const fs::path ini = winfs::ToHost("C:\\APPRAISE\\VELMORA.INI");
  const std::string iniBytes = ReadAll(ini);
  WriteAll(winfs::ToHost("C:\\GLENVUE\\IMG_0001.JPG"), "the user's own picture");
  WriteAll(winfs::ToHost("C:\\APPRAISE\\KEP.INI"), "[VENDOR]\r\nApplicationName=Real KEP\r\n");
  WriteAll(winfs::ToHost("C:\\Velmora\\velmod.dat"), "the user's reference data\r\n");
  WriteAll(winfs::ToHost("C:\\Velmora\\empty.jpg"), "the user's placeholder");

  ASSERT_EQ(RunSetup({"--no-media", "--demo", "--photos", FakePhotos().string()}), 0) << output_;
  EXPECT_EQ(ReadAll(ini), iniBytes);
  EXPECT_EQ(ReadAll(winfs::ToHost("C:\\GLENVUE\\IMG_0001.JPG")), "the user's own picture");
  EXPECT_TRUE(winfs::FileExists("C:\\GLENVUE\\IMG_0002.JPG"));
  EXPECT_TRUE(winfs::FileExists("C:\\GLENVUE\\SCAN0001.BMP"));
  EXPECT_FALSE(winfs::FileExists("C:\\GLENVUE\\notes.txt"));
  EXPECT_TRUE(winfs::FileExists("C:\\KEPDATA\\PHOTOS\\1427MAPLE\\SUB_1_3X5.JPG"));
  EXPECT_NE(ReadAll(winfs::ToHost("C:\\APPRAISE\\KEP.INI")).find("Real KEP"), std::string::npos);
  EXPECT_EQ(ReadAll(winfs::ToHost("C:\\Velmora\\velmod.dat")), "the user's reference data\r\n");
  EXPECT_EQ(ReadAll(winfs::ToHost("C:\\Velmora\\empty.jpg")), "the user's placeholder");
  // The installation's copies of the files the user changed wait beside them, and the output
  // says where.
  for (const auto& [beside, shipped] :
       {std::pair{"C:\\Velmora\\velmod.dat.new", kResources / "demo" / "velmod.dat"},
        std::pair{"C:\\Velmora\\empty.jpg.new", kResources / "program" / "empty.jpg"},
        std::pair{"C:\\APPRAISE\\KEP.INI.new", kResources / "demo" / "KEP.INI"}}) {
    EXPECT_EQ(ReadAll(winfs::ToHost(beside)), ReadAll(shipped)) << beside;
    EXPECT_NE(output_.find(beside), std::string::npos) << output_;
  }

  // An empty VELMORA.INI is no settings at all: it gets the defaults.
  WriteAll(ini, "");
  ASSERT_EQ(RunSetup({"--no-media"}), 0) << output_;
  EXPECT_EQ(Ini("PREFERENCES", "QUALITY"), "95");
}

TEST_F(SetupTest, DemoMakesCameraPicturesFromPhotographs) {
  ASSERT_EQ(RunSetup({"--no-media", "--demo"}, "3"), 0) << output_;
  const auto pictures = winfs::ListFiles("C:\\GLENVUE", "*.JPG;*.BMP;*.TIF");
  EXPECT_EQ(pictures, (std::vector<std::string>{"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG",
                                                "SCAN0001.BMP", "SCAN0002.TIF"}));
  for (const char* name : {"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"}) {
    const auto [w, h] = JpegSize(ReadAll(winfs::ToHost(std::string("C:\\GLENVUE\\") + name)));
    EXPECT_GE(std::max(w, h), 4000) << name;
    EXPECT_EQ(std::max(w, h) * 3, std::min(w, h) * 4) << name;
  }
  EXPECT_EQ(ReadAll(winfs::ToHost("C:\\GLENVUE\\SCAN0001.BMP")).substr(0, 2), "BM");
  const std::string tif = ReadAll(winfs::ToHost("C:\\GLENVUE\\SCAN0002.TIF")).substr(0, 4);
  EXPECT_TRUE(tif == std::string("II*\0", 4) || tif == std::string("MM\0*", 4));
  // Every picture the report holds is there, at the size the program saves.
  for (const char* object : {"SUB_1_3X5", "CMP_4_3X5", "XP_2_3X5"}) {
    const std::string path = std::string("C:\\KEPDATA\\PHOTOS\\1427MAPLE\\") + object + ".JPG";
    EXPECT_EQ(JpegSize(ReadAll(winfs::ToHost(path))), std::make_pair(800, 600)) << path;
  }
}

TEST_F(SetupTest, BadArgumentsAreRefused) {
  EXPECT_EQ(RunSetup({"--bogus"}), 2);
  EXPECT_EQ(RunSetup({"--photo-count", "many"}), 2);
  EXPECT_EQ(RunSetup({"--media"}), 2);
  EXPECT_FALSE(fs::exists(Prefix()));
  EXPECT_EQ(RunSetup({"--help"}), 0);
  EXPECT_NE(output_.find("--demo"), std::string::npos);
}

// The Wine prefix KEP lives in ($WINEPREFIX, else ~/.wine) becomes Velmora's prefix: a link to
// it, completed in place with Wine's own lower-case folders and drives kept.
TEST_F(SetupTest, AdoptsTheWinePrefixOfKep) {
  const fs::path wine = temp_.Root() / "home" / ".wine";
  fs::create_directories(wine / "drive_c" / "windows" / "system32");
  fs::create_directories(wine / "dosdevices");
  fs::create_directory_symlink("../drive_c", wine / "dosdevices" / "c:");
  fs::create_directory_symlink("/", wine / "dosdevices" / "z:");
  const char* home = std::getenv("HOME");
  const std::string oldHome = home ? home : "";
  ::setenv("HOME", (temp_.Root() / "home").c_str(), 1);
  ::unsetenv("WINEPREFIX");
  EXPECT_EQ(RunSetup({"--adopt-wine", "--no-media"}), 1);  // not yet a Wine prefix: no registry
  EXPECT_NE(output_.find("not a Wine prefix"), std::string::npos) << output_;
  EXPECT_FALSE(fs::exists(fs::symlink_status(Prefix())));

  WriteAll(wine / "system.reg", "WINE REGISTRY Version 2\n");
  WriteAll(wine / "drive_c" / "Velmora" / "velmod.dat", "the user's reference data\r\n");
  ASSERT_EQ(RunSetup({"--adopt-wine", "--no-media"}), 0) << output_;
  EXPECT_EQ(ReadAll(wine / "drive_c" / "Velmora" / "velmod.dat"), "the user's reference data\r\n");
  ASSERT_EQ(RunSetup({"--adopt-wine", "--no-media"}), 0) << output_;  // again: nothing changes
  ::setenv("HOME", oldHome.c_str(), 1);
  EXPECT_TRUE(fs::is_symlink(Prefix()));
  EXPECT_EQ(fs::read_symlink(Prefix()), wine);
  EXPECT_TRUE(winfs::IsWinePrefix(Prefix()));
  std::vector<std::string> top;
  for (const auto& e : fs::directory_iterator(wine / "drive_c")) {
    if (e.path().filename().string()[0] != '.') top.push_back(e.path().filename().string());
  }
  std::sort(top.begin(), top.end());
  EXPECT_EQ(top, (std::vector<std::string>{"APPRAISE", "GLENVUE", "Velmora", "windows"}));
  EXPECT_TRUE(fs::is_regular_file(wine / "drive_c" / "APPRAISE" / "VELMORA.INI"));
  EXPECT_EQ(fs::read_symlink(wine / "dosdevices" / "z:"), "/");

  // $WINEPREFIX names another one; a prefix folder that is something else is left alone.
  ::setenv("WINEPREFIX", (temp_.Root() / "other").c_str(), 1);
  EXPECT_EQ(RunSetup({"--adopt-wine", "--no-media"}), 1);
  ::unsetenv("WINEPREFIX");
  fs::remove(Prefix());
  fs::create_directories(Prefix());
  EXPECT_EQ(RunSetup({"--wine-prefix", wine.string(), "--no-media"}), 1);
  EXPECT_NE(output_.find("already holds another prefix"), std::string::npos) << output_;
}

// ---- The demo report, the demo KEP.INI and velmod.dat fit together ------------------------

class DemoReportTest : public SetupTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(RunSetup({"--no-media", "--demo", "--photos", FakePhotos().string()}), 0) << output_;
    ::setenv("VELMORA_DDE_DIR", (temp_.Root() / "dde").c_str(), 1);
    kep_ = std::make_unique<KepProcess>(
        temp_.Root() / "dde",
        std::vector<std::string>{"--prefix", Prefix().string(),
                                 winfs::ToHost("C:\\KEPDATA\\REPORTS\\1427MAPLE.ZAP").string()});
    report_ = Request("KEP|Query", "ActiveReports");
    report_ = report_.substr(0, report_.find(','));
    forms_ = Request("KEP|" + report_, "ListForms");
  }
  void TearDown() override {
    kep_.reset();
    ::unsetenv("VELMORA_DDE_DIR");
  }
  std::string Request(const std::string& topic, const std::string& item) {
    link_.SetLinkMode(0);
    link_.SetLinkTopic(topic);
    link_.SetLinkMode(2);
    link_.SetLinkItem(item);
    return link_.Request();
  }
  std::string KepIni(const char* section, const std::string& key) const {
    return profile::ReadValue(winfs::ToHost("C:\\APPRAISE\\KEP.INI"), section, key, "");
  }

  std::unique_ptr<KepProcess> kep_;
  dde::Link link_;
  std::string report_;
  std::string forms_;
};

TEST_F(DemoReportTest, EveryPhotoPageIsAFormOfTheReport) {
  EXPECT_EQ(report_, "C:\\KEPDATA\\REPORTS\\1427MAPLE.ZAP");
  EXPECT_EQ(forms_.rfind("UA5,SUBPHOTO,", 0), 0u) << forms_;
  EXPECT_EQ(forms_.back(), ',');
  std::vector<std::string> keys = {"SUBJECT_1", "REOS_1", "REO2S_1"};
  for (int i = 1; i <= 12; ++i) keys.push_back("GENERAL_" + std::to_string(i));
  for (int i = 1; i <= 6; ++i) keys.push_back("EXTENDED_" + std::to_string(i));
  for (int i = 1; i <= 3; ++i) {
    keys.push_back("COMPARABLES_" + std::to_string(i));
    keys.push_back("RENTALS_" + std::to_string(i));
  }
  for (int i = 1; i <= 2; ++i) {
    keys.push_back("LISTINGS_" + std::to_string(i));
    keys.push_back("SPECIFIC_" + std::to_string(i));
    keys.push_back("ALTPH" + std::to_string(i));
  }
  for (const auto& key : keys) {
    const bool alt = key.rfind("ALTPH", 0) == 0;
    const std::string page = alt ? key : KepIni("3X5_PHOTO_PAGES", key);
    ASSERT_FALSE(page.empty()) << key;
    EXPECT_NE(("," + forms_).find("," + page + ","), std::string::npos) << key << "=" << page;
    if (alt) {
      EXPECT_FALSE(KepIni("Descriptions", key).empty());
    }
  }
  // The extended pages are the ones captions are sent to.
  EXPECT_EQ(KepIni("3X5_PHOTO_PAGES", "Extended_4"), "PHT3504");
}

TEST_F(DemoReportTest, ReferenceDataNamesTheAddressFieldsOfTheReport) {
  std::istringstream dat(ReadAll(winfs::ToHost("C:\\Velmora\\velmod.dat")));
  std::string line;
  int subject = 0;
  int comparables = 0;
  while (std::getline(dat, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> f;
    std::istringstream cut(line);
    for (std::string field; std::getline(cut, field, ',');) f.push_back(field);
    ASSERT_EQ(f.size(), 9u) << line;
    if (f[1] != "UA5" || f[2] != "ADDRESS") continue;
    const int n = std::stoi(f[7]);
    const int first = std::stoi(f[4]);
    const int step = std::stoi(f[8]);
    for (int k = 0; k < (n == 10 ? 1 : 3); ++k) {
      const std::string item = f[5] + "|" + f[3] + "|" + std::to_string(first + k * step);
      const std::string value = Request("KEP|" + report_, item);
      if (n == 10) subject += !value.empty();
      if (f[6] == "SALE" && n == 1) comparables += !value.empty();
    }
  }
  EXPECT_EQ(subject, 1);
  EXPECT_EQ(comparables, 3);
}

TEST_F(DemoReportTest, CaptionsAndPlacedPicturesAreThere) {
  const std::string section = "3X5_PHOTO_PAGES";
  const std::string general = KepIni(section.c_str(), "GENERAL_1");
  EXPECT_EQ(Request("KEP|" + report_, general + "|" + KepIni(section.c_str(), "GENERAL_DATA_1")),
            "Street Scene");
  const std::string extended =
      Request("KEP|" + report_, KepIni(section.c_str(), "EXTENDED_1") + "|" +
                                    KepIni(section.c_str(), "EXTENDED_ADDR_1"));
  EXPECT_NE(extended.find("\r\n"), std::string::npos) << extended;

  link_.SetLinkMode(0);
  link_.SetLinkTopic("KEP|System");
  link_.SetLinkMode(2);
  link_.Execute("[RunMacro( SetRequest \"IMAGES\",  GetImages$(1))]");
  link_.SetLinkItem("IMAGES");  // in the conversation that asked for the list
  const std::string images = link_.Request();
  int placed = 0;
  std::istringstream entries(images);
  for (std::string entry; std::getline(entries, entry, ';');) {
    EXPECT_TRUE(winfs::FileExists(entry.substr(entry.find('|') + 1))) << entry;
    ++placed;
  }
  EXPECT_GE(placed, 10);
  EXPECT_NE(images.find("CMP_1_3X5|"), std::string::npos);
  EXPECT_NE(images.find("XP_1_3X5|"), std::string::npos);
}

}  // namespace

#endif  // SETUP_EXECUTABLE
