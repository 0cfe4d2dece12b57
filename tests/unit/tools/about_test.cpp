// The about box: its texts, its place on the screen and how it closes.
#include "tools/frmAbout.h"

#include <gtest/gtest.h>

#include "tests/unit/tools/ToolsFixture.h"

namespace {

using tools::frmAbout;

class AboutTest : public ToolsFixture {};

TEST_F(AboutTest, NameComesFromTheIniFileEachTimeWithItsOwnDefault) {
  core::gProgramAlias = "Corvane Velmora";
  {
    auto& about = forms::FormInstance<frmAbout>();
    EXPECT_EQ(about.lblProductname.Caption(), "Velmora");
    about.Cmd_OK.UserClick();
    EXPECT_FALSE(about.Loaded());
  }
  // The key is read afresh: a name stored since start-up shows, whatever gProgramAlias says.
  SetIni("PROGRAM ALIAS", "CORVANE VELMORA", "Glenvue Photo Link");
  auto& about = forms::FormInstance<frmAbout>();
  EXPECT_EQ(about.lblProductname.Caption(), "Glenvue Photo Link");
  EXPECT_EQ(core::gProgramAlias, "Corvane Velmora");
}

TEST_F(AboutTest, VersionAndNotice) {
  app.SetVersion(7, 0, 44);
  auto& about = forms::FormInstance<frmAbout>();
  EXPECT_EQ(about.lblVersion.Caption(), "Version 7.0.44");
  EXPECT_EQ(frmAbout::VersionText(12, 3, 0), "Version 12.3.0");
  EXPECT_EQ(about.lblDisclaimer.Caption(),
            std::string("\xC2\xA9 Copyright ") + tools::kLegalCopyright);
}

TEST_F(AboutTest, CentresOnTheScreenNotOnTheMainWindow) {
  app.SetScreen(1024, 768);
  auto& about = forms::FormInstance<frmAbout>();
  EXPECT_EQ(about.Left(), (15360 - about.Width()) / 2);
  EXPECT_EQ(about.Top(), (11520 - about.Height()) / 2);
  // A window wider than the screen lands left of it, halved towards zero.
  app.SetScreen(320, 200);
  forms::ResetFormInstances();
  auto& small = forms::FormInstance<frmAbout>();
  EXPECT_EQ(small.Left(), (4800 - small.Width()) / 2);
  EXPECT_LT(small.Left(), 0);
}

TEST_F(AboutTest, ModalFromTheMenuClosesByThePictureButtonAndSavesNothing) {
  const std::string before = IniBytes();
  app.QueueModal("frmAbout", [](forms::Form& f) {
    auto& about = dynamic_cast<frmAbout&>(f);
    EXPECT_EQ(about.imaOK.ToolTipText(), "Return to Main Screen");
    about.imaOK.UserClick();
  });
  tools::ShowAboutBox();
  ASSERT_EQ(app.ModalForms().size(), 1u);
  EXPECT_FALSE(app.ModalForms()[0].leftOpen);
  EXPECT_TRUE(app.Boxes().empty());
  EXPECT_EQ(IniBytes(), before);
}

}  // namespace
