// The program's KEP operations through the bridge and Wine's DDE to kep.exe, the stand-in built
// as a Windows DDE server, in one prefix: each operation's traffic, the pictures and fields that
// land in the report, a reply larger than 64 KiB, a slow KEP, KEP not running, no bridge.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/frmMainControls.h"
#include "core/kepcalls.h"
#include "core/modVelmod.h"
#include "kep/Report.h"
#include "platform/dde/Transport.h"
#include "platform/dde/WineTransport.h"
#include "platform/vbrt/VbError.h"
#include "tests/integration/KepProcess.h"
#include "tests/integration/wine/WineSession.h"
#include "tests/support/CoreFixture.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/GenerousBound.h"

namespace {

namespace fs = std::filesystem;
using namespace core;

constexpr const char* kSmith = R"(C:\KEP\DATA\SMITH.ZAP)";
constexpr const char* kSmithLogged = R"(C:\\KEP\\DATA\\SMITH.ZAP)";

class KepCallsUnderWine : public CoreFixture {
 protected:
  KepCallsUnderWine() : wine_(prefix.Prefix()) {
    report_ = prefix.Root() / "smith.rpt";
    log_ = prefix.Root() / "kep.log";
    form.CreateElements();
    SetMainForm(&form);
  }
  ~KepCallsUnderWine() override {
    kep_.reset();
    SetMainForm(nullptr);
  }

  void Start(std::vector<std::string> extra = {}, const std::string& fields = {}) {
    std::ofstream(report_) << "[report]\nname=" << kSmith
                           << "\nuserid=JDOE\nforms=UA5,SUBPHOT2\n"
                              "store=C:\\KEP\\IMAGES\\SMITH\n"
                              "[fields]\nUA5|ADDR|10=12 Main St\n"
                           << fields << "[images]\nSUB_1_4X6=C:\\KEP\\IMAGES\\OLD.JPG\n";
    std::vector<std::string> args = {"--log", log_.string()};
    args.insert(args.end(), extra.begin(), extra.end());
    kep_ = std::make_unique<KepProcess>(prefix.Root() / "dde", args, wine_.KepLauncher());
  }
  std::vector<std::string> Traffic() const {
    std::vector<std::string> out;
    for (auto& l : ReadLines(log_)) {
      if (l.rfind("CONNECT", 0) != 0) out.push_back(l);
    }
    return out;
  }
  forms::TextBox& lnk() { return form.txtDDE; }

  WineSession wine_;
  fs::path report_, log_;
  std::unique_ptr<KepProcess> kep_;
  MainFormControls form{"frmMain", "-"};
};

TEST_F(KepCallsUnderWine, EveryOperationReachesKepExeAndItsReport) {
  prefix.WriteFile("C:\\PICS\\PTEMP_01.JPG", "jpeg bytes");
  Start({report_.string()});

  ASSERT_TRUE(IsKepReportActive(lnk()));
  const std::string report = FirstCommaField(lnk().Text());
  EXPECT_EQ(report, kSmith);
  KepOpenReport(lnk(), report);
  KepListForms(lnk(), report);
  EXPECT_EQ(lnk().Text(), "UA5,SUBPHOT2");
  EXPECT_EQ(KepGetFieldInfo(lnk(), report, "UA5|ADDR|10"), "12 Main St");
  KepQueryGetImages(lnk());
  EXPECT_EQ(lnk().Text(), "SUB_1_4X6|C:\\KEP\\IMAGES\\OLD.JPG;");
  KepListForms(lnk(), report);
  KepSendPhoto2Object(lnk(), "CMP_3_4X6", "C:\\PICS\\PTEMP_01.JPG");
  KepSendScript(lnk(), "  refresh.bas ");
  KepPokeText(lnk(), std::string("Kep|") + report, "UA5|CAP|1", "  Front façade  ");
  EXPECT_EQ(KepGetFieldInfo(lnk(), report, "LAND|X|1"), "");  // refused (285): quiet
  kep_->Stop();

  const std::string t = kSmithLogged;
  const std::vector<std::string> expected = {
      R"(REQUEST topic="Query" item="ActiveReports" -> OK ")" + t + R"(,")",
      R"(REQUEST topic=")" + t + R"(" item="UserID" -> OK "JDOE")",
      R"(REQUEST topic=")" + t + R"(" item="ListForms" -> OK "UA5,SUBPHOT2")",
      R"(REQUEST topic=")" + t + R"(" item="UA5|ADDR|10" -> OK "12 Main St")",
      R"(EXECUTE topic="System" command="[RunMacro( SetRequest \"IMAGES\",  GetImages$(1))]" -> OK)",
      R"(REQUEST topic="System" item="IMAGES" -> OK "SUB_1_4X6|C:\\KEP\\IMAGES\\OLD.JPG;")",
      R"(REQUEST topic=")" + t + R"(" item="ListForms" -> OK "UA5,SUBPHOT2")",
      R"(EXECUTE topic=")" + t +
          R"(" command="[RunMacro( SetImage \"CMP_3_4X6\", \"C:\\\\PICS\\\\PTEMP_01.JPG\" ) ]\r" -> OK)",
      R"(EXECUTE topic="System" command="[RunMacro(refresh.bas)]\r" -> OK)",
      R"(POKE topic=")" + t + R"(" item="UA5|CAP|1" data="Front façade" -> OK)",
  };
  auto traffic = Traffic();
  // The bridge asks a refused request again before it believes Wine's DDE.
  const std::string refused =
      R"(REQUEST topic=")" + t + R"(" item="LAND|X|1" -> REFUSE: unknown item)";
  ASSERT_GE(traffic.size(), expected.size() + 1);
  EXPECT_LE(traffic.size(), expected.size() + 3);
  for (std::size_t i = expected.size(); i < traffic.size(); ++i) EXPECT_EQ(traffic[i], refused);
  traffic.resize(expected.size());
  EXPECT_EQ(traffic, expected);
  // One prefix: KEP found the picture by the path Velmora gave, and kept its copy in the store.
  EXPECT_EQ(ReadFile("C:\\KEP\\IMAGES\\SMITH\\CMP_3_4X6.JPG"), "jpeg bytes");
  const kep::Report saved = kep::LoadReport(report_);
  // Windows' ANSI text on the way, Velmora's UTF-8 at both ends.
  EXPECT_EQ(saved.Field("UA5|CAP|1").value_or("<none>"), "Front façade");
  EXPECT_NE(saved.ImageList().find("CMP_3_4X6|C:\\KEP\\IMAGES\\SMITH\\CMP_3_4X6.JPG;"),
            std::string::npos);
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(KepCallsUnderWine, APicturePathOutsideAsciiNamesTheSameFileForKepExe) {
  prefix.WriteFile("C:\\PICS\\FAÇADE\\PTEMP_01.JPG", "jpeg bytes");
  Start({report_.string()});
  KepListForms(lnk(), kSmith);
  KepSendPhoto2Object(lnk(), "CMP_1_4X6", "C:\\PICS\\FAÇADE\\PTEMP_01.JPG");
  EXPECT_TRUE(app.Boxes().empty()) << app.Boxes()[0].prompt;
  EXPECT_EQ(ReadFile("C:\\KEP\\IMAGES\\SMITH\\CMP_1_4X6.JPG"), "jpeg bytes");
}

// Texts read from an INI file that KEP wrote in its ANSI code page are no UTF-8: they go as they
// are.
TEST_F(KepCallsUnderWine, AnAnsiTextFromAnIniFileReachesKepUnchanged) {
  Start({report_.string()});
  KepPokeText(lnk(), std::string("KEP|") + kSmith, "UA5|CAP|1", "Caf\xE9 au lait");
  KepPokeText(lnk(), std::string("KEP|") + kSmith, "UA5|CAP|2", "Caf\xC3\xA9");
  kep_->Stop();
  const kep::Report saved = kep::LoadReport(report_);
  EXPECT_EQ(saved.Field("UA5|CAP|1").value_or("<none>"), "Caf\xC3\xA9 au lait");
  EXPECT_EQ(saved.Field("UA5|CAP|2").value_or("<none>"), "Caf\xC3\xA9");
}

TEST_F(KepCallsUnderWine, ARepliesLargerThan64KiBArriveWhole) {
  std::string big;
  for (int i = 0; big.size() < 200000; ++i) big += "line " + std::to_string(i) + ";";
  Start({report_.string()}, "UA5|NOTES|1=" + big + "\n");
  const std::string got = KepGetFieldInfo(lnk(), kSmith, "UA5|NOTES|1");
  EXPECT_TRUE(got == big) << got.size() << " bytes of " << big.size();
  KepPokeText(lnk(), std::string("KEP|") + kSmith, "UA5|NOTES|2", big);
  const std::string back = KepGetFieldInfo(lnk(), kSmith, "UA5|NOTES|2");
  EXPECT_TRUE(back == big) << back.size() << " bytes of " << big.size();
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(KepCallsUnderWine, ASlowKepTimesOutAndTheNextOperationStillWorks) {
  Start({report_.string(), "--slow", "20"});
  lnk().SetLinkTimeout(5);
  const auto took = testsupport::TimeOf(
      [&] { EXPECT_EQ(ErrorOf([&] { IsKepReportActive(lnk()); }), vb::kDdeTimeout); });
  EXPECT_LT(took, testsupport::GenerousBound(std::chrono::milliseconds(500)));
  lnk().SetLinkTimeout(50);
  EXPECT_TRUE(IsKepReportActive(lnk()));
  EXPECT_EQ(FirstCommaField(lnk().Text()), kSmith);
}

// The bridge keeps a closed conversation for the next operation on its topic for a moment; one
// that KEP ended meanwhile is never handed on: KEP gone is KEP not running (quiet), not 291.
TEST_F(KepCallsUnderWine, AConversationKepEndedWhileKeptIsNotUsedAgain) {
  Start({report_.string()});
  ASSERT_TRUE(IsKepReportActive(lnk()));
  KepListForms(lnk(), kSmith);
  kep_->Kill();
  EXPECT_FALSE(IsKepReportActive(lnk()));
  KepListForms(lnk(), kSmith);
  EXPECT_EQ(lnk().Text(), "");
  EXPECT_TRUE(app.Boxes().empty());
}

// KEP ends each conversation once it has answered: Wine keeps a conversation its server ended,
// and would refuse every new one on that topic.
TEST_F(KepCallsUnderWine, ConversationsKepEndedDoNotBarTheirTopic) {
  Start({report_.string(), "--close-early"});
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(IsKepReportActive(lnk())) << i;
    KepListForms(lnk(), kSmith);
    EXPECT_EQ(lnk().Text(), "UA5,SUBPHOT2") << i;
    std::this_thread::sleep_for(std::chrono::milliseconds(i * 200));
  }
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(KepCallsUnderWine, KepNotRunningOrNoBridgeEndQuietlyAndTheReasonIsLoggedOnce) {
  gbKepReportActive = vbTrue;
  EXPECT_FALSE(IsKepReportActive(lnk()));
  EXPECT_EQ(gbKepReportActive, vbFalse);
  KepListForms(lnk(), kSmith);
  KepSendPhoto2Object(lnk(), "CMP_3_4X6", "C:\\PICS\\PTEMP_01.JPG");
  KepSendScript(lnk(), "refresh.bas");

  std::vector<std::string> logged;
  dde::SetDdeLog([&](const std::string& line) { logged.push_back(line); });
  dde::UseTransport(
      dde::MakeWineTransport({wine_.Wine(), prefix.Root() / "none.exe", prefix.Prefix()}));
  EXPECT_FALSE(IsKepReportActive(lnk()));
  KepListForms(lnk(), kSmith);
  dde::UseTransport(dde::MakeWineTransport({"", WINBRIDGE_EXE, prefix.Prefix()}));
  EXPECT_FALSE(IsKepReportActive(lnk()));
  dde::SetDdeLog(nullptr);
  ASSERT_EQ(logged.size(), 2u);
  EXPECT_NE(logged[0].find("none.exe is missing"), std::string::npos) << logged[0];
  EXPECT_NE(logged[1].find("Wine is not installed"), std::string::npos) << logged[1];
  EXPECT_TRUE(app.Boxes().empty());
}

}  // namespace
