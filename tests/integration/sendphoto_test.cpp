// Handing a slot's picture to the kep stand-in running as a separate process: the photo-object
// name, the SetImage macros for the three kinds of slot picture, and KEP's refresh script.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/frmMainControls.h"
#include "core/modVelmod.h"
#include "core/modVelmodDrag.h"
#include "core/modVelmodSlots.h"
#include "kep/Report.h"
#include "tests/integration/KepProcess.h"
#include "tests/support/CoreFixture.h"

namespace {

namespace fs = std::filesystem;
using namespace core;

constexpr const char* kTopic = R"(topic="C:\\KEP\\DATA\\SMITH.ZAP")";

class SendPhotoFlow : public CoreFixture {
 protected:
  SendPhotoFlow() {
    dde_dir_ = prefix.Root() / "dde";
    ::setenv("VELMORA_DDE_DIR", dde_dir_.c_str(), 1);
    gAppDir = "C:\\Velmora\\";
    gKepAppDir = "C:\\KEP\\";
    prefix.MakeDir("C:\\KEP");
    prefix.WriteFile("C:\\PICS\\PTEMP_01.JPG", "jpeg bytes");
    log_ = prefix.Root() / "kep.log";
    form.CreateElements();
    SetMainForm(&form);
  }
  ~SendPhotoFlow() override {
    kep_.reset();
    SetMainForm(nullptr);
    ::unsetenv("VELMORA_DDE_DIR");
  }

  void Start(const std::string& forms) {
    report_ = prefix.Root() / "smith.rpt";
    std::ofstream(report_) << "[report]\nname=C:\\KEP\\DATA\\SMITH.ZAP\nuserid=JDOE\nforms="
                           << forms << "\nstore=C:\\KEP\\IMAGES\\SMITH\n";
    kep_ = std::make_unique<KepProcess>(
        dde_dir_, std::vector<std::string>{"--prefix", prefix.Prefix().string(), "--log",
                                           log_.string(), report_.string()});
  }
  // The SetImage and script lines of the log, once the stand-in has stopped.
  std::vector<std::string> Executed() {
    kep_->Stop();
    std::vector<std::string> out;
    for (auto& l : ReadLines(log_)) {
      if (l.rfind("EXECUTE", 0) == 0) out.push_back(l);
    }
    return out;
  }
  std::vector<std::string> Requests() const {
    std::vector<std::string> out;
    for (auto& l : ReadLines(log_)) {
      if (l.rfind("REQUEST", 0) == 0) out.push_back(l);
    }
    return out;
  }
  static std::string SetImage(const std::string& object, const std::string& loggedPath) {
    return std::string("EXECUTE ") + kTopic + R"( command="[RunMacro( SetImage \")" + object +
           R"(\", \")" + loggedPath + R"(\" ) ]\r" -> OK)";
  }

  fs::path dde_dir_, report_, log_;
  std::unique_ptr<KepProcess> kep_;
  MainFormControls form{"frmMain", "-"};
};

// C:\PICS\PTEMP_01.JPG as the log shows it inside the macro: doubled, then escaped again.
constexpr const char* kPtempLogged = R"(C:\\\\PICS\\\\PTEMP_01.JPG)";

TEST_F(SendPhotoFlow, ComparableIsNamedWithTheReportsPageSize) {
  Start("URAR,SUBPHOTO,SUBPHOT2");
  form.imaComp[3].SetThumbPath("C:\\PICS\\PTEMP_01.JPG");
  form.imaAltComp[2].SetThumbPath("C:\\PICS\\PTEMP_01.JPG");
  SendPhotoToKep(form.TabComp, form.imaComp[3], 3);
  SendPhotoToKep(form.TabComp, form.imaAltComp[2], 2);

  const auto requests = Requests();
  ASSERT_EQ(requests.size(), 6u);  // reports, user, forms: looked up afresh every time
  EXPECT_EQ(requests[0].rfind(R"(REQUEST topic="Query" item="ActiveReports")", 0), 0u);
  EXPECT_EQ(requests[1].rfind(std::string("REQUEST ") + kTopic + R"( item="UserID")", 0), 0u);
  EXPECT_EQ(requests[2].rfind(std::string("REQUEST ") + kTopic + R"( item="ListForms")", 0), 0u);
  const auto executed = Executed();
  ASSERT_EQ(executed.size(), 2u);  // no refresh script without "refresh.bas"
  EXPECT_EQ(executed[0], SetImage("CMP_3_3X5", kPtempLogged));
  EXPECT_EQ(executed[1], SetImage("ALT_2_3X5", kPtempLogged));
  EXPECT_EQ(kep::LoadReport(report_).ImageList(),
            "CMP_3_3X5|C:\\KEP\\IMAGES\\SMITH\\CMP_3_3X5.JPG;"
            "ALT_2_3X5|C:\\KEP\\IMAGES\\SMITH\\ALT_2_3X5.JPG;");
}

TEST_F(SendPhotoFlow, ListingSlotFollowsThePageShownAndFormsWithoutPhotoPages) {
  Start("URAR");
  form.TabListing.SetTab(3);
  form.imaListing[1].SetThumbPath("C:\\PICS\\PTEMP_01.JPG");
  SendPhotoToKep(form.TabListing, form.imaListing[1], 1);
  const auto executed = Executed();
  ASSERT_EQ(executed.size(), 1u);
  EXPECT_EQ(executed[0], SetImage("ECMP_1_", kPtempLogged));
}

TEST_F(SendPhotoFlow, EmptySlotClearsTheObjectAndADotJpgNameSendsTwice) {
  prefix.WriteFile("C:\\PICS\\.JPG", "jpeg bytes");
  Start("URAR,SUBPHOT2");
  geaClearImage(form.imaRental[2]);
  SendPhotoToKep(form.TabRental, form.imaRental[2], 2);
  form.imaGeneral[12].SetThumbPath("C:\\PICS\\.JPG");
  SendPhotoToKep(form.TabGeneral, form.imaGeneral[12], 12);

  const auto executed = Executed();
  ASSERT_EQ(executed.size(), 3u);
  EXPECT_EQ(executed[0], SetImage("RCMP_2_4X6", ""));
  EXPECT_EQ(executed[1], SetImage("GN_12_4X6", ""));
  EXPECT_EQ(executed[2], SetImage("GN_12_4X6", R"(C:\\\\PICS\\\\.JPG)"));
}

TEST_F(SendPhotoFlow, RefreshScriptFollowsEverySetImageWhenPresent) {
  prefix.WriteFile("C:\\KEP\\refresh.bas", "Sub Main\nEnd Sub\n");
  Start("URAR,SUBPHOTO");
  form.imaSubject[1].SetThumbPath("C:\\PICS\\PTEMP_01.JPG");
  SendPhotoToKep(form.TabSubject, form.imaSubject[1], 1);
  SendPhotoToKep(form.TabSubject, form.imaSubject[1], -1);

  const auto executed = Executed();
  const std::string script = R"(EXECUTE topic="System" command="[RunMacro(refresh.bas)]\r" -> OK)";
  ASSERT_EQ(executed.size(), 4u);
  EXPECT_EQ(executed[0], SetImage("SUB_1_3X5", kPtempLogged));
  EXPECT_EQ(executed[1], script);
  EXPECT_EQ(executed[2], SetImage("MAP_LOCATION", kPtempLogged));  // no page size
  EXPECT_EQ(executed[3], script);
}

}  // namespace
