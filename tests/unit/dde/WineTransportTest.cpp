// The Wine transport's side of the bridge, with a Linux stand-in for the bridge in place of
// Wine: the link's numbers for what the bridge reports, a bridge that dies or cannot start, and
// the choice of transport by prefix and setting.

#include "platform/dde/WineTransport.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/dde/Link.h"
#include "platform/vbrt/VbError.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/TempPrefix.h"

namespace dde {
namespace {

namespace fs = std::filesystem;

class WineTransportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDdeLog([this](const std::string& line) { logged_.push_back(line); });
  }
  void TearDown() override {
    UseTransport(nullptr);
    SetDdeLog(nullptr);
  }
  // The stand-in bridge in the given mode; the prefix is not used by it.
  void UseBridge(const std::string& mode) {
    const fs::path program = prefix_.Root() / mode;
    std::ofstream(program) << "";
    UseTransport(MakeWineTransport({FAKE_BRIDGE, program, prefix_.Prefix()}));
  }
  std::string Request(const std::string& topic, const std::string& item) {
    link_.SetLinkMode(0);
    link_.SetLinkTopic("KEP|" + topic);
    link_.SetLinkMode(2);
    link_.SetLinkItem(item);
    return link_.Request();
  }

  TempPrefix prefix_;
  Link link_;
  std::vector<std::string> logged_;
};

TEST_F(WineTransportTest, TheBridgesAnswersBecomeTheLinksNumbers) {
  UseBridge("serve");
  EXPECT_EQ(Request("System", "ListForms"), "ListForms!");
  link_.Execute("[RunMacro(x)]");
  link_.Poke("text");
  EXPECT_EQ(ErrorOf([&] { Request("Refused", "x"); }), vb::kDdeNoApp);
  EXPECT_EQ(ErrorOf([&] { Request("System", "timeout"); }), vb::kDdeTimeout);
  EXPECT_EQ(link_.LinkMode(), 2);  // still open after a timeout
  EXPECT_EQ(ErrorOf([&] { Request("System", "gone"); }), kDdeAppQuit);
  EXPECT_EQ(link_.LinkMode(), 0);
  // A bridge that dies mid-transaction: 291, and the next conversation starts a new one.
  EXPECT_EQ(ErrorOf([&] { Request("System", "die"); }), kDdeAppQuit);
  EXPECT_EQ(Request("System", "again"), "again!");
  EXPECT_TRUE(logged_.empty());
}

// Answers asked ahead go to the operations that follow, in order and each with its own outcome;
// another transaction in between (a poke) drops the rest.
TEST_F(WineTransportTest, AnswersAskedAheadGoToTheirOwnOperationsUntilAnotherTransaction) {
  UseBridge("serve");
  EXPECT_EQ(Request("R", "ready"), "ready!");
  const std::chrono::milliseconds wait(5000);
  CurrentTransport()->Prefetch("KEP", "R", {"a", "timeout", "b"}, wait);
  EXPECT_EQ(Request("R", "a"), "a!");
  EXPECT_EQ(ErrorOf([&] { Request("R", "timeout"); }), vb::kDdeTimeout);
  EXPECT_EQ(Request("R", "b"), "b!");
  CurrentTransport()->Prefetch("KEP", "R", {"c", "d"}, wait);
  EXPECT_EQ(Request("R", "c"), "c!");
  link_.SetLinkItem("d");
  link_.Poke("poked");
  EXPECT_EQ(Request("R", "d"), "poked");
  CurrentTransport()->Prefetch("KEP", "R", {"e"}, wait);
  EXPECT_EQ(ErrorOf([&] { Request("Refused", "e"); }), vb::kDdeNoApp);  // another topic
}

// A bridge that ended between two conversations (Wine's server ended, say) is replaced within
// the next one.
TEST_F(WineTransportTest, ABridgeThatEndedMeanwhileIsReplacedWithinTheNextConversation) {
  UseBridge("serve");
  EXPECT_EQ(Request("System", "bye"), "bye!");
  link_.SetLinkMode(0);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(Request("System", "b"), "b!");
  EXPECT_TRUE(logged_.empty());
}

// A bridge lives as long as its transport, not as long as the thread that started it.
TEST_F(WineTransportTest, ABridgeStartedOnAThreadThatEndsStillServes) {
  UseBridge("serve");
  std::thread([&] {
    EXPECT_EQ(Request("System", "a"), "a!");
    link_.SetLinkMode(0);
  }).join();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(Request("System", "b"), "b!");
}

// Links on several threads share the transport: each conversation has a bridge of its own.
TEST_F(WineTransportTest, ConversationsOnSeveralThreadsNeverShareABridge) {
  UseBridge("serve");
  std::vector<std::string> wrong(4);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < wrong.size(); ++t) {
    threads.emplace_back([t, &wrong] {
      Link link;
      for (int i = 0; i < 50 && wrong[t].empty(); ++i) {
        const std::string item = std::to_string(t) + "." + std::to_string(i);
        try {
          link.SetLinkMode(0);
          link.SetLinkTopic("KEP|System");
          link.SetLinkMode(2);
          link.SetLinkItem(item);
          if (link.Request() != item + "!") wrong[t] = item + " got another answer";
        } catch (const vb::VbError& e) {
          wrong[t] = item + ": error " + std::to_string(e.Number());
        }
      }
    });
  }
  for (auto& th : threads) th.join();
  for (const auto& w : wrong) EXPECT_EQ(w, "");
}

TEST_F(WineTransportTest, ABridgeThatCannotStartIsNoKepAndSaysWhyOnce) {
  UseBridge("cannot-start");
  EXPECT_EQ(ErrorOf([&] { Request("System", "x"); }), vb::kDdeNoApp);
  EXPECT_EQ(ErrorOf([&] { Request("Query", "y"); }), vb::kDdeNoApp);
  ASSERT_EQ(logged_.size(), 1u);
  EXPECT_NE(logged_[0].find("no display"), std::string::npos) << logged_[0];
  UseBridge("missing/none.exe");
  EXPECT_EQ(ErrorOf([&] { Request("System", "x"); }), vb::kDdeNoApp);
  ASSERT_EQ(logged_.size(), 2u);
  EXPECT_NE(logged_[1].find("is missing"), std::string::npos) << logged_[1];
}

// A process that runs no more, or only as a zombie nobody reaps.
bool Gone(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string pidText, name, state;
  return !(stat >> pidText >> name >> state) || state == "Z";
}

// A Wine that hangs while starting, and what it started, end with the program, also when a
// signal ends the program.
TEST_F(WineTransportTest, AHungWineStartEndsWithTheProgramEndedBySignal) {
  const fs::path wine = prefix_.Root() / "hung-wine";
  const fs::path started = prefix_.Root() / "started";
  std::ofstream(wine) << "#!/bin/sh\nsleep 300 &\necho $! > " << started << ".tmp\nmv " << started
                      << ".tmp " << started << "\nwait\n";
  fs::permissions(wine, fs::perms::owner_all);
  const pid_t program = ::fork();
  if (program == 0) {
    UseTransport(MakeWineTransport({wine, wine, prefix_.Prefix()}));
    try {
      Request("System", "x");
    } catch (...) {
    }
    ::_exit(0);
  }
  pid_t sleeper = 0;
  for (int i = 0; i < 3000 && !(std::ifstream(started) >> sleeper); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_GT(sleeper, 0);
  ::kill(program, SIGTERM);
  int status = 0;
  ::waitpid(program, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
  for (int i = 0; i < 500 && !Gone(sleeper); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(Gone(sleeper));
  if (!Gone(sleeper)) ::kill(sleeper, SIGKILL);
}

TEST_F(WineTransportTest, TheTransportFollowsThePrefixAndTheSetting) {
  std::string why;
  ::unsetenv("VELMORA_DDE_TRANSPORT");
  ::setenv("VELMORA_WINE", (prefix_.Root() / "no-wine").c_str(), 1);
  ChooseTransport(prefix_.Prefix(), &why);  // not a Wine prefix: sockets, nothing to say
  EXPECT_EQ(why, "");
  std::ofstream(prefix_.Prefix() / "system.reg") << "WINE REGISTRY Version 2\n";
  ChooseTransport(prefix_.Prefix(), &why);  // a Wine prefix, but no Wine: sockets, and why
  EXPECT_NE(why.find("no-wine, which is missing"), std::string::npos) << why;
  ::setenv("VELMORA_DDE_TRANSPORT", "wine", 1);  // forced: Wine's, which finds no KEP
  UseTransport(ChooseTransport(prefix_.Prefix(), &why));
  EXPECT_EQ(ErrorOf([&] { Request("System", "x"); }), vb::kDdeNoApp);
  ASSERT_EQ(logged_.size(), 1u);
  EXPECT_NE(logged_[0].find("no-wine, which is missing"), std::string::npos) << logged_[0];
  ::unsetenv("VELMORA_DDE_TRANSPORT");
  ::unsetenv("VELMORA_WINE");
}

}  // namespace
}  // namespace dde
