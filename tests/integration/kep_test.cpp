// The kep stand-in as a separate process, driven through the DDE link the program uses.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>

#include "kep/Log.h"
#include "kep/Report.h"
#include "platform/dde/Link.h"
#include "platform/vbrt/VbError.h"
#include "tests/integration/KepProcess.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/GenerousBound.h"
#include "tests/support/TempPrefix.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kSmith = R"(C:\KEP\DATA\SMITH.ZAP)";
constexpr const char* kSetRequest = "[RunMacro( SetRequest \"IMAGES\",  GetImages$(1))]";

class KepTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dde_dir_ = prefix_.Root() / "dde";
    ::setenv("VELMORA_DDE_DIR", dde_dir_.c_str(), 1);
    report_ = prefix_.Root() / "smith.rpt";
    std::ofstream(report_) << "[report]\nname=" << kSmith
                           << "\nuserid=JDOE\nforms=URAR,SUBPHOTO\nstore=C:\\KEP\\IMAGES\\SMITH\n"
                              "[fields]\nURAR|ADDR|10=12 Main St\n"
                              "[images]\nSUB_1_3X5=C:\\KEP\\IMAGES\\OLD.JPG\n";
    jones_ = prefix_.Root() / "jones.rpt";
    std::ofstream(jones_) << "[report]\nname=C:\\KEP\\SKELS\\JONES.ZAP\nforms=LAND\n";
    log_ = prefix_.Root() / "kep.log";
  }
  void TearDown() override {
    kep_.reset();
    ::unsetenv("VELMORA_DDE_DIR");
  }
  void Start(std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {"--prefix", prefix_.Prefix().string(), "--log", log_.string()};
    args.insert(args.end(), extra.begin(), extra.end());
    kep_ = std::make_unique<KepProcess>(dde_dir_, args);
  }
  std::string Request(const std::string& topic, const std::string& item) {
    link_.SetLinkMode(0);
    link_.SetLinkTopic(topic);
    link_.SetLinkMode(2);
    link_.SetLinkItem(item);
    return link_.Request();
  }
  void Execute(const std::string& topic, const std::string& command) {
    link_.SetLinkMode(0);
    link_.SetLinkTopic(topic);
    link_.SetLinkMode(2);
    link_.Execute(command);
  }
  void Poke(const std::string& topic, const std::string& item, const std::string& text) {
    link_.SetLinkMode(0);
    link_.SetLinkTopic(topic);
    link_.SetLinkMode(2);
    link_.SetLinkItem(item);
    link_.Poke(text);
  }
  // The log lines that are not CONNECT lines.
  std::vector<std::string> Traffic() {
    std::vector<std::string> out;
    for (auto& l : ReadLines(log_)) {
      if (l.rfind("CONNECT", 0) != 0) out.push_back(l);
    }
    return out;
  }

  TempPrefix prefix_;
  fs::path dde_dir_, report_, jones_, log_;
  std::unique_ptr<KepProcess> kep_;
  dde::Link link_;
};

TEST_F(KepTest, AnswersQueriesOfTheOpenReports) {
  Start({report_.string(), jones_.string()});
  EXPECT_EQ(Request("KEP|Query", "ActiveReports"),
            std::string(kSmith) + ",C:\\KEP\\SKELS\\JONES.ZAP,");
  EXPECT_EQ(Request(std::string("Kep|") + kSmith, "UserID"), "JDOE");
  EXPECT_EQ(Request(std::string("KEP|") + "c:\\kep\\data\\smith.zap", "ListForms"),
            "URAR,SUBPHOTO");
  EXPECT_EQ(Request(std::string("KEP|") + kSmith, "URAR|ADDR|10"), "12 Main St");
  EXPECT_EQ(Request(std::string("KEP|") + kSmith, "SUBPHOTO|GEN|1"), "");  // empty field
  EXPECT_EQ(ErrorOf([&] { Request(std::string("KEP|") + kSmith, "LAND|X|1"); }),
            vb::kDdeRefused);  // not a form of this report
  EXPECT_EQ(ErrorOf([&] { Request("KEP|C:\\NOPE.ZAP", "ListForms"); }), vb::kDdeNoApp);

  const auto t = Traffic();
  ASSERT_EQ(t.size(), 6u);
  EXPECT_EQ(
      t[0],
      R"(REQUEST topic="Query" item="ActiveReports" -> OK "C:\\KEP\\DATA\\SMITH.ZAP,C:\\KEP\\SKELS\\JONES.ZAP,")");
  EXPECT_EQ(t[1], R"(REQUEST topic="C:\\KEP\\DATA\\SMITH.ZAP" item="UserID" -> OK "JDOE")");
  EXPECT_EQ(t[4], R"(REQUEST topic="C:\\KEP\\DATA\\SMITH.ZAP" item="SUBPHOTO|GEN|1" -> OK "")");
  EXPECT_EQ(t[5].rfind(R"(REQUEST topic="C:\\KEP\\DATA\\SMITH.ZAP" item="LAND|X|1" -> REFUSE)", 0),
            0u);
}

TEST_F(KepTest, SetImageStoresThePictureAndImagesReportsIt) {
  prefix_.WriteFile("C:\\PICS\\PTEMP_01.JPG", "jpeg bytes");
  Start({report_.string()});
  Execute("KEP|System", kSetRequest);
  link_.SetLinkItem("IMAGES");
  EXPECT_EQ(link_.Request(), "SUB_1_3X5|C:\\KEP\\IMAGES\\OLD.JPG;");

  const std::string setImage =
      "[RunMacro( SetImage \"CMP_3_3X5\", \"C:\\\\PICS\\\\PTEMP_01.JPG\" ) ]\r";
  Execute(std::string("KEP|") + kSmith, setImage);
  Execute("KEP|System", kSetRequest);
  link_.SetLinkItem("IMAGES");
  EXPECT_EQ(link_.Request(),
            "SUB_1_3X5|C:\\KEP\\IMAGES\\OLD.JPG;CMP_3_3X5|C:\\KEP\\IMAGES\\SMITH\\CMP_3_3X5.JPG;");
  std::ifstream stored(prefix_.Host("C:\\KEP\\IMAGES\\SMITH\\CMP_3_3X5.JPG"));
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(stored), {}), "jpeg bytes");
  EXPECT_EQ(kep::LoadReport(report_).ImageList(), link_.Request());  // saved at once

  Execute(std::string("KEP|") + kSmith, "[RunMacro( SetImage \"SUB_1_3X5\", \"\" ) ]\r");
  Execute("KEP|System", kSetRequest);
  link_.SetLinkItem("IMAGES");
  EXPECT_EQ(link_.Request(), "CMP_3_3X5|C:\\KEP\\IMAGES\\SMITH\\CMP_3_3X5.JPG;");

  const auto t = Traffic();
  ASSERT_GE(t.size(), 3u);
  EXPECT_EQ(
      t[0],
      R"(EXECUTE topic="System" command="[RunMacro( SetRequest \"IMAGES\",  GetImages$(1))]" -> OK)");
  EXPECT_EQ(
      t[2],
      R"(EXECUTE topic="C:\\KEP\\DATA\\SMITH.ZAP" command="[RunMacro( SetImage \"CMP_3_3X5\", \"C:\\\\PICS\\\\PTEMP_01.JPG\" ) ]\r" -> OK)");
}

TEST_F(KepTest, OnlyTheExactMacroTextsAreExecuted) {
  prefix_.WriteFile("C:\\PICS\\A.JPG", "x");
  Start({report_.string()});
  Execute("KEP|System", "[RunMacro(refresh.bas)]\r");
  const std::string smith = std::string("KEP|") + kSmith;
  for (const auto& case_ : std::vector<std::pair<std::string, std::string>>{
           {"KEP|System", "[RunMacro(refresh.bas)]"},                                // no CR
           {"KEP|System", std::string(kSetRequest) + "\r"},                          // CR too many
           {"KEP|System", "[RunMacro( SetRequest \"IMAGES\", GetImages$(1))]"},      // one blank
           {smith, "[RunMacro( SetImage \"CMP_1_3X5\", \"C:\\PICS\\A.JPG\" ) ]\r"},  // single
           {smith, "[RunMacro( SetImage \"../x\", \"C:\\\\PICS\\\\A.JPG\" ) ]\r"},
           {smith, "[RunMacro( SetImage \"CMP_1_3X5\", \"C:\\\\PICS\\\\NONE.JPG\" ) ]\r"},
           {"KEP|System", "[Quit()]"}}) {
    EXPECT_EQ(ErrorOf([&] { Execute(case_.first, case_.second); }), vb::kDdeRefused)
        << case_.second;
  }
  const auto t = Traffic();
  ASSERT_EQ(t.size(), 8u);
  EXPECT_EQ(t[0], R"(EXECUTE topic="System" command="[RunMacro(refresh.bas)]\r" -> OK)");
  EXPECT_NE(t[1].find("command=\"[RunMacro(refresh.bas)]\" -> REFUSE"), std::string::npos);
}

TEST_F(KepTest, PokesAreStoredAndSaved) {
  Start({report_.string()});
  Poke(std::string("Kep|") + kSmith, "SUBPHOTO|GEN|1", "Front view");
  EXPECT_EQ(link_.LinkMode(), 2);
  EXPECT_EQ(Request(std::string("KEP|") + kSmith, "subphoto|gen|1"), "Front view");
  EXPECT_EQ(kep::LoadReport(report_).Field("SUBPHOTO|GEN|1"), "Front view");
  EXPECT_EQ(ErrorOf([&] { Poke(std::string("Kep|") + kSmith, "|", "x"); }), vb::kDdeRefused);
  const auto t = Traffic();
  ASSERT_GE(t.size(), 1u);
  EXPECT_EQ(
      t[0],
      R"(POKE topic="C:\\KEP\\DATA\\SMITH.ZAP" item="SUBPHOTO|GEN|1" data="Front view" -> OK)");
}

TEST_F(KepTest, NoReportOpen) {
  Start({"--none"});
  EXPECT_EQ(Request("KEP|Query", "ActiveReports"), "");
  EXPECT_EQ(ErrorOf([&] { Request(std::string("Kep|") + kSmith, "UserID"); }), vb::kDdeNoApp);
  Execute("KEP|System", kSetRequest);
  link_.SetLinkItem("IMAGES");
  EXPECT_EQ(link_.Request(), "");
}

TEST_F(KepTest, NotRunning) {
  EXPECT_EQ(ErrorOf([&] { Request("KEP|Query", "ActiveReports"); }), vb::kDdeNoApp);
  EXPECT_EQ(link_.LinkMode(), 0);
}

TEST_F(KepTest, FailureModes) {
  Start({report_.string(), "--garbage"});
  EXPECT_EQ(ErrorOf([&] { Request("KEP|Query", "ActiveReports"); }), dde::kDdeWrongFormat);
  kep_.reset();
  Start({report_.string(), "--close-early"});
  EXPECT_EQ(ErrorOf([&] { Request("KEP|Query", "ActiveReports"); }), dde::kDdeAppQuit);
  kep_.reset();
  Start({report_.string(), "--slow", "20"});
  link_.SetLinkTimeout(5);
  const auto took = testsupport::TimeOf(
      [&] { EXPECT_EQ(ErrorOf([&] { Request("KEP|Query", "ActiveReports"); }), vb::kDdeTimeout); });
  EXPECT_LT(took, testsupport::GenerousBound(std::chrono::milliseconds(500)));
  link_.SetLinkTimeout(50);
  EXPECT_EQ(Request("KEP|Query", "ActiveReports"), std::string(kSmith) + ",");  // slow but in time
  const auto lines = Traffic();
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines.back().find("(after 2000 ms)"), std::string::npos);
}

TEST_F(KepTest, TheImageListBelongsToTheConversationThatAskedForIt) {
  Start({report_.string()});
  Execute("KEP|System", kSetRequest);
  dde::Link other;  // a second client's conversation, open at the same time
  other.SetLinkTopic("KEP|System");
  other.SetLinkMode(2);
  other.SetLinkItem("IMAGES");
  EXPECT_EQ(ErrorOf([&] { other.Request(); }), vb::kDdeRefused);
  link_.SetLinkItem("IMAGES");
  EXPECT_EQ(link_.Request(), "SUB_1_3X5|C:\\KEP\\IMAGES\\OLD.JPG;");
  // A new conversation has asked for nothing, though this link asked before.
  EXPECT_EQ(ErrorOf([&] { Request("KEP|System", "IMAGES"); }), vb::kDdeRefused);
}

TEST_F(KepTest, AnUnansweredInitiateAndAHangEndInTheLinksTimeout) {
  Start({report_.string(), "--silent-initiate"});
  link_.SetLinkTimeout(3);
  const std::chrono::milliseconds timeout(300);
  auto took = testsupport::TimeOf(
      [&] { EXPECT_EQ(ErrorOf([&] { Request("Kep|Query", "ActiveReports"); }), vb::kDdeNoApp); });
  EXPECT_LT(took, testsupport::GenerousBound(timeout));
  EXPECT_EQ(ReadLines(log_),
            std::vector<std::string>{R"(CONNECT app="Kep" topic="Query" -> SILENT)"});
  kep_.reset();
  fs::remove(log_);

  // Hung at the second transaction: it and all that follows, initiates too, go unanswered.
  Start({report_.string(), "--hang-at", "2"});
  EXPECT_EQ(Request("KEP|Query", "ActiveReports"), std::string(kSmith) + ",");
  took = testsupport::TimeOf([&] {
    EXPECT_EQ(ErrorOf([&] { Poke(std::string("KEP|") + kSmith, "URAR|ADDR|10", "x"); }),
              vb::kDdeTimeout);
    EXPECT_EQ(ErrorOf([&] { link_.Request(); }), vb::kDdeTimeout);
    EXPECT_EQ(ErrorOf([&] { Request("KEP|Query", "ActiveReports"); }), vb::kDdeNoApp);
  });
  EXPECT_LT(took, testsupport::GenerousBound(3 * timeout));
  EXPECT_EQ(kep::LoadReport(report_).Field("URAR|ADDR|10"), "12 Main St");  // not carried out
  const auto lines = ReadLines(log_);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[3].rfind(R"(POKE topic="C:\\KEP\\DATA\\SMITH.ZAP" item="URAR|ADDR|10")", 0), 0u);
  for (std::size_t i = 3; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].substr(lines[i].size() - 8), " -> HUNG") << lines[i];
  }
}

TEST_F(KepTest, OversizedFrameEndsTheConversation) {
  Start({report_.string(), "--max-frame", "1024"});
  EXPECT_EQ(
      ErrorOf([&] { Poke(std::string("KEP|") + kSmith, "URAR|ADDR|10", std::string(4096, 'x')); }),
      dde::kDdeAppQuit);
  EXPECT_EQ(Request(std::string("KEP|") + kSmith, "URAR|ADDR|10"), "12 Main St");
}

TEST_F(KepTest, StopsCleanlyOnSigterm) {
  Start({report_.string()});
  ASSERT_TRUE(fs::exists(dde_dir_ / "kep.sock"));
  EXPECT_EQ(kep_->Stop(), 0);
  EXPECT_FALSE(fs::exists(dde_dir_ / "kep.sock"));
}

TEST(KepLog, EscapesControlBytesQuotesAndBackslashes) {
  EXPECT_EQ(kep::EscapeForLog("a\\b\"c\r\n\t\x01"), "a\\\\b\\\"c\\r\\n\\t\\x01");
}

}  // namespace
