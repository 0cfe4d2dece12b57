#include "platform/dde/Link.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <strings.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/dde/Connection.h"
#include "platform/dde/Server.h"
#include "platform/dde/Transport.h"
#include "platform/vbrt/VbError.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/GenerousBound.h"

namespace dde {
namespace {

namespace fs = std::filesystem;

// Records what arrives and answers with whatever the test sets.
class ScriptedHandler : public Handler {
 public:
  Answer Connect(const Conversation& c) override {
    std::lock_guard lock(mu);
    if (::strcasecmp(c.topic.c_str(), "good") != 0) return Answer::Refuse();
    return connect_answer;
  }
  Answer Request(const Conversation& c, const std::string& item) override {
    return Record("request " + c.topic + " " + item);
  }
  Answer Execute(const Conversation& c, const std::string& command) override {
    return Record("execute " + c.topic + " " + command);
  }
  Answer Poke(const Conversation& c, const std::string& item, const std::string& data) override {
    return Record("poke " + c.topic + " " + item + "=" + data);
  }
  void Disconnect(const Conversation& c) override {
    std::lock_guard lock(mu);
    ended.push_back(c.id);
  }
  std::vector<unsigned long> Ended() {
    std::lock_guard lock(mu);
    return ended;
  }
  Answer connect_answer = Answer::Ok();  // set before the server starts
  void Answer_(Answer a) {
    std::lock_guard lock(mu);
    next = std::move(a);
  }
  std::string Last() {
    std::lock_guard lock(mu);
    return last;
  }

 private:
  Answer Record(std::string what) {
    std::lock_guard lock(mu);
    last = std::move(what);
    return next;
  }
  std::mutex mu;
  Answer next = Answer::Ok("reply");
  std::string last;
  std::vector<unsigned long> ended;
};

// Carries conversations over the sockets and keeps the deadline of every wait the link asks for.
class DeadlineRecorder : public Transport {
 public:
  std::unique_ptr<Channel> Open(const std::string& application, const std::string& topic,
                                Clock::time_point deadline) override {
    deadlines.push_back(deadline);
    auto inner = sockets_->Open(application, topic, deadline);
    if (!inner) return nullptr;
    return std::make_unique<Recorded>(std::move(inner), this);
  }
  std::vector<Clock::time_point> deadlines;

 private:
  class Recorded : public Channel {
   public:
    Recorded(std::unique_ptr<Channel> inner, DeadlineRecorder* owner)
        : inner_(std::move(inner)), owner_(owner) {}
    IoStatus Transact(const Frame& frame, Clock::time_point deadline, Frame* reply) override {
      owner_->deadlines.push_back(deadline);
      return inner_->Transact(frame, deadline, reply);
    }
    void Close() override { inner_->Close(); }

   private:
    std::unique_ptr<Channel> inner_;
    DeadlineRecorder* owner_;
  };
  std::shared_ptr<Transport> sockets_ = MakeSocketTransport();
};

class LinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/dde-test-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    ::setenv("VELMORA_DDE_DIR", (dir_ / "sock").c_str(), 1);
  }
  void TearDown() override {
    StopServer();
    UseTransport(nullptr);
    SetMaxFrameSize(kDefaultMaxFrameSize);
    ::unsetenv("VELMORA_DDE_DIR");
    fs::remove_all(dir_);
  }
  void StartServer() {
    server_ = std::make_unique<Server>("Kep", handler_);
    thread_ = std::thread([this] { server_->Run(); });
  }
  void StopServer() {
    if (!server_) return;
    server_->Stop();
    thread_.join();
    server_.reset();
  }
  Link Open(const std::string& topic = "KEP|good") {
    Link link;
    link.SetLinkTopic(topic);
    link.SetLinkMode(vbLinkManual);
    return link;
  }

  fs::path dir_;
  ScriptedHandler handler_;
  std::unique_ptr<Server> server_;
  std::thread thread_;
};

TEST_F(LinkTest, RequestExecuteAndPokeReachTheServer) {
  StartServer();
  Link link = Open("kep|GOOD");
  EXPECT_EQ(link.LinkMode(), vbLinkManual);
  link.SetLinkItem("ActiveReports");
  EXPECT_EQ(link.Request(), "reply");
  EXPECT_EQ(handler_.Last(), "request GOOD ActiveReports");
  link.Execute("[RunMacro(x)]\r");
  EXPECT_EQ(handler_.Last(), "execute GOOD [RunMacro(x)]\r");
  link.SetLinkItem("P|F|1");
  link.Poke("text");
  EXPECT_EQ(handler_.Last(), "poke GOOD P|F|1=text");
  link.SetLinkMode(vbLinkNone);
  EXPECT_EQ(link.LinkMode(), vbLinkNone);
}

TEST_F(LinkTest, OpeningFailures) {
  EXPECT_EQ(ErrorOf([&] { Open(); }), vb::kDdeNoApp);  // nobody listens
  StartServer();
  EXPECT_EQ(ErrorOf([&] { Open("KEP|unknown"); }), vb::kDdeNoApp);
  EXPECT_EQ(ErrorOf([&] { Open("OTHER|good"); }), vb::kDdeNoApp);
  EXPECT_EQ(ErrorOf([&] { Open("KEP"); }), vb::kDdeBadTopic);
  EXPECT_EQ(ErrorOf([&] { Open("|good"); }), vb::kDdeBadTopic);
  Link link;
  link.SetLinkTopic("KEP|good");
  EXPECT_EQ(ErrorOf([&] { link.SetLinkMode(7); }), vb::kInvalidPropertyValue);
  EXPECT_EQ(ErrorOf([&] { link.SetLinkMode(vbLinkAutomatic); }), vb::kDdeRefused);
  EXPECT_EQ(ErrorOf([&] { link.SetLinkTimeout(-2); }), vb::kInvalidPropertyValue);
  EXPECT_EQ(link.LinkMode(), vbLinkNone);
}

TEST_F(LinkTest, MethodsWithoutAConversationRaise293) {
  Link link;
  EXPECT_EQ(ErrorOf([&] { link.Request(); }), vb::kDdeNoChannel);
  EXPECT_EQ(ErrorOf([&] { link.Execute("x"); }), vb::kDdeNoChannel);
  EXPECT_EQ(ErrorOf([&] { link.Poke("x"); }), vb::kDdeNoChannel);
  StartServer();
  link.SetLinkTopic("KEP|good");
  link.SetLinkMode(vbLinkManual);
  link.SetLinkMode(vbLinkNone);
  EXPECT_EQ(ErrorOf([&] { link.Request(); }), vb::kDdeNoChannel);
}

TEST_F(LinkTest, RefusalRaises285AndKeepsTheConversation) {
  StartServer();
  Link link = Open();
  handler_.Answer_(Answer::Refuse());
  EXPECT_EQ(ErrorOf([&] { link.Request(); }), vb::kDdeRefused);
  EXPECT_EQ(ErrorOf([&] { link.Execute("bad"); }), vb::kDdeRefused);
  EXPECT_EQ(ErrorOf([&] { link.Poke("bad"); }), vb::kDdeRefused);
  handler_.Answer_(Answer::Ok("fine"));
  EXPECT_EQ(link.Request(), "fine");
}

TEST_F(LinkTest, SilentServerTimesOutWithinLinkTimeout) {
  StartServer();
  Link link = Open();
  link.SetLinkTimeout(3);
  handler_.Answer_({Answer::Kind::kSilent, {}, {}});
  const auto took =
      testsupport::TimeOf([&] { EXPECT_EQ(ErrorOf([&] { link.Request(); }), vb::kDdeTimeout); });
  EXPECT_GE(took, std::chrono::milliseconds(300));
  EXPECT_LT(took, testsupport::GenerousBound(std::chrono::milliseconds(300)));
}

// Every wait, the initiate's included, ends LinkTimeout after the operation began: the
// deadline handed to the transport lies between start + timeout and end + timeout.
TEST_F(LinkTest, EveryWaitEndsLinkTimeoutAfterItsOperationBegan) {
  auto recorder = std::make_shared<DeadlineRecorder>();
  UseTransport(recorder);
  StartServer();
  Link link;
  link.SetLinkTopic("KEP|good");
  const std::vector<std::pair<int, std::function<void()>>> steps{
      {30, [&] { link.SetLinkMode(vbLinkManual); }},
      {20, [&] { link.Request(); }},
      {50, [&] { link.Execute("x"); }},
      {-1, [&] { link.Poke("y"); }},  // the longest wait, 65535 tenths
  };
  for (const auto& [tenths, step] : steps) {
    link.SetLinkTimeout(tenths);
    const auto timeout = std::chrono::milliseconds((tenths < 0 ? 65535 : tenths) * 100);
    const auto before = Clock::now();
    step();
    const auto after = Clock::now();
    ASSERT_FALSE(recorder->deadlines.empty());
    EXPECT_GE(recorder->deadlines.back(), before + timeout) << tenths;
    EXPECT_LE(recorder->deadlines.back(), after + timeout) << tenths;
  }
  EXPECT_EQ(recorder->deadlines.size(), steps.size());
}

TEST_F(LinkTest, AnInitiateHeldBackOrNeverAnsweredEndsIn282) {
  handler_.connect_answer = {Answer::Kind::kOk, {}, std::chrono::milliseconds(200)};
  StartServer();
  EXPECT_EQ(Open().LinkMode(), vbLinkManual);  // late, but within LinkTimeout
  StopServer();
  handler_.connect_answer = {Answer::Kind::kSilent, {}, {}};
  StartServer();
  Link link;
  link.SetLinkTopic("KEP|good");
  link.SetLinkTimeout(2);
  EXPECT_EQ(ErrorOf([&] { link.SetLinkMode(vbLinkManual); }), vb::kDdeNoApp);
  EXPECT_EQ(link.LinkMode(), vbLinkNone);
}

TEST_F(LinkTest, TheHandlerLearnsWhenEachConversationEnds) {
  StartServer();
  {
    Link first = Open();
    Link second = Open();
    first.SetLinkMode(vbLinkNone);
  }  // the second one's client goes away without a word
  for (int i = 0; i < 100 && handler_.Ended().size() < 2; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  auto ended = handler_.Ended();
  std::sort(ended.begin(), ended.end());
  EXPECT_EQ(ended, (std::vector<unsigned long>{1, 2}));
}

TEST_F(LinkTest, LateReplyAfterTimeoutIsNotTakenForTheNextOne) {
  StartServer();
  Link link = Open();
  link.SetLinkTimeout(1);
  handler_.Answer_({Answer::Kind::kOk, "late", std::chrono::milliseconds(400)});
  EXPECT_EQ(ErrorOf([&] { link.Request(); }), vb::kDdeTimeout);
  EXPECT_EQ(link.LinkMode(), vbLinkManual);
  handler_.Answer_(Answer::Ok("fresh"));
  link.SetLinkTimeout(50);
  EXPECT_EQ(link.Request(), "fresh");
}

TEST_F(LinkTest, BrokenRepliesEndTheConversation) {
  StartServer();
  Link link = Open();
  handler_.Answer_({Answer::Kind::kGarbage, {}, {}});
  EXPECT_EQ(ErrorOf([&] { link.Request(); }), kDdeWrongFormat);
  EXPECT_EQ(link.LinkMode(), vbLinkNone);

  link.SetLinkMode(vbLinkManual);
  handler_.Answer_({Answer::Kind::kCloseEarly, "half of this reply", {}});
  EXPECT_EQ(ErrorOf([&] { link.Request(); }), kDdeAppQuit);
  EXPECT_EQ(link.LinkMode(), vbLinkNone);

  link.SetLinkMode(vbLinkManual);
  StopServer();
  EXPECT_EQ(ErrorOf([&] { link.Execute("x"); }), kDdeAppQuit);
}

TEST_F(LinkTest, FramesOverTheLimit) {
  StartServer();
  Link link = Open();
  SetMaxFrameSize(64);
  handler_.Answer_(Answer::Ok(std::string(100, 'x')));
  EXPECT_EQ(ErrorOf([&] { link.Request(); }), kDdeWrongFormat);  // reply too large
  link.SetLinkMode(vbLinkManual);
  EXPECT_EQ(ErrorOf([&] { link.Poke(std::string(100, 'y')); }), vb::kDdeRefused);
  EXPECT_EQ(link.LinkMode(), vbLinkManual);  // nothing was sent
}

TEST_F(LinkTest, ServerDropsAClientThatSendsOversizedFrames) {
  StartServer();
  auto conn = Connection::Open(SocketPath("KEP").string());
  ASSERT_TRUE(conn);
  const auto deadline = Clock::now() + std::chrono::seconds(2);
  ASSERT_EQ(conn->SendRaw(std::string("\x7F\xFF\xFF\xFF", 4), deadline), IoStatus::kOk);
  Frame f;
  EXPECT_EQ(conn->Receive(&f, deadline), IoStatus::kClosed);
}

TEST_F(LinkTest, StaleSocketIsReplacedAndASecondServerRefused) {
  StartServer();
  EXPECT_EQ(ErrorOf([&] {
              ScriptedHandler h;
              Server second("KEP", h);
            }),
            vb::kFileAlreadyExists);
  const fs::path path = server_->socket_path();
  // A server that died without cleaning up leaves its socket file behind.
  StopServer();
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strncpy(addr.sun_path, path.c_str(), sizeof(addr.sun_path) - 1);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
  ::close(fd);
  ASSERT_TRUE(fs::exists(path));
  StartServer();
  EXPECT_EQ(Open().LinkMode(), vbLinkManual);
}

TEST(PeerCheck, AcceptsOnlyTheExpectedUid) {
  int fds[2];
  ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
  EXPECT_TRUE(PeerHasUid(fds[0], ::geteuid()));
  EXPECT_FALSE(PeerHasUid(fds[0], ::geteuid() + 1));
  ::close(fds[0]);
  ::close(fds[1]);
  EXPECT_FALSE(PeerHasUid(-1, ::geteuid()));
}

TEST(ServiceFolder, IsMadePrivate) {
  char tmpl[] = "/tmp/dde-dir-XXXXXX";
  ASSERT_NE(::mkdtemp(tmpl), nullptr);
  ASSERT_EQ(::chmod(tmpl, 0755), 0);
  EXPECT_TRUE(EnsurePrivateDirectory(tmpl));
  struct stat st {};
  ASSERT_EQ(::stat(tmpl, &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  const std::string file = std::string(tmpl) + "/f";
  ::close(::creat(file.c_str(), 0600));
  EXPECT_FALSE(EnsurePrivateDirectory(file));  // not a folder
  ::setenv("VELMORA_DDE_DIR", tmpl, 1);
  EXPECT_EQ(SocketPath("KeP"), fs::path(tmpl) / "kep.sock");
  ::unsetenv("VELMORA_DDE_DIR");
  fs::remove_all(tmpl);
}

}  // namespace
}  // namespace dde
