#pragma once
// Wine for one test: the test's prefix made a Wine prefix that shares the Windows folders of the
// one prefix booted for the whole run ($VELMORA_TEST_WINEPREFIX, made by the wine_prefix setup
// test), Velmora's links carried by the Wine transport, and kep.exe run under Wine.  The
// prefix's wineserver, and every Windows program in it, is ended with the session.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class WineSession {
 public:
  explicit WineSession(const std::filesystem::path& prefix);
  ~WineSession();
  WineSession(const WineSession&) = delete;
  WineSession& operator=(const WineSession&) = delete;

  // The command that runs kep.exe (Wine's loader and the program) in place of kep.
  std::vector<std::string> KepLauncher() const;
  const std::filesystem::path& Wine() const { return wine_; }

 private:
  std::filesystem::path prefix_;
  std::filesystem::path wine_;
};

// Makes `prefix` (a winfs test prefix) a Wine prefix sharing the Windows folders of `booted`.
void MakeWinePrefix(const std::filesystem::path& prefix, const std::filesystem::path& booted);

// A main-window fixture (MainWindowFixture or one built on it) run beside kep.exe under Wine:
// its KEP starts through kep_launcher_.
template <class Fixture>
class UnderWine : public Fixture {
 protected:
  void SetUp() override {
    Fixture::SetUp();
    wine_ = std::make_unique<WineSession>(this->prefix_.Prefix());
    this->kep_launcher_ = wine_->KepLauncher();
  }
  void TearDown() override {
    Fixture::TearDown();
    wine_.reset();
  }
  std::unique_ptr<WineSession> wine_;
};
