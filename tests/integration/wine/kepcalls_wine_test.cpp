// The program's KEP operations through the bridge and Wine's DDE to kep.exe, the stand-in built
// as a Windows DDE server, in one prefix: each operation's traffic, the pictures and fields that
// land in the report, a reply larger than 64 KiB, a slow KEP, KEP not running, no bridge; and
// thousands of mixed transactions on busy cores, each answer checked against kep.exe's own log.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/frmMainControls.h"
#include "core/kepcalls.h"
#include "core/modVelmod.h"
#include "kep/Log.h"
#include "kep/Report.h"
#include "platform/dde/Link.h"
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
  std::vector<std::string> expected = {
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
  expected.push_back(R"(REQUEST topic=")" + t + R"(" item="LAND|X|1" -> REFUSE: unknown item)");
  EXPECT_EQ(Traffic(), expected);  // the refused request asked once
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

// KEP killed while a transaction waits for it: the wait ends at once (291, not the link's time
// out), and the next conversation reaches the KEP started since.
TEST_F(KepCallsUnderWine, KepKilledMidTransactionEndsTheWaitAndTheNextReachesTheNewKep) {
  Start({report_.string(), "--hang-at", "ListForms"});
  std::thread killer([&] {
    while (Traffic().empty() || Traffic().back().find("-> HUNG") == std::string::npos) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    kep_->Kill();
  });
  dde::Link link;
  link.SetLinkTimeout(-1);  // the longest: only the server's end ends this wait
  link.SetLinkTopic(std::string("KEP|") + kSmith);
  link.SetLinkMode(2);
  link.SetLinkItem("ListForms");
  EXPECT_EQ(ErrorOf([&] { link.Request(); }), dde::kDdeAppQuit);
  killer.join();
  link.SetLinkMode(0);
  Start({report_.string()});
  ASSERT_TRUE(IsKepReportActive(lnk()));
  KepListForms(lnk(), kSmith);
  EXPECT_EQ(lnk().Text(), "UA5,SUBPHOT2");
  EXPECT_TRUE(app.Boxes().empty());
}

// Keeps every core busy until it goes out of scope.
class BusyCores {
 public:
  BusyCores() {
    for (unsigned i = 0; i < std::max(2u, std::thread::hardware_concurrency()); ++i) {
      threads_.emplace_back([this] {
        volatile unsigned long x = 1;
        while (!stop_) x = x * 6364136223846793005ul + 1;
      });
    }
  }
  ~BusyCores() {
    stop_ = true;
    for (auto& t : threads_) t.join();
  }

 private:
  std::atomic<bool> stop_{false};
  std::vector<std::thread> threads_;
};

// The transactions of the program's operations, each one's answer written as kep.exe logs the
// transaction it answered: what the program was told must be what KEP did.
class Answers {
 public:
  explicit Answers(dde::Link& link) : link_(link) {}

  void Open(const std::string& topic) {
    link_.SetLinkMode(0);
    link_.SetLinkTopic(topic);
    topic_ = topic.substr(topic.find('|') + 1);
    link_.SetLinkMode(2);
  }
  std::string Request(const std::string& item) {
    link_.SetLinkItem(item);
    std::string reply;
    Record(
        "REQUEST", "item=" + kep::Quoted(item), [&] { reply = link_.Request(); },
        [&] { return " -> OK " + kep::Quoted(reply); });
    return reply;
  }
  bool Execute(const std::string& command) {
    return Record("EXECUTE", "command=" + kep::Quoted(command), [&] { link_.Execute(command); });
  }
  bool Poke(const std::string& item, const std::string& data) {
    link_.SetLinkItem(item);
    return Record("POKE", "item=" + kep::Quoted(item) + " data=" + kep::Quoted(data),
                  [&] { link_.Poke(data); });
  }
  // kep.exe's log beside what the program was told; the lines that differ.
  std::vector<std::string> Differences(std::vector<std::string> logged) const {
    std::vector<std::string> out;
    if (logged.size() != told_.size()) {
      out.push_back(std::to_string(logged.size()) + " transactions logged, " +
                    std::to_string(told_.size()) + " answered");
    }
    logged.resize(told_.size());
    for (std::size_t i = 0; i < told_.size(); ++i) {
      const bool refused = told_[i].ends_with("-> REFUSE");
      if (refused ? logged[i].rfind(told_[i], 0) != 0 : logged[i] != told_[i]) {
        out.push_back("#" + std::to_string(i) + " told: " + told_[i] + "\n   logged: " + logged[i]);
      }
    }
    return out;
  }
  std::size_t size() const { return told_.size(); }

 private:
  template <typename Run, typename Ok>
  bool Record(const std::string& op, const std::string& what, Run run, Ok ok) {
    const std::string line = op + " topic=" + kep::Quoted(topic_) + " " + what;
    try {
      run();
    } catch (const vb::VbError& e) {
      told_.push_back(line + (e.Number() == vb::kDdeRefused
                                  ? " -> REFUSE"
                                  : " -> error " + std::to_string(e.Number())));
      return false;
    }
    told_.push_back(line + ok());
    return true;
  }
  template <typename Run>
  bool Record(const std::string& op, const std::string& what, Run run) {
    return Record(op, what, run, [] { return std::string(" -> OK"); });
  }

  dde::Link& link_;
  std::string topic_;
  std::vector<std::string> told_;
};

// Request bursts, pokes into distinct fields read back at once, SetImages KEP takes and refuses,
// as the program sends them (a conversation per operation), while every core is busy.
TEST_F(KepCallsUnderWine, EveryAnswerUnderLoadIsKepsAnswerToThatTransaction) {
  constexpr int kRounds = 150, kFields = 24, kCaptions = 30;
  std::string fields;
  for (int i = 1; i <= kFields; ++i)
    fields += "UA5|F|" + std::to_string(i) + "=field " + std::to_string(i) + "\n";
  prefix.WriteFile("C:\\PICS\\THERE.JPG", "jpeg bytes");
  Start({report_.string()}, fields);
  const std::string report = std::string("KEP|") + kSmith;
  dde::Link link;
  link.SetLinkTimeout(600);  // a lost answer shows as 286, not as a slow test
  Answers t(link);
  std::map<std::string, std::string> poked;
  int wrong = 0;
  {
    BusyCores busy;
    for (int r = 0; r < kRounds; ++r) {
      t.Open("KEP|Query");
      wrong += t.Request("ActiveReports") != std::string(kSmith) + ",";
      t.Open(std::string("Kep|") + kSmith);
      wrong += t.Request("UserID") != "JDOE";
      t.Open(report);
      wrong += t.Request("ListForms") != "UA5,SUBPHOT2";
      t.Open(report);
      const bool there = r % 2 == 0;
      const std::string picture = there ? "C:\\\\PICS\\\\THERE.JPG" : "C:\\\\PICS\\\\GONE.JPG";
      wrong += t.Execute("[RunMacro( SetImage \"CMP_" + std::to_string(r % 9 + 1) + "_4X6\", \"" +
                         picture + "\" ) ]\r") != there;
      for (int k : {(2 * r) % kCaptions + 1, (2 * r + 1) % kCaptions + 1}) {
        const std::string item = "UA5|CAP|" + std::to_string(k);
        t.Open(std::string("Kep|") + kSmith);
        if (t.Poke(item, "caption " + std::to_string(k) + " of round " + std::to_string(r))) {
          poked[item] = "caption " + std::to_string(k) + " of round " + std::to_string(r);
        } else {
          ++wrong;
        }
      }
      const std::string first = "UA5|CAP|" + std::to_string((2 * r) % kCaptions + 1);
      t.Open(report);
      wrong += t.Request(first) != poked[first];
      // A refresh's burst: a conversation per request, every other round asked ahead.
      std::vector<std::string> items;
      for (int i = 0; i < 4; ++i)
        items.push_back("UA5|F|" + std::to_string((4 * r + i) % kFields + 1));
      items.push_back("LAND|X|" + std::to_string(r));  // refused
      if (r % 2 == 1)
        dde::CurrentTransport()->Prefetch("KEP", kSmith, items, std::chrono::seconds(60));
      for (const std::string& item : items) {
        t.Open(report);
        const std::string reply = t.Request(item);
        wrong += item[0] == 'U' && reply != "field " + item.substr(6);
      }
      link.SetLinkMode(0);
    }
  }
  kep_->Stop();
  const auto differences = t.Differences(Traffic());
  EXPECT_TRUE(differences.empty()) << differences.size() << " of " << t.size()
                                   << " transactions differ; first: " << differences[0];
  EXPECT_EQ(wrong, 0);
  const kep::Report saved = kep::LoadReport(report_);
  for (const auto& [item, value] : poked) {
    EXPECT_EQ(saved.Field(item).value_or("<none>"), value) << item;
  }
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
