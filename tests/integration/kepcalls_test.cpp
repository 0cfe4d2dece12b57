// The program's KEP operations against the kep stand-in running as a separate process: the
// traffic each operation makes, KEP without a report or not running at all, and a KEP that
// answers garbage, closes early or is too slow.

#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/frmMainControls.h"
#include "core/kepcalls.h"
#include "core/modVelmod.h"
#include "platform/dde/Connection.h"
#include "platform/dde/Link.h"
#include "platform/dde/Server.h"
#include "platform/vbrt/VbError.h"
#include "tests/integration/KepProcess.h"
#include "tests/support/CoreFixture.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/GenerousBound.h"

namespace {

namespace fs = std::filesystem;
using namespace core;

constexpr const char* kSmith = R"(C:\KEP\DATA\SMITH.ZAP)";
constexpr const char* kSmithLogged = R"(C:\\KEP\\DATA\\SMITH.ZAP)";

class KepCallsFlow : public CoreFixture {
 protected:
  KepCallsFlow() {
    dde_dir_ = prefix.Root() / "dde";
    ::setenv("VELMORA_DDE_DIR", dde_dir_.c_str(), 1);
    gKepIniPath = "C:\\APPRAISE\\KEP.INI";
    report_ = prefix.Root() / "smith.rpt";
    std::ofstream(report_) << "[report]\nname=" << kSmith
                           << "\nuserid=JDOE\nforms=UA5,SUBPHOT2,PHG2,PHG12\n"
                              "store=C:\\KEP\\IMAGES\\SMITH\n"
                              "[fields]\nUA5|ADDR|10=12 Main St\n"
                              "[images]\nSUB_1_4X6=C:\\KEP\\IMAGES\\OLD.JPG\n";
    log_ = prefix.Root() / "kep.log";
    form.CreateElements();
    SetMainForm(&form);
  }
  ~KepCallsFlow() override {
    kep_.reset();
    SetMainForm(nullptr);
    ::unsetenv("VELMORA_DDE_DIR");
  }

  void Start(std::vector<std::string> extra = {}) {
    kep_.reset();
    fs::remove(log_);
    std::vector<std::string> args = {"--prefix", prefix.Prefix().string(), "--log", log_.string()};
    args.insert(args.end(), extra.begin(), extra.end());
    kep_ = std::make_unique<KepProcess>(dde_dir_, args);
  }
  // The logged transactions, without the CONNECT lines.
  std::vector<std::string> Traffic() const {
    std::vector<std::string> out;
    for (auto& l : ReadLines(log_)) {
      if (l.rfind("CONNECT", 0) != 0) out.push_back(l);
    }
    return out;
  }
  std::vector<std::string> Connects() const {
    std::vector<std::string> out;
    for (auto& l : ReadLines(log_)) {
      if (l.rfind("CONNECT", 0) == 0) out.push_back(l);
    }
    return out;
  }
  forms::TextBox& lnk() { return form.txtDDE; }

  fs::path dde_dir_, report_, log_;
  std::unique_ptr<KepProcess> kep_;
  MainFormControls form{"frmMain", "-"};
};

TEST_F(KepCallsFlow, EachOperationSendsItsExactTraffic) {
  prefix.WriteFile("C:\\PICS\\PTEMP_01.JPG", "jpeg bytes");
  Start({report_.string()});

  ASSERT_TRUE(IsKepReportActive(lnk()));
  EXPECT_EQ(gbKepReportActive, vbTrue);
  const std::string report = FirstCommaField(lnk().Text());
  EXPECT_EQ(report, kSmith);

  KepOpenReport(lnk(), report);
  KepListForms(lnk(), report);
  EXPECT_EQ(lnk().Text(), "UA5,SUBPHOT2,PHG2,PHG12");
  EXPECT_EQ(KepGetFieldInfo(lnk(), report, "UA5|ADDR|10"), "12 Main St");
  KepQueryGetImages(lnk());
  EXPECT_EQ(lnk().Text(), "SUB_1_4X6|C:\\KEP\\IMAGES\\OLD.JPG;");

  KepListForms(lnk(), report);  // the set-image command goes to the topic left here
  EXPECT_TRUE(KepSendPhoto2Object(lnk(), "CMP_3_3X5", "C:\\PICS\\PTEMP_01.JPG"));
  EXPECT_EQ(lnk().LinkMode(), 0);
  KepSendScript(lnk(), "  refresh.bas ");
  KepPokeText(lnk(), std::string("Kep|") + report, "UA5|CAP|1", "  Front view  ");
  EXPECT_EQ(lnk().LinkMode(), 2);  // left open

  const std::string t = kSmithLogged;
  const std::vector<std::string> expected = {
      R"(REQUEST topic="Query" item="ActiveReports" -> OK ")" + t + R"(,")",
      R"(REQUEST topic=")" + t + R"(" item="UserID" -> OK "JDOE")",
      R"(REQUEST topic=")" + t + R"(" item="ListForms" -> OK "UA5,SUBPHOT2,PHG2,PHG12")",
      R"(REQUEST topic=")" + t + R"(" item="UA5|ADDR|10" -> OK "12 Main St")",
      R"(EXECUTE topic="System" command="[RunMacro( SetRequest \"IMAGES\",  GetImages$(1))]" -> OK)",
      R"(REQUEST topic="System" item="IMAGES" -> OK "SUB_1_4X6|C:\\KEP\\IMAGES\\OLD.JPG;")",
      R"(REQUEST topic=")" + t + R"(" item="ListForms" -> OK "UA5,SUBPHOT2,PHG2,PHG12")",
      R"(EXECUTE topic=")" + t +
          R"(" command="[RunMacro( SetImage \"CMP_3_3X5\", \"C:\\\\PICS\\\\PTEMP_01.JPG\" ) ]\r" -> OK)",
      R"(EXECUTE topic="System" command="[RunMacro(refresh.bas)]\r" -> OK)",
      R"(POKE topic=")" + t + R"(" item="UA5|CAP|1" data="Front view" -> OK)",
  };
  EXPECT_EQ(Traffic(), expected);
  // One conversation per operation (the image-list macro and its request share one), each on
  // the topic as the program spells it.
  const auto c = Connects();
  ASSERT_EQ(c.size(), 9u);
  EXPECT_EQ(c[0], R"(CONNECT app="KEP" topic="Query" -> ACCEPT)");
  EXPECT_EQ(c[1], R"(CONNECT app="Kep" topic=")" + t + R"(" -> ACCEPT)");
  EXPECT_EQ(c[2], R"(CONNECT app="KEP" topic=")" + t + R"(" -> ACCEPT)");
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(KepCallsFlow, GeneralPhotoPokesBuildTheirItemsFromKepIni) {
  prefix.WriteFile(gKepIniPath,
                   "[4X6_PHOTO_PAGES]\nGENERAL_2=PHG2\nGENERAL_12=PHG12\n"
                   "GENERAL_DATA_2=CAP|2\nGENERAL_ADDR_3=ADR|3\n"
                   "[3X5_PHOTO_PAGES]\nGENERAL_2=WRONG\nGENERAL_DATA_2=WRONG\n");
  Start({report_.string()});
  gCurrentReport = std::string(" ") + kSmith + " ";
  gReportForms = " ua5,subphot2,phg2,phg12 ";
  KepSendGeneralData(5, " Front ");
  KepSendGeneralAddr(36, "12 Main St");
  // A form list of neither size: the item is "|", which KEP refuses; a poke has no quiet
  // number for that, so the refusal reaches the caller.
  gReportForms = "UA5,";
  EXPECT_EQ(ErrorOf([] { KepSendGeneralData(1, "x"); }), vb::kDdeRefused);

  const std::string t = kSmithLogged;
  const auto traffic = Traffic();
  ASSERT_EQ(traffic.size(), 3u);
  EXPECT_EQ(traffic[0], R"(POKE topic=")" + t + R"(" item="PHG2|CAP|2" data="Front" -> OK)");
  EXPECT_EQ(traffic[1], R"(POKE topic=")" + t + R"(" item="PHG12|ADR|3" data="12 Main St" -> OK)");
  EXPECT_EQ(traffic[2].rfind(R"(POKE topic=")" + t + R"(" item="|" data="x" -> REFUSE)", 0), 0u);
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(KepCallsFlow, RefusedFieldEndsQuietlyAndKeepsThePreviousReply) {
  Start({report_.string()});
  lnk().SetText("previous");
  EXPECT_EQ(KepGetFieldInfo(lnk(), kSmith, "LAND|X|1"), "");  // not a form: 285
  EXPECT_EQ(lnk().Text(), "previous");
  EXPECT_EQ(KepGetFieldInfo(lnk(), "C:\\NOPE.ZAP", "UA5|ADDR|10"), "");  // no topic: 282
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(KepCallsFlow, NoReportOpen) {
  Start({"--none"});
  lnk().SetText("C:\\OLD.ZAP,");
  EXPECT_FALSE(IsKepReportActive(lnk()));
  EXPECT_EQ(lnk().Text(), "");
  KepOpenReport(lnk(), kSmith);  // the report's topic is refused: quiet
  KepListForms(lnk(), kSmith);
  EXPECT_EQ(KepGetFieldInfo(lnk(), kSmith, "UA5|ADDR|10"), "");
  KepQueryGetImages(lnk());
  EXPECT_EQ(lnk().Text(), "");
  KepSendScript(lnk(), "refresh.bas");
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(KepCallsFlow, KepNotRunningEndsEveryOperationQuietly) {
  gbKepReportActive = vbTrue;
  EXPECT_FALSE(IsKepReportActive(lnk()));
  EXPECT_EQ(gbKepReportActive, vbFalse);
  KepOpenReport(lnk(), kSmith);
  KepListForms(lnk(), kSmith);
  EXPECT_EQ(KepGetFieldInfo(lnk(), kSmith, "UA5|ADDR|10"), "");
  KepQueryGetImages(lnk());
  EXPECT_FALSE(KepSendPhoto2Object(lnk(), "CMP_3_3X5", "C:\\PICS\\PTEMP_01.JPG"));
  KepSendScript(lnk(), "refresh.bas");
  EXPECT_TRUE(app.Boxes().empty());
}

// Errors that are not among an operation's quiet numbers go to the error report, which hands
// them on without a message: the caller sees them, nothing hangs.
TEST_F(KepCallsFlow, GarbageAndEarlyCloseReachTheCaller) {
  Start({report_.string(), "--garbage"});
  gbKepReportActive = vbTrue;
  EXPECT_EQ(ErrorOf([&] { IsKepReportActive(lnk()); }), dde::kDdeWrongFormat);
  EXPECT_EQ(gbKepReportActive, vbTrue);
  EXPECT_EQ(ErrorOf([&] { KepListForms(lnk(), kSmith); }), dde::kDdeWrongFormat);

  Start({report_.string(), "--close-early"});
  EXPECT_EQ(ErrorOf([&] { KepQueryGetImages(lnk()); }), dde::kDdeAppQuit);
  EXPECT_EQ(ErrorOf([&] { KepSendScript(lnk(), "refresh.bas"); }), dde::kDdeAppQuit);
  EXPECT_TRUE(app.Boxes().empty());
}

TEST_F(KepCallsFlow, ASlowKepIsBoundedByLinkTimeout) {
  Start({report_.string(), "--slow", "30"});
  lnk().SetLinkTimeout(5);
  const auto took = testsupport::TimeOf(
      [&] { EXPECT_EQ(ErrorOf([&] { IsKepReportActive(lnk()); }), vb::kDdeTimeout); });
  EXPECT_LT(took, testsupport::GenerousBound(std::chrono::milliseconds(500)));
  EXPECT_TRUE(app.Boxes().empty());

  // The next operation switches the link off first, so a late answer does not confuse it.
  lnk().SetLinkTimeout(50);
  EXPECT_TRUE(IsKepReportActive(lnk()));
  EXPECT_EQ(FirstCommaField(lnk().Text()), kSmith);
}

// A KEP whose only answer is a fixed "ActiveReports" reply, served from a thread of the test.
class FixedReplyKep : public dde::Handler {
 public:
  explicit FixedReplyKep(std::string reply) : reply_(std::move(reply)) {}
  dde::Answer Connect(const dde::Conversation&) override { return dde::Answer::Ok(); }
  dde::Answer Request(const dde::Conversation&, const std::string& item) override {
    return item == "ActiveReports" ? dde::Answer::Ok(reply_) : dde::Answer::Refuse();
  }
  dde::Answer Execute(const dde::Conversation&, const std::string&) override {
    return dde::Answer::Refuse();
  }
  dde::Answer Poke(const dde::Conversation&, const std::string&, const std::string&) override {
    return dde::Answer::Refuse();
  }

 private:
  std::string reply_;
};

TEST_F(KepCallsFlow, ActiveReportsRepliesThatMeanNoReport) {
  const std::vector<std::pair<std::string, bool>> cases = {
      {"  NoNe  ", false},  {"none", false},     {"", false},    {"   ", false},
      {"C:\\R.ZAP,", true}, {"C:\\R.ZAP", true}, {"none,", true}};
  for (const auto& [reply, active] : cases) {
    FixedReplyKep handler(reply);
    dde::Server server("KEP", handler, dde::ServerOptions{dde_dir_});
    std::thread serving([&] { server.Run(); });
    const bool got = IsKepReportActive(lnk());
    server.Stop();
    serving.join();
    EXPECT_EQ(got, active) << '"' << reply << '"';
    EXPECT_EQ(gbKepReportActive, ToVbBool(active));
    EXPECT_EQ(lnk().Text(), reply);  // left for the caller
  }
  // One report without its trailing comma: active, yet no report name.
  EXPECT_EQ(FirstCommaField("C:\\R.ZAP"), "");
}

// Another local user's server posing as KEP: a child process that becomes uid 65534, listens
// at `socket` and answers every initiate and request, whoever asks.  Stopped with the object.
class Impostor {
 public:
  static constexpr uid_t kUid = 65534;
  explicit Impostor(const fs::path& socket) {
    int ready[2];
    if (::pipe(ready) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(ready[0]);
      Serve(socket, ready[1]);
      ::_exit(0);
    }
    ::close(ready[1]);
    char c = 0;
    if (::read(ready[0], &c, 1) != 1) Stop();
    ::close(ready[0]);
  }
  ~Impostor() { Stop(); }
  bool Running() const { return pid_ > 0; }
  void Stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  static void Serve(const fs::path& socket, int ready) {
    if (::setgroups(0, nullptr) != 0 || ::setresgid(kUid, kUid, kUid) != 0 ||
        ::setresuid(kUid, kUid, kUid) != 0) {
      return;
    }
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, socket.c_str(), sizeof(addr.sun_path) - 1);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 || ::listen(fd, 4) != 0) {
      return;
    }
    [[maybe_unused]] const ssize_t n = ::write(ready, "r", 1);
    for (int client; (client = ::accept(fd, nullptr, nullptr)) >= 0;) {
      dde::Connection conn(client);
      const auto forever = dde::Clock::now() + std::chrono::hours(1);
      dde::Frame f;
      while (conn.Receive(&f, forever) == dde::IoStatus::kOk && f.type != dde::FrameType::kClose) {
        conn.Send(f.type == dde::FrameType::kConnect
                      ? dde::Frame{dde::FrameType::kAccept, {}}
                      : dde::Frame{dde::FrameType::kReply, {"C:\\FAKE\\REPORT.ZAP,"}},
                  forever);
      }
    }
  }
  pid_t pid_ = -1;
};

// Another local user may make the service folder before we do, or get a socket of his into
// ours: his server never passes for KEP, and the log tells why, once.
TEST_F(KepCallsFlow, AServerOfAnotherUserIsNotKep) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run a server as another user";
  fs::permissions(prefix.Root(), fs::perms::others_exec, fs::perm_options::add);
  const fs::path theirs = prefix.Root() / "theirs";
  fs::create_directory(theirs);
  ASSERT_EQ(::chown(theirs.c_str(), Impostor::kUid, Impostor::kUid), 0);
  fs::permissions(theirs, fs::perms::owner_all);
  testing::internal::CaptureStderr();

  // Their folder where ours should be.
  ::setenv("VELMORA_DDE_DIR", theirs.c_str(), 1);
  {
    Impostor impostor(theirs / "kep.sock");
    ASSERT_TRUE(impostor.Running());
    EXPECT_FALSE(IsKepReportActive(lnk()));
    KepOpenReport(lnk(), kSmith);  // "Kep|": told no second time
  }
  // Our own folder with their socket in it.
  ::setenv("VELMORA_DDE_DIR", dde_dir_.c_str(), 1);
  ASSERT_TRUE(dde::EnsurePrivateDirectory(dde_dir_.string()));
  fs::permissions(dde_dir_, fs::perms::all);  // open for a moment
  {
    Impostor impostor(dde_dir_ / "kep.sock");
    ASSERT_TRUE(impostor.Running());
    EXPECT_FALSE(IsKepReportActive(lnk()));
    lnk().SetLinkMode(0);
    lnk().SetLinkTopic("Kep|Query");
    EXPECT_EQ(ErrorOf([&] { lnk().SetLinkMode(2); }), vb::kDdeNoApp);
  }
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(app.Boxes().empty());
  auto count = [&](const std::string& what) {
    std::size_t n = 0;
    for (auto at = log.find(what); at != std::string::npos; at = log.find(what, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count(theirs.string() + " belongs to uid 65534, not to this user"), 1u) << log;
  EXPECT_EQ(count("runs as another user"), 1u) << log;

  // Our own server in our folder is KEP.
  Start({report_.string()});
  EXPECT_TRUE(IsKepReportActive(lnk()));
}

}  // namespace
